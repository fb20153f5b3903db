// One DES block (FIPS 46-3). Each operation sets its 8-byte key and rebuilds the 16 round
// subkeys; key parity bits are ignored. The subkeys are wiped when the object goes.
#pragma once
#include <array>
#include <cstdint>
#include <span>

namespace nvx {

class CDes {
 public:
  CDes() = default;
  CDes(const CDes&) = delete;
  CDes& operator=(const CDes&) = delete;
  virtual ~CDes();

  // in and out may be the same buffer.
  void encryptBlock(std::span<const uint8_t, 8> in, std::span<uint8_t, 8> out,
                    std::span<const uint8_t, 8> key);
  void decryptBlock(std::span<const uint8_t, 8> in, std::span<uint8_t, 8> out,
                    std::span<const uint8_t, 8> key);

 private:
  void setKey(std::span<const uint8_t, 8> key);
  void crypt(std::span<const uint8_t, 8> in, std::span<uint8_t, 8> out, bool decrypt) const;

  std::array<uint64_t, 16> subkeys_{};  // 48 bits each, in the low bits
};

}  // namespace nvx
