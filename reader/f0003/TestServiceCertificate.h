// Test-only: a service certificate made at test time (an RSA or EC key, self-signed, DER) and a
// bundle folder that holds it as the resource "public_key.der" while the object lives.
#pragma once
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/Sandbox.h"

namespace nvx::reader::testing {

struct TestServiceCertificate {
  std::vector<uint8_t> der;
  std::string privatePem;

  // kind: "RSA" (bits) or "EC".
  static TestServiceCertificate make(const char* kind = "RSA", unsigned bits = 1024) {
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(
        std::string_view(kind) == "EC" ? EVP_EC_gen("P-256") : EVP_RSA_gen(bits), EVP_PKEY_free);
    std::unique_ptr<X509, decltype(&X509_free)> cert(X509_new(), X509_free);
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 86400);
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("service"), -1, -1, 0);
    X509_set_issuer_name(cert.get(), name);
    X509_set_pubkey(cert.get(), key.get());
    X509_sign(cert.get(), key.get(), EVP_sha256());
    TestServiceCertificate out;
    const int size = i2d_X509(cert.get(), nullptr);
    out.der.resize(static_cast<size_t>(size));
    unsigned char* p = out.der.data();
    i2d_X509(cert.get(), &p);
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_PrivateKey(bio, key.get(), nullptr, nullptr, 0, nullptr, nullptr);
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    out.privatePem.assign(data, static_cast<size_t>(length));
    BIO_free(bio);
    return out;
  }
};

class TestServiceBundle {
 public:
  explicit TestServiceBundle(const TestServiceCertificate& certificate)
      : previous_(platform::Sandbox::bundle()), folder_(platform::Sandbox::makeTempRoot("nvx-service-key")) {
    platform::fs::writeAtomic(folder_ / "public_key.der",
                              std::string(certificate.der.begin(), certificate.der.end()));
    platform::Sandbox::setBundle(folder_);
  }
  ~TestServiceBundle() {
    platform::Sandbox::setBundle(previous_);
    platform::fs::removeTree(folder_);
  }
  TestServiceBundle(const TestServiceBundle&) = delete;
  TestServiceBundle& operator=(const TestServiceBundle&) = delete;

 private:
  platform::Path previous_;
  platform::Path folder_;
};

}  // namespace nvx::reader::testing
