#include "core/models/BankCardEntity.h"

#include <gtest/gtest.h>

#include "core/session/UserDefaultsExt.h"

namespace nvx {
namespace {

using platform::Json;

TEST(BankCardEntityTest, CardTypeCodes) {
  struct Case {
    const char* type;
    bool debit, credit, prepaid;
  } cases[] = {
      {"0001", true, false, false}, {"0002", false, true, false}, {"0000", false, false, true},
      {"2", false, false, false},   {"", false, false, false},
  };
  for (const auto& c : cases) {
    auto e = BankCardEntity::initWithJson(Json{{"cardType", c.type}});
    EXPECT_EQ(e.isDebitCard(), c.debit) << c.type;
    EXPECT_EQ(e.isCreditCard(), c.credit) << c.type;
    EXPECT_EQ(e.isPrepaidCard(), c.prepaid) << c.type;
  }
  EXPECT_FALSE(BankCardEntity::initWithJson(Json{{"cardType", 2}}).isCreditCard());
}

TEST(BankCardEntityTest, ReadsDescribesAndArchives) {
  BankCardEntity::registerArchiveClass();
  auto e = std::make_shared<BankCardEntity>(BankCardEntity::initWithJson(
      Json::parse(R"({"bankCode":"0102","bankName":"工商银行","cardType":"0001","cardName":"牡丹卡"})")));
  EXPECT_EQ(e->description(), "\nbankCode : 0102\nbankName : 工商银行\ncardType : 0001\ncardName : 牡丹卡\n");
  Json encoded = platform::Archiver::encodeObject(*e);
  EXPECT_EQ(encoded.value("nvx_bankName", ""), "工商银行");
  serialize(e, "card");
  auto back = reverseForKey<BankCardEntity>("card");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->description(), e->description());
  EXPECT_EQ(BankCardEntity::initWithJson(Json()).bankCode(), "");
}

}  // namespace
}  // namespace nvx
