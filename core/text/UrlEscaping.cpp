#include "core/text/UrlEscaping.h"

#include <algorithm>
#include <cstdio>

#include "core/text/CArithmetic.h"
#include "core/text/Dict.h"
#include "platform/foundation/Text16.h"

namespace nvx::text {

namespace {

bool isAlnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

void appendEscape(std::string& out, unsigned char byte) {
  char buf[4];
  std::snprintf(buf, sizeof buf, "%%%02X", static_cast<unsigned>(byte));
  out += buf;
}

// Escapes every UTF-8 byte for which keep() is false. Nothing for invalid UTF-8.
template <class Keep>
std::optional<std::string> percentEscape(std::string_view text, Keep keep) {
  if (!platform::isValidUtf8(text)) return std::nullopt;
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    if (c < 0x80 && keep(c)) {
      out += ch;
    } else {
      appendEscape(out, c);
    }
  }
  return out;
}

// Characters that may stand in a URL as they are: letters, digits and - . _ ~ ! $ & ' ( ) * +
// , / : ; = ? @. Everything else (controls, space, " # % < > [ \ ] ^ ` { | }) must be escaped.
bool isLegalInUrl(unsigned char c) {
  if (isAlnum(c)) return true;
  switch (c) {
    case '-': case '.': case '_': case '~': case '!': case '$': case '&': case '\'':
    case '(': case ')': case '*': case '+': case ',': case '/': case ':': case ';':
    case '=': case '?': case '@':
      return true;
    default:
      return false;
  }
}

platform::Json parseQuery(std::string_view query) {
  platform::Json params = platform::Json::object();
  size_t start = 0;
  while (start <= query.size()) {
    size_t amp = query.find('&', start);
    if (amp == std::string_view::npos) amp = query.size();
    std::string_view piece = query.substr(start, amp - start);
    size_t eq = piece.find('=');
    if (eq != std::string_view::npos && piece.find('=', eq + 1) == std::string_view::npos) {
      params[std::string(piece.substr(0, eq))] = std::string(piece.substr(eq + 1));
    }
    start = amp + 1;
  }
  return params;
}

// The platform's last path component: trailing slashes ignored, then what follows the last "/".
std::string_view lastPathComponent(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  if (path == "/") return path;
  size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view querySeparator(std::string_view url) {
  return lastPathComponent(url).find('?') != std::string_view::npos ? "&" : "?";
}

}  // namespace

std::string encodeURLString(std::string_view text) {
  auto escaped = percentEscape(text, [](unsigned char c) {
    return isAlnum(c) || c == '-' || c == '.' || c == '_';
  });
  return escaped ? *escaped : std::string();
}

std::string escapedURLString(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case ' ': case '#': case '%': case '/': case ':': case ';': case '@':
        appendEscape(out, c);
        break;
      default:
        if (c >= 0x80) {
          appendEscape(out, c);
        } else {
          out += ch;
        }
    }
  }
  return out;
}

std::optional<std::string> originalURLString(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '%') {
      if (text[i] != '\0') out += text[i];
      ++i;
      continue;
    }
    int value = 0;
    for (size_t k = i + 1; k < i + 3 && k < text.size(); ++k) value = value * 16 + std::max(0, hexDigitValue(text[k]));
    if (value != 0) out += static_cast<char>(value);
    i += 3;
  }
  if (!platform::isValidUtf8(out)) return std::nullopt;
  return out;
}

std::optional<std::string> escapesUTF8Url(std::string_view text) {
  return percentEscape(text, isLegalInUrl);
}

std::optional<std::string> URLEncodedString(std::string_view text) {
  return percentEscape(text, [](unsigned char c) {
    return isAlnum(c) || c == '-' || c == '.' || c == '_' || c == '~';
  });
}

platform::Json paramsOfUrl(std::string_view url) {
  size_t q = url.find('?');
  if (q == std::string_view::npos) return platform::Json::object();
  return parseQuery(url.substr(q + 1));
}

platform::Json paramsOfUrlParams(std::string_view query) { return parseQuery(query); }

std::string URLStringWithoutQuery(std::string_view url) {
  return std::string(url.substr(0, url.find('?')));
}

std::string urlAppendValue(std::string_view url, std::string_view value, std::string_view key) {
  std::string out(url);
  out += querySeparator(url);
  out += key;
  out += '=';
  out += value;
  return out;
}

std::string urlAppendKeyValues(std::string_view url, const platform::Json& pairs) {
  if (dict::isEmpty(&pairs)) return std::string(url);
  std::string out(url);
  out += querySeparator(url);
  out += dict::urlParams(pairs);
  return out;
}

std::string URLParamstringWithDictionary(const platform::Json& dictionary) {
  std::string out;
  if (!dictionary.is_object()) return out;
  bool first = true;
  for (auto it = dictionary.begin(); it != dictionary.end(); ++it) {
    if (!it.value().is_string()) continue;
    auto key = URLEncodedString(it.key());
    auto value = URLEncodedString(it.value().get_ref<const std::string&>());
    if (!key || !value) continue;
    if (!first) out += '&';
    first = false;
    out += *key;
    out += '=';
    out += *value;
  }
  return out;
}

}  // namespace nvx::text
