#include "core/crypto/CDes.h"

#include <algorithm>
#include <array>

#include <openssl/err.h>
#include <openssl/evp.h>

#include "core/crypto/SecureBytes.h"
#include "platform/foundation/Log.h"

namespace nvx {

CDes::~CDes() {
  EVP_CIPHER_CTX_free(context_);  // cleanses the key schedule
  secureWipe(key_.data(), key_.size());
}

void CDes::crypt(std::span<const uint8_t, 8> in, std::span<uint8_t, 8> out, std::span<const uint8_t, 8> key,
                 bool encrypt) {
  const int direction = encrypt ? 1 : 0;
  bool ok = true;
  if (direction != direction_ || !std::equal(key.begin(), key.end(), key_.begin())) {
    // OpenSSL 3 keeps single DES in its legacy provider. Triple DES (EDE) under three equal keys
    // is the same cipher, E(K) D(K) E(K) = E(K), and comes with the default provider.
    std::array<uint8_t, 24> keys;
    for (size_t i = 0; i < 3; ++i) std::copy(key.begin(), key.end(), keys.begin() + static_cast<std::ptrdiff_t>(8 * i));
    // The cipher is chosen once per object; later schedules only set their key.
    const EVP_CIPHER* cipher = nullptr;
    if (!context_) {
      context_ = EVP_CIPHER_CTX_new();
      cipher = EVP_des_ede3_ecb();
    }
    ok = context_ &&
         EVP_CipherInit_ex2(context_, cipher, keys.data(), nullptr, direction, nullptr) == 1 &&
         EVP_CIPHER_CTX_set_padding(context_, 0) == 1;
    secureWipe(keys.data(), keys.size());
    std::copy(key.begin(), key.end(), key_.begin());
    direction_ = ok ? direction : -1;
  }
  int written = 0;
  ok = ok && EVP_CipherUpdate(context_, out.data(), &written, in.data(), static_cast<int>(in.size())) == 1 &&
       written == static_cast<int>(out.size());
  if (!ok) {
    // Never leave the input (a PIN block, a key) where the caller expects its cipher.
    ERR_clear_error();
    direction_ = -1;
    std::fill(out.begin(), out.end(), uint8_t{0});
    platform::log::error("CDes", "the DES cipher is not available");
  }
}

void CDes::encryptBlock(std::span<const uint8_t, 8> in, std::span<uint8_t, 8> out,
                        std::span<const uint8_t, 8> key) {
  crypt(in, out, key, true);
}

void CDes::decryptBlock(std::span<const uint8_t, 8> in, std::span<uint8_t, 8> out,
                        std::span<const uint8_t, 8> key) {
  crypt(in, out, key, false);
}

}  // namespace nvx
