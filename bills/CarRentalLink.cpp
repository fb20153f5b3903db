#include "bills/CarRentalLink.h"

#include "core/text/UrlEscaping.h"
#include "platform/foundation/Json.h"

namespace nvx {

namespace {

constexpr std::string_view kParams = "params=";

bool isAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether the URL's scheme (the letters, digits, "+", "-" and "." before the first ":") begins
// with "nvx", in any case.
bool isOwnScheme(std::string_view url) {
  const size_t colon = url.find(':');
  if (colon == std::string_view::npos || colon < 3 || !isAsciiAlpha(url[0])) return false;
  for (size_t i = 1; i < colon; ++i) {
    const char c = url[i];
    const bool ok = isAsciiAlpha(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    if (!ok) return false;
  }
  return lower(url[0]) == 'n' && lower(url[1]) == 'v' && lower(url[2]) == 'x';
}

bool onlySpaces(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

}  // namespace

bool CarRentalLink::isDiallable(std::string_view number) {
  if (number.size() < 3 || number.size() > kMaxNumberLength) return false;
  for (size_t i = 0; i < number.size(); ++i) {
    const char c = number[i];
    if (c >= '0' && c <= '9') continue;
    if (c == '+' && i == 0) continue;
    const bool between = i > 0 && i + 1 < number.size() && number[i - 1] >= '0' && number[i - 1] <= '9';
    if (c == '-' && between) continue;
    return false;
  }
  return true;
}

CarRentalLink CarRentalLink::read(std::string_view url) {
  CarRentalLink link;
  if (!isOwnScheme(url)) return link;
  link.kind = Kind::Ignore;
  const size_t start = url.find(kParams);
  if (start == std::string_view::npos) return link;
  std::string_view escaped = url.substr(start + kParams.size());
  if (const size_t next = escaped.find(kParams); next != std::string_view::npos) escaped = escaped.substr(0, next);
  auto text = text::originalURLString(escaped);
  if (!text || onlySpaces(*text)) return link;
  auto object = platform::json::parse(*text);
  if (!object || !object->is_object()) return link;
  const auto type = platform::json::textOnly(*object, "type");
  if (!type) return link;
  if (*type == "0") {
    link.kind = Kind::Close;
  } else if (*type == "1") {
    link.kind = Kind::ServiceSite;
  } else if (*type == "2") {
    const platform::Json* params = platform::json::member(*object, "params");
    auto mobile = params && params->is_object() ? platform::json::textOnly(*params, "mobile") : std::nullopt;
    if (mobile && isDiallable(*mobile)) {
      link.kind = Kind::Call;
      link.mobile = *mobile;
    }
  }
  return link;
}

}  // namespace nvx
