// The Wi-Fi reader box's frames: command frames from the phone, reply frames from the box, and
// the card data inside a card reply. Pure functions, shared by the driver and the fuzzer.
//
// Command (6 bytes): AA 02 code 00 0F LRC, LRC = XOR of the first five bytes.
// Reply (L + 4 bytes): 55 L SW1 SW2 data[L - 2] 0F check, L >= 2,
//   check = SW1 ^ SW2 ^ (XOR of the data) ^ L ^ 5A.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace nvx::reader {

using Bytes = std::vector<uint8_t>;

struct WexReply {
  uint8_t sw1 = 0;
  uint8_t sw2 = 0;
  Bytes data;
};

enum class WexReplyError {
  Malformed,    // no 55, fewer bytes than L + 4 after it, or L below 2
  CheckFailed,  // the end byte is not 0F or the check byte is wrong
};

// The fields of a card reply's data part.
struct WexCardInfo {
  int32_t track1Length = 0;
  int32_t track2Length = 0;
  int32_t track3Length = 0;
  std::string maskedPAN;
  std::string randomNumber;  // 8 bytes, upper-case hexadecimal
  std::string encTracks;     // the encrypted track block, upper-case hexadecimal
  std::string expiryDate;    // 4 characters of text
};

class WexProtocol {
 public:
  static constexpr uint8_t kCommandKsn = 0x03;
  static constexpr uint8_t kCommandReadCard = 0x0A;
  // SW2 of a 6-byte card-read outcome.
  static constexpr uint8_t kOutcomeBoxTimeout = 0x02;
  static constexpr uint8_t kOutcomeSwipeFailed = 0x03;
  // The longest reply: L = 255.
  static constexpr size_t kMaxReplyLength = 255 + 4;
  static constexpr size_t kMaxReplyData = 255 - 2;
  // The shortest card data: lengths (3), card number (10), random number (8), expiry (4).
  static constexpr size_t kMinCardData = 3 + 10 + 8 + 4;

  // XOR of the bytes.
  static uint8_t Senddata_LRCcheck(const uint8_t* bytes, size_t count);
  // Upper-case "%02X" per byte.
  static std::string ByteToHex(const uint8_t* bytes, size_t count);
  // The bytes as UTF-8 text; empty when they are not UTF-8.
  static std::string ByteToASCII(const uint8_t* bytes, size_t count);

  static std::array<uint8_t, 6> commandFrame(uint8_t code);

  // The length of the reply at the start of a receive buffer once it is complete (>= L + 4 bytes
  // received, L being byte 1), else nothing. Bytes after it belong to no reply.
  static std::optional<size_t> completeReplyLength(const uint8_t* bytes, size_t count);

  // Checks and opens a complete reply: bytes before the first 55 are skipped.
  static std::variant<WexReply, WexReplyError> ProcessDataResult(const uint8_t* buffer, size_t length);

  // The card data of a card reply; nothing when it is too short to hold its fields.
  static std::optional<WexCardInfo> parseCardInfoWithData(const uint8_t* data, size_t length);

  // The card number: the hexadecimal of its field cut before the first "A"; longer than 10
  // characters, all but the first 6 and the last 4 become "*".
  static std::string maskCardNumber(const uint8_t* field, size_t count);
};

}  // namespace nvx::reader
