// The bill businesses' rules on the shared inquiry and commit: an inquiry issues a serial number
// priced from its amount or denomination; a commit must name an inquiry of its own business, with
// the same bill and amount; the mobile recharge is charged its denomination's value.
#include "standin/mainapi/BillsRoutes.h"

#include <gtest/gtest.h>

#include "standin/StandinFixture.h"
#include "standin/mainapi/testing/SignedInStandinTest.h"
#include "standin/mainapi/PayRoutes.h"

namespace standin {
namespace {

using platform::Json;

class BillsRoutesTest : public SignedInStandinTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(signIn(fixture::kReaderTermid));
    auto lock = server->lock();
    server->feature<BillsState>().requireInquiry = true;
    server->feature<BillsState>().feeFen = 200;
  }

  size_t recorded() {
    auto lock = server->lock();
    return server->feature<PayState>().commits.size();
  }

};

TEST_F(BillsRoutesTest, ACommitMustAnswerAnInquiryOfItsBusinessWithTheSameBillAndAmount) {
  Json inquiry = signedCall("queryTrans", {{"busid", "M50005"}, {"billno", "8800"}, {"amount", "000000010000"}}, false);
  ASSERT_EQ(code(inquiry), "0000") << inquiry.dump();
  EXPECT_EQ(inquiry["retData"]["price"], 10200);
  EXPECT_EQ(inquiry["retData"]["fee"], 200);
  const std::string sid = inquiry["retData"]["sid"];

  struct Case {
    const char* name;
    Fields fields;
    std::string code;
  };
  auto bill = [&](std::string busid, std::string srcsid, std::string billno, std::string amount, std::string phone) {
    return Fields{{"busid", busid},   {"srcsid", srcsid}, {"billno", billno},
                  {"amount", amount}, {"issms", "1"},     {"mobileno", phone}};
  };
  const Case cases[] = {
      {"a serial number never issued", bill("M20013", "Q99", "8800", "000000010000", "13800000000"), "3002"},
      {"another business's commit", bill("M20010", sid, "8800", "000000010000", "13800000000"), "3002"},
      {"another bill", bill("M20013", sid, "8801", "000000010000", "13800000000"), "2003"},
      {"another amount", bill("M20013", sid, "8800", "000000009999", "13800000000"), "2003"},
      {"a bad phone", bill("M20013", sid, "8800", "000000010000", "1380000000"), "2003"},
      {"sound", bill("M20013", sid, "8800", "000000010000", "13800000000"), "0000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t before = recorded();
    Json reply = signedCall("commitTransaction", c.fields, true);
    EXPECT_EQ(code(reply), c.code) << reply.dump();
    EXPECT_EQ(recorded(), before + (c.code == "0000" ? 1 : 0));
  }
}

TEST_F(BillsRoutesTest, TheMobileRechargeIsChargedItsDenominationAndJoinsTheHistory) {
  struct Case {
    const char* name;
    Fields fields;
    std::string code;
  };
  const Case cases[] = {
      {"numbers differ", {{"busid", "M20020"}, {"mobileno", "13912345678"}, {"mobileno2", "13912345679"}, {"chgtype", "CZ50"}}, "2003"},
      {"unknown denomination", {{"busid", "M20020"}, {"mobileno", "13912345678"}, {"mobileno2", "13912345678"}, {"chgtype", "CZ7"}}, "3001"},
      {"sound", {{"busid", "M20020"}, {"mobileno", "13912345678"}, {"mobileno2", "13912345678"}, {"chgtype", "CZ50"}}, "0000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Json reply = signedCall("commitTransaction", c.fields, true);
    EXPECT_EQ(code(reply), c.code) << reply.dump();
  }
  auto lock = server->lock();
  ASSERT_EQ(server->feature<PayState>().commits.size(), 1u);
  EXPECT_EQ(server->feature<PayState>().commits[0].amountFen, 5000);
  const auto& used = server->feature<BillsState>().usedNumbers[std::string(fixture::kLoginName)];
  ASSERT_EQ(used.size(), 1u);
  EXPECT_EQ(used[0].mobileNo, "13912345678");
}

}  // namespace
}  // namespace standin
