// JSON as the client reads and writes it: ordered objects, parsing that never throws, nulls
// dropped from replies, and the lenient conversions the system applies to fields that may come
// as numbers or as numeric texts.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace platform {

using Json = nlohmann::ordered_json;

namespace json {
// Parses text; nothing when it is not JSON (or nests deeper than 512 levels). Never throws.
std::optional<Json> parse(std::string_view text);
// Parses a reply body: like parse, with every null removed recursively (objects and arrays).
std::optional<Json> parseDroppingNulls(std::string_view text);
void dropNulls(Json& j);
// Compact text (UTF-8, invalid sequences replaced, never throws).
std::string dump(const Json& j);

// Field readers with the system's conversions; nothing when the field is missing or unusable.
// asText: a text as is; a number in its shortest text form ("12", "12.5"); a bool as "1"/"0".
std::optional<std::string> asText(const Json& j);
// asInt: an integer number, a real truncated toward zero, or a text's integer prefix ("12abc" -> 12).
std::optional<int64_t> asInt(const Json& j);
std::optional<double> asDouble(const Json& j);
// asBool: a bool; a number != 0; a text by the platform's boolValue rule (Y, y, T, t, 1-9 first).
std::optional<bool> asBool(const Json& j);
// Member lookups on an object (nothing when j is not an object or lacks the key).
const Json* member(const Json& j, std::string_view key);
std::optional<std::string> text(const Json& j, std::string_view key);
std::optional<int64_t> integer(const Json& j, std::string_view key);
std::optional<bool> boolean(const Json& j, std::string_view key);
// The member when it is a text, as it stands; nothing for any other kind (no conversion: a number
// is not read as a text here). For model fields that must come as texts.
std::optional<std::string> textOnly(const Json& j, std::string_view key);
// A copy of the member, whatever its kind; null when it is missing. For model fields kept as the
// server gives them.
Json valueOrNull(const Json& j, std::string_view key);
}  // namespace json

}  // namespace platform
