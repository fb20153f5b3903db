#include "core/text/DateFormats.h"

#include <array>
#include <climits>
#include <cmath>
#include <memory>

#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

namespace nvx {

namespace {

constexpr std::array<std::string_view, 8> kPatterns = {
    "yyyy-MM-dd HH:mm", "yyyy-MM-dd", "yyyy-MM-dd HH:mm:ss", "yyyyMMdd",
    "yyyyMMddHHmmss",   "MM月dd日",   "MM月dd日",            "yyyy年MM月dd日",
};

icu::UnicodeString u16(std::string_view s) {
  return icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), int32_t(std::min<size_t>(s.size(), INT32_MAX))));
}

// A formatter in the default time zone (the ICU default at the time of the call).
std::unique_ptr<icu::SimpleDateFormat> formatter(std::string_view pattern, std::string_view locale) {
  UErrorCode status = U_ZERO_ERROR;
  auto f = std::make_unique<icu::SimpleDateFormat>(
      u16(pattern), icu::Locale(std::string(locale).c_str()), status);
  if (U_FAILURE(status)) return nullptr;
  f->setLenient(false);
  return f;
}

UDate toUDate(platform::WallTime t) {
  return static_cast<UDate>(
      std::chrono::duration_cast<std::chrono::microseconds>(t.time_since_epoch()).count()) / 1000.0;
}

platform::WallTime fromUDate(UDate d) {
  return platform::WallTime(std::chrono::duration_cast<platform::Duration>(
      std::chrono::duration<double, std::milli>(std::floor(d))));
}

}  // namespace

std::optional<std::string> formateString(int index) {
  if (index < 0 || size_t(index) >= kPatterns.size()) return std::nullopt;
  return std::string(kPatterns[size_t(index)]);
}

std::optional<std::string> currentDate(int index) {
  auto pattern = formateString(index);
  if (!pattern) return std::nullopt;
  return formatDate(platform::clock().wallNow(), *pattern);
}

std::string standardCurrentDate() { return currentDate(0).value_or(std::string()); }

std::string formatDate(platform::WallTime time, std::string_view pattern, std::string_view locale,
                       std::string_view timeZone) {
  auto f = formatter(pattern, locale);
  if (!f) return std::string();
  if (!timeZone.empty()) f->adoptTimeZone(icu::TimeZone::createTimeZone(u16(timeZone)));
  icu::UnicodeString out;
  f->format(toUDate(time), out);
  std::string utf8;
  out.toUTF8String(utf8);
  return utf8;
}

std::optional<platform::WallTime> parseDate(std::string_view text, std::string_view pattern,
                                            std::string_view locale) {
  auto f = formatter(pattern, locale);
  if (!f) return std::nullopt;
  icu::UnicodeString source = u16(text);
  icu::ParsePosition pos(0);
  UDate d = f->parse(source, pos);
  if (pos.getErrorIndex() >= 0 || pos.getIndex() != source.length() || source.isEmpty()) {
    return std::nullopt;
  }
  return fromUDate(d);
}

namespace text {

std::optional<std::string> formatDateWithSrc(std::string_view text, std::string_view srcPattern,
                                             std::string_view destPattern) {
  auto time = parseDate(text, srcPattern);
  if (!time) return std::nullopt;
  return formatDate(*time, destPattern);
}

std::optional<std::string> formatDateWithSrcFormat(std::string_view text, int srcIndex,
                                                   int destIndex) {
  auto src = formateString(srcIndex);
  auto dest = formateString(destIndex);
  if (!src || !dest) return std::nullopt;
  return formatDateWithSrc(text, *src, *dest);
}

std::optional<std::string> CNDateFromYMD2YM(std::string_view text) {
  return formatDateWithSrcFormat(text, 1, 6);
}

std::optional<platform::WallTime> formateDate(std::string_view text, int index) {
  auto pattern = formateString(index);
  if (!pattern) return std::nullopt;
  return parseDate(text, *pattern);
}

}  // namespace text

}  // namespace nvx
