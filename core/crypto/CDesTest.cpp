// OpenSSL's single DES serves as the reference here; its low-level interface is deprecated in
// OpenSSL 3, so the warning is silenced in this file only.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/des.h>

#include <random>

#include <gtest/gtest.h>

#include "core/text/CArithmetic.h"
#include "core/crypto/CDes.h"

namespace nvx {
namespace {

using Block = std::array<uint8_t, 8>;

Block blockFromHex(std::string_view hex) {
  Block b{};
  EXPECT_EQ(CArithmetic().hexToBytes(hex, b), 8) << hex;
  return b;
}

std::string hexOf(const Block& b) { return CArithmetic().bytesToHex(b); }

Block referenceDes(const Block& key, const Block& in, bool encrypt) {
  DES_cblock keyBlock;
  std::memcpy(keyBlock, key.data(), 8);
  DES_key_schedule schedule;
  DES_set_key_unchecked(&keyBlock, &schedule);
  DES_cblock input;
  DES_cblock output;
  std::memcpy(input, in.data(), 8);
  DES_ecb_encrypt(&input, &output, &schedule, encrypt ? DES_ENCRYPT : DES_DECRYPT);
  Block out;
  std::memcpy(out.data(), output, 8);
  return out;
}

TEST(CDesTest, KnownAnswers) {
  struct Case {
    const char* key;
    const char* plain;
    const char* cipher;
  };
  const Case cases[] = {
      {"133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
      {"0E329232EA6D0D73", "8787878787878787", "0000000000000000"},
      {"0101010101010101", "8000000000000000", "95F8A5E5DD31D900"},  // variable plaintext
      {"8001010101010101", "0000000000000000", "95A8D72813DAA94D"},  // variable key
  };
  for (const auto& c : cases) {
    CDes des;
    Block key = blockFromHex(c.key);
    Block out{};
    des.encryptBlock(blockFromHex(c.plain), out, key);
    EXPECT_EQ(hexOf(out), c.cipher) << c.key;
    des.decryptBlock(blockFromHex(c.cipher), out, key);
    EXPECT_EQ(hexOf(out), c.plain) << c.key;
  }
}

TEST(CDesTest, MatchesReferenceForRandomKeysAndBlocks) {
  std::mt19937_64 random(20240601);
  CDes des;  // one object for all: every call must set its own key
  for (int i = 0; i < 500; ++i) {
    Block key;
    Block in;
    for (auto& b : key) b = static_cast<uint8_t>(random());
    for (auto& b : in) b = static_cast<uint8_t>(random());
    Block out{};
    des.encryptBlock(in, out, key);
    ASSERT_EQ(hexOf(out), hexOf(referenceDes(key, in, true))) << "key " << hexOf(key);
    Block back{};
    des.decryptBlock(out, back, key);
    ASSERT_EQ(hexOf(back), hexOf(in));
    des.decryptBlock(in, out, key);
    ASSERT_EQ(hexOf(out), hexOf(referenceDes(key, in, false)));
  }
}

TEST(CDesTest, IgnoresParityBitsAndWorksInPlace) {
  Block key = blockFromHex("133457799BBCDFF1");
  Block flipped = key;
  for (auto& b : flipped) b ^= 0x01;
  Block a = blockFromHex("0123456789ABCDEF");
  Block b = a;
  CDes des;
  des.encryptBlock(a, a, key);
  des.encryptBlock(b, b, flipped);
  EXPECT_EQ(hexOf(a), "85E813540F0AB405");
  EXPECT_EQ(hexOf(b), "85E813540F0AB405");
}

// One object keeps the schedule of its last key: a following block under a key that differs in a
// single bit of its last byte, or in the other direction, must not reuse it.
TEST(CDesTest, ReusedObjectFollowsEveryKeyAndDirectionChange) {
  struct Step {
    const char* key;
    bool encrypt;
  };
  const Step steps[] = {
      {"133457799BBCDFF1", true},  {"133457799BBCDFF1", true},  {"133457799BBCDFF3", true},
      {"133457799BBCDFF3", false}, {"133457799BBCDFF1", false}, {"933457799BBCDFF1", false},
      {"933457799BBCDFF1", true},  {"133457799BBCDFF1", true},
  };
  CDes des;
  Block block = blockFromHex("0123456789ABCDEF");
  for (const auto& step : steps) {
    Block key = blockFromHex(step.key);
    Block expected = referenceDes(key, block, step.encrypt);
    if (step.encrypt) {
      des.encryptBlock(block, block, key);
    } else {
      des.decryptBlock(block, block, key);
    }
    ASSERT_EQ(hexOf(block), hexOf(expected)) << step.key << (step.encrypt ? " encrypt" : " decrypt");
  }
}

}  // namespace
}  // namespace nvx
