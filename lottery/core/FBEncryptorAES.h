// The lottery's binary wire codec: the field writers and readers every lottery request and reply
// is made of, the two ciphers of its enciphered fields, the two messages whose whole content the
// codec builds itself (the login 1505 and the bet order 1524), and three number operations the
// game screens share. No state: every operation is a class operation.
//
// Field kinds (integers big-endian, texts UTF-8 without terminator):
//   u8, u16, u32      dataOne, dataTwo, dataFour: the low 8, 16 or 32 bits of an integer
//   s1, s2, s4        a 1-, 2- or 4-byte byte count, then the text's bytes
//   x1                the text enciphered (AES-128, ECB, PKCS#7) behind a 1-byte cipher length
//   trailer           the byte 16, then the raw MD5 of the request followed by the salt as s1
//
// A text longer than its length field can count (s1 > 255 bytes, x1 > 239, s2 > 65,535) is
// refused with an error: a truncated length would make the server read every later field from
// the wrong place. An absent text is written as the empty one.
//
// The field key and the digest salt are the client's settings (ClientSettings); they are never
// logged and never sent.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Json.h"
#include "platform/foundation/Status.h"

namespace nvx::lottery {

// The bytes of a lottery message or field (any byte values).
using Bytes = std::string;

class FBEncryptorAES {
 public:
  // Written as s1 right after the code of every request; never varies.
  static constexpr std::string_view kHeader = "00001000000";
  static constexpr size_t kMaxS1Bytes = 255;
  static constexpr size_t kMaxX1Bytes = 239;   // its cipher is at most 240 bytes
  static constexpr size_t kMaxS2Bytes = 65535;
  static constexpr size_t kMaxS4Bytes = 0xFFFFFFFFu;
  static constexpr size_t kTrailerSize = 17;

  // --- writers (each returns the field's bytes; the caller appends them in field order) ---
  static Bytes dataOne(int64_t value);
  static Bytes dataTwo(int64_t value);
  static Bytes dataFour(int64_t value);
  static platform::Result<Bytes> strToLenAndStr(std::string_view text);
  static platform::Result<Bytes> strToLenAndStr_2(std::string_view text);
  static platform::Result<Bytes> strToLenAndStr_four(std::string_view text);
  // x1 under key (its first 16 bytes, zero-filled when shorter). An empty text gives the cipher
  // length 16 and one block of padding.
  static platform::Result<Bytes> strToLenAndStrByAES(std::string_view text, std::string_view key);
  // The 16 raw bytes of the MD5 of bytes.
  static Bytes md5(std::string_view bytes);
  // The byte 16 followed by md5(bytes); given a request followed by the salt as s1, the trailer.
  static Bytes strToLenAndStrMd5(std::string_view bytes);
  // AES-128 ECB with PKCS#7 padding, no IV, under the first 16 bytes of key (zero-filled).
  // Nothing when the cipher fails (deciphering: a length not a multiple of 16, wrong padding).
  static std::optional<Bytes> encryptData1(std::string_view plain, std::string_view key);
  static std::optional<Bytes> decryptData1(std::string_view cipher, std::string_view key);

  // --- readers ---
  // The integer held in 1 to 4 bytes, least significant byte first (callers reverse a u16 or u32
  // of the big-endian wire into a small buffer first): zero-extended, as a signed 32-bit value.
  // Reads exactly the bytes given; 0 for none or more than 4.
  static int32_t byteToNum(std::string_view bytes);
  // The length bytes of reply from offset as UTF-8 text. Nothing when the range does not lie
  // inside the reply or the bytes are not UTF-8.
  static std::optional<std::string> byteToStrOneAndN(std::string_view reply, size_t offset, size_t length);
  // The same range deciphered with decryptData1 under the codec key, as UTF-8 text. Nothing
  // when the range is outside the reply, deciphering fails or the result is not UTF-8.
  static std::optional<std::string> byteToStrOneAndNJiaMi(std::string_view reply, size_t offset, size_t length);

