#include "core/text/CArithmetic.h"

#include <climits>

#include "core/crypto/CDes.h"

namespace nvx {

CArithmetic::~CArithmetic() = default;

int CArithmetic::hexToBytes(std::string_view hex, std::span<uint8_t> out) const {
  if (hex.size() % 2 != 0 || hex.size() / 2 > out.size() || hex.size() / 2 > size_t(INT_MAX)) {
    return -1;
  }
  for (size_t i = 0; i < hex.size(); i += 2) {
    int high = upperHexDigitValue(hex[i]);
    int low = upperHexDigitValue(hex[i + 1]);
    if (high < 0 || low < 0) return -1;
    out[i / 2] = static_cast<uint8_t>(high << 4 | low);
  }
  return static_cast<int>(hex.size() / 2);
}

std::string hexString(std::span<const uint8_t> bytes, bool upperCase) {
  const char* digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
  std::string hex(bytes.size() * 2, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) {
    hex[2 * i] = digits[bytes[i] >> 4];
    hex[2 * i + 1] = digits[bytes[i] & 0xFu];
  }
  return hex;
}

std::string CArithmetic::bytesToHex(std::span<const uint8_t> bytes) const {
  return hexString(bytes, true);
}

void CArithmetic::tripleDesEncryptBlock(std::span<const uint8_t, 16> key,
                                        std::span<const uint8_t, 8> in,
                                        std::span<uint8_t, 8> out) const {
  CDes des;
  des.encryptBlock(in, out, key.first<8>());
  des.decryptBlock(out, out, key.last<8>());
  des.encryptBlock(out, out, key.first<8>());
}

void CArithmetic::tripleDesDecryptBlock(std::span<const uint8_t, 16> key,
                                        std::span<const uint8_t, 8> in,
                                        std::span<uint8_t, 8> out) const {
  CDes des;
  des.decryptBlock(in, out, key.first<8>());
  des.encryptBlock(out, out, key.last<8>());
  des.decryptBlock(out, out, key.first<8>());
}

}  // namespace nvx
