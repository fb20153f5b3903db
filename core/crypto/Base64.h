// Base64 (RFC 4648 alphabet, "=" padding) for data, and the Base64 text helpers that carry a text
// as its UTF-16 bytes.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace nvx {

// Standard Base64 of the bytes, with "=" padding and no line breaks; empty data gives "".
std::string base64StringFromData(std::string_view data);
// Lenient decoding: characters outside the alphabet (line breaks, spaces, ...) are skipped and
// the first "=" ends the text; a last group of 2 or 3 characters gives 1 or 2 bytes, a lone last
// character is dropped. Empty text gives empty data.
std::string base64DataFromString(std::string_view text);

// The text (UTF-8) as UTF-16 little-endian bytes behind the byte-order mark FF FE, in Base64.
// Nothing when the text is not valid UTF-8.
std::optional<std::string> toBase64String(std::string_view text);
// The reverse: decodes the Base64, reads the bytes as UTF-16 (a byte-order mark decides the
// byte order; without one, little-endian) and returns the text as UTF-8. Nothing when the bytes
// are not UTF-16 (odd count, unpaired surrogate).
std::optional<std::string> fromBase64String(std::string_view base64);

}  // namespace nvx
