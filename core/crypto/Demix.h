// The reversible scrambling of stored hex texts (key material kept in the settings): each
// upper-case hex digit is replaced through a fixed permutation of the sixteen digits, and the
// result is carried as Base64 of its UTF-16 bytes (toBase64String).
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace nvx {

// Scrambles an upper-case hex text. Nothing when the text holds another character.
std::optional<std::string> mix(std::string_view hexText);
// Unscrambles a text made by mix. Nothing when it does not decode to upper-case hex digits.
std::optional<std::string> demix(std::string_view scrambled);

}  // namespace nvx
