#include "core/crypto/EncryptTool.h"

#include <atomic>
#include <random>
#include <thread>

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <gtest/gtest.h>

#include "core/crypto/Base64.h"
#include "core/text/CArithmetic.h"
#include "core/crypto/Demix.h"
#include "core/testing/RsaTestKey.h"
#include "core/testing/TestSettingsBundle.h"
#include "platform/foundation/Log.h"

namespace nvx {
namespace {

using testing::RsaTestKey;
using testing::TestSettingsBundle;

std::string asciiHex(std::string_view text) {
  return CArithmetic().bytesToHex(
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

std::vector<uint8_t> bytesOf(std::string_view hex) {
  std::vector<uint8_t> bytes(hex.size() / 2);
  EXPECT_EQ(CArithmetic().hexToBytes(hex, bytes), static_cast<int>(bytes.size())) << hex;
  return bytes;
}

std::string randomHex(std::mt19937_64& random, size_t digits) {
  std::string hex;
  for (size_t i = 0; i < digits; ++i) hex.push_back("0123456789ABCDEF"[random() % 16]);
  return hex;
}

// The three-key EDE of OpenSSL's default provider, one block: with K1 = K2 = K3 it is single DES.
std::array<uint8_t, 8> ede(const std::vector<uint8_t>& k1, const std::vector<uint8_t>& k2,
                           std::array<uint8_t, 8> block) {
  std::vector<uint8_t> key(k1);
  key.insert(key.end(), k2.begin(), k2.end());
  key.insert(key.end(), k1.begin(), k1.end());
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  std::array<uint8_t, 16> out{};
  int n = 0;
  EVP_EncryptInit_ex2(ctx, EVP_des_ede3_ecb(), key.data(), nullptr, nullptr);
  EVP_CIPHER_CTX_set_padding(ctx, 0);
  EVP_EncryptUpdate(ctx, out.data(), &n, block.data(), 8);
  EVP_CIPHER_CTX_free(ctx);
  std::copy(out.begin(), out.begin() + 8, block.begin());
  return block;
}

// ANSI X9.19 written out with the reference cipher: CBC single DES under A from zero over the
// zero-padded text, the last block through E(A) D(B) E(A), which is EDE under (A, B).
std::string referenceMac(std::string_view text, std::string_view keyHex) {
  std::vector<uint8_t> a = bytesOf(keyHex.substr(0, 16));
  std::vector<uint8_t> b = bytesOf(keyHex.substr(16));
  std::string padded(text);
  padded.resize((text.size() + 7) / 8 * 8, '\0');
  std::array<uint8_t, 8> v{};
  for (size_t at = 0; at < padded.size(); at += 8) {
    for (size_t i = 0; i < 8; ++i) v[i] ^= static_cast<uint8_t>(padded[at + i]);
    v = at + 8 < padded.size() ? ede(a, a, v) : ede(a, b, v);
  }
  return CArithmetic().bytesToHex(v);
}

TEST(EncryptToolTest, TripleDesWithEqualHalvesIsSingleDes) {
  const std::string half = "133457799BBCDFF1";
  auto triple = EncryptTool::encrypt("0123456789ABCDEF", half + half);
  ASSERT_TRUE(triple);
  EXPECT_EQ(*triple, "85E813540F0AB405");
  EXPECT_EQ(EncryptTool::encryptDES("0123456789ABCDEF", half), triple);
  EXPECT_EQ(EncryptTool::decryptDES("85E813540F0AB405", half), "0123456789ABCDEF");
}

TEST(EncryptToolTest, TripleDesMatchesReferenceBlockByBlockAndDecryptsBack) {
  std::mt19937_64 random(11);
  for (size_t blocks : {1u, 2u, 5u}) {
    std::string key = randomHex(random, 32);
    std::string data = randomHex(random, 16 * blocks);
    auto cipher = EncryptTool::encrypt(data, key);
    ASSERT_TRUE(cipher);
    ASSERT_EQ(cipher->size(), data.size());
    std::vector<uint8_t> k1 = bytesOf(std::string_view(key).substr(0, 16));
    std::vector<uint8_t> k2 = bytesOf(std::string_view(key).substr(16));
    for (size_t at = 0; at < data.size(); at += 16) {
      std::array<uint8_t, 8> block;
      auto bytes = bytesOf(std::string_view(data).substr(at, 16));
      std::copy(bytes.begin(), bytes.end(), block.begin());  // ECB: each block on its own
      EXPECT_EQ(cipher->substr(at, 16), CArithmetic().bytesToHex(ede(k1, k2, block)));
    }
    EXPECT_EQ(EncryptTool::decrypt(*cipher, key), data);
    EXPECT_EQ(EncryptTool::tripleDES(*cipher, CipherOperation::Decrypt, key), data);
  }
}

TEST(EncryptToolTest, BlockOperationsGiveNothingForEmptyOrMalformedInput) {
  const std::string key32 = "0123456789ABCDEFFEDCBA9876543210";
  const std::string key16 = "0123456789ABCDEF";
  const std::string block = "06123456FFFFFFFF";
  struct Case {
    const char* what;
    std::string data;
    std::string key32;
    std::string key16;
  };
  const Case cases[] = {
      {"empty data", "", key32, key16},
      {"empty key", block, "", ""},
      {"lower-case data", "06123456ffffffff", key32, key16},
      {"lower-case key", block, "0123456789abcdeffedcba9876543210", "0123456789abcdef"},
      {"odd data", block + "0", key32, key16},
      {"partial block", "06123456", key32, key16},
      {"short key", block, key32.substr(0, 30), key16.substr(0, 14)},
      {"long key", block, key32 + "00", key16 + "00"},
      {"not hex", "06123456FFFFFFFG", key32, key16},
      {"space", "06123456 FFFFFFF", key32, key16},
  };
  platform::log::Capture log;
  for (const auto& c : cases) {
    for (auto op : {CipherOperation::Encrypt, CipherOperation::Decrypt}) {
      EXPECT_FALSE(EncryptTool::tripleDES(c.data, op, c.key32)) << c.what;
      EXPECT_FALSE(EncryptTool::operateDES(c.data, c.key16, op)) << c.what;
    }
  }
  // The refusals are logged by rule; no key or data ever reaches the log.
  EXPECT_TRUE(log.contains("upper-case hex"));
  for (const auto& line : log.lines()) {
    EXPECT_EQ(line.find("0123456789"), std::string::npos) << line;
    EXPECT_EQ(line.find("06123456"), std::string::npos) << line;
  }
}

TEST(EncryptToolTest, MacKnownAnswer) {
  EXPECT_EQ(EncryptTool::generateMac("Hello World !!!!", "7CA110454A1A6E570131D9619DC1376E"),
            "F09B856213BAB83B");
}

TEST(EncryptToolTest, MacPaddingCases) {
  const std::string key = "7CA110454A1A6E570131D9619DC1376E";
  // One whole block: no padding block is added, so the MAC is the two-key EDE of that block.
  EXPECT_EQ(EncryptTool::generateMac("12345678", key),
            EncryptTool::encrypt(asciiHex("12345678"), key));
  // A partial block is completed with zero bytes.
  EXPECT_EQ(EncryptTool::generateMac("abc", key),
            EncryptTool::encrypt(asciiHex("abc") + "0000000000", key));
  const std::string texts[] = {"a", "1234567", "123456789", "Hello World !!!!!",
                               std::string("with\0zero", 9)};
  for (const auto& text : texts) {
    EXPECT_EQ(EncryptTool::generateMac(text, key), referenceMac(text, key)) << text;
  }
  // A text that differs only by trailing zero bytes has the same MAC: the padding is zeros.
  EXPECT_EQ(EncryptTool::generateMac(std::string("abc\0", 4), key),
            EncryptTool::generateMac("abc", key));
}

TEST(EncryptToolTest, MacOfRequestSizedTextsMatchesReference) {
  std::mt19937_64 random(3);
  for (size_t size : {199u, 200u, 201u, 640u}) {
    std::string text;
    for (size_t i = 0; i < size; ++i) text.push_back(static_cast<char>(0x20 + random() % 95));
    std::string key = randomHex(random, 32);
    std::string mac = EncryptTool::generateMac(text, key);
    EXPECT_EQ(mac.size(), 16u);
    EXPECT_EQ(mac, referenceMac(text, key)) << size;
  }
}

TEST(EncryptToolTest, MacGivesEmptyTextForEmptyOrBadInput) {
  const std::string key = "7CA110454A1A6E570131D9619DC1376E";
  EXPECT_EQ(EncryptTool::generateMac("", key), "");
  EXPECT_EQ(EncryptTool::generateMac("abc", ""), "");
  EXPECT_EQ(EncryptTool::generateMac("abc", "7ca110454a1a6e570131d9619dc1376e"), "");
  EXPECT_EQ(EncryptTool::generateMac("abc", key.substr(0, 16)), "");
  EXPECT_EQ(EncryptTool::generateMac("abc", key + "00"), "");
  EXPECT_EQ(EncryptTool::generateMac("caf\xC3\xA9", key), "");  // not ASCII
}

TEST(EncryptToolTest, NothingSecretReachesTheLog) {
  platform::log::Capture log;
  EncryptTool::generateMac("PIN 123456", "7ca110454a1a6e570131d9619dc1376e");
  EncryptTool::generateMac("PIN 123456\xFF", "7CA110454A1A6E570131D9619DC1376E");
  EncryptTool::encryptRSAWithPublicKey("-----BEGIN PUBLIC KEY-----\nbroken", "123456");
  EXPECT_EQ(log.lines().size(), 3u);
  for (const auto& line : log.lines()) {
    EXPECT_EQ(line.find("123456"), std::string::npos) << line;
    EXPECT_EQ(line.find("7CA1"), std::string::npos) << line;
    EXPECT_EQ(line.find("7ca1"), std::string::npos) << line;
    EXPECT_EQ(line.find("broken"), std::string::npos) << line;
  }
}

TEST(EncryptToolTest, HexXorAndDigitValues) {
  EXPECT_EQ(EncryptTool::xORWithString1("0F", "FF"), "F0");
  EXPECT_EQ(EncryptTool::xORWithString1("0123456789ABCDEF", "FFFFFFFFFFFFFFFF"),
            "FEDCBA9876543210");
  EXPECT_EQ(EncryptTool::xORWithString1("0F", "FF00"), "F0");  // positions of the first text
  EXPECT_EQ(EncryptTool::xORWithString1("0f", "Ff"), "F0");    // digits of either case
  EXPECT_EQ(EncryptTool::xORWithString1("0F", "F"), "");       // second text too short
  EXPECT_EQ(EncryptTool::xORWithString1("", "FF"), "");
  EXPECT_EQ(EncryptTool::xORWithString1("0G", "FF"), "");
  EXPECT_EQ(EncryptTool::xORWithString1("0F", "F-"), "");

  EXPECT_EQ(EncryptTool::generateHexArrayFrom("09AFaf"),
            (std::vector<uint8_t>{0, 9, 10, 15, 10, 15}));
  EXPECT_TRUE(EncryptTool::generateHexArrayFrom("12Z").empty());
}

TEST(EncryptToolTest, ConvertToHexStringIsLowerCase) {
  EXPECT_EQ(EncryptTool::convertToHexString(std::string("\x00\xAB\x7F\xFF", 4)), "00ab7fff");
  EXPECT_EQ(EncryptTool::convertToHexString(""), "");
}

class EncryptToolRsaTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    passwordKey_ = new RsaTestKey(RsaTestKey::generate());
    pinKey_ = new RsaTestKey(RsaTestKey::generate());
  }
  static void TearDownTestSuite() {
    delete passwordKey_;
    delete pinKey_;
  }
  static platform::Json settings(const std::string& half1 = "",
                                           const std::string& half2 = "") {
    return TestSettingsBundle::settings(passwordKey_->publicPem(), pinKey_->publicPem(),
                                        half1.empty() ? "x" : half1, half2.empty() ? "x" : half2);
  }
  static RsaTestKey* passwordKey_;
  static RsaTestKey* pinKey_;
};
RsaTestKey* EncryptToolRsaTest::passwordKey_ = nullptr;
RsaTestKey* EncryptToolRsaTest::pinKey_ = nullptr;

TEST_F(EncryptToolRsaTest, EncryptsWithAPublicKeyAsLowerCaseHex) {
  auto cipher = EncryptTool::encryptRSAWithPublicKey(passwordKey_->publicPem(), "密码 secret");
  ASSERT_TRUE(cipher);
  EXPECT_EQ(cipher->size(), 256u);
  EXPECT_EQ(cipher->find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_EQ(passwordKey_->decryptHex(*cipher), "密码 secret");
  EXPECT_FALSE(pinKey_->decryptHex(*cipher));
  // The longest text PKCS#1 v1.5 takes under a 1024-bit key is 117 bytes.
  const std::string pem = passwordKey_->publicPem();
  EXPECT_TRUE(EncryptTool::encryptRSAWithPublicKey(pem, std::string(117, 'x')));
  EXPECT_FALSE(EncryptTool::encryptRSAWithPublicKey(pem, std::string(118, 'x')));
}

TEST_F(EncryptToolRsaTest, UnusableKeysGiveNothing) {
  std::string pem = passwordKey_->publicPem();
  std::string damaged = pem;
  damaged[40] = damaged[40] == 'A' ? 'B' : 'A';
  EVP_PKEY* ec = EVP_EC_gen("P-256");
  BIO* bio = BIO_new(BIO_s_mem());
  PEM_write_bio_PUBKEY(bio, ec);
  char* data = nullptr;
  long size = BIO_get_mem_data(bio, &data);
  std::string ecPem(data, static_cast<size_t>(size));
  BIO_free(bio);
  EVP_PKEY_free(ec);
  for (const std::string& key : {std::string(), std::string("not a key"), pem.substr(0, 100),
                                 damaged, ecPem}) {
    EXPECT_FALSE(EncryptTool::encryptRSAWithPublicKey(key, "secret")) << key;
  }
}

// Parsed keys are kept for the run: each text must still get its own key, also when a run sees
// more keys than it keeps, and from several threads at once.
TEST_F(EncryptToolRsaTest, EveryKeyTextUsesItsOwnKey) {
  std::vector<RsaTestKey> others;
  for (int i = 0; i < 10; ++i) others.push_back(RsaTestKey::generate());
  std::vector<const RsaTestKey*> order = {passwordKey_, pinKey_, passwordKey_};
  for (const auto& key : others) order.push_back(&key);
  order.push_back(pinKey_);
  order.push_back(passwordKey_);
  for (const RsaTestKey* key : order) {
    auto cipher = EncryptTool::encryptRSAWithPublicKey(key->publicPem(), "secret");
    ASSERT_TRUE(cipher);
    EXPECT_EQ(key->decryptHex(*cipher), "secret");
  }

  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 20; ++i) {
        const RsaTestKey& key = (t + i) % 3 == 0 ? *pinKey_ : others[size_t(t + i) % others.size()];
        auto cipher = EncryptTool::encryptRSAWithPublicKey(key.publicPem(), "x");
        if (!cipher || key.decryptHex(*cipher) != "x") ++wrong;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(wrong, 0);
}

TEST_F(EncryptToolRsaTest, SettingsKeysGiveUpperCaseHexThatDiffersEveryTime) {
  TestSettingsBundle bundle(settings());
  auto first = EncryptTool::getPinRSAEncryptionKeyFromString("0123456789ABCDEF");
  auto second = EncryptTool::getPinRSAEncryptionKeyFromString("0123456789ABCDEF");
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->size(), 256u);
  EXPECT_EQ(first->find_first_not_of("0123456789ABCDEF"), std::string::npos);
  EXPECT_NE(*first, *second);  // random padding
  EXPECT_EQ(pinKey_->decryptHex(*first), "0123456789ABCDEF");
  EXPECT_EQ(pinKey_->decryptHex(*second), "0123456789ABCDEF");

  auto password = EncryptTool::getRSAEncryptionKeyFromString("pass word");
  ASSERT_TRUE(password);
  EXPECT_EQ(password->find_first_not_of("0123456789ABCDEF"), std::string::npos);
  EXPECT_EQ(passwordKey_->decryptHex(*password), "pass word");
  EXPECT_FALSE(pinKey_->decryptHex(*password));
}

TEST_F(EncryptToolRsaTest, PinBlockPath) {
  TestSettingsBundle bundle(settings());
  const std::string pinKey = "4F1A7C2D9E0B3A5866F0C1D2E3A4B5C6";  // the terminal's clear PIN key
  const std::string block = "06" + std::string("123456") + "FFFFFFFF";
  auto enciphered = EncryptTool::encrypt(block, pinKey);
  ASSERT_TRUE(enciphered);
  ASSERT_EQ(enciphered->size(), 16u);
  auto pinkey = EncryptTool::getPinRSAEncryptionKeyFromString(*enciphered);
  ASSERT_TRUE(pinkey);
  EXPECT_EQ(pinkey->size(), 256u);

  // What the server does: RSA with its private key, then Triple DES under the PIN key.
  auto recovered = pinKey_->decryptHex(*pinkey);
  ASSERT_TRUE(recovered);
  EXPECT_EQ(*recovered, *enciphered);
  EXPECT_EQ(EncryptTool::decrypt(*recovered, pinKey), block);
}

TEST_F(EncryptToolRsaTest, MissingSettingsGiveNothing) {
  platform::Json broken = settings();
  broken.erase("pinPublicKey");
  TestSettingsBundle bundle(broken);
  EXPECT_FALSE(EncryptTool::getPinRSAEncryptionKeyFromString("0123456789ABCDEF"));
  EXPECT_FALSE(EncryptTool::getRSAEncryptionKeyFromString("x"));
  EXPECT_TRUE(EncryptTool::getXorString().empty());
}

TEST_F(EncryptToolRsaTest, TransportKeyIsTheXorOfTheUnscrambledHalves) {
  const std::string half1 = "00112233445566778899AABBCCDDEEFF";
  const std::string half2 = "0F0F0F0F0F0F0F0FF0F0F0F0F0F0F0F0";
  {
    TestSettingsBundle bundle(settings(*mix(half1), *mix(half2)));
    EXPECT_EQ(EncryptTool::getXorString().view(), "0F1E2D3C4B5A697878695A4B3C2D1E0F");
  }
}

TEST_F(EncryptToolRsaTest, TransportKeyFromUnusableHalvesIsEmpty) {
  const std::string good = *mix("00112233445566778899AABBCCDDEEFF");
  const std::string cases[] = {"not scrambled", *mix("0011"),
                               *mix("00112233445566778899AABBCCDDEEFF00"), *toBase64String("zz")};
  for (const auto& bad : cases) {
    auto parsed = ClientSettings::parse(platform::json::dump(settings(good, bad)));
    ASSERT_TRUE(parsed) << parsed.error();
    EXPECT_TRUE(EncryptTool::getXorString(*parsed).empty()) << bad;
  }
}

}  // namespace
}  // namespace nvx
