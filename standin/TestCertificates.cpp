#include "standin/TestCertificates.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

namespace standin {

namespace {

struct Free {
  void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
  void operator()(X509* p) const { X509_free(p); }
  void operator()(X509_EXTENSION* p) const { X509_EXTENSION_free(p); }
  void operator()(BIO* p) const { BIO_free(p); }
  void operator()(BIGNUM* p) const { BN_free(p); }
};
using Key = std::unique_ptr<EVP_PKEY, Free>;
using Cert = std::unique_ptr<X509, Free>;

Key newKey() { return Key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256")); }

bool addExtension(X509* cert, X509* issuer, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  std::unique_ptr<X509_EXTENSION, Free> ext(X509V3_EXT_conf_nid(nullptr, &ctx, nid, value));
  return ext && X509_add_ext(cert, ext.get(), -1) == 1;
}

bool setRandomSerial(X509* cert) {
  std::unique_ptr<BIGNUM, Free> bn(BN_new());
  if (!bn || BN_rand(bn.get(), 64, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY) != 1) return false;
  return BN_to_ASN1_INTEGER(bn.get(), X509_get_serialNumber(cert)) != nullptr;
}

// Certificate fields beyond the key: names and validity window (the CA's are fixed).
struct Fields {
  std::string commonName;
  std::string subjectAltNames;  // "DNS:a,IP:b"; empty for the CA
  long notBeforeSeconds = -3600;
  long notAfterSeconds = 24 * 3600;
};

std::string altNames(const TestCertificates::Server& s) {
  std::string out;
  for (const auto& name : s.dnsNames) out += (out.empty() ? "" : ",") + std::string("DNS:") + name;
  for (const auto& ip : s.ipAddresses) out += (out.empty() ? "" : ",") + std::string("IP:") + ip;
  return out;
}

// A certificate for subject's key signed by issuerKey (issuer == nullptr: self-signed).
Cert makeCert(const Fields& f, EVP_PKEY* subjectKey, X509* issuer, EVP_PKEY* issuerKey, bool isCa) {
  Cert cert(X509_new());
  if (!cert) return nullptr;
  X509* c = cert.get();
  X509_NAME* name = X509_get_subject_name(c);
  if (X509_set_version(c, X509_VERSION_3) != 1 || !setRandomSerial(c) ||
      !X509_gmtime_adj(X509_getm_notBefore(c), f.notBeforeSeconds) ||
      !X509_gmtime_adj(X509_getm_notAfter(c), f.notAfterSeconds) ||
      X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                                 reinterpret_cast<const unsigned char*>("Nuvexa stand-in"), -1, -1, 0) != 1 ||
      X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                                 reinterpret_cast<const unsigned char*>(f.commonName.c_str()), -1, -1, 0) != 1 ||
      X509_set_issuer_name(c, issuer ? X509_get_subject_name(issuer) : name) != 1 ||
      X509_set_pubkey(c, subjectKey) != 1) {
    return nullptr;
  }
  X509* signer = issuer ? issuer : c;
  bool ok = addExtension(c, signer, NID_subject_key_identifier, "hash") &&
            addExtension(c, signer, NID_authority_key_identifier, "keyid:always");
  if (isCa) {
    ok = ok && addExtension(c, signer, NID_basic_constraints, "critical,CA:TRUE") &&
         addExtension(c, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
  } else {
    ok = ok && addExtension(c, signer, NID_basic_constraints, "critical,CA:FALSE") &&
         addExtension(c, signer, NID_key_usage, "critical,digitalSignature,keyEncipherment") &&
         addExtension(c, signer, NID_ext_key_usage, "serverAuth") &&
         (f.subjectAltNames.empty() || addExtension(c, signer, NID_subject_alt_name, f.subjectAltNames.c_str()));
  }
  if (!ok || X509_sign(c, issuerKey, EVP_sha256()) == 0) return nullptr;
  return cert;
}

template <class Write>
std::string pem(Write write) {
  std::unique_ptr<BIO, Free> bio(BIO_new(BIO_s_mem()));
  if (!bio || !write(bio.get())) return {};
  char* data = nullptr;
  long n = BIO_get_mem_data(bio.get(), &data);
  return n > 0 ? std::string(data, static_cast<size_t>(n)) : std::string();
}

}  // namespace

platform::Result<TestCertificates> TestCertificates::create(const platform::Path& dir, std::string_view name,
                                                            const Server& server) {
  Key caKey = newKey();
  Key serverKey = newKey();
  if (!caKey || !serverKey) return platform::Status::error("test certificates: key generation failed");
  Cert ca = makeCert(Fields{"Nuvexa stand-in test CA", "", -3600, 24 * 3600}, caKey.get(), nullptr, caKey.get(), true);
  if (!ca) return platform::Status::error("test certificates: the CA certificate could not be made");
  Fields fields{server.commonName, altNames(server), static_cast<long>(server.notBefore.count()),
                static_cast<long>(server.notAfter.count())};
  Cert serverCert = server.selfSigned ? makeCert(fields, serverKey.get(), nullptr, serverKey.get(), false)
                                    : makeCert(fields, serverKey.get(), ca.get(), caKey.get(), false);
  if (!serverCert) return platform::Status::error("test certificates: the server certificate could not be made");

  std::string caPem = pem([&](BIO* b) { return PEM_write_bio_X509(b, ca.get()) == 1; });
  std::string serverPem = pem([&](BIO* b) { return PEM_write_bio_X509(b, serverCert.get()) == 1; });
  std::string keyPem = pem([&](BIO* b) {
    return PEM_write_bio_PrivateKey(b, serverKey.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1;
  });
  if (caPem.empty() || serverPem.empty() || keyPem.empty())
    return platform::Status::error("test certificates: PEM encoding failed");

  TestCertificates out;
  std::string prefix(name);
  out.caCertFile = dir / (prefix + "-ca.pem");
  out.serverCertFile = dir / (prefix + "-server.pem");
  out.serverKeyFile = dir / (prefix + "-server-key.pem");
  if (!platform::fs::writeAtomic(out.caCertFile, caPem) || !platform::fs::writeAtomic(out.serverCertFile, serverPem) ||
      !platform::fs::writeAtomic(out.serverKeyFile, keyPem)) {
    return platform::Status::error("test certificates: cannot write to " + dir.string());
  }
  return out;
}

}  // namespace standin
