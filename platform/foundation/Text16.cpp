#include "platform/foundation/Text16.h"

#include <climits>

#include <unicode/unistr.h>
#include <unicode/utf8.h>

namespace platform {

namespace {

icu::UnicodeString decode(std::string_view utf8) {
  // Texts of 2 GB and more do not occur; cut rather than overflow ICU's 32-bit lengths.
  size_t n = std::min(utf8.size(), size_t(INT32_MAX));
  return icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), int32_t(n)));
}

std::string encode(const icu::UnicodeString& s) {
  std::string out;
  s.toUTF8String(out);
  return out;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
  const auto* s = reinterpret_cast<const uint8_t*>(bytes.data());
  if (bytes.size() > size_t(INT32_MAX)) return false;
  int32_t length = int32_t(bytes.size());
  int32_t i = 0;
  while (i < length) {
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (c < 0) return false;
  }
  return true;
}

std::u16string toUtf16(std::string_view utf8) {
  icu::UnicodeString s = decode(utf8);
  return std::u16string(s.getBuffer(), size_t(s.length()));
}

std::string fromUtf16(std::u16string_view utf16) {
  size_t n = std::min(utf16.size(), size_t(INT32_MAX));
  return encode(icu::UnicodeString(utf16.data(), int32_t(n)));
}

size_t u16len(std::string_view utf8) { return size_t(decode(utf8).length()); }

std::optional<char16_t> u16at(std::string_view utf8, size_t index) {
  icu::UnicodeString s = decode(utf8);
  if (index >= size_t(s.length())) return std::nullopt;
  return s.charAt(int32_t(index));
}

std::string u16substr(std::string_view utf8, size_t pos, size_t len) {
  icu::UnicodeString s = decode(utf8);
  size_t total = size_t(s.length());
  if (pos >= total) return std::string();
  size_t count = std::min(len, total - pos);
  return encode(icu::UnicodeString(s, int32_t(pos), int32_t(count)));
}

std::optional<std::string> u16replace(std::string_view utf8, Range16 range, std::string_view with) {
  icu::UnicodeString s = decode(utf8);
  size_t total = size_t(s.length());
  if (range.location > total || range.length > total - range.location) return std::nullopt;
  s.replace(int32_t(range.location), int32_t(range.length), decode(with));
  return encode(s);
}

}  // namespace platform
