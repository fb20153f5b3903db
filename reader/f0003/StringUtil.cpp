#include "reader/f0003/StringUtil.h"

#include <algorithm>

namespace nvx::reader {

namespace {

std::span<const uint8_t> inside(std::span<const uint8_t> bytes, size_t start, size_t count) {
  if (start >= bytes.size()) return {};
  return bytes.subspan(start, std::min(count, bytes.size() - start));
}

}  // namespace

std::string StringUtil::bcdWithChars(std::span<const uint8_t> bytes, size_t start, size_t offset) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (uint8_t b : inside(bytes, start, offset)) {
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
  }
  return out;
}

std::string StringUtil::breakToBcd(std::span<const uint8_t> bytes, size_t index, size_t circle) {
  std::string out;
  for (uint8_t b : inside(bytes, index, circle)) {
    out += static_cast<char>(0x30 + (b >> 4));
    out += static_cast<char>(0x30 + (b & 0x0F));
  }
  return out;
}

}  // namespace nvx::reader
