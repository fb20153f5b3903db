#include "core/crypto/SecureBytes.h"

#include <openssl/crypto.h>

namespace nvx {

void secureWipe(void* p, size_t n) {
  if (p != nullptr && n > 0) OPENSSL_cleanse(p, n);
}

void secureWipe(std::string& s) {
  // data() is valid for capacity() + 1 bytes, the short-string buffer included.
  OPENSSL_cleanse(s.data(), s.capacity());
  s.clear();
}

}  // namespace nvx
