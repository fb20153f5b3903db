#include "core/crypto/Digest.h"

#include <openssl/evp.h>

#include "core/text/CArithmetic.h"

namespace nvx {

std::string md5Digest(std::string_view bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  // MD5 is in the default provider; a failure here means a broken OpenSSL installation.
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr) != 1) {
    return std::string();
  }
  return std::string(reinterpret_cast<const char*>(digest), length);
}

std::string md5Hex(std::string_view bytes) {
  const std::string digest = md5Digest(bytes);
  return hexString(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(digest.data()), digest.size()), false);
}

}  // namespace nvx
