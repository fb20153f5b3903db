#include "reader/f0003/MyRSA.h"

#include <openssl/evp.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <cstdio>
#include <string>

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"

namespace nvx::reader {

namespace {

constexpr const char* kTag = "MyRSA";
constexpr size_t kPaddingReserve = 12;

std::string format(const char* pattern, long a, long b = 0) {
  char text[128];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

}  // namespace

struct MyRSA::Key {
  ~Key() { EVP_PKEY_free(pkey); }
  EVP_PKEY* pkey = nullptr;
};

MyRSA::MyRSA(std::unique_ptr<Key> key, size_t maxPlain) : key_(std::move(key)), maxPlain_(maxPlain) {}
MyRSA::~MyRSA() = default;

std::unique_ptr<MyRSA> MyRSA::init() {
  auto path = platform::Bundle::main().resource(kResourceName, kResourceType);
  if (!path) {
    platform::log::warning(kTag, "Can not find pub.der");
    return nullptr;
  }
  auto bytes = platform::fs::read(*path);
  if (!bytes) {
    platform::log::warning(kTag, "Can not read from pub.der");
    return nullptr;
  }
  return fromCertificate(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()));
}

std::unique_ptr<MyRSA> MyRSA::fromCertificate(std::span<const uint8_t> der) {
  const unsigned char* p = der.data();
  X509* certificate = der.empty() ? nullptr : d2i_X509(nullptr, &p, static_cast<long>(der.size()));
  if (!certificate) {
    platform::log::warning(kTag, "Can not read certificate from pub.der");
    return nullptr;
  }
  std::unique_ptr<X509, decltype(&X509_free)> cert(certificate, X509_free);

  // A trust evaluation under the basic X.509 policy: only that it can be made counts, not its
  // verdict (the certificate is the service's own, not issued to be trusted by the phone).
  std::unique_ptr<X509_STORE, decltype(&X509_STORE_free)> store(X509_STORE_new(), X509_STORE_free);
  std::unique_ptr<X509_STORE_CTX, decltype(&X509_STORE_CTX_free)> trust(X509_STORE_CTX_new(), X509_STORE_CTX_free);
  if (!store || !trust || X509_STORE_CTX_init(trust.get(), store.get(), cert.get(), nullptr) != 1) {
    platform::log::warning(kTag, format("SecTrustCreateWithCertificates fail. Error Code: %ld", -1));
    return nullptr;
  }
  if (X509_verify_cert(trust.get()) < 0) {
    platform::log::warning(kTag, format("SecTrustEvaluate fail. Error Code: %ld", X509_STORE_CTX_get_error(trust.get())));
    return nullptr;
  }

  auto key = std::make_unique<Key>();
  key->pkey = X509_get_pubkey(cert.get());
  if (!key->pkey || EVP_PKEY_get_base_id(key->pkey) != EVP_PKEY_RSA) {
    platform::log::warning(kTag, "SecTrustCopyPublicKey fail");
    return nullptr;
  }
  const int block = EVP_PKEY_get_size(key->pkey);
  if (block <= static_cast<int>(kPaddingReserve)) {
    platform::log::warning(kTag, "SecTrustCopyPublicKey fail");
    return nullptr;
  }
  return std::unique_ptr<MyRSA>(new MyRSA(std::move(key), static_cast<size_t>(block) - kPaddingReserve));
}

std::optional<std::vector<uint8_t>> MyRSA::encryptWithData(std::span<const uint8_t> plain) const {
  if (plain.size() > maxPlain_) {
    platform::log::warning(kTag, format("content(%ld) is too long, must < %ld", static_cast<long>(plain.size()),
                                        static_cast<long>(maxPlain_)));
    return std::nullopt;
  }
  std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> ctx(EVP_PKEY_CTX_new_from_pkey(nullptr, key_->pkey, nullptr),
                                                                 EVP_PKEY_CTX_free);
  size_t size = static_cast<size_t>(EVP_PKEY_get_size(key_->pkey));
  std::vector<uint8_t> out(size);
  if (!ctx || EVP_PKEY_encrypt_init(ctx.get()) != 1 || EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) != 1 ||
      EVP_PKEY_encrypt(ctx.get(), out.data(), &size, plain.data(), plain.size()) != 1) {
    platform::log::warning(kTag, format("SecKeyEncrypt fail. Error Code: %ld", -1));
    return std::nullopt;
  }
  out.resize(size);
  return out;
}

}  // namespace nvx::reader
