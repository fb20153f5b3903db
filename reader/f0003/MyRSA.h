// The track encryptor of the raw-stripe mode: RSA with PKCS#1 v1.5 padding under the public key
// of the service's certificate, which the application carries as the resource "public_key.der"
// (a DER-encoded X.509 certificate with an RSA key). One object per encryption.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace nvx::reader {

class MyRSA {
 public:
  static constexpr const char* kResourceName = "public_key";
  static constexpr const char* kResourceType = "der";

  // The certificate from the bundle, checked; nothing when a step fails (the failure is logged).
  static std::unique_ptr<MyRSA> init();
  // The same from the certificate's bytes.
  static std::unique_ptr<MyRSA> fromCertificate(std::span<const uint8_t> der);
  ~MyRSA();
  MyRSA(const MyRSA&) = delete;
  MyRSA& operator=(const MyRSA&) = delete;

  // The key's block size less 12 bytes.
  size_t maxPlainLength() const { return maxPlain_; }
  // Nothing when the text is longer than maxPlainLength or the encryption fails.
  std::optional<std::vector<uint8_t>> encryptWithData(std::span<const uint8_t> plain) const;

 private:
  struct Key;
  MyRSA(std::unique_ptr<Key> key, size_t maxPlain);
  std::unique_ptr<Key> key_;
  size_t maxPlain_ = 0;
};

}  // namespace nvx::reader
