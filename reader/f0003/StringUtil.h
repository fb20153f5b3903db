// Text from the bytes of a reader message. Both helpers read only the bytes that lie inside the
// message: a range that reaches past its end gives the text of the part inside.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace nvx::reader {

struct StringUtil {
  // `offset` bytes from `start`, each as two upper-case hexadecimal digits.
  static std::string bcdWithChars(std::span<const uint8_t> bytes, size_t start, size_t offset);
  // `circle` bytes from `index`, each as two characters, high nibble first, each nibble written
  // as the character 0x30 plus the nibble (BCD digits; a nibble above 9 gives ':' to '?').
  static std::string breakToBcd(std::span<const uint8_t> bytes, size_t index, size_t circle);
};

}  // namespace nvx::reader
