#include "core/crypto/Demix.h"

#include "core/crypto/Base64.h"
#include "core/text/CArithmetic.h"
#include "core/crypto/SecureBytes.h"

namespace nvx {
namespace {

// Digit d (0-F) becomes kMixTable[d].
constexpr std::string_view kMixTable = "25F0C37A9E64B18D";

constexpr std::array<char, 16> inverseTable() {
  std::array<char, 16> inverse{};
  const char* digits = "0123456789ABCDEF";
  for (size_t d = 0; d < 16; ++d) {
    char mixed = kMixTable[d];
    size_t at = mixed <= '9' ? size_t(mixed - '0') : size_t(mixed - 'A' + 10);
    inverse[at] = digits[d];
  }
  return inverse;
}
constexpr std::array<char, 16> kDemixTable = inverseTable();

// Maps every character through table; nothing at a character that is not an upper-case digit.
template <class Table>
std::optional<std::string> mapping(std::string_view text, const Table& table) {
  std::string mapped(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    int value = upperHexDigitValue(text[i]);
    if (value < 0) {
      secureWipe(mapped);
      return std::nullopt;
    }
    mapped[i] = table[static_cast<size_t>(value)];
  }
  return mapped;
}

}  // namespace

std::optional<std::string> mix(std::string_view hexText) {
  auto mapped = mapping(hexText, kMixTable);
  if (!mapped) return std::nullopt;
  auto scrambled = toBase64String(*mapped);
  secureWipe(*mapped);
  return scrambled;
}

std::optional<std::string> demix(std::string_view scrambled) {
  auto mapped = fromBase64String(scrambled);
  if (!mapped) return std::nullopt;
  auto plain = mapping(*mapped, kDemixTable);
  secureWipe(*mapped);
  return plain;
}

}  // namespace nvx
