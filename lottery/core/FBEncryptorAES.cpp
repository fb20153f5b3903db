#include "lottery/core/FBEncryptorAES.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>
#include <array>
#include <memory>

#include "core/crypto/Base64.h"
#include "core/text/CArithmetic.h"
#include "core/session/ClientSettings.h"
#include "core/crypto/Digest.h"
#include "core/crypto/SecureBytes.h"
#include "core/session/UIDevice.h"
#include "lottery/core/LotteryCatalogue.h"
#include "lottery/core/StaticVariable.h"
#include "platform/foundation/Text16.h"

namespace nvx::lottery {

namespace {

// Key material of a cipher call: the first N bytes of a text, zero-filled, wiped when done.
template <size_t N>
class KeyBytes {
 public:
  explicit KeyBytes(std::string_view text) {
    std::copy_n(text.begin(), std::min(text.size(), N), bytes_.begin());
  }
  ~KeyBytes() { secureWipe(bytes_.data(), bytes_.size()); }
  KeyBytes(const KeyBytes&) = delete;
  KeyBytes& operator=(const KeyBytes&) = delete;
  const unsigned char* data() const { return bytes_.data(); }

 private:
  std::array<unsigned char, N> bytes_{};
};

// One whole cipher call with PKCS#7 padding; nothing when any step fails.
std::optional<Bytes> runCipher(const EVP_CIPHER* cipher, bool encrypt, const unsigned char* key,
                               const unsigned char* iv, std::string_view in) {
  std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
  if (!ctx || EVP_CipherInit_ex(ctx.get(), cipher, nullptr, key, iv, encrypt ? 1 : 0) != 1) return std::nullopt;
  Bytes out(in.size() + static_cast<size_t>(EVP_CIPHER_block_size(cipher)), '\0');
  int length = 0;
  int last = 0;
  auto* o = reinterpret_cast<unsigned char*>(out.data());
  if (EVP_CipherUpdate(ctx.get(), o, &length, reinterpret_cast<const unsigned char*>(in.data()),
                       static_cast<int>(in.size())) != 1 ||
      EVP_CipherFinal_ex(ctx.get(), o + length, &last) != 1) {
    secureWipe(out);
    return std::nullopt;
  }
  out.resize(static_cast<size_t>(length + last));
  return out;
}

platform::Status tooLong(const char* kind, size_t size, size_t limit) {
  return platform::Status::error(std::string("a ") + kind + " text of " + std::to_string(size) +
                                 " bytes is longer than its length field allows (" + std::to_string(limit) + ")");
}

Bytes bigEndian(uint64_t value, size_t bytes) {
  Bytes out(bytes, '\0');
  for (size_t i = 0; i < bytes; ++i) out[bytes - 1 - i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

std::optional<std::string> utf8(std::string_view bytes) {
  if (!platform::isValidUtf8(bytes)) return std::nullopt;
  return std::string(bytes);
}

const std::string& codecKey() { return ClientSettings::current().lotteryCodecKey(); }

}  // namespace

// --- writers ---

Bytes FBEncryptorAES::dataOne(int64_t value) { return bigEndian(static_cast<uint64_t>(value), 1); }
Bytes FBEncryptorAES::dataTwo(int64_t value) { return bigEndian(static_cast<uint64_t>(value), 2); }
Bytes FBEncryptorAES::dataFour(int64_t value) { return bigEndian(static_cast<uint64_t>(value), 4); }

platform::Result<Bytes> FBEncryptorAES::strToLenAndStr(std::string_view text) {
  if (text.size() > kMaxS1Bytes) return tooLong("s1", text.size(), kMaxS1Bytes);
  return dataOne(static_cast<int64_t>(text.size())) + std::string(text);
}

platform::Result<Bytes> FBEncryptorAES::strToLenAndStr_2(std::string_view text) {
  if (text.size() > kMaxS2Bytes) return tooLong("s2", text.size(), kMaxS2Bytes);
  return dataTwo(static_cast<int64_t>(text.size())) + std::string(text);
}

platform::Result<Bytes> FBEncryptorAES::strToLenAndStr_four(std::string_view text) {
  if (text.size() > kMaxS4Bytes) return tooLong("s4", text.size(), kMaxS4Bytes);
  return dataFour(static_cast<int64_t>(text.size())) + std::string(text);
}

platform::Result<Bytes> FBEncryptorAES::strToLenAndStrByAES(std::string_view text, std::string_view key) {
  if (text.size() > kMaxX1Bytes) return tooLong("x1", text.size(), kMaxX1Bytes);
  auto cipher = encryptData1(text, key);
  // Not sent in place of the field: the server would take an empty field for the text.
  if (!cipher) return platform::Status::error("an x1 field cannot be enciphered");
  return dataOne(static_cast<int64_t>(cipher->size())) + *cipher;
}

Bytes FBEncryptorAES::md5(std::string_view bytes) { return md5Digest(bytes); }

Bytes FBEncryptorAES::strToLenAndStrMd5(std::string_view bytes) { return dataOne(16) + md5(bytes); }

std::optional<Bytes> FBEncryptorAES::encryptData1(std::string_view plain, std::string_view key) {
  KeyBytes<16> k(key);
  return runCipher(EVP_aes_128_ecb(), true, k.data(), nullptr, plain);
}

std::optional<Bytes> FBEncryptorAES::decryptData1(std::string_view cipher, std::string_view key) {
  if (cipher.empty() || cipher.size() % 16 != 0) return std::nullopt;
  KeyBytes<16> k(key);
  return runCipher(EVP_aes_128_ecb(), false, k.data(), nullptr, cipher);
}

// --- readers ---

int32_t FBEncryptorAES::byteToNum(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > 4) return 0;
  uint32_t value = 0;
  for (size_t i = bytes.size(); i-- > 0;) value = (value << 8) | static_cast<uint8_t>(bytes[i]);
  return static_cast<int32_t>(value);
}

std::optional<std::string> FBEncryptorAES::byteToStrOneAndN(std::string_view reply, size_t offset, size_t length) {
  if (offset > reply.size() || length > reply.size() - offset) return std::nullopt;
  return utf8(reply.substr(offset, length));
}

std::optional<std::string> FBEncryptorAES::byteToStrOneAndNJiaMi(std::string_view reply, size_t offset,
                                                                 size_t length) {
  if (offset > reply.size() || length > reply.size() - offset) return std::nullopt;
  auto plain = decryptData1(reply.substr(offset, length), codecKey());
  if (!plain) return std::nullopt;
  return utf8(*plain);
}

// --- whole messages ---

platform::Result<Bytes> FBEncryptorAES::dengluData(std::string_view loginName, std::string_view password,
                                                   std::string_view tokenid) {
  return LotteryRequest(LotteryCatalogue::kLogin)
      .x1(loginName)
      .x1(password)
      .u8(20)
      .s1("ios")
      .s1(UIDevice::wifiAddressDigest())
      .s1("5.1")
      .s1("1.0")
      .s1("960*640")
      .s1(tokenid)
      .seal();
}

platform::Result<Bytes> FBEncryptorAES::makeDataWithLottery(std::string_view lottery, std::string_view play,
                                                            std::string_view bet, std::string_view totalMoney,
                                                            int64_t winStop, std::string_view chaseData,
                                                            std::string_view multiple,
                                                            std::optional<std::string_view> lotteryInstallments,
                                                            const std::optional<platform::Json>& dic) {
  const std::string uid = StaticVariable::shared().uid().value_or(std::string());
  return LotteryRequest(LotteryCatalogue::kBetOrder)
      .s1(uid)
      .s1(lottery)
      .s1(play)
      .s4(bet)
      .s1(totalMoney)
      .u8(winStop)
      .s1(chaseData)
      .s1(multiple)
      .s1(lotteryInstallments.value_or(std::string_view()))
      .s4(dic ? platform::json::dump(*dic) : std::string())
      .seal();
}

Bytes FBEncryptorAES::data() {
  // A request without fields always fits.
  return LotteryRequest(LotteryCatalogue::kNoFields).seal().value();
}

// --- number operations ---

std::vector<int> FBEncryptorAES::randomNumbersWithQuantity(int quantity, int maxNumber, int startNumber) {
  std::vector<int> out;
  if (quantity < 1 || maxNumber < 1 || quantity > maxNumber) return out;
  out.reserve(static_cast<size_t>(quantity));
  while (out.size() < static_cast<size_t>(quantity)) {
    uint32_t r = 0;
    if (RAND_bytes(reinterpret_cast<unsigned char*>(&r), sizeof r) != 1) return {};
    const int value = startNumber + static_cast<int>(r % static_cast<uint32_t>(maxNumber));
    if (std::find(out.begin(), out.end(), value) == out.end()) out.push_back(value);
  }
  return out;
}

std::vector<int> FBEncryptorAES::shotedNumbersArray(std::vector<int> numbers) {
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

float FBEncryptorAES::C(int k, int n) {
  float numerator = 1;
  float denominator = 1;
  float d = static_cast<float>(n);
  for (int f = 1; f <= k; ++f) {
    denominator *= static_cast<float>(f);
    numerator *= d;
    d -= 1;
  }
  return numerator / denominator;
}

// --- further operations ---

std::optional<Bytes> FBEncryptorAES::decryptData(std::string_view cipher, std::string_view key,
                                                 std::optional<std::string_view> iv) {
  KeyBytes<32> k(key);
  KeyBytes<16> v(iv.value_or(std::string_view()));
  return runCipher(EVP_aes_256_cbc(), false, k.data(), v.data(), cipher);
}

std::optional<std::string> FBEncryptorAES::decryptBase64String(std::string_view base64, std::string_view key) {
  auto plain = decryptData(base64DataFromString(base64), key, std::nullopt);
  if (!plain) return std::nullopt;
  return utf8(*plain);
}

Bytes FBEncryptorAES::generateIv() {
  Bytes iv(16, '\0');
  if (RAND_bytes(reinterpret_cast<unsigned char*>(iv.data()), 16) != 1) return {};
  return iv;
}

std::string FBEncryptorAES::hexStringForData(std::string_view bytes) {
  return hexString(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), false);
}

Bytes FBEncryptorAES::dataForHexString(std::string_view hex) {
  auto digit = [](char c) { return std::max(0, hexDigitValue(c)); };
  Bytes out;
  out.reserve((hex.size() + 1) / 2);
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = digit(hex[i]);
    const int low = i + 1 < hex.size() ? digit(hex[i + 1]) : 0;
    out.push_back(static_cast<char>(high * 16 + low));
  }
  return out;
}

// --- LotteryRequest ---

LotteryRequest::LotteryRequest(int code) : code_(code), body_(FBEncryptorAES::dataTwo(code)) {
  body_ += FBEncryptorAES::strToLenAndStr(FBEncryptorAES::kHeader).value();
}

LotteryRequest& LotteryRequest::append(platform::Result<Bytes> field, const char* what) {
  if (error_) return *this;
  if (!field) {
    error_ = std::string(what) + " field at offset " + std::to_string(body_.size()) + ": " + field.error();
  } else {
    body_ += field.value();
  }
  return *this;
}

LotteryRequest& LotteryRequest::u8(int64_t value) { return append(FBEncryptorAES::dataOne(value), "u8"); }
LotteryRequest& LotteryRequest::u16(int64_t value) { return append(FBEncryptorAES::dataTwo(value), "u16"); }
LotteryRequest& LotteryRequest::u32(int64_t value) { return append(FBEncryptorAES::dataFour(value), "u32"); }
LotteryRequest& LotteryRequest::s1(std::string_view text) { return append(FBEncryptorAES::strToLenAndStr(text), "s1"); }
LotteryRequest& LotteryRequest::s2(std::string_view text) { return append(FBEncryptorAES::strToLenAndStr_2(text), "s2"); }
LotteryRequest& LotteryRequest::s4(std::string_view text) {
  return append(FBEncryptorAES::strToLenAndStr_four(text), "s4");
}
LotteryRequest& LotteryRequest::x1(std::string_view text) {
  return append(FBEncryptorAES::strToLenAndStrByAES(text, codecKey()), "x1");
}

platform::Result<Bytes> LotteryRequest::seal() const {
  if (error_) return platform::Status::error("lottery request " + std::to_string(code_) + ": " + *error_);
  auto salt = FBEncryptorAES::strToLenAndStr(ClientSettings::current().lotterySalt());
  if (!salt) return platform::Status::error("the lottery salt is longer than 255 bytes");
  Bytes digestInput = body_ + salt.value();
  Bytes sealed = body_ + FBEncryptorAES::strToLenAndStrMd5(digestInput);
  secureWipe(digestInput);
  secureWipe(salt.value());
  return sealed;
}

}  // namespace nvx::lottery