  // --- whole messages ---
  // The login request 1505: login name and password as x1, the fixed client facts, the device
  // identifier (UIDevice::wifiAddressDigest) and the host token.
  static platform::Result<Bytes> dengluData(std::string_view loginName, std::string_view password,
                                            std::string_view tokenid);
  // The bet order 1524 for the lottery user of the session (StaticVariable's uid, read now).
  // dic: the payment dictionary written as compact JSON; absent gives an empty s4.
  static platform::Result<Bytes> makeDataWithLottery(std::string_view lottery, std::string_view play,
                                                     std::string_view bet, std::string_view totalMoney,
                                                     int64_t winStop, std::string_view chaseData,
                                                     std::string_view multiple,
                                                     std::optional<std::string_view> lotteryInstallments,
                                                     const std::optional<platform::Json>& dic);
  // The request 1107: code, header and trailer (nothing sends it).
  static Bytes data();

  // --- number operations of the game screens ---
  // quantity distinct values, each startNumber + (a uniform random 32-bit value modulo
  // maxNumber), in the order drawn. Empty when quantity < 1, or when quantity exceeds maxNumber
  // (no such set exists; the draw would never end).
  static std::vector<int> randomNumbersWithQuantity(int quantity, int maxNumber, int startNumber = 1);
  // Ascending by value.
  static std::vector<int> shotedNumbersArray(std::vector<int> numbers);
  // The number of combinations of n items taken k at a time, computed in single precision:
  // 1 for k < 1, 0 for k > n. Callers take the nearest integer.
  static float C(int k, int n);

  // --- further operations of the codec ---
  // AES-256 CBC with PKCS#7 padding: key = the first 32 bytes of key (zero-filled), IV = the
  // first 16 bytes of iv (zero-filled; 16 zero bytes when none). Nothing when deciphering fails.
  static std::optional<Bytes> decryptData(std::string_view cipher, std::string_view key,
                                          std::optional<std::string_view> iv);
  // Base64 text deciphered with decryptData (no IV) under the key text's bytes, as UTF-8 text.
  static std::optional<std::string> decryptBase64String(std::string_view base64, std::string_view key);
  // 16 random bytes from the cryptographic generator.
  static Bytes generateIv();
  // Lower-case hex, two digits per byte.
  static std::string hexStringForData(std::string_view bytes);
  // Hex digit pairs to bytes, case-insensitive; a character that is not a hex digit counts as 0;
  // an odd last digit d gives the byte d × 16.
  static Bytes dataForHexString(std::string_view hex);
  // The UTF-8 bytes of a text (the text itself) and of the decimal form of an integer.
  static Bytes dataString(std::string_view text) { return Bytes(text); }
  static Bytes stringbyte(std::string_view text) { return Bytes(text); }
  static Bytes byte(int value) { return std::to_string(value); }
  int int8ToByte(int value) const { return value; }
  void requestFinished(const std::optional<std::string>& text, const std::optional<std::string>& methodName) const {}
};

// A lottery request as the screens build it: the code and the header at once, then the fields in
// their order, then seal() appends the trailer. The first field that cannot be written (a text
// too long for its length field) makes seal() fail with its error; nothing of it goes out.
class LotteryRequest {
 public:
  explicit LotteryRequest(int code);

  LotteryRequest& u8(int64_t value);
  LotteryRequest& u16(int64_t value);
  LotteryRequest& u32(int64_t value);
  LotteryRequest& s1(std::string_view text);
  LotteryRequest& s2(std::string_view text);
  LotteryRequest& s4(std::string_view text);
  // Enciphered under the codec key of the settings.
  LotteryRequest& x1(std::string_view text);

  // The finished request: everything written so far and the trailer over it and the salt of the
  // settings.
  platform::Result<Bytes> seal() const;

 private:
  LotteryRequest& append(platform::Result<Bytes> field, const char* what);

  int code_;
  Bytes body_;
  std::optional<std::string> error_;
};

}  // namespace nvx::lottery
