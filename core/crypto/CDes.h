// One DES block (FIPS 46-3), computed by OpenSSL. Each operation sets its 8-byte key and rebuilds
// the key schedule; key parity bits are ignored. The schedule is cleansed when the object goes.
#pragma once
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
};

}  // namespace nvx
