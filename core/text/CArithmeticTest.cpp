#include <random>

#include <openssl/evp.h>

#include <gtest/gtest.h>

#include "core/text/CArithmetic.h"

namespace nvx {
namespace {

TEST(CArithmeticTest, HexToBytesReadsOnlyUpperCaseDigitPairs) {
  struct Case {
    std::string_view hex;
    size_t room;
    int result;
    std::vector<uint8_t> written;  // the leading bytes of the output afterwards
  };
  const Case cases[] = {
      {"", 4, 0, {}},
      {"00FF7A", 4, 3, {0x00, 0xFF, 0x7A}},
      {"0123456789ABCDEF", 8, 8, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}},
      {"ab", 4, -1, {}},                           // lower case is not a digit here
      {"AB12x4CD", 4, -1, {0xAB, 0x12}},           // stops at the first other character
      {"AB1G", 4, -1, {0xAB}},
      {"ABC", 4, -1, {}},                          // odd count: nothing written
      {"AABBCC", 2, -1, {}},                       // no room: nothing written
      {std::string_view("AB\0C", 4), 4, -1, {0xAB}},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> out(c.room, 0xEE);
    EXPECT_EQ(CArithmetic().hexToBytes(c.hex, out), c.result) << c.hex;
    for (size_t i = 0; i < c.written.size(); ++i) EXPECT_EQ(out[i], c.written[i]) << c.hex;
    if (c.written.empty() && c.result < 0) {
      EXPECT_EQ(out[0], 0xEE) << c.hex;
    }
  }
}

TEST(CArithmeticTest, BytesToHexIsUpperCase) {
  std::vector<uint8_t> bytes = {0x00, 0x0A, 0xAB, 0xFF};
  EXPECT_EQ(CArithmetic().bytesToHex(bytes), "000AABFF");
  EXPECT_EQ(CArithmetic().bytesToHex({}), "");
}

// Two-key EDE equals three-key EDE with K3 = K1, which OpenSSL's default provider offers.
std::array<uint8_t, 8> referenceEde(const std::array<uint8_t, 16>& key,
                                    const std::array<uint8_t, 8>& in, bool encrypt) {
  std::array<uint8_t, 24> key3{};
  std::copy(key.begin(), key.end(), key3.begin());
  std::copy(key.begin(), key.begin() + 8, key3.begin() + 16);
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  std::array<uint8_t, 16> out{};
  int n = 0;
  EXPECT_EQ(EVP_CipherInit_ex2(ctx, EVP_des_ede3_ecb(), key3.data(), nullptr, encrypt, nullptr), 1);
  EVP_CIPHER_CTX_set_padding(ctx, 0);
  EXPECT_EQ(EVP_CipherUpdate(ctx, out.data(), &n, in.data(), 8), 1);
  EXPECT_EQ(n, 8);
  EVP_CIPHER_CTX_free(ctx);
  std::array<uint8_t, 8> block;
  std::copy(out.begin(), out.begin() + 8, block.begin());
  return block;
}

TEST(CArithmeticTest, TripleDesBlocksMatchReferenceAndInvert) {
  std::mt19937_64 random(7);
  CArithmetic arithmetic;
  for (int i = 0; i < 200; ++i) {
    std::array<uint8_t, 16> key;
    std::array<uint8_t, 8> in;
    for (auto& b : key) b = static_cast<uint8_t>(random());
    for (auto& b : in) b = static_cast<uint8_t>(random());
    std::array<uint8_t, 8> out{};
    arithmetic.tripleDesEncryptBlock(key, in, out);
    ASSERT_EQ(arithmetic.bytesToHex(out), arithmetic.bytesToHex(referenceEde(key, in, true)));
    std::array<uint8_t, 8> back{};
    arithmetic.tripleDesDecryptBlock(key, out, back);
    ASSERT_EQ(back, in);
    arithmetic.tripleDesDecryptBlock(key, in, out);
    ASSERT_EQ(arithmetic.bytesToHex(out), arithmetic.bytesToHex(referenceEde(key, in, false)));
  }
}

}  // namespace
}  // namespace nvx
