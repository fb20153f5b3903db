#include "standin/mainapi/RsaKeyPair.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <cstdlib>

#include "platform/foundation/Log.h"
#include "standin/mainapi/Hex.h"

namespace standin {

struct RsaKeyPair::Key {
  explicit Key(EVP_PKEY* k) : pkey(k) {}
  ~Key() { EVP_PKEY_free(pkey); }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  EVP_PKEY* pkey;
};

namespace {

struct PkeyContextFree {
  void operator()(EVP_PKEY_CTX* ctx) const { EVP_PKEY_CTX_free(ctx); }
};
using PkeyContext = std::unique_ptr<EVP_PKEY_CTX, PkeyContextFree>;

const RsaKeyPair& generatedOrAbort(const char* what) {
  auto pair = RsaKeyPair::generate(1024);
  if (!pair) {
    platform::log::error("RsaKeyPair", std::string("cannot make the ") + what + " key pair: " + pair.error());
    std::abort();
  }
  return *new RsaKeyPair(std::move(pair.value()));   // lives for the process
}

}  // namespace

platform::Result<RsaKeyPair> RsaKeyPair::generate(unsigned bits) {
  EVP_PKEY* key = EVP_RSA_gen(bits);
  if (key == nullptr) {
    ERR_clear_error();
    return platform::Status::error("RSA key generation failed");
  }
  return RsaKeyPair(std::make_shared<const Key>(key));
}

platform::Result<RsaKeyPair> RsaKeyPair::fromPrivatePem(std::string_view pem) {
  BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
  EVP_PKEY* key = bio ? PEM_read_bio_PrivateKey(bio, nullptr, nullptr, nullptr) : nullptr;
  BIO_free(bio);
  if (key == nullptr || EVP_PKEY_get_base_id(key) != EVP_PKEY_RSA) {
    EVP_PKEY_free(key);
    ERR_clear_error();
    return platform::Status::error("not a PEM RSA private key");
  }
  return RsaKeyPair(std::make_shared<const Key>(key));
}

const RsaKeyPair& RsaKeyPair::testPinKey() {
  static const RsaKeyPair& pair = generatedOrAbort("PIN");
  return pair;
}

const RsaKeyPair& RsaKeyPair::testPasswordKey() {
  static const RsaKeyPair& pair = generatedOrAbort("password");
  return pair;
}

std::string RsaKeyPair::publicPem() const {
  BIO* bio = BIO_new(BIO_s_mem());
  std::string pem;
  if (bio && PEM_write_bio_PUBKEY(bio, key_->pkey) == 1) {
    char* data = nullptr;
    long size = BIO_get_mem_data(bio, &data);
    pem.assign(data, static_cast<size_t>(size));
  }
  BIO_free(bio);
  return pem;
}

std::vector<uint8_t> RsaKeyPair::publicDer() const {
  int size = i2d_PUBKEY(key_->pkey, nullptr);
  if (size <= 0) return {};
  std::vector<uint8_t> der(static_cast<size_t>(size));
  unsigned char* at = der.data();
  i2d_PUBKEY(key_->pkey, &at);
  return der;
}

size_t RsaKeyPair::size() const { return static_cast<size_t>(EVP_PKEY_get_size(key_->pkey)); }

std::optional<std::string> RsaKeyPair::encryptHex(std::string_view plain) const {
  PkeyContext ctx(EVP_PKEY_CTX_new_from_pkey(nullptr, key_->pkey, nullptr));
  std::vector<unsigned char> cipher(size());
  size_t length = cipher.size();
  bool ok = ctx && EVP_PKEY_encrypt_init(ctx.get()) == 1 &&
            EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) == 1 &&
            EVP_PKEY_encrypt(ctx.get(), cipher.data(), &length, reinterpret_cast<const unsigned char*>(plain.data()),
                             plain.size()) == 1;
  if (!ok) {
    ERR_clear_error();
    return std::nullopt;
  }
  return mainapi::upperHex(cipher.data(), length);
}

std::optional<std::string> RsaKeyPair::decryptHex(std::string_view hex) const {
  auto cipher = hex.empty() ? std::nullopt : mainapi::hexBytes(hex);
  if (!cipher || cipher->size() != size()) return std::nullopt;
  PkeyContext ctx(EVP_PKEY_CTX_new_from_pkey(nullptr, key_->pkey, nullptr));
  std::string plain(cipher->size(), '\0');
  size_t length = plain.size();
  bool ok = ctx && EVP_PKEY_decrypt_init(ctx.get()) == 1 &&
            EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) == 1 &&
            EVP_PKEY_decrypt(ctx.get(), reinterpret_cast<unsigned char*>(plain.data()), &length, cipher->data(),
                             cipher->size()) == 1;
  if (!ok) {
    ERR_clear_error();
    OPENSSL_cleanse(plain.data(), plain.size());
    return std::nullopt;
  }
  plain.resize(length);
  return plain;
}

}  // namespace standin
