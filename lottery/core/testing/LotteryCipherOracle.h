// Test-only: the lottery wire's digest and cipher computed with OpenSSL directly, independently of
// the codec, for expected request bytes and for replies a test writes itself.
#pragma once
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <string>
#include <string_view>

namespace nvx::lottery::testing {

inline std::string md5Raw(std::string_view bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EXPECT_EQ(EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr), 1);
  return std::string(reinterpret_cast<const char*>(digest), length);
}

// AES in ECB or CBC with PKCS#7 padding; key and iv must have the cipher's sizes.
inline std::string aesOracle(const EVP_CIPHER* cipher, std::string_view in, std::string_view key, bool encrypt,
                             std::string_view iv = {}) {
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  std::string out(in.size() + 16, '\0');
  int n = 0;
  int last = 0;
  EXPECT_EQ(EVP_CipherInit_ex(ctx, cipher, nullptr, reinterpret_cast<const unsigned char*>(key.data()),
                              iv.empty() ? nullptr : reinterpret_cast<const unsigned char*>(iv.data()), encrypt ? 1 : 0),
            1);
  EXPECT_EQ(EVP_CipherUpdate(ctx, reinterpret_cast<unsigned char*>(out.data()), &n,
                             reinterpret_cast<const unsigned char*>(in.data()), static_cast<int>(in.size())),
            1);
  EXPECT_EQ(EVP_CipherFinal_ex(ctx, reinterpret_cast<unsigned char*>(out.data()) + n, &last), 1);
  EVP_CIPHER_CTX_free(ctx);
  out.resize(static_cast<size_t>(n + last));
  return out;
}

inline std::string aes128Ecb(std::string_view plain, std::string_view key16) {
  return aesOracle(EVP_aes_128_ecb(), plain, key16, true);
}

}  // namespace nvx::lottery::testing
