#include "platform/foundation/Json.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace platform::json {

namespace {

// Replies and stored files nest a few levels; anything deeper is refused before parsing so that
// the recursive walks below (dropNulls, dump, destruction) stay within a small stack.
constexpr int kMaxDepth = 512;

bool nestsTooDeep(std::string_view text) {
  int depth = 0;
  bool inString = false;
  bool escaped = false;
  for (char c : text) {
    if (inString) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        inString = false;
      }
      continue;
    }
    if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxDepth) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
}

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Where the digits of a text's value start, as the platform's value readers find them: after
// leading blanks and an optional sign.
struct ValueStart {
  size_t at = 0;
  bool negative = false;
};

ValueStart valueStart(std::string_view s) {
  ValueStart start;
  while (start.at < s.size() && isBlank(s[start.at])) ++start.at;
  if (start.at < s.size() && (s[start.at] == '+' || s[start.at] == '-')) {
    start.negative = s[start.at] == '-';
    ++start.at;
  }
  return start;
}

// The platform's intValue/integerValue of a text: leading blanks skipped, an optional sign, the
// longest run of digits; 0 when there is none. Values beyond the 64-bit range saturate.
int64_t textIntegerPrefix(std::string_view s) {
  auto [i, negative] = valueStart(s);
  uint64_t magnitude = 0;
  const uint64_t limit = negative ? uint64_t(std::numeric_limits<int64_t>::max()) + 1
                                  : uint64_t(std::numeric_limits<int64_t>::max());
  bool saturated = false;
  for (; i < s.size() && isDigit(s[i]); ++i) {
    unsigned d = unsigned(s[i] - '0');
    if (saturated || magnitude > (limit - d) / 10) {
      saturated = true;
      continue;
    }
    magnitude = magnitude * 10 + d;
  }
  if (saturated) magnitude = limit;
  if (negative) {
    return magnitude == uint64_t(std::numeric_limits<int64_t>::max()) + 1
               ? std::numeric_limits<int64_t>::min()
               : -int64_t(magnitude);
  }
  return int64_t(magnitude);
}

// The platform's doubleValue of a text: leading blanks skipped, the longest decimal prefix
// (sign, digits, point, exponent); 0 when there is none. No hexadecimal, "inf" or "nan" forms.
double textDoublePrefix(std::string_view s) {
  auto [start, negative] = valueStart(s);
  size_t end = start;
  bool digits = false;
  while (end < s.size() && isDigit(s[end])) { ++end; digits = true; }
  if (end < s.size() && s[end] == '.') {
    ++end;
    while (end < s.size() && isDigit(s[end])) { ++end; digits = true; }
  }
  if (!digits) return 0.0;
  if (end < s.size() && (s[end] == 'e' || s[end] == 'E')) {
    size_t e = end + 1;
    if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
    if (e < s.size() && isDigit(s[e])) {
      while (e < s.size() && isDigit(s[e])) ++e;
      end = e;
    }
  }
  std::string number(s.substr(start, end - start));
  double value = 0.0;
  auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Overflow gives infinity, underflow zero: what strtod reports.
    value = std::strtod(number.c_str(), nullptr);
  } else if (ec != std::errc()) {
    value = 0.0;
  }
  (void)ptr;
  return negative ? -value : value;
}

// The platform's boolValue of a text: YES when the first character after blanks, an optional
// sign and leading zeros is one of Y, y, T, t or a digit 1-9.
bool textBool(std::string_view s) {
  size_t i = valueStart(s).at;
  while (i < s.size() && s[i] == '0') ++i;
  if (i >= s.size()) return false;
  char c = s[i];
  return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

std::string shortestText(double d) {
  if (std::isnan(d)) return "nan";
  if (std::isinf(d)) return d > 0 ? "inf" : "-inf";
  char buf[64];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, d);
  if (ec != std::errc()) return "0";
  return std::string(buf, ptr);
}

int64_t truncateToInt64(double d) {
  if (std::isnan(d)) return 0;
  if (d >= 9223372036854775807.0) return std::numeric_limits<int64_t>::max();
  if (d <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(d);   // toward zero
}

}  // namespace

