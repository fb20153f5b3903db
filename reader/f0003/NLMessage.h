// The messages a 0003-0006 reader sends, each a whole frame (NLFrame): index 0 is the start
// byte, 1 and 2 the data length L, 3 the type. Every field is read only when it lies inside the
// frame's data (indexes 3 to n - 3 of a frame of n bytes); a field outside is a failure, never a
// read past the end.
//
//   ':'  serial number (KSN) reply: the KSN is the 8 bytes from index 5
//   ';'  serial number reply, second layout: the KSN is the 8 bytes from index 17
//   ']'  card message (cardOf)
//   'Z'  the reader's error: a failed swipe when byte 4 is '!', otherwise an unknown error
//   '^'  a failed swipe
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "reader/f0003/CardData.h"

namespace nvx::reader {

struct NLMessage {
  static constexpr uint8_t kTypeKsn = ':';
  static constexpr uint8_t kTypeKsnSecond = ';';
  static constexpr uint8_t kTypeCard = ']';
  static constexpr uint8_t kTypeError = 'Z';
  static constexpr uint8_t kTypeFailure = '^';
  static constexpr uint8_t kSwipeFailed = '!';
  static constexpr size_t kTypeIndex = 3;
  // Messages of this many bytes or fewer carry nothing.
  static constexpr size_t kShortest = 6;

  // Decode failure values.
  static constexpr int kFailedSwipe = 0;
  static constexpr int kShortMessage = 1;
  static constexpr int kBadLayout = 2;
  static constexpr int kUnknownType = 3;

  // The KSN of a ':' or ';' reply as 16 upper-case hexadecimal digits; nothing when the field
  // lies outside the frame.
  static std::optional<std::string> ksnOf(std::span<const uint8_t> message);

  // The card of a ']' message, or the decode failure value: kBadLayout when the length field
  // does not match the message or a field lies outside the frame, kFailedSwipe when the reader
  // gives the track-2 or track-3 length as 255.
  //
  // Layout from index 5: KSN (8), random number (8; when all FF the real one follows in the next
  // 8 bytes), then at E (21, or 29): the card number's length, H (the digits of its first and
  // last groups together), the first (H - 4) / 2 bytes of BCD digits, the last 4 digits (2
  // bytes), the expiry (2 bytes), the three track lengths, the encrypted tracks up to the check
  // byte.
  static std::variant<CardData, int> cardOf(std::span<const uint8_t> message);
};

}  // namespace nvx::reader
