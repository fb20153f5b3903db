// Hex conversion and two-key Triple DES blocks (E(K1), D(K2), E(K1)) built on CDes. No state.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace nvx {

class CArithmetic {
 public:
  CArithmetic() = default;
  virtual ~CArithmetic();

  // Converts hex digits two by two into out. Only the upper-case digits 0-9 and A-F are read:
  // at the first other character the conversion stops there and the result is -1 (the bytes
  // before it are written). An odd digit count, or an out too small for all the bytes, is -1
  // before anything is written. Otherwise the number of bytes written.
  int hexToBytes(std::string_view hex, std::span<uint8_t> out) const;
  // 2 × bytes.size() upper-case hex digits.
  std::string bytesToHex(std::span<const uint8_t> bytes) const;

  // K1 = key bytes 0-7, K2 = bytes 8-15. in and out may be the same buffer.
  void tripleDesEncryptBlock(std::span<const uint8_t, 16> key, std::span<const uint8_t, 8> in,
                             std::span<uint8_t, 8> out) const;
  void tripleDesDecryptBlock(std::span<const uint8_t, 16> key, std::span<const uint8_t, 8> in,
                             std::span<uint8_t, 8> out) const;
};

// The numeric value of an upper-case hex digit (0-9, A-F), or -1.
inline int upperHexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The numeric value of a hex digit of either case (0-9, a-f, A-F), or -1.
inline int hexDigitValue(char c) {
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c >= '0' && c <= '9' ? c - '0' : upperHexDigitValue(c);
}

// Hex digits of bytes, upper or lower case, without separators.
std::string hexString(std::span<const uint8_t> bytes, bool upperCase);

}  // namespace nvx
