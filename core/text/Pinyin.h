// Pinyin initials of the CJK Unified Ideographs U+4E00..U+9FA5, for searching Chinese names by
// their initials (city search).
#pragma once
#include <cstddef>

namespace nvx {

// The lower-case pinyin initial of an ideograph U+4E00..U+9FA5 (one reading per ideograph; only
// a-h, j-t and w-z occur); 0 for U+9FA6; the code unit's low byte for every other value, so
// ASCII letters and digits come back unchanged.
char pinyinInitialOf(char16_t unit);

namespace detail {
inline constexpr char16_t kPinyinFirst = 0x4E00;
inline constexpr size_t kPinyinTableSize = 20903;   // U+4E00..U+9FA6
extern const char kPinyinInitials[kPinyinTableSize];
}  // namespace detail

}  // namespace nvx
