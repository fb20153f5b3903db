// A lottery bill: registered from the order, queried for the order's amount only, paid once; the
// bill commit's text-message rules stay with the bill-number road's bills.
#include "standin/mainapi/LotteryTopUpRoutes.h"

#include <gtest/gtest.h>

#include "standin/StandinFixture.h"
#include "standin/mainapi/BillsRoutes.h"
#include "standin/mainapi/PayRoutes.h"
#include "standin/mainapi/testing/SignedInStandinTest.h"

namespace standin {
namespace {

using platform::Json;

class LotteryTopUpRoutesTest : public SignedInStandinTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(signIn(fixture::kReaderTermid));
    auto lock = server->lock();
    server->feature<BillsState>().requireInquiry = true;
  }

  std::string createBill(std::string amount) {
    Json reply = post("createBill", {{"merId", "898"}, {"orderId", "O1"}, {"amount", std::move(amount)},
                                     {"minCode", "MC"}, {"randnum", "77"}, {"macType", "1"}, {"mac", "A+B"},
                                     {"ver", "2.0"}});
    return code(reply) == "0000" ? reply["retData"].value("billno", "") : "refused " + code(reply);
  }
  Json inquire(const std::string& billno, const std::string& amount) {
    return signedCall("queryTrans", {{"busid", "M50005"}, {"billno", billno}, {"amount", amount}}, false);
  }
  Json commit(const std::string& billno, const std::string& sid, const std::string& amount) {
    return signedCall("commitTransaction",
                      {{"busid", "M20013"}, {"srcsid", sid}, {"billno", billno}, {"amount", amount}}, true);
  }
};

TEST_F(LotteryTopUpRoutesTest, ABillIsQueriedForItsOrderAmountAndPaidOnce) {
  EXPECT_EQ(createBill("0"), "refused 2003");
  EXPECT_EQ(createBill("1e4"), "refused 2003");
  const std::string billno = createBill("10000");
  ASSERT_EQ(billno.rfind("LB", 0), 0u) << billno;

  EXPECT_EQ(code(inquire(billno, "000000020000")), "2003");
  Json inquiry = inquire(billno, "000000010000");
  ASSERT_EQ(code(inquiry), "0000") << inquiry.dump();
  const std::string sid = inquiry["retData"]["sid"];

  // No text-message fields, unlike the bill-number road's commit.
  Json paid = commit(billno, sid, "000000010000");
  ASSERT_EQ(code(paid), "0000") << paid.dump();
  // The same bill again, by the old inquiry or a new one: refused.
  EXPECT_EQ(code(commit(billno, sid, "000000010000")), "3003");
  EXPECT_EQ(code(inquire(billno, "000000010000")), "3003");
  {
    auto lock = server->lock();
    EXPECT_EQ(server->feature<PayState>().commits.size(), 1u);
  }

  // Another bill of the bill-number road still needs its text-message fields.
  Json other = inquire("8800", "000000005000");
  ASSERT_EQ(code(other), "0000");
  EXPECT_EQ(code(commit("8800", other["retData"]["sid"], "000000005000")), "2003");
}

}  // namespace
}  // namespace standin
