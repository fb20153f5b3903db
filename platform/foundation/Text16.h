// Text counted the way the phone platform counts it: in UTF-16 code units. Texts stay UTF-8
// std::string everywhere; these helpers convert through ICU where a length, an index or a range
// in UTF-16 units is needed (field ranges, "at most 32 characters", masks of the first or last N).
//
// Invalid UTF-8 rule: every ill-formed sequence in the input reads as one U+FFFD (one UTF-16
// unit), as ICU decodes it; the results are well-formed UTF-8. A cut through a surrogate pair
// (a range or index that splits an emoji) leaves U+FFFD in the place of the lone half. For the
// characters people type (ASCII, CJK of the basic plane) every count equals the platform's.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A range of UTF-16 units (location, length), as text-field delegates receive it.
struct Range16 {
  size_t location = 0;
  size_t length = 0;
  bool operator==(const Range16&) const = default;
};

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF).
bool isValidUtf8(std::string_view bytes);

std::u16string toUtf16(std::string_view utf8);
std::string fromUtf16(std::u16string_view utf16);

// Number of UTF-16 units.
size_t u16len(std::string_view utf8);
// The UTF-16 unit at index; nothing when the index is past the end.
std::optional<char16_t> u16at(std::string_view utf8, size_t index);
// Up to len units from pos; empty when pos is past the end (never fails).
std::string u16substr(std::string_view utf8, size_t pos, size_t len = std::u16string::npos);
// The text with the range replaced; nothing when the range does not lie inside the text.
std::optional<std::string> u16replace(std::string_view utf8, Range16 range, std::string_view with);

}  // namespace platform
