// Test-only: an RSA key pair for checking what the client encrypts with a public key.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include "core/text/CArithmetic.h"

namespace nvx::testing {

class RsaTestKey {
 public:
  static RsaTestKey generate(unsigned bits = 1024) {
    return RsaTestKey(EVP_RSA_gen(bits));
  }
  // Nothing when the text is not a PEM private key.
  static std::optional<RsaTestKey> fromPrivatePem(std::string_view pem) {
    BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
    EVP_PKEY* key = PEM_read_bio_PrivateKey(bio, nullptr, nullptr, nullptr);
    BIO_free(bio);
    if (key == nullptr) return std::nullopt;
    return RsaTestKey(key);
  }

  bool valid() const { return key_ != nullptr; }

  // PEM SubjectPublicKeyInfo, as the client's settings hold it.
  std::string publicPem() const {
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_PUBKEY(bio, key_.get());
    char* data = nullptr;
    long size = BIO_get_mem_data(bio, &data);
    std::string pem(data, static_cast<size_t>(size));
    BIO_free(bio);
    return pem;
  }

  // Deciphers hex (either case) with PKCS#1 v1.5 padding; nothing when it does not decipher.
  std::optional<std::string> decryptHex(std::string_view hex) const {
    std::string upper(hex);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::vector<uint8_t> cipher(upper.size() / 2);
    if (CArithmetic().hexToBytes(upper, cipher) != static_cast<int>(cipher.size())) {
      return std::nullopt;
    }
    EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_from_pkey(nullptr, key_.get(), nullptr);
    std::string plain(cipher.size(), '\0');
    size_t size = plain.size();
    bool ok = EVP_PKEY_decrypt_init(ctx) == 1 &&
              EVP_PKEY_CTX_set_rsa_padding(ctx, RSA_PKCS1_PADDING) == 1 &&
              EVP_PKEY_decrypt(ctx, reinterpret_cast<unsigned char*>(plain.data()), &size,
                               cipher.data(), cipher.size()) == 1;
    EVP_PKEY_CTX_free(ctx);
    if (!ok) return std::nullopt;
    plain.resize(size);
    return plain;
  }

 private:
  explicit RsaTestKey(EVP_PKEY* key) : key_(key, EVP_PKEY_free) {}
  std::shared_ptr<EVP_PKEY> key_;
};

}  // namespace nvx::testing
