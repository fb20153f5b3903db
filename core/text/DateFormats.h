// Dates as the client shows and reads them: the table of date patterns, the current date in one
// of them, and re-formatting of date texts. Patterns are ICU date patterns, applied with the
// Chinese (China) locale's calendar rules in the default time zone; reading is strict (a text
// that does not follow the pattern to its end gives nothing). "Now" is platform::clock().wallNow().
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Clock.h"

namespace nvx {

// The pattern of a table index 0..7 ("yyyy-MM-dd HH:mm", "yyyy-MM-dd", "yyyy-MM-dd HH:mm:ss",
// "yyyyMMdd", "yyyyMMddHHmmss", "MM月dd日", "MM月dd日", "yyyy年MM月dd日"); nothing for any other.
std::optional<std::string> formateString(int index);
// The current local date and time in the pattern of the index; nothing for an unknown index.
std::optional<std::string> currentDate(int index);
// currentDate(0): "yyyy-MM-dd HH:mm".
std::string standardCurrentDate();

// A time written in a pattern, in the default time zone or the one named (an ICU zone ID such
// as "GMT"); locale zh_CN unless given.
std::string formatDate(platform::WallTime time, std::string_view pattern,
                       std::string_view locale = "zh_CN", std::string_view timeZone = {});
// A text read with a pattern; nothing when it does not follow the pattern to its end.
std::optional<platform::WallTime> parseDate(std::string_view text, std::string_view pattern,
                                            std::string_view locale = "zh_CN");

namespace text {
// The text read as a date with the first pattern and written with the second; nothing when it
// cannot be read.
std::optional<std::string> formatDateWithSrc(std::string_view text, std::string_view srcPattern,
                                             std::string_view destPattern);
// The same with two indexes of the table (nothing for an unknown index).
std::optional<std::string> formatDateWithSrcFormat(std::string_view text, int srcIndex,
                                                   int destIndex);
// "yyyy-MM-dd" to "MM月dd日".
std::optional<std::string> CNDateFromYMD2YM(std::string_view text);
// The text read as a date with the pattern of a table index.
std::optional<platform::WallTime> formateDate(std::string_view text, int index);
}  // namespace text

}  // namespace nvx
