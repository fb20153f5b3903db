// Test-only: Triple DES computed with OpenSSL, independently of the client's cipher code, the way
// the server enciphers the keys it issues. Header-only so that tests of every module can use it.
#pragma once
#include <openssl/evp.h>

#include <string>
#include <string_view>

namespace nvx::testing {

inline std::string hexToBytesForTest(std::string_view hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    out.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  }
  return out;
}

inline std::string bytesToHexForTest(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out.push_back(kDigits[c >> 4]);
    out.push_back(kDigits[c & 15]);
  }
  return out;
}

// Two-key Triple DES (ECB, no padding): K1 K2 K1 as a three-key schedule; hex in, upper-case hex out.
inline std::string tripleDesEncrypt(std::string_view hexKey, std::string_view hexData) {
  std::string key = hexToBytesForTest(hexKey);
  key += key.substr(0, 8);
  const std::string data = hexToBytesForTest(hexData);
  std::string out(data.size(), '\0');
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  int n = 0;
  EVP_EncryptInit_ex2(ctx, EVP_des_ede3_ecb(), reinterpret_cast<const unsigned char*>(key.data()),
                      nullptr, nullptr);
  EVP_CIPHER_CTX_set_padding(ctx, 0);
  EVP_EncryptUpdate(ctx, reinterpret_cast<unsigned char*>(out.data()), &n,
                    reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
  EVP_CIPHER_CTX_free(ctx);
  return bytesToHexForTest(out);
}

}  // namespace nvx::testing
