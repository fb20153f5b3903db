// Nil-safe tests and small operations on texts: emptiness, trimming, paths, masked card numbers,
// colours from hex texts and bundle resource paths. Lengths count UTF-16 units.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Json.h"

namespace nvx {

// A colour as red, green, blue and alpha in 0..1 (the UI layer makes its own colour of it).
struct Rgba {
  double r = 1.0;
  double g = 1.0;
  double b = 1.0;
  double a = 1.0;
  bool operator==(const Rgba&) const = default;
};

namespace text {

// The value when it is a text, else "" (also for nothing).
std::string notNull(const platform::Json* value);
std::string notNull(const std::optional<std::string>& value);

// True when the text has no UTF-16 units or only spaces and tabs.
bool isEmpty(std::string_view text);
inline bool isEmpty(const std::string& text) { return isEmpty(std::string_view(text)); }
inline bool isEmpty(const char* text) { return text == nullptr || isEmpty(std::string_view(text)); }
// True for nothing and for an empty text (as above).
bool isEmpty(const std::optional<std::string>& text);
// True for nothing (nullptr), for a value that is not a text and for an empty text.
bool isEmpty(const platform::Json* value);

// Without leading and trailing spaces and tabs (any Unicode space separator, such as the
// ideographic space, counts as a space); line ends stay.
std::string trim(std::string_view text);

// "dir/name.ext" + s -> "dir/names.ext" (no extension: the path followed by s).
std::string pathAppendBeforeExtension(std::string_view path, std::string_view s);
// "dir/name" + s -> "dir/sname".
std::string pathAppendBeforeName(std::string_view path, std::string_view s);

// True when the text has 10 to 32 characters.
bool isCardNumValid(std::string_view text);
// Spaces removed, then "first4 next2 **** last4"; nothing when 9 or fewer characters remain.
std::optional<std::string> cardNum64format(std::string_view text);
// Spaces removed, then "first4 **** last4"; nothing when 7 or fewer characters remain.
std::optional<std::string> cardNum44format(std::string_view text);

// "#RRGGBB" or "RRGGBB" (white space and line ends around it ignored, any case) as a colour with
// the given alpha; a pair that is not hexadecimal counts as 0; anything else is opaque white.
Rgba hexStringToColorWithAlpha(std::string_view text, float alpha);

// The path of the bundle resource named by the text's last component ("name.type"); nothing
// when the bundle has none.
std::optional<std::string> mainBundlePath(std::string_view text);

}  // namespace text
}  // namespace nvx
