#include "core/crypto/EncryptTool.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <mutex>
#include <unordered_map>

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include "core/text/CArithmetic.h"
#include "core/crypto/CDes.h"
#include "core/session/ClientSettings.h"
#include "core/crypto/Demix.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"

namespace nvx {
namespace {

constexpr std::string_view kLogTag = "EncryptTool";
constexpr size_t kBlock = 8;
constexpr size_t kBlockDigits = 2 * kBlock;

// Converts hex text to bytes; nothing unless every character is an upper-case hex digit and the
// count is even.
std::optional<SecureBytes> hexBytes(std::string_view hex) {
  SecureBytes bytes(hex.size() / 2);
  if (CArithmetic().hexToBytes(hex, bytes) < 0) return std::nullopt;
  return bytes;
}

std::span<uint8_t, kBlock> blockAt(SecureBytes& bytes, size_t offset) {
  return std::span<uint8_t, kBlock>(bytes.data() + offset, kBlock);
}

// Validates data and key of a block operation and converts both; nothing (with a warning that
// names the rule, never the value) when they break it.
bool prepareBlockOperation(std::string_view data, std::string_view key, size_t keyDigits,
                           std::optional<SecureBytes>& dataBytes,
                           std::optional<SecureBytes>& keyBytes) {
  if (key.size() != keyDigits || !(keyBytes = hexBytes(key))) {
    platform::log::warning(kLogTag, "the key must be " + std::to_string(keyDigits) +
                                        " upper-case hex digits");
    return false;
  }
  if (data.size() % kBlockDigits != 0 || !(dataBytes = hexBytes(data))) {
    platform::log::warning(kLogTag, "the data must be upper-case hex of whole 8-byte blocks");
    return false;
  }
  return true;
}

struct BioFree {
  void operator()(BIO* bio) const { BIO_free(bio); }
};
struct PkeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct PkeyContextFree {
  void operator()(EVP_PKEY_CTX* ctx) const { EVP_PKEY_CTX_free(ctx); }
};

// Parsed public keys by their PEM text. The keys are settings that stay the same for the run,
// and reading one costs far more than the encryption itself. An EVP_PKEY may be used by several
// threads at once once parsed; only the map needs the lock.
struct PublicKeyCache {
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
  };
  // A run knows two keys; anything beyond a few is a caller passing arbitrary keys, which must
  // not grow the cache without bound.
  static constexpr size_t kMaxKeys = 8;
  std::mutex mutex;
  std::unordered_map<std::string, std::shared_ptr<EVP_PKEY>, TextHash, std::equal_to<>> keys;
};

// The parsed RSA public key of a PEM text, or null when the text is not one.
std::shared_ptr<EVP_PKEY> rsaPublicKey(std::string_view publicKeyPem) {
  auto& cache = platform::Process::current().shared<PublicKeyCache>();
  {
    std::lock_guard<std::mutex> lock(cache.mutex);
    auto it = cache.keys.find(publicKeyPem);
    if (it != cache.keys.end()) return it->second;
  }
  if (publicKeyPem.size() > size_t(INT_MAX)) return nullptr;
  std::unique_ptr<BIO, BioFree> bio(
      BIO_new_mem_buf(publicKeyPem.data(), static_cast<int>(publicKeyPem.size())));
  std::shared_ptr<EVP_PKEY> key(
      bio ? PEM_read_bio_PUBKEY(bio.get(), nullptr, nullptr, nullptr) : nullptr, PkeyFree());
  if (!key || !EVP_PKEY_is_a(key.get(), "RSA")) {
    ERR_clear_error();
    return nullptr;
  }
  std::lock_guard<std::mutex> lock(cache.mutex);
  if (cache.keys.size() >= PublicKeyCache::kMaxKeys) cache.keys.clear();
  // Two threads that parsed the same key at once keep the first; both copies are equal.
  return cache.keys.emplace(std::string(publicKeyPem), std::move(key)).first->second;
}

std::optional<std::string> upperCased(std::optional<std::string> hex) {
  if (hex) std::transform(hex->begin(), hex->end(), hex->begin(), [](char c) {
    return c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c;
  });
  return hex;
}

}  // namespace

