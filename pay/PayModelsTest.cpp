// The payment's pure rules: money read from replies and forms, the inquiry and commit reply
// models, the pending request and the PIN block.
#include <gtest/gtest.h>

#include "core/crypto/EncryptTool.h"
#include "core/session/User.h"
#include "core/testing/RsaTestKey.h"
#include "core/testing/TestSettingsBundle.h"
#include "pay/PayMoney.h"
#include "pay/PinBlock.h"
#include "pay/Tools.h"
#include "pay/TradeInquiryReturnData.h"
#include "pay/TransactionReturnData.h"

namespace nvx {
namespace {

using platform::Json;
using platform::net::PostField;

TEST(PayMoney, ReplyAmountsAreWholeNonNegativeFenOrNothing) {
  struct Case {
    Json wire;
    std::optional<int64_t> fen;
  };
  const Case cases[] = {
      {1234, 1234},
      {"150", 150},
      {"150.00", 150},
      {0, 0},
      {150.0, 150},
      {Json(PayMoney::kMaxFen), PayMoney::kMaxFen},
      {-1, std::nullopt},
      {"-150", std::nullopt},
      {"1.5", std::nullopt},
      {150.5, std::nullopt},
      {"1e3", std::nullopt},
      {"", std::nullopt},
      {"abc", std::nullopt},
      {"9999999999999", std::nullopt},
      {Json(PayMoney::kMaxFen + 1), std::nullopt},
      {Json(std::numeric_limits<double>::infinity()), std::nullopt},
      {Json(true), std::nullopt},
      {Json::array({1}), std::nullopt},
      {Json(), std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(platform::json::dump(c.wire));
    EXPECT_EQ(PayMoney::fenFromWire(c.wire), c.fen);
  }
}

TEST(PayMoney, YuanTextsConvertInDecimal) {
  EXPECT_EQ(PayMoney::yuanFromFen(150), "1.50");
  EXPECT_EQ(PayMoney::yuanFromFen(5), "0.05");
  EXPECT_EQ(PayMoney::yuanFromFen(1234, 6), "12.340000");
  EXPECT_EQ(PayMoney::yuanFromFen(PayMoney::kMaxFen), "9999999999.99");
  EXPECT_EQ(PayMoney::fenFromYuanText("5"), 500);
  EXPECT_EQ(PayMoney::fenFromYuanText("0.1"), 10);
  EXPECT_EQ(PayMoney::fenFromYuanText("100.00"), 10000);
  // 0.29 is not exact in binary floating point; in decimal it stays 29 fen.
  EXPECT_EQ(PayMoney::fenFromYuanText("0.29"), 29);
  EXPECT_EQ(PayMoney::fenFromYuanText("abc"), std::nullopt);
  EXPECT_EQ(PayMoney::fenFromYuanText("-5"), std::nullopt);
  EXPECT_EQ(PayMoney::fenFromYuanText(""), std::nullopt);
}

TEST(TradeInquiryReturnData, FenBecomesYuanTextAndOtherFieldsTheirText) {
  auto data = TradeInquiryReturnData::initWithDic(
      Json{{"price", 1234}, {"fee", "0"}, {"sid", 99}, {"content", "水费"}, {"isfee", true}, {"itemId", "7"}});
  EXPECT_EQ(data.price(), "12.340000");
  EXPECT_EQ(data.fee(), "0.000000");
  EXPECT_EQ(data.sid(), "99");
  EXPECT_EQ(data.billno(), std::nullopt);
  EXPECT_EQ(data.content(), "水费");
  EXPECT_EQ(data.isfee(), "1");
  EXPECT_EQ(data.itemId(), "7");
}

TEST(TradeInquiryReturnData, BadAmountsAndWrongTypesStayMissingRatherThanShownWrong) {
  auto data = TradeInquiryReturnData::initWithDic(
      Json{{"price", -150}, {"fee", "12abc"}, {"sid", Json::object()}, {"billno", Json()}, {"content", Json::array()}});
  EXPECT_EQ(data.price(), std::nullopt);
  EXPECT_EQ(data.fee(), std::nullopt);
  EXPECT_EQ(data.sid(), std::nullopt);
  EXPECT_EQ(data.billno(), std::nullopt);
  EXPECT_EQ(data.content(), std::nullopt);
  // Not an object at all: an empty model.
  EXPECT_EQ(TradeInquiryReturnData::initWithDic(Json("x")).sid(), std::nullopt);
}

TEST(TransactionReturnData, FieldsAreTheReplysTextsWithoutConversion) {
  auto data = TransactionReturnData::initWithDictionary(
      Json{{"pan", "622202******1234"}, {"price", 10000}, {"fee", "150"}, {"sysref", "R1"}, {"sid", 5}});
  EXPECT_EQ(data.pan(), "622202******1234");
  EXPECT_EQ(data.price(), "10000");
  EXPECT_EQ(data.fee(), "150");
  EXPECT_EQ(data.amount(), std::nullopt);
  EXPECT_EQ(data.sysref(), "R1");
  EXPECT_EQ(data.sytm(), std::nullopt);
  EXPECT_EQ(data.sid(), "5");
}

TEST(Tools, TheRebuiltRequestCarriesTheStoredFieldsOncePerNameWithinSixtySecondsWithoutKeepAlive) {
  Tools& tools = Tools::sharedInstance();
  const std::vector<PostField> commit = {
      {"busid", "M20013"}, {"issms", "1"}, {"amount", "5.00"}, {"issms", "0"}, {"", "dropped"}};
  tools.setInfo(commit, "https://host/iphone/commitTransaction.json");
  const std::vector<PostField> inquiry = {{"busid", "M50001"}, {"amount", "100.00"}};
  tools.setRequestSearchFeeInfo(inquiry, "https://host/iphone/queryTrans.json");

  EXPECT_EQ(tools.infoArray(), inquiry);
  auto request = tools.createRequest();
  EXPECT_EQ(request->url(), "https://host/iphone/commitTransaction.json");
  EXPECT_EQ(request->method(), "POST");
  EXPECT_EQ(request->timeout(), std::chrono::seconds(60));
  EXPECT_FALSE(request->persistentConnection());
  EXPECT_EQ(request->postFields(),
            (std::vector<PostField>{{"busid", "M20013"}, {"issms", "0"}, {"amount", "5.00"}}));
  auto fee = tools.createSearchFeeRequest();
  EXPECT_EQ(fee->url(), "https://host/iphone/queryTrans.json");
  EXPECT_EQ(fee->postFields(), inquiry);

  // A field added afterwards replaces the stored one and leaves the list alone; a second
  // rebuild carries it again.
  tools.addDictionaryInfoWithKey("srcsid", "S1");
  tools.addDictionaryInfoWithKey("srcsid", "S2");
  EXPECT_EQ(tools.infoArray(), inquiry);
  EXPECT_EQ(tools.createRequest()->postValue("srcsid"), "S2");
  EXPECT_EQ(tools.createRequest()->postFields().size(), 4u);

  // A new business replaces the whole pending commit.
  tools.setInfo({{"busid", "M20010"}}, "https://host/iphone/commitTransaction.json");
  EXPECT_FALSE(tools.createRequest()->hasPostValue("srcsid"));
}

TEST(Tools, DemixUndoesMix) {
  for (const char* text : {"3FA0C7", "0123456789ABCDEF", ""}) {
    auto mixed = Tools::mix(text);
    ASSERT_TRUE(mixed) << text;
    EXPECT_EQ(Tools::demix(*mixed), text);
  }
}

class PinBlockTest : public ::testing::Test {
 protected:
  // The PIN key pair is made now; its public half is the client's PIN key.
  testing::RsaTestKey pinKey = testing::RsaTestKey::generate();
  testing::RsaTestKey passwordKey = testing::RsaTestKey::generate();
  testing::TestSettingsBundle bundle{
      testing::TestSettingsBundle::settings(passwordKey.publicPem(), pinKey.publicPem(),
                                            *Tools::mix("0123456789ABCDEF0123456789ABCDEF"),
                                            *Tools::mix("FEDCBA9876543210FEDCBA9876543210"))};
  static constexpr const char* kPik = "4F1A7C2D9E0B3A5866F0C1D2E3A4B5C6";
};

TEST_F(PinBlockTest, SixDigitsUnderThePikThenTheRsaKeyAsTheServerReadsThem) {
  auto clear = PinBlock::clearBlock("123456");
  ASSERT_TRUE(clear);
  EXPECT_EQ(clear->view(), "06123456FFFFFFFF");

  auto pinkey = PinBlock::pinkey("123456", kPik);
  ASSERT_TRUE(pinkey);
  EXPECT_EQ(pinkey->size(), 256u);
  EXPECT_EQ(pinkey->find_first_not_of("0123456789ABCDEF"), std::string::npos);
  auto underPik = pinKey.decryptHex(*pinkey);
  ASSERT_TRUE(underPik);
  EXPECT_EQ(EncryptTool::decrypt(*underPik, kPik), "06123456FFFFFFFF");
}

TEST_F(PinBlockTest, AnythingButSixDigitsOrAUsableKeyGivesNoBlock) {
  for (const char* pin : {"", "12345", "1234567", "12345a", "１２３４５６"}) {
    EXPECT_FALSE(PinBlock::clearBlock(pin)) << pin;
    EXPECT_FALSE(PinBlock::pinkey(pin, kPik)) << pin;
  }
  EXPECT_FALSE(PinBlock::pinkey("123456", ""));
  EXPECT_FALSE(PinBlock::pinkey("123456", "XYZ"));
}

TEST_F(PinBlockTest, OnlyThePikOfTheReaderInUseCounts) {
  User& user = User::currentUser();
  EXPECT_FALSE(PinBlock::readerPik(user));
  user.setPsamId("ABCDEF0123456789");
  EXPECT_FALSE(PinBlock::readerPik(user));
}

}  // namespace
}  // namespace nvx
