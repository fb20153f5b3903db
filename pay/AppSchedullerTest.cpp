// The rules of reading a call URL and building its answer.
#include <gtest/gtest.h>

#include "pay/AppScheduller.h"
#include "pay/CheckoutData.h"
#include "pay/ThirdPartyAppScheduller.h"

namespace nvx {
namespace {

TEST(AppSchedullerRules, CallPairsDropPiecesOfOtherThanTwoPartsAndDecodeOnlyAfterSplitting) {
  const std::string url = "nvx://a=1&b=x%3Dy&c==&d&a=2&e=%26";
  auto raw = AppScheduller::callPairs(url, false);
  EXPECT_EQ(raw, (std::map<std::string, std::string>{{"a", "2"}, {"b", "x%3Dy"}, {"e", "%26"}}));
  auto decoded = AppScheduller::callPairs(url, true);
  EXPECT_EQ(decoded.at("b"), "x=y");
  EXPECT_EQ(decoded.at("e"), "&");
  // Unescaped Base64 padding loses the message.
  EXPECT_EQ(AppScheduller::callPairs("nvx://message=e30=", false).count("message"), 0u);
}

TEST(AppSchedullerRules, ReturnTextsAndUrls) {
  const struct {
    const char* callbackUrl;
    const char* msg;
  } cases[] = {{"bankdey://back", "back"}, {"x://a b://c", "a b"}, {"no scheme", ""}, {"x://", ""}};
  for (const auto& c : cases) EXPECT_EQ(ThirdPartyAppScheduller::callbackMsgOf(c.callbackUrl), c.msg) << c.callbackUrl;
  EXPECT_EQ(AppScheduller::returnUrl("bankdey", ""), "bankdey://");
  EXPECT_EQ(AppScheduller::returnUrl("bankdey", "a b"), "bankdey://a%20b");
}

TEST(AppSchedullerRules, AnOrderTakesItsDefaultsAndItsAmountTravelsWithoutLoss) {
  auto bean = CheckoutBean::fromPairs({{"merId", "M1"}, {"orderId", "O1"}, {"mac", "AB"}, {"amount", "12.34"},
                                       {"lpmercd", "  "}, {"macType", ""}});
  EXPECT_EQ(bean.lpmercd, "M1");
  EXPECT_EQ(bean.macType, "2");
  ASSERT_TRUE(bean.validateCheckoutData());
  EXPECT_EQ(bean.amountYuan(), "12.34");
  auto pairs = bean.checkoutBillPairs();
  EXPECT_EQ(AppSchedullerOperations::billQuery(pairs),
            "merId=M1&orderId=O1&amount=1234&macType=2&mac=AB&lpmercd=M1&ver=20060301");
  for (const char* bad : {"12yuan", "-1", "1e3"}) {
    bean.amount = bad;
    EXPECT_FALSE(bean.validateCheckoutData()) << bad;
  }
}

}  // namespace
}  // namespace nvx