std::optional<Json> parse(std::string_view text) {
  if (nestsTooDeep(text)) return std::nullopt;
  Json j = Json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
  if (j.is_discarded()) return std::nullopt;
  return j;
}

std::optional<Json> parseDroppingNulls(std::string_view text) {
  auto j = parse(text);
  if (j) dropNulls(*j);
  return j;
}

void dropNulls(Json& j) {
  if (j.is_object()) {
    for (auto it = j.begin(); it != j.end();) {
      if (it->is_null()) {
        it = j.erase(it);
      } else {
        dropNulls(*it);
        ++it;
      }
    }
  } else if (j.is_array()) {
    for (size_t i = 0; i < j.size();) {
      if (j[i].is_null()) {
        j.erase(i);
      } else {
        dropNulls(j[i]);
        ++i;
      }
    }
  }
}

std::string dump(const Json& j) {
  try {
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
  } catch (const std::exception&) {
    // Only binary values (never produced by our parser) could reach here.
    return std::string();
  }
}

std::optional<std::string> asText(const Json& j) {
  switch (j.type()) {
    case Json::value_t::string: return j.get_ref<const std::string&>();
    case Json::value_t::number_integer: return std::to_string(j.get<int64_t>());
    case Json::value_t::number_unsigned: return std::to_string(j.get<uint64_t>());
    case Json::value_t::number_float: return shortestText(j.get<double>());
    case Json::value_t::boolean: return std::string(j.get<bool>() ? "1" : "0");
    default: return std::nullopt;
  }
}

std::optional<int64_t> asInt(const Json& j) {
  switch (j.type()) {
    case Json::value_t::number_integer: return j.get<int64_t>();
    case Json::value_t::number_unsigned: {
      uint64_t u = j.get<uint64_t>();
      return u > uint64_t(std::numeric_limits<int64_t>::max()) ? std::numeric_limits<int64_t>::max()
                                                              : int64_t(u);
    }
    case Json::value_t::number_float: return truncateToInt64(j.get<double>());
    case Json::value_t::boolean: return j.get<bool>() ? 1 : 0;
    case Json::value_t::string: return textIntegerPrefix(j.get_ref<const std::string&>());
    default: return std::nullopt;
  }
}

std::optional<double> asDouble(const Json& j) {
  switch (j.type()) {
    case Json::value_t::number_integer: return double(j.get<int64_t>());
    case Json::value_t::number_unsigned: return double(j.get<uint64_t>());
    case Json::value_t::number_float: return j.get<double>();
    case Json::value_t::boolean: return j.get<bool>() ? 1.0 : 0.0;
    case Json::value_t::string: return textDoublePrefix(j.get_ref<const std::string&>());
    default: return std::nullopt;
  }
}

std::optional<bool> asBool(const Json& j) {
  switch (j.type()) {
    case Json::value_t::boolean: return j.get<bool>();
    case Json::value_t::number_integer: return j.get<int64_t>() != 0;
    case Json::value_t::number_unsigned: return j.get<uint64_t>() != 0;
    case Json::value_t::number_float: return j.get<double>() != 0.0;
    case Json::value_t::string: return textBool(j.get_ref<const std::string&>());
    default: return std::nullopt;
  }
}

const Json* member(const Json& j, std::string_view key) {
  if (!j.is_object()) return nullptr;
  auto it = j.find(key);
  return it == j.end() ? nullptr : &*it;
}

std::optional<std::string> text(const Json& j, std::string_view key) {
  const Json* m = member(j, key);
  return m ? asText(*m) : std::nullopt;
}

std::optional<int64_t> integer(const Json& j, std::string_view key) {
  const Json* m = member(j, key);
  return m ? asInt(*m) : std::nullopt;
}

std::optional<bool> boolean(const Json& j, std::string_view key) {
  const Json* m = member(j, key);
  return m ? asBool(*m) : std::nullopt;
}

std::optional<std::string> textOnly(const Json& j, std::string_view key) {
  const Json* m = member(j, key);
  if (!m || !m->is_string()) return std::nullopt;
  return m->get_ref<const std::string&>();
}

Json valueOrNull(const Json& j, std::string_view key) {
  const Json* m = member(j, key);
  return m ? *m : Json();
}

}  // namespace platform::json
