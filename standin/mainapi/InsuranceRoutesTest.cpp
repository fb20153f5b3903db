// The insurance rules on the shared inquiry and commit: the policy text must describe a policy of
// the product (six fields, or eight ending with a bar when the product needs a country; the end
// date the start date plus the cover less a day); a commit must repeat its inquiry's product,
// amount, insured person and policy text, and is answered with a policy number.
#include "standin/mainapi/InsuranceRoutes.h"

#include <gtest/gtest.h>

#include "standin/StandinFixture.h"
#include "standin/mainapi/PayRoutes.h"
#include "standin/mainapi/testing/SignedInStandinTest.h"

namespace standin {
namespace {

using platform::Json;

class InsuranceRoutesTest : public SignedInStandinTest {
 protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(signIn(fixture::kReaderTermid)); }

  static Fields policy(std::string billno, std::string amount, std::string addpad) {
    return Fields{{"idnumber", "11010519491231002X"}, {"mobileno", "13912345678"}, {"amount", std::move(amount)},
                  {"billno", std::move(billno)},       {"addpad", std::move(addpad)}};
  }
  Json inquire(Fields fields) {
    fields.insert(fields.begin(), {"busid", "174"});
    return signedCall("queryTrans", std::move(fields), false);
  }
};

TEST_F(InsuranceRoutesTest, AnInquiryNeedsAPolicyTextThatFitsTheProduct) {
  // INS001: seven days, 20.00, no country; INS002: thirty days, 128.50, a country.
  struct Case {
    const char* name;
    Fields fields;
    std::string code;
  };
  const Case cases[] = {
      {"sound", policy("INS001", "000000002000", "2013-06-02|2013-06-08|张三|a@b.cn|广东|广州"), "0000"},
      {"an end before the start", policy("INS001", "000000002000", "2013-06-02|2013-06-01|张三|a@b.cn|广东|广州"), "3102"},
      {"a cover one day long", policy("INS001", "000000002000", "2013-06-02|2013-06-09|张三|a@b.cn|广东|广州"), "3102"},
      {"a trailing bar", policy("INS001", "000000002000", "2013-06-02|2013-06-08|张三|a@b.cn|广东|广州|"), "3102"},
      {"no city", policy("INS001", "000000002000", "2013-06-02|2013-06-08|张三|a@b.cn|广东|"), "3102"},
      {"another price", policy("INS001", "000000001999", "2013-06-02|2013-06-08|张三|a@b.cn|广东|广州"), "2003"},
      {"no such product", policy("INS999", "000000002000", "2013-06-02|2013-06-08|张三|a@b.cn|广东|广州"), "3101"},
      {"a country product without one",
       policy("INS002", "000000012850", "2013-06-02|2013-07-01|张三|a@b.cn|广东|广州"), "3102"},
      {"a country product with one",
       policy("INS002", "000000012850", "2013-06-02|2013-07-01|张三|a@b.cn|广东|广州|Japan|JP|"), "0000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Json reply = inquire(c.fields);
    EXPECT_EQ(code(reply), c.code) << reply.dump();
  }
}

TEST_F(InsuranceRoutesTest, ACommitRepeatsItsInquiryAndGetsAPolicyNumber) {
  const std::string addpad = "2013-06-02|2013-06-08|张三|a@b.cn|广东|广州";
  Json inquiry = inquire(policy("INS001", "000000002000", addpad));
  ASSERT_EQ(code(inquiry), "0000") << inquiry.dump();
  const std::string sid = inquiry["retData"]["sid"];
  auto commit = [&](std::string srcsid, std::string amount, std::string text) {
    Fields f = {{"busid", "173"}, {"srcsid", std::move(srcsid)}};
    for (auto& field : policy("INS001", std::move(amount), std::move(text))) f.push_back(field);
    return f;
  };
  struct Case {
    const char* name;
    Fields fields;
    std::string code;
  };
  const Case cases[] = {
      {"no inquiry", commit("I99", "000000002000", addpad), "3002"},
      {"another amount", commit(sid, "000000002100", addpad), "2003"},
      {"another policy text", commit(sid, "000000002000", "2013-06-03|2013-06-09|张三|a@b.cn|广东|广州"), "3102"},
      {"sound", commit(sid, "000000002000", addpad), "0000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Json reply = signedCall("commitTransaction", c.fields, true);
    EXPECT_EQ(code(reply), c.code) << reply.dump();
    if (c.code == "0000") {
      EXPECT_EQ(reply["retData"].value("policyId", ""), "PL0000000001");
    }
  }
}

}  // namespace
}  // namespace standin
