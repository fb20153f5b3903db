#include "core/text/TextExt.h"

#include <climits>

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Text16.h"

namespace nvx::text {

namespace {

bool isSpaceOrTab(UChar32 c) { return c == '\t' || u_charType(c) == U_SPACE_SEPARATOR; }

bool isWhiteOrLineEnd(UChar32 c) {
  if (c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x85) return true;
  int8_t type = u_charType(c);
  return type == U_SPACE_SEPARATOR || type == U_LINE_SEPARATOR || type == U_PARAGRAPH_SEPARATOR;
}

// The text without leading and trailing characters for which strip() holds; the bytes in
// between are kept as they are.
template <class Strip>
std::string_view trimBy(std::string_view text, Strip strip) {
  const auto* s = reinterpret_cast<const uint8_t*>(text.data());
  int32_t length = int32_t(std::min<size_t>(text.size(), INT32_MAX));
  int32_t start = 0;
  while (start < length) {
    int32_t next = start;
    UChar32 c;
    U8_NEXT(s, next, length, c);
    if (c < 0 || !strip(c)) break;
    start = next;
  }
  int32_t end = length;
  while (end > start) {
    int32_t prev = end;
    UChar32 c;
    U8_PREV(s, start, prev, c);
    if (c < 0 || !strip(c)) break;
    end = prev;
  }
  return text.substr(size_t(start), size_t(end - start));
}

std::string withoutSpaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != ' ') out += c;
  }
  return out;
}

// The platform's path splitting: trailing slashes are not part of the last component.
std::string_view withoutTrailingSlashes(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  return path;
}

// Where the last component's extension starts (its "."), or npos.
size_t extensionDot(std::string_view path) {
  size_t slash = path.rfind('/');
  size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot <= nameStart || dot + 1 == path.size()) {
    return std::string_view::npos;
  }
  return dot;
}

// Leading hexadecimal digits of a short text (after blanks); 0 when there are none.
int hexPrefix(std::u16string_view pair) {
  size_t i = 0;
  while (i < pair.size() && (pair[i] == u' ' || pair[i] == u'\t')) ++i;
  int value = 0;
  for (; i < pair.size(); ++i) {
    char16_t c = pair[i];
    int digit;
    if (c >= u'0' && c <= u'9') {
      digit = c - u'0';
    } else if (c >= u'A' && c <= u'F') {
      digit = c - u'A' + 10;
    } else if (c >= u'a' && c <= u'f') {
      digit = c - u'a' + 10;
    } else {
      break;
    }
    value = value * 16 + digit;
  }
  return value;
}

}  // namespace

std::string notNull(const platform::Json* value) {
  if (value == nullptr || !value->is_string()) return std::string();
  return value->get_ref<const std::string&>();
}

std::string notNull(const std::optional<std::string>& value) { return value.value_or(std::string()); }

bool isEmpty(std::string_view text) { return trimBy(text, isSpaceOrTab).empty(); }

bool isEmpty(const std::optional<std::string>& text) { return !text || isEmpty(*text); }

bool isEmpty(const platform::Json* value) {
  return value == nullptr || !value->is_string() ||
         isEmpty(std::string_view(value->get_ref<const std::string&>()));
}

std::string trim(std::string_view text) { return std::string(trimBy(text, isSpaceOrTab)); }

std::string pathAppendBeforeExtension(std::string_view path, std::string_view s) {
  std::string_view p = withoutTrailingSlashes(path);
  size_t dot = extensionDot(p);
  if (dot == std::string_view::npos) return std::string(p) + std::string(s);
  return std::string(p.substr(0, dot)) + std::string(s) + std::string(p.substr(dot));
}

std::string pathAppendBeforeName(std::string_view path, std::string_view s) {
  std::string_view p = withoutTrailingSlashes(path);
  size_t slash = p.rfind('/');
  if (slash == std::string_view::npos) return std::string(s) + std::string(p);
  return std::string(p.substr(0, slash + 1)) + std::string(s) + std::string(p.substr(slash + 1));
}

bool isCardNumValid(std::string_view text) {
  size_t n = platform::u16len(text);
  return n >= 10 && n <= 32;
}

std::optional<std::string> cardNum64format(std::string_view text) {
  std::string digits = withoutSpaces(text);
  size_t n = platform::u16len(digits);
  if (n <= 9) return std::nullopt;
  return platform::u16substr(digits, 0, 4) + " " + platform::u16substr(digits, 4, 2) + " **** " +
         platform::u16substr(digits, n - 4);
}

std::optional<std::string> cardNum44format(std::string_view text) {
  std::string digits = withoutSpaces(text);
  size_t n = platform::u16len(digits);
  if (n <= 7) return std::nullopt;
  return platform::u16substr(digits, 0, 4) + " **** " + platform::u16substr(digits, n - 4);
}

Rgba hexStringToColorWithAlpha(std::string_view text, float alpha) {
  const Rgba white;
  std::u16string s = platform::toUtf16(trimBy(text, isWhiteOrLineEnd));
  if (s.size() < 6) return white;
  if (s.front() == u'#') s.erase(0, 1);
  if (s.size() != 6) return white;
  std::u16string_view v(s);
  return Rgba{hexPrefix(v.substr(0, 2)) / 255.0, hexPrefix(v.substr(2, 2)) / 255.0,
              hexPrefix(v.substr(4, 2)) / 255.0, static_cast<double>(alpha)};
}

std::optional<std::string> mainBundlePath(std::string_view text) {
  std::string_view p = withoutTrailingSlashes(text);
  size_t slash = p.rfind('/');
  std::string_view file = slash == std::string_view::npos ? p : p.substr(slash + 1);
  size_t dot = extensionDot(file);
  std::string_view name = dot == std::string_view::npos ? file : file.substr(0, dot);
  std::string_view type = dot == std::string_view::npos ? std::string_view() : file.substr(dot + 1);
  if (name.empty()) return std::nullopt;
  auto path = platform::Bundle::main().resource(name, type);
  if (!path) return std::nullopt;
  return path->string();
}

}  // namespace nvx::text