std::optional<std::string> EncryptTool::tripleDES(std::string_view data,
                                                  CipherOperation encryptOrDecrypt,
                                                  std::string_view key) {
  if (data.empty() || key.empty()) return std::nullopt;
  std::optional<SecureBytes> bytes;
  std::optional<SecureBytes> keyBytes;
  if (!prepareBlockOperation(data, key, 32, bytes, keyBytes)) return std::nullopt;
  CArithmetic arithmetic;
  std::span<const uint8_t, 16> k(keyBytes->data(), 16);
  for (size_t at = 0; at < bytes->size(); at += kBlock) {
    auto block = blockAt(*bytes, at);
    if (encryptOrDecrypt == CipherOperation::Encrypt) {
      arithmetic.tripleDesEncryptBlock(k, block, block);
    } else {
      arithmetic.tripleDesDecryptBlock(k, block, block);
    }
  }
  return arithmetic.bytesToHex(*bytes);
}

std::optional<std::string> EncryptTool::encrypt(std::string_view data, std::string_view key) {
  return tripleDES(data, CipherOperation::Encrypt, key);
}

std::optional<std::string> EncryptTool::decrypt(std::string_view data, std::string_view key) {
  return tripleDES(data, CipherOperation::Decrypt, key);
}

std::optional<std::string> EncryptTool::operateDES(std::string_view data, std::string_view key,
                                                   CipherOperation encryptOrDecrypt) {
  if (data.empty() || key.empty()) return std::nullopt;
  std::optional<SecureBytes> bytes;
  std::optional<SecureBytes> keyBytes;
  if (!prepareBlockOperation(data, key, 16, bytes, keyBytes)) return std::nullopt;
  CDes des;
  std::span<const uint8_t, 8> k(keyBytes->data(), 8);
  for (size_t at = 0; at < bytes->size(); at += kBlock) {
    auto block = blockAt(*bytes, at);
    if (encryptOrDecrypt == CipherOperation::Encrypt) {
      des.encryptBlock(block, block, k);
    } else {
      des.decryptBlock(block, block, k);
    }
  }
  return CArithmetic().bytesToHex(*bytes);
}

std::optional<std::string> EncryptTool::encryptDES(std::string_view data, std::string_view key) {
  return operateDES(data, key, CipherOperation::Encrypt);
}

std::optional<std::string> EncryptTool::decryptDES(std::string_view data, std::string_view key) {
  return operateDES(data, key, CipherOperation::Decrypt);
}

std::string EncryptTool::generateMac(std::string_view text, std::string_view macKey) {
  if (text.empty() || macKey.empty()) return std::string();
  std::optional<SecureBytes> keyBytes;
  if (macKey.size() != 32 || !(keyBytes = hexBytes(macKey))) {
    platform::log::warning(kLogTag, "the MAC key must be 32 upper-case hex digits");
    return std::string();
  }
  auto notAscii = [](char c) { return static_cast<unsigned char>(c) > 0x7F; };
  if (std::any_of(text.begin(), text.end(), notAscii)) {
    platform::log::warning(kLogTag, "the MAC text must be ASCII");
    return std::string();
  }
  std::span<const uint8_t, 8> halfA(keyBytes->data(), 8);
  std::span<const uint8_t, 8> halfB(keyBytes->data() + 8, 8);
  CDes des;  // one cipher context: the chain under half A builds its key schedule once
  // CBC under half A from a zero vector; the last block is zero-padded.
  std::array<uint8_t, kBlock> v{};
  for (size_t at = 0; at < text.size(); at += kBlock) {
    size_t n = std::min(kBlock, text.size() - at);
    for (size_t i = 0; i < n; ++i) v[i] ^= static_cast<uint8_t>(text[at + i]);
    des.encryptBlock(v, v, halfA);
  }
  des.decryptBlock(v, v, halfB);
  des.encryptBlock(v, v, halfA);
  std::string mac = CArithmetic().bytesToHex(v);
  secureWipe(v.data(), v.size());
  return mac;
}

