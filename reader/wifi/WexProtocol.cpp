#include "reader/wifi/WexProtocol.h"

#include <string_view>

#include "platform/foundation/Text16.h"

namespace nvx::reader {

uint8_t WexProtocol::Senddata_LRCcheck(const uint8_t* bytes, size_t count) {
  uint8_t lrc = 0;
  for (size_t i = 0; i < count; ++i) lrc ^= bytes[i];
  return lrc;
}

std::string WexProtocol::ByteToHex(const uint8_t* bytes, size_t count) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(count * 2);
  for (size_t i = 0; i < count; ++i) {
    text.push_back(kDigits[bytes[i] >> 4]);
    text.push_back(kDigits[bytes[i] & 0x0F]);
  }
  return text;
}

std::string WexProtocol::ByteToASCII(const uint8_t* bytes, size_t count) {
  std::string_view text(reinterpret_cast<const char*>(bytes), count);
  if (!platform::isValidUtf8(text)) return std::string();
  return std::string(text);
}

std::array<uint8_t, 6> WexProtocol::commandFrame(uint8_t code) {
  std::array<uint8_t, 6> frame{0xAA, 0x02, code, 0x00, 0x0F, 0x00};
  frame[5] = Senddata_LRCcheck(frame.data(), 5);
  return frame;
}

std::optional<size_t> WexProtocol::completeReplyLength(const uint8_t* bytes, size_t count) {
  if (count < 2) return std::nullopt;
  size_t length = static_cast<size_t>(bytes[1]) + 4;
  if (count < length) return std::nullopt;
  return length;
}

std::variant<WexReply, WexReplyError> WexProtocol::ProcessDataResult(const uint8_t* buffer, size_t length) {
  size_t start = 0;
  while (start < length && buffer[start] != 0x55) ++start;
  if (start + 2 > length) return WexReplyError::Malformed;
  const uint8_t* frame = buffer + start;
  size_t left = length - start;
  size_t l = frame[1];
  if (l < 2 || left < l + 4) return WexReplyError::Malformed;
  WexReply reply;
  reply.sw1 = frame[2];
  reply.sw2 = frame[3];
  reply.data.assign(frame + 4, frame + 4 + (l - 2));
  uint8_t check = static_cast<uint8_t>(reply.sw1 ^ reply.sw2 ^ static_cast<uint8_t>(l) ^ 0x5A);
  check ^= Senddata_LRCcheck(reply.data.data(), reply.data.size());
  if (frame[l + 2] != 0x0F || frame[l + 3] != check) return WexReplyError::CheckFailed;
  return reply;
}

std::string WexProtocol::maskCardNumber(const uint8_t* field, size_t count) {
  std::string number = ByteToHex(field, count);
  if (size_t cut = number.find('A'); cut != std::string::npos) number.resize(cut);
  if (number.size() > 10) {
    for (size_t i = 6; i < number.size() - 4; ++i) number[i] = '*';
  }
  return number;
}

std::optional<WexCardInfo> WexProtocol::parseCardInfoWithData(const uint8_t* data, size_t length) {
  if (length < kMinCardData) return std::nullopt;
  WexCardInfo info;
  info.track1Length = data[0];
  info.track2Length = data[1];
  info.track3Length = data[2];
  info.maskedPAN = maskCardNumber(data + 3, 10);
  info.randomNumber = ByteToHex(data + 13, 8);
  info.encTracks = ByteToHex(data + 21, length - 4 - 21);
  info.expiryDate = ByteToASCII(data + length - 4, 4);
  return info;
}

}  // namespace nvx::reader
