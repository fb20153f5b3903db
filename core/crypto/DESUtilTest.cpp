#include "core/crypto/DESUtil.h"

#include <gtest/gtest.h>

#include "core/crypto/Base64.h"
#include "core/crypto/CDes.h"

namespace nvx {
namespace {

const std::string kKey32 = "Zq3xY8wB1vN5mK7jH2gF4dS6aP9oI0uT";  // 32 characters, the probe's form

// Three-key EDE, ECB, PKCS#7, written out with CDes.
std::string referenceEncrypt(std::string plain, std::string_view key) {
  size_t pad = 8 - plain.size() % 8;
  plain.append(pad, static_cast<char>(pad));
  auto keyPart = [&](size_t i) {
    return std::span<const uint8_t, 8>(reinterpret_cast<const uint8_t*>(key.data()) + 8 * i, 8);
  };
  CDes des;
  for (size_t at = 0; at < plain.size(); at += 8) {
    std::span<uint8_t, 8> block(reinterpret_cast<uint8_t*>(plain.data()) + at, 8);
    des.encryptBlock(block, block, keyPart(0));
    des.decryptBlock(block, block, keyPart(1));
    des.encryptBlock(block, block, keyPart(2));
  }
  return base64StringFromData(plain);
}

TEST(DESUtilTest, EncryptsWithTheFirst24KeyBytesAsBase64) {
  for (std::string text : {"", "13800138000", "exactly8", "诺维萨 probe {\"a\":1}"}) {
    auto cipher = DESUtil::TripleDES(text, kKey32, CipherOperation::Encrypt);
    ASSERT_TRUE(cipher) << text;
    EXPECT_EQ(*cipher, referenceEncrypt(text, kKey32)) << text;
    EXPECT_EQ(DESUtil::TripleDES(text, kKey32.substr(0, 24), CipherOperation::Encrypt), cipher);
    EXPECT_EQ(DESUtil::TripleDES(*cipher, kKey32, CipherOperation::Decrypt), text);
  }
  // An empty text is one block of padding: 12 Base64 characters.
  EXPECT_EQ(DESUtil::TripleDES("", kKey32, CipherOperation::Encrypt)->size(), 12u);
}

TEST(DESUtilTest, BadInputGivesNothing) {
  const std::string key23 = kKey32.substr(0, 23);
  EXPECT_FALSE(DESUtil::TripleDES("text", key23, CipherOperation::Encrypt));
  EXPECT_FALSE(DESUtil::TripleDES("text", "", CipherOperation::Encrypt));
  auto cipher = DESUtil::TripleDES("text", kKey32, CipherOperation::Encrypt);
  ASSERT_TRUE(cipher);
  EXPECT_FALSE(DESUtil::TripleDES(*cipher, key23, CipherOperation::Decrypt));
  EXPECT_FALSE(DESUtil::TripleDES("", kKey32, CipherOperation::Decrypt));
  EXPECT_FALSE(DESUtil::TripleDES("not base64 of blocks!", kKey32, CipherOperation::Decrypt));
  EXPECT_FALSE(DESUtil::TripleDES(cipher->substr(0, 8), kKey32, CipherOperation::Decrypt));
  // Deciphered bytes that are not UTF-8 are not a text.
  auto binary = DESUtil::TripleDES("\xFF\xFE", kKey32, CipherOperation::Encrypt);
  ASSERT_TRUE(binary);
  EXPECT_FALSE(DESUtil::TripleDES(*binary, kKey32, CipherOperation::Decrypt));
  // Another key never gives the text back.
  std::string other = kKey32;
  other[0] = 'X';
  EXPECT_NE(DESUtil::TripleDES(*cipher, other, CipherOperation::Decrypt),
            std::optional<std::string>("text"));
}

}  // namespace
}  // namespace nvx