std::vector<uint8_t> EncryptTool::generateHexArrayFrom(std::string_view text) {
  std::vector<uint8_t> values;
  values.reserve(text.size());
  for (char c : text) {
    int value = upperHexDigitValue(c);
    if (value < 0 && c >= 'a' && c <= 'f') value = c - 'a' + 10;
    if (value < 0) return {};
    values.push_back(static_cast<uint8_t>(value));
  }
  return values;
}

std::string EncryptTool::xORWithString1(std::string_view string1, std::string_view string2) {
  if (string1.empty() || string2.size() < string1.size()) return std::string();
  std::vector<uint8_t> first = generateHexArrayFrom(string1);
  std::vector<uint8_t> second = generateHexArrayFrom(string2.substr(0, string1.size()));
  std::string result;
  if (first.size() == string1.size() && second.size() == string1.size()) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    result.resize(string1.size());
    for (size_t i = 0; i < first.size(); ++i) result[i] = kDigits[first[i] ^ second[i]];
  }
  secureWipe(first.data(), first.size());
  secureWipe(second.data(), second.size());
  return result;
}

std::optional<std::string> EncryptTool::encryptRSAWithPublicKey(std::string_view publicKeyPem,
                                                                std::string_view text) {
  std::shared_ptr<EVP_PKEY> key = rsaPublicKey(publicKeyPem);
  if (!key) {
    platform::log::warning(kLogTag, "the public key is not a PEM RSA public key");
    return std::nullopt;
  }
  std::unique_ptr<EVP_PKEY_CTX, PkeyContextFree> ctx(
      EVP_PKEY_CTX_new_from_pkey(nullptr, key.get(), nullptr));
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  size_t size = 0;
  std::vector<unsigned char> cipher;
  bool ok = ctx && EVP_PKEY_encrypt_init(ctx.get()) == 1 &&
            EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) == 1 &&
            EVP_PKEY_encrypt(ctx.get(), nullptr, &size, in, text.size()) == 1;
  if (ok) {
    cipher.resize(size);
    ok = EVP_PKEY_encrypt(ctx.get(), cipher.data(), &size, in, text.size()) == 1;
  }
  if (!ok) {
    ERR_clear_error();
    platform::log::warning(kLogTag, "RSA encryption failed (text too long for the key?)");
    return std::nullopt;
  }
  cipher.resize(size);
  return hexString(cipher, false);
}

std::optional<std::string> EncryptTool::getRSAEncryptionKeyFromString(std::string_view text) {
  return upperCased(encryptRSAWithPublicKey(ClientSettings::current().passwordPublicKey(), text));
}

std::optional<std::string> EncryptTool::getPinRSAEncryptionKeyFromString(std::string_view text) {
  return upperCased(encryptRSAWithPublicKey(ClientSettings::current().pinPublicKey(), text));
}

std::string EncryptTool::convertToHexString(std::string_view data) {
  return hexString(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(data.data()),
                                            data.size()),
                   false);
}

SecretText EncryptTool::getXorString() { return getXorString(ClientSettings::current()); }

SecretText EncryptTool::getXorString(const ClientSettings& settings) {
  const auto& parts = settings.transportKeyParts();
  std::optional<std::string> first = demix(parts[0]);
  std::optional<std::string> second = demix(parts[1]);
  SecretText key;
  if (first && second && first->size() == 32 && second->size() == 32) {
    std::string x = xORWithString1(*first, *second);
    key = SecretText(x);
    secureWipe(x);
  } else {
    platform::log::error(kLogTag, "the stored transport key halves are unusable");
  }
  if (first) secureWipe(*first);
  if (second) secureWipe(*second);
  return key;
}

}  // namespace nvx
