#include "reader/f0008/CTReply.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace nvx::reader::f0008 {

namespace {

constexpr size_t kHexBufferChars = 4096;
constexpr std::array<uint8_t, 5> kReply20Frame{0x8F, 0x00, 0x01, 0x20, 0xAE};
constexpr std::array<uint8_t, 6> kReplyArmedFrame{0x8F, 0x00, 0x02, 0x22, 0x00, 0xAF};

// Reads the payload front to back; every take is bounded by what is left.
class FieldReader {
 public:
  explicit FieldReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool byte(uint8_t& out) {
    if (at_ >= bytes_.size()) return false;
    out = bytes_[at_++];
    return true;
  }
  bool take(size_t n, std::span<const uint8_t>& out) {
    if (bytes_.size() - at_ < n) return false;
    out = bytes_.subspan(at_, n);
    at_ += n;
    return true;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
};

template <size_t N>
bool startsWith(std::span<const uint8_t> bytes, const std::array<uint8_t, N>& pattern) {
  return bytes.size() >= N && std::equal(pattern.begin(), pattern.end(), bytes.begin());
}

// A length byte the reader sends as signed: 0 or negative means the field is absent.
size_t signedLength(uint8_t b) { return static_cast<int8_t>(b) > 0 ? static_cast<size_t>(static_cast<int8_t>(b)) : 0; }

}  // namespace

uint8_t CTReply::check(std::span<const uint8_t> bytes) {
  uint8_t x = 0;
  for (uint8_t b : bytes) x ^= b;
  return x;
}

size_t CTReply::ConvertHex(std::span<const uint8_t> bytes, std::span<char> out, bool blank) {
  static const char digits[] = "0123456789abcdef";
  const size_t per = blank ? 3 : 2;
  // One character of the buffer is its terminator.
  const size_t room = std::min(out.size(), kHexBufferChars);
  size_t written = 0;
  for (uint8_t b : bytes) {
    if (written + per >= room) break;
    out[written++] = digits[b >> 4];
    out[written++] = digits[b & 15];
    if (blank) out[written++] = ' ';
  }
  if (written < out.size()) out[written] = '\0';
  return written;
}

std::string CTReply::ConvertHex(std::span<const uint8_t> bytes, bool blank) {
  std::array<char, kHexBufferChars> buffer{};
  const size_t n = ConvertHex(bytes, buffer, blank);
  return std::string(buffer.data(), n);
}

std::string CTReply::upperHex(std::span<const uint8_t> bytes) {
  std::string text = ConvertHex(bytes);
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

bool CTReply::Maskcard(std::span<const uint8_t> pan, std::string& masked) {
  masked.assign(pan.begin(), pan.end());
  if (pan.size() <= 10) return false;
  for (size_t i = 6; i + 4 < pan.size(); ++i) masked[i] = '*';
  return true;
}

CTReply::CardRead CTReply::GetCardDetails(std::span<const uint8_t> payload, CTCardDetails& out) {
  FieldReader r(payload);
  uint8_t status = 0;
  if (!r.byte(status)) return CardRead::Malformed;
  if (status != 0) return CardRead::Refused;

  CTCardDetails d;
  uint8_t length = 0;
  std::span<const uint8_t> field;
  if (!r.byte(length) || !r.take(length, field)) return CardRead::Malformed;
  d.FormatID = ConvertHex(field);
  if (!r.byte(length) || !r.take(length, field)) return CardRead::Malformed;
  d.Ksn = field.empty() ? std::string(kNoKsn) : upperHex(field);
  int32_t* tracks[] = {&d.Track1Length, &d.Track2Length, &d.Track3Length};
  for (int32_t* track : tracks) {
    if (!r.take(2, field)) return CardRead::Malformed;
    *track = static_cast<int8_t>(field[1]);
  }
  if (!r.byte(length) || !r.take(signedLength(length), field)) return CardRead::Malformed;
  Maskcard(field, d.MaskedPAN);
  if (!r.byte(length) || !r.take(signedLength(length), field)) return CardRead::Malformed;
  d.EncTracks = upperHex(field);
  if (!r.take(8, field)) return CardRead::Malformed;
  d.RandomNumber = upperHex(field);
  if (!r.take(4, field)) return CardRead::Malformed;
  d.ExpiryDate.assign(field.begin(), field.end());
  if (!r.byte(length) || !r.take(signedLength(length), field)) return CardRead::Malformed;
  d.CardHolderName.assign(field.begin(), field.end());
  out = std::move(d);
  return CardRead::Taken;
}

CTParsed CTReply::ParseCommand(std::span<const uint8_t> bytes, int32_t expectedKind) {
  CTParsed p;
  auto found = [&](int32_t kind, int32_t result) {
    p.kind = kind;
    p.result = kind == expectedKind ? result : kParseUnexpected;
    return p;
  };
  if (bytes.size() < 5 || bytes[0] != kStart) return found(kReplyUnknown, kParseExpected);
  const size_t length = (static_cast<size_t>(bytes[1]) << 8) | bytes[2];
  if (bytes.size() < length + 4) return found(kReplyUnknown, kParseTooShort);
  const auto frame = bytes.first(length + 4);
  if (check(frame) != 0) return found(kReplyUnknown, kParseBadCheck);
  // The code byte is counted by the length; the data follows it.
  const auto data = length > 0 ? frame.subspan(4, length - 1) : std::span<const uint8_t>();
  switch (frame[3]) {
    case 0x20:
      return found(startsWith(frame, kReply20Frame) ? kReply20 : kReplyUnknown, kParseExpected);
    case 0x21:
      p.ksn = data.empty() ? std::string(kNoKsn) : upperHex(data);
      return found(kReplyKsn, kParseExpected);
    case 0x22:
      return found(startsWith(frame, kReplyArmedFrame) ? kReplyArmed : kReplyUnknown, kParseExpected);
    case 0x23: {
      CTCardDetails card;
      switch (GetCardDetails(data, card)) {
        case CardRead::Taken:
          p.card = std::move(card);
          return found(kReplyCard, kParseExpected);
        case CardRead::Refused:
          return found(kReplyCard, kParseCardRefused);
        case CardRead::Malformed:
          return found(kReplyCard, kParseUnexpected);
      }
      break;
    }
    case 0x24:
      return found(kReply24, kParseExpected);
    case 0x25:
      return found(kReply25, kParseExpected);
    default:
      break;
  }
  return found(kReplyUnknown, kParseUnexpected);
}

}  // namespace nvx::reader::f0008
