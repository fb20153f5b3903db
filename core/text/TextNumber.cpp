#include "core/text/TextNumber.h"

#include <algorithm>
#include <limits>
#include <string>

#include "platform/foundation/Json.h"

// One rule for every text the client reads as a number: the platform's JSON field readers
// already apply it to numeric texts, so a text here goes through them too.
namespace nvx::text {

namespace {
platform::Json asJson(std::string_view text) { return platform::Json(std::string(text)); }
}  // namespace

double doubleValue(std::string_view text) {
  return platform::json::asDouble(asJson(text)).value_or(0.0);
}

int32_t intValue(std::string_view text) {
  int64_t v = integerValue(text);
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

int64_t integerValue(std::string_view text) {
  return platform::json::asInt(asJson(text)).value_or(0);
}

bool boolValue(std::string_view text) {
  return platform::json::asBool(asJson(text)).value_or(false);
}

}  // namespace nvx::text
