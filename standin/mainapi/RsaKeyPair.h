// An RSA key pair the stand-ins hold the private half of: the client enciphers PIN blocks and
// passwords with the public half (PKCS#1 v1.5), a stand-in deciphers them here.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Status.h"

namespace standin {

class RsaKeyPair {
 public:
  static platform::Result<RsaKeyPair> generate(unsigned bits = 1024);
  // A PEM private key (PKCS#1 or PKCS#8).
  static platform::Result<RsaKeyPair> fromPrivatePem(std::string_view pem);
  // RSA-1024 pairs made once per process: generating one costs more than a test should pay
  // for each stand-in.
  static const RsaKeyPair& testPinKey();
  static const RsaKeyPair& testPasswordKey();

  // The public half as SubjectPublicKeyInfo, PEM (as the client's settings hold it) or DER.
  std::string publicPem() const;
  std::vector<uint8_t> publicDer() const;
  // Size of the modulus in bytes (128 for RSA-1024).
  size_t size() const;

  // PKCS#1 v1.5 with the public half, as upper-case hex (what a client sends).
  std::optional<std::string> encryptHex(std::string_view plain) const;
  // Deciphers hex (either case) with the private half; nothing when it is not hex of one block
  // or does not decipher.
  std::optional<std::string> decryptHex(std::string_view hex) const;

  struct Key;

 private:
  explicit RsaKeyPair(std::shared_ptr<const Key> key) : key_(std::move(key)) {}
  std::shared_ptr<const Key> key_;
};

}  // namespace standin
