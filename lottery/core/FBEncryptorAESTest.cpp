#include "lottery/core/FBEncryptorAES.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>

#include "core/crypto/Base64.h"
#include "core/session/ClientSettings.h"
#include "core/testing/TestSettingsBundle.h"
#include "lottery/core/StaticVariable.h"
#include "lottery/core/TopUpOrder.h"
#include "lottery/core/testing/LotteryCipherOracle.h"
#include "platform/device/Device.h"
#include "platform/testing/Testing.h"

namespace nvx::lottery {
namespace {

using testing::aes128Ecb;
using testing::md5Raw;

// The shipped settings' key and salt, written out here so that the vectors do not come from the
// code under test.
constexpr std::string_view kKey = "pzkwmrtvbnqhxlcj";
constexpr std::string_view kSalt = "user@example.com";

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

// Expected requests are written field by field with these, then sealed with OpenSSL's MD5.
std::string lp1(std::string_view text) { return bytes({static_cast<int>(text.size())}) + std::string(text); }
std::string enc(std::string_view text) { return lp1(aes128Ecb(text, kKey)); }
std::string lp4(std::string_view text) {
  const auto n = static_cast<uint32_t>(text.size());
  return bytes({int(n >> 24), int((n >> 16) & 255), int((n >> 8) & 255), int(n & 255)}) + std::string(text);
}
std::string sealed(const std::string& body) { return body + bytes({16}) + md5Raw(body + lp1(kSalt)); }

TEST(FBEncryptorAESTest, ShippedKeyAndSaltAreTheOnesOfTheseVectors) {
  EXPECT_EQ(ClientSettings::current().lotteryCodecKey(), kKey);
  EXPECT_EQ(ClientSettings::current().lotterySalt(), kSalt);
}

TEST(FBEncryptorAESTest, IntegerWritersKeepTheLowBitsBigEndian) {
  struct Case {
    Bytes written;
    Bytes expected;
  } cases[] = {
      {FBEncryptorAES::dataOne(20), bytes({0x14})},
      {FBEncryptorAES::dataOne(-1), bytes({0xFF})},
      {FBEncryptorAES::dataOne(300), bytes({0x2C})},
      {FBEncryptorAES::dataTwo(1301), bytes({0x05, 0x15})},
      {FBEncryptorAES::dataTwo(70000), bytes({0x11, 0x70})},
      {FBEncryptorAES::dataFour(0x01020304), bytes({1, 2, 3, 4})},
      {FBEncryptorAES::dataFour(-2), bytes({0xFF, 0xFF, 0xFF, 0xFE})},
  };
  for (const auto& c : cases) EXPECT_EQ(c.written, c.expected);
}

TEST(FBEncryptorAESTest, TextWritersCountUtf8Bytes) {
  struct Case {
    platform::Result<Bytes> written;
    Bytes expected;
  } cases[] = {
      {FBEncryptorAES::strToLenAndStr(""), bytes({0})},
      {FBEncryptorAES::strToLenAndStr("abc"), bytes({3}) + "abc"},
      {FBEncryptorAES::strToLenAndStr("彩票"), bytes({6}) + "彩票"},
      {FBEncryptorAES::strToLenAndStr_2(""), bytes({0, 0})},
      {FBEncryptorAES::strToLenAndStr_2(std::string(300, 'x')), bytes({1, 0x2C}) + std::string(300, 'x')},
      {FBEncryptorAES::strToLenAndStr_four(""), bytes({0, 0, 0, 0})},
      {FBEncryptorAES::strToLenAndStr_four("a"), bytes({0, 0, 0, 1}) + "a"},
      // One block of padding for nothing, a second block once a block is full.
      {FBEncryptorAES::strToLenAndStrByAES("", kKey), bytes({0x10}) + aes128Ecb("", kKey)},
      {FBEncryptorAES::strToLenAndStrByAES("0123456789abcdef", kKey),
       bytes({0x20}) + aes128Ecb("0123456789abcdef", kKey)},
      // A key shorter than 16 bytes is filled up with zeros.
      {FBEncryptorAES::strToLenAndStrByAES("x", "short"), bytes({0x10}) + aes128Ecb("x", std::string("short") + std::string(11, '\0'))},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(c.written) << c.written.error();
    EXPECT_EQ(c.written.value(), c.expected);
  }
  EXPECT_EQ(FBEncryptorAES::strToLenAndStrByAES("", kKey)->size(), 17u);
}

// A length the field cannot count is refused; the longest text that fits is written whole.
TEST(FBEncryptorAESTest, OverlongTextsAreRefusedNotTruncated) {
  struct Case {
    const char* kind;
    size_t fits;
    std::function<platform::Result<Bytes>(const std::string&)> write;
    size_t lengthBytes;
  } cases[] = {
      {"s1", 255, [](const std::string& t) { return FBEncryptorAES::strToLenAndStr(t); }, 1},
      {"s2", 65535, [](const std::string& t) { return FBEncryptorAES::strToLenAndStr_2(t); }, 2},
      {"x1", 239, [](const std::string& t) { return FBEncryptorAES::strToLenAndStrByAES(t, kKey); }, 1},
  };
  for (const auto& c : cases) {
    auto longest = c.write(std::string(c.fits, 'a'));
    ASSERT_TRUE(longest) << c.kind;
    EXPECT_EQ(static_cast<unsigned char>(longest->at(c.lengthBytes - 1)),
              std::string_view(c.kind) == "x1" ? 240 : 255) << c.kind;
    auto tooLong = c.write(std::string(c.fits + 1, 'a'));
    ASSERT_FALSE(tooLong) << c.kind;
    EXPECT_NE(tooLong.error().find(c.kind), std::string::npos) << tooLong.error();
  }

  // In a request the whole request fails, naming the field; nothing partial is sealed.
  auto request = LotteryRequest(1213).s1("70001").s1(std::string(256, '9')).s2("").seal();
  ASSERT_FALSE(request);
  EXPECT_NE(request.error().find("s1 field at offset 20"), std::string::npos) << request.error();
  EXPECT_FALSE(TopUpOrder::request(std::string(300, 'u'), "100"));
}

TEST(FBEncryptorAESTest, HallRequestIs35BytesWithTheSaltedDigest) {
  auto hall = LotteryRequest(1301).s1("000").seal();
  ASSERT_TRUE(hall) << hall.error();
  const std::string body = bytes({0x05, 0x15, 0x0B}) + "00001000000" + bytes({0x03}) + "000";
  ASSERT_EQ(hall->size(), 35u);
  EXPECT_EQ(hall->substr(0, 18), body);
  EXPECT_EQ(hall->at(18), 0x10);
  EXPECT_EQ(hall->substr(19), md5Raw(body + lp1(kSalt)));
  // Neither the body alone nor the body with the bare salt gives that digest.
  EXPECT_NE(hall->substr(19), md5Raw(body));
  EXPECT_NE(hall->substr(19), md5Raw(body + std::string(kSalt)));
  // The salt never travels.
  EXPECT_EQ(hall->find(kSalt), std::string::npos);
}

TEST(FBEncryptorAESTest, TopUpOrderRequestIsByteExact) {
  const std::string header = lp1("00001000000");
  struct Case {
    std::optional<std::string> uid;
    std::string amount;
    std::string body;
  } cases[] = {
      {"70001", "100", bytes({0x04, 0xBD}) + header + lp1("70001") + lp1("100") + bytes({0, 0})},
      {"70001", "500.00", bytes({0x04, 0xBD}) + header + lp1("70001") + lp1("500.00") + bytes({0, 0})},
      // Not logged in to the lottery: the empty user id.
      {std::nullopt, "20", bytes({0x04, 0xBD}) + header + bytes({0}) + lp1("20") + bytes({0, 0})},
  };
  for (const auto& c : cases) {
    auto request = TopUpOrder::request(c.uid, c.amount);
    ASSERT_TRUE(request) << request.error();
    EXPECT_EQ(*request, sealed(c.body)) << c.amount;
  }
}

TEST(FBEncryptorAESTest, LoginRequestIsByteExact) {
  platform::Device::info().wifiHwAddr = "a4:5e:60:d1:22:0f";
  const std::string deviceId = FBEncryptorAES::hexStringForData(md5Raw("A4:5E:60:D1:22:0F"));
  ASSERT_EQ(deviceId.size(), 32u);
  const std::string name = "13800000000;u42;V000000000000042";
  auto login = FBEncryptorAES::dengluData(name, "390857", "token-1");
  ASSERT_TRUE(login) << login.error();
  const std::string body = bytes({0x05, 0xE1}) + lp1("00001000000") + enc(name) + enc("390857") + bytes({20}) +
                           lp1("ios") + lp1(deviceId) + lp1("5.1") + lp1("1.0") + lp1("960*640") + lp1("token-1");
  EXPECT_EQ(*login, sealed(body));
  // The login name and the password never travel in the clear.
  EXPECT_EQ(login->find(name), std::string::npos);
  EXPECT_EQ(login->find("390857"), std::string::npos);
}

TEST(FBEncryptorAESTest, BetOrderIsByteExact) {
  StaticVariable::shared().setUid("70001");
  const std::string bet = "01,02,03,04,05,06#07-01-1a08,09,10,11,12,13#14-01-1";
  platform::Json dic = platform::Json::object();
  dic["orderId"] = "P001";
  dic["amount"] = "4.00";
  auto order = FBEncryptorAES::makeDataWithLottery("001", "01", bet, "4", 1, "0", "1", std::nullopt, dic);
  ASSERT_TRUE(order) << order.error();
  const std::string header = bytes({0x05, 0xF4}) + lp1("00001000000");
  EXPECT_EQ(*order, sealed(header + lp1("70001") + lp1("001") + lp1("01") + lp4(bet) + lp1("4") + bytes({1}) +
                           lp1("0") + lp1("1") + bytes({0}) + lp4(R"({"orderId":"P001","amount":"4.00"})")));

  // Read at build time: no lottery user and no dictionary give empty fields; a period is written.
  StaticVariable::shared().setUid(std::nullopt);
  auto bare = FBEncryptorAES::makeDataWithLottery("113", "02", "x", "12", 0, "2", "3", "2024001", std::nullopt);
  ASSERT_TRUE(bare) << bare.error();
  EXPECT_EQ(*bare, sealed(header + bytes({0}) + lp1("113") + lp1("02") + lp4("x") + lp1("12") + bytes({0}) +
                          lp1("2") + lp1("3") + lp1("2024001") + bytes({0, 0, 0, 0})));
}

TEST(FBEncryptorAESTest, RequestWithoutFieldsAndTheSaltOfTheSettings) {
  EXPECT_EQ(FBEncryptorAES::data(), sealed(bytes({0x04, 0x53}) + lp1("00001000000")));
  // Another salt in the settings gives another digest over the same bytes.
  const std::string pem = "-----BEGIN PUBLIC KEY-----\nAAAA\n-----END PUBLIC KEY-----\n";
  platform::Json settings = nvx::testing::TestSettingsBundle::settings(pem, pem, "x", "y");
  settings["lotterySalt"] = "another-salt";
  nvx::testing::TestSettingsBundle bundle(settings);
  platform::testing::restart();
  const std::string body = bytes({0x04, 0x53}) + lp1("00001000000");
  EXPECT_EQ(FBEncryptorAES::data(), body + bytes({16}) + md5Raw(body + lp1("another-salt")));
}

TEST(FBEncryptorAESTest, CipherFailuresGiveNothing) {
  const std::string cipher = aes128Ecb("成都", kKey);
  EXPECT_EQ(FBEncryptorAES::decryptData1(cipher, kKey), "成都");
  EXPECT_EQ(FBEncryptorAES::encryptData1("成都", kKey), cipher);
  EXPECT_EQ(FBEncryptorAES::decryptData1("", kKey), std::nullopt);
  EXPECT_EQ(FBEncryptorAES::decryptData1(cipher.substr(0, 15), kKey), std::nullopt);
  // A block whose padding is wrong under this key: the last byte of the plain block is 0x00.
  const std::string badPadding = aes128Ecb(std::string(16, '\0'), kKey).substr(0, 16);
  EXPECT_EQ(FBEncryptorAES::decryptData1(badPadding, kKey), std::nullopt);
}

TEST(FBEncryptorAESTest, ByteToNumReadsExactlyItsBytesLeastSignificantFirst) {
  const std::string buffer = bytes({0xFD, 0x08, 0xFF, 0xFF});
  struct Case {
    std::string_view in;
    int32_t value;
  } cases[] = {
      {std::string_view(buffer).substr(0, 2), 2301},
      {std::string_view(buffer).substr(0, 1), 0xFD},
      {"\xC8", 200},  // zero-extended, not -56
      {std::string_view(buffer), static_cast<int32_t>(0xFFFF08FD)},
      {"", 0},
      {"12345", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(FBEncryptorAES::byteToNum(c.in), c.value);
}

TEST(FBEncryptorAESTest, TextReadersStayInsideTheReply) {
  const std::string reply = "ab" + aes128Ecb("密文", kKey) + "\xFF";
  struct Case {
    size_t offset, length;
    std::optional<std::string> plain, deciphered;
  } cases[] = {
      {0, 2, "ab", std::nullopt},
      {2, 16, std::nullopt, "密文"},
      {reply.size(), 0, "", std::nullopt},    // an empty text at the very end
      {reply.size() - 1, 1, std::nullopt, std::nullopt},  // not UTF-8
      {reply.size() - 1, 2, std::nullopt, std::nullopt},  // one byte past the end
      {reply.size() + 1, 0, std::nullopt, std::nullopt},
      {1, SIZE_MAX, std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FBEncryptorAES::byteToStrOneAndN(reply, c.offset, c.length), c.plain) << c.offset << "+" << c.length;
    EXPECT_EQ(FBEncryptorAES::byteToStrOneAndNJiaMi(reply, c.offset, c.length), c.deciphered)
        << c.offset << "+" << c.length;
  }
}

TEST(FBEncryptorAESTest, CombinationCount) {
  struct Case {
    int k, n;
    long expected;
  } cases[] = {{2, 5, 10}, {0, 7, 1}, {-1, 7, 1}, {6, 33, 1107568}, {2, 12, 66}, {3, 2, 0}, {5, 35, 324632}};
  for (const auto& c : cases) EXPECT_EQ(std::lround(FBEncryptorAES::C(c.k, c.n)), c.expected) << c.k << "," << c.n;
}

TEST(FBEncryptorAESTest, RandomPicksAreDistinctAndInRange) {
  EXPECT_TRUE(FBEncryptorAES::randomNumbersWithQuantity(0, 33, 1).empty());
  // More than the range holds would never end: refused.
  EXPECT_TRUE(FBEncryptorAES::randomNumbersWithQuantity(17, 16, 1).empty());

  auto all = FBEncryptorAES::randomNumbersWithQuantity(16, 16, 1);
  std::sort(all.begin(), all.end());
  std::vector<int> every(16);
  for (int i = 0; i < 16; ++i) every[static_cast<size_t>(i)] = i + 1;
  EXPECT_EQ(all, every);

  for (int round = 0; round < 50; ++round) {
    auto red = FBEncryptorAES::randomNumbersWithQuantity(6, 33, 1);
    ASSERT_EQ(red.size(), 6u);
    EXPECT_EQ(std::set<int>(red.begin(), red.end()).size(), 6u);
    for (int v : red) EXPECT_TRUE(v >= 1 && v <= 33) << v;
    auto digits = FBEncryptorAES::randomNumbersWithQuantity(3, 10, 0);
    for (int v : digits) EXPECT_TRUE(v >= 0 && v <= 9) << v;
  }
  EXPECT_EQ(FBEncryptorAES::shotedNumbersArray({5, 12, 1}), (std::vector<int>{1, 5, 12}));
  EXPECT_EQ(FBEncryptorAES::shotedNumbersArray({3, -1, 3}), (std::vector<int>{-1, 3, 3}));
}

TEST(FBEncryptorAESTest, HexAndTheWiderCipher) {
  struct Case {
    std::string hex;
    std::string data;
  } cases[] = {
      {"00ff10", bytes({0, 0xFF, 0x10})},
      {"ABcd", bytes({0xAB, 0xCD})},
      {"zz1", bytes({0x00, 0x10})},  // not hex counts as 0; an odd last digit is the high half
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FBEncryptorAES::dataForHexString(c.hex), c.data) << c.hex;
  EXPECT_EQ(FBEncryptorAES::hexStringForData(bytes({0, 0xAB, 0x10})), "00ab10");

  const std::string key32 = "0123456789abcdef0123456789abcdef";
  const std::string iv = "fedcba9876543210";
  const std::string cipher = testing::aesOracle(EVP_aes_256_cbc(), "账户明细", key32, true, iv);
  EXPECT_EQ(FBEncryptorAES::decryptData(cipher, key32 + "ignored", iv), "账户明细");
  EXPECT_EQ(FBEncryptorAES::decryptData(cipher.substr(1), key32, iv), std::nullopt);
  const std::string noIv = testing::aesOracle(EVP_aes_256_cbc(), "text", std::string("k") + std::string(31, '\0'), true,
                                              std::string(16, '\0'));
  EXPECT_EQ(FBEncryptorAES::decryptBase64String(base64StringFromData(noIv), "k"), "text");
  EXPECT_EQ(FBEncryptorAES::generateIv().size(), 16u);
  EXPECT_NE(FBEncryptorAES::generateIv(), FBEncryptorAES::generateIv());
}

}  // namespace
}  // namespace nvx::lottery
