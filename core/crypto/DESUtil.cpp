#include "core/crypto/DESUtil.h"

#include <climits>
#include <memory>

#include <openssl/err.h>
#include <openssl/evp.h>
#include <unicode/ustring.h>

#include "core/crypto/Base64.h"
#include "core/crypto/SecureBytes.h"
#include "platform/foundation/Log.h"

namespace nvx {
namespace {

constexpr std::string_view kLogTag = "DESUtil";
constexpr size_t kKeySize = 24;
constexpr size_t kBlockSize = 8;

struct CipherContextFree {
  void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};

bool isUtf8(std::string_view bytes) {
  UErrorCode status = U_ZERO_ERROR;
  int32_t units = 0;
  u_strFromUTF8(nullptr, 0, &units, bytes.data(), static_cast<int32_t>(bytes.size()), &status);
  return status == U_BUFFER_OVERFLOW_ERROR || U_SUCCESS(status);
}

// Runs the cipher over input; nothing on failure.
std::optional<SecureBytes> runCipher(std::string_view input, std::string_view key, bool encrypt) {
  SecureBytes keyBytes(key.begin(), key.begin() + kKeySize);
  std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree> ctx(EVP_CIPHER_CTX_new());
  // Room for the input and one block of padding.
  SecureBytes output(input.size() + kBlockSize, 0);
  int written = 0;
  int last = 0;
  bool ok = ctx && EVP_CipherInit_ex2(ctx.get(), EVP_des_ede3_ecb(), keyBytes.data(), nullptr,
                                      encrypt ? 1 : 0, nullptr) == 1 &&
            EVP_CipherUpdate(ctx.get(), output.data(), &written,
                             reinterpret_cast<const unsigned char*>(input.data()),
                             static_cast<int>(input.size())) == 1 &&
            EVP_CipherFinal_ex(ctx.get(), output.data() + written, &last) == 1;
  if (!ok) {
    ERR_clear_error();
    return std::nullopt;
  }
  output.resize(static_cast<size_t>(written) + static_cast<size_t>(last));
  return output;
}

}  // namespace

std::optional<std::string> DESUtil::TripleDES(std::string_view text, std::string_view key,
                                              CipherOperation operation) {
  if (key.size() < kKeySize) {
    platform::log::warning(kLogTag, "the key must have at least 24 bytes");
    return std::nullopt;
  }
  if (text.size() > size_t(INT_MAX / 2)) {
    platform::log::warning(kLogTag, "the text is too long");
    return std::nullopt;
  }
  if (operation == CipherOperation::Encrypt) {
    auto cipher = runCipher(text, key, true);
    if (!cipher) return std::nullopt;
    return base64StringFromData(
        std::string_view(reinterpret_cast<const char*>(cipher->data()), cipher->size()));
  }
  std::string input = base64DataFromString(text);
  auto plain = runCipher(input, key, false);
  secureWipe(input);
  if (!plain) {
    platform::log::warning(kLogTag, "the text does not decipher under this key");
    return std::nullopt;
  }
  std::string_view bytes(reinterpret_cast<const char*>(plain->data()), plain->size());
  if (!isUtf8(bytes)) {
    platform::log::warning(kLogTag, "the deciphered bytes are not UTF-8 text");
    return std::nullopt;
  }
  return std::string(bytes);
}

}  // namespace nvx
