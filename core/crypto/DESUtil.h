// Triple DES (three-key EDE, ECB, PKCS#7 padding) between texts and Base64, for the statistics
// probe and a partner page.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "core/crypto/CipherOperation.h"

namespace nvx {

class DESUtil {
 public:
  // The key is the first 24 bytes of key's UTF-8 text. Encrypt: the UTF-8 bytes of text, as
  // Base64. Decrypt: text is Base64; the deciphered bytes as UTF-8 text. Nothing when the key is
  // shorter than 24 bytes, the cipher fails (bad padding, not whole blocks) or the deciphered
  // bytes are not UTF-8.
  static std::optional<std::string> TripleDES(std::string_view text, std::string_view key,
                                              CipherOperation operation);
};

}  // namespace nvx
