// The utility bills' rules on the shared inquiry and commit: the inquiry answers a known bill with
// a serial number; a commit after an inquiry must name it with the same bill; both commits are
// signed with "subbusid" in the place of "busid".
#include "standin/mainapi/UtilityRoutes.h"

#include <gtest/gtest.h>

#include "standin/StandinFixture.h"
#include "standin/mainapi/PayRoutes.h"
#include "standin/mainapi/testing/SignedInStandinTest.h"

namespace standin {
namespace {

using platform::Json;

class UtilityRoutesTest : public SignedInStandinTest {
 protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(signIn(fixture::kReaderTermid)); }

  Json signedCall(std::string_view method, Fields fields, bool card) {
    Fields all = {{"termid", std::string(fixture::kReaderTermid)},
                  {"mobile", std::string(fixture::kLoginName)},
                  {"userToken", std::string(fixture::kUserToken)}};
    all.insert(all.end(), fields.begin(), fields.end());
    if (card) {
      all.emplace_back("otrack", fixture::encryptedTracksHex("0007"));
      all.emplace_back("rnd", "0011223344556677");
    }
    const auto keys = server->issuedKeys(std::string(fixture::kReaderTermid));
    all.emplace_back("mac", MainApiStandin::retailMac(MainApiStandin::macInputOf(all, card), keys->mac).substr(0, 8));
    return post(method, all);
  }
  static std::string code(const Json& reply) { return reply["retStatus"].value("retCode", ""); }
  // A GET of the address under the base (which ends in "/"), with the test user's identity.
  std::string getRaw(const std::string& path) {
    std::string query;
    for (const auto& [k, v] : fixture::identity()) query += (query.empty() ? "?" : "&") + k + "=" + v;
    auto r = platform::net::HttpRequest::make(server->apiBaseAddress() + path + query, false);
    r->startSynchronous();
    EXPECT_FALSE(r->error()) << path;
    return r->responseString();
  }
};

TEST_F(UtilityRoutesTest, CommitsAnswerTheirInquiryAndAreSignedWithTheSubBusinessCode) {
  Json unknown = signedCall("queryTrans", {{"busid", "M50020"}, {"billno", "999"}, {"subbusid", "Q"}}, false);
  EXPECT_EQ(code(unknown), "3001");
  Json inquiry = signedCall("queryTrans", {{"busid", "M50020"}, {"billno", "0571000001"}, {"subbusid", "Q"}}, false);
  ASSERT_EQ(code(inquiry), "0000") << inquiry.dump();
  EXPECT_EQ(inquiry["retData"]["price"], "12345");
  const std::string sid = inquiry["retData"]["sid"];

  struct Case {
    const char* name;
    Fields fields;
    const char* code;
  } cases[] = {
      {"another serial number", {{"busid", "M80003"}, {"srcsid", "U99"}, {"subbusid", "S"}, {"billno", "0571000001"},
                                 {"amount", "000000012345"}}, "3002"},
      {"another bill", {{"busid", "M80003"}, {"srcsid", sid}, {"subbusid", "S"}, {"billno", "0571000002"},
                        {"amount", "000000012345"}}, "9999"},
      {"no sub-business code", {{"busid", "M80004"}, {"subbusid", ""}, {"billno", "1"}, {"amount", "000000000100"}}, "9999"},
      {"after the inquiry", {{"busid", "M80003"}, {"srcsid", sid}, {"subbusid", "S"}, {"billno", "0571000001"},
                             {"amount", "000000012345"}}, "0000"},
      {"without an inquiry", {{"busid", "M80004"}, {"subbusid", "S"}, {"billno", "1"}, {"amount", "000000005050"}}, "0000"},
  };
  for (const Case& c : cases) {
    Json reply = signedCall("commitTransaction", c.fields, true);
    if (std::string(c.code) == "9999") {
      EXPECT_NE(code(reply), "0000") << c.name;
    } else {
      EXPECT_EQ(code(reply), c.code) << c.name << " " << reply.dump();
    }
  }
}

TEST_F(UtilityRoutesTest, DescriptionsAreServedAsWrittenAlsoAfterADoubledSlash) {
  auto body = getRaw("/getBizConfig/shuifei/310000.json");
  EXPECT_NE(body.find("{type:'common'"), std::string::npos) << body;
  EXPECT_NE(getRaw("/getCityList/shuifei.json").find("北京"), std::string::npos);
}

}  // namespace
}  // namespace standin
