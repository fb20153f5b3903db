#include "reader/f0003/NLMessage.h"

#include "reader/f0003/StringUtil.h"

namespace nvx::reader {

namespace {

constexpr size_t kKsnBytes = 8;
constexpr size_t kRandomBytes = 8;
constexpr size_t kKsnIndex = 5;
constexpr size_t kKsnSecondIndex = 17;
constexpr size_t kRandomIndex = 13;
constexpr size_t kCardBlock = 21;
constexpr uint8_t kNoTrack = 255;

// The index of the last data byte (before the check byte), or nothing for a message too short
// to have one.
std::optional<size_t> lastDataIndex(std::span<const uint8_t> message) {
  if (message.size() < NLMessage::kTypeIndex + 3) return std::nullopt;
  return message.size() - 3;
}

// count bytes from first lie inside the data.
bool fits(std::span<const uint8_t> message, size_t first, size_t count) {
  auto last = lastDataIndex(message);
  return last && first >= NLMessage::kTypeIndex && count > 0 && first + count - 1 <= *last;
}

}  // namespace

std::optional<std::string> NLMessage::ksnOf(std::span<const uint8_t> message) {
  if (message.size() <= kTypeIndex) return std::nullopt;
  const size_t at = message[kTypeIndex] == kTypeKsnSecond ? kKsnSecondIndex : kKsnIndex;
  if (!fits(message, at, kKsnBytes)) return std::nullopt;
  return StringUtil::bcdWithChars(message, at, kKsnBytes);
}

std::variant<CardData, int> NLMessage::cardOf(std::span<const uint8_t> message) {
  if (message.size() < kTypeIndex + 3) return kBadLayout;
  const size_t L = (static_cast<size_t>(message[1]) << 8) | message[2];
  if (L + 5 != message.size()) return kBadLayout;

  CardData card;
  card.formatType = CardData::kFormatFramed;
  if (!fits(message, kKsnIndex, kKsnBytes) || !fits(message, kRandomIndex, kRandomBytes)) return kBadLayout;
  card.ksn = StringUtil::bcdWithChars(message, kKsnIndex, kKsnBytes);
  card.randomNumber = StringUtil::bcdWithChars(message, kRandomIndex, kRandomBytes);
  size_t E = kCardBlock;
  if (card.randomNumber == "FFFFFFFFFFFFFFFF") {
    if (!fits(message, kCardBlock, kRandomBytes)) return kBadLayout;
    card.randomNumber = StringUtil::bcdWithChars(message, kCardBlock, kRandomBytes);
    E = kCardBlock + kRandomBytes;
  }
  if (!fits(message, E, 2)) return kBadLayout;
  card.panlen = message[E];
  const size_t H = message[E + 1];
  if (H < 4) return kBadLayout;
  const size_t firstBytes = (H - 4) / 2;
  const size_t O = E + 2 + firstBytes;
  // First digits, last digits, expiry, three track lengths.
  if (!fits(message, E + 2, firstBytes + 7)) return kBadLayout;
  card.beginStr = StringUtil::breakToBcd(message, E + 2, firstBytes);
  card.endStr = StringUtil::breakToBcd(message, O, 2);
  card.validThru = StringUtil::breakToBcd(message, O + 2, 2);
  card.lenOfTrack1 = message[O + 4];
  card.lenOfTrack2 = message[O + 5];
  card.lenOfTrack3 = message[O + 6];
  if (card.lenOfTrack2 == kNoTrack || card.lenOfTrack3 == kNoTrack) return kFailedSwipe;
  // The encrypted tracks end just before the check byte (L - O - 4 bytes).
  card.cryptoData = StringUtil::bcdWithChars(message, O + 7, L - O - 4);
  return card;
}

}  // namespace nvx::reader
