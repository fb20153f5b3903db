// One DES block (FIPS 46-3), computed by OpenSSL. Each operation names its 8-byte key; the key
// schedule is rebuilt only when the key or the direction differs from the previous operation's,
// so a chain of blocks under one key (a MAC) costs one schedule. Key parity bits are ignored.
// The schedule and the remembered key are cleansed when the object goes.
#pragma once
#include <array>
#include <cstdint>
#include <span>

struct evp_cipher_ctx_st;

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
  void crypt(std::span<const uint8_t, 8> in, std::span<uint8_t, 8> out, std::span<const uint8_t, 8> key,
             bool encrypt);

  evp_cipher_ctx_st* context_ = nullptr;  // OpenSSL's, holding the schedule of the key last set
  std::array<uint8_t, 8> key_{};          // the key of that schedule
  int direction_ = -1;                    // 1 encrypt, 0 decrypt, -1 no usable schedule
};

}  // namespace nvx
