// Numbers read from texts with the platform's lenient rules: leading blanks skipped, the longest
// numeric prefix taken, 0 (or NO) when there is none ("12abc" is 12, "abc" is 0).
#pragma once
#include <cstdint>
#include <string_view>

namespace nvx::text {

// Sign, digits, point, exponent; no hexadecimal, "inf" or "nan" forms.
double doubleValue(std::string_view text);
// Sign and digits; saturates at the 32-bit limits.
int32_t intValue(std::string_view text);
// Sign and digits; saturates at the 64-bit limits.
int64_t integerValue(std::string_view text);
// YES when the first character after blanks, an optional sign and leading zeros is one of
// Y, y, T, t or a digit 1-9 ("YES", "true", "1", "007"); NO otherwise ("NO", "0", "", "abc").
bool boolValue(std::string_view text);

}  // namespace nvx::text
