// The wallet commit path judges a commit as the real server would: the virtual terminal's MAC and
// PIN key, the fields of its pay type, a series used once, and a balance that covers it.
#include "standin/mainapi/MultiPayRoutes.h"

#include <gtest/gtest.h>

#include "standin/StandinFixture.h"
#include "standin/mainapi/testing/SignedInStandinTest.h"
#include "standin/mainapi/PayRoutes.h"

namespace standin {
namespace {

using platform::Json;

class MultiPayRoutesTest : public SignedInStandinTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(signIn(fixture::kVirtualTermid));
    auto lock = server->lock();
    auto& state = server->feature<MultiPayState>();
    state.redPackets = {{"g1", 1000}, {"g2", 2500}};
    state.balanceFen = 5000;
    publishWalletData(*server);
  }

  // A wallet commit as the client's request hook leaves it: signed under the virtual terminal's
  // MAC key, amounts in 12-digit fen, the wallet marker gone.
  Fields commit(const std::string& type, const std::string& amount, const Fields& extra, const std::string& series) {
    Fields fields = {{"busid", "M20013"},
                     {"termid", std::string(fixture::kVirtualTermid)},
                     {"mobile", std::string(fixture::kLoginName)},
                     {"userToken", std::string(fixture::kUserToken)},
                     {"amount", amount},
                     {"tdtm", "261211141500"},
                     {"rnd", "0123456789ABCDEF"},
                     {"lpmercd", "0401"},
                     {"type", type},
                     {"series", series}};
    fields.insert(fields.end(), extra.begin(), extra.end());
    const auto keys = server->issuedKeys(std::string(fixture::kVirtualTermid));
    fields.emplace_back("mac", MainApiStandin::retailMac(MainApiStandin::macInputOf(fields, true), keys->mac).substr(0, 8));
    return fields;
  }
  static std::string code(const Json& reply) { return reply["retStatus"].value("retCode", ""); }

};

TEST_F(MultiPayRoutesTest, WalletCommitsByPayType) {
  const std::string pik = server->issuedKeys(std::string(fixture::kVirtualTermid))->pik;
  const std::string wallet = "6288000000000001";
  const std::string gifts = "6288000000000099";
  struct Case {
    const char* name;
    Fields fields;
    std::string code;
    int64_t balanceAfter;
  };
  const std::string bad(MainApiStandin::kBadRequest);
  const Case cases[] = {
      {"ZX with the pay password", commit("ZX", "000000001000", {{"pan", wallet}, {"pinkey", fixture::pinkeyFor("654321", pik, server->pinKey())}}, "000001"), "0000", 4000},
      {"series used again", commit("ZX", "000000001000", {{"pan", wallet}}, "000001"), "0094", 4000},
      {"pay password under another key", commit("ZX", "000000001000", {{"pan", wallet}, {"pinkey", fixture::pinkeyFor("654321", "0123456789ABCDEF0123456789ABCDEF", server->pinKey())}}, "000002"), "0055", 4000},
      {"ZH covered by the packets", commit("ZH", "000000003000", {{"pan", gifts}, {"giftno", "g1|g2"}}, "000003"), "0000", 4000},
      {"ZH with a wallet account", commit("ZH", "000000003000", {{"pan", wallet}, {"giftno", "g1|g2"}}, "000004"), bad, 4000},
      {"XH", commit("XH", "000000003000", {{"pan", wallet}, {"pan2", gifts}, {"giftno", "g1"}, {"famount", "000000001000"}}, "000005"), "0000", 2000},
      {"XH famount not the packets'", commit("XH", "000000003000", {{"pan", wallet}, {"pan2", gifts}, {"giftno", "g1"}, {"famount", "000000002000"}}, "000006"), bad, 2000},
      {"an unknown packet", commit("XH", "000000003000", {{"pan", wallet}, {"pan2", gifts}, {"giftno", "g9"}, {"famount", "000000001000"}}, "000007"), bad, 2000},
      {"above the balance", commit("ZX", "000000002001", {{"pan", wallet}}, "000008"), "0012", 2000},
      {"amount in yuan", commit("ZX", "10.00", {{"pan", wallet}}, "000009"), bad, 2000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Json reply = post("commitTransaction", c.fields);
    EXPECT_EQ(code(reply), c.code) << reply.dump();
    auto lock = server->lock();
    EXPECT_EQ(server->feature<MultiPayState>().balanceFen, c.balanceAfter);
  }
  auto lock = server->lock();
  const auto& commits = server->feature<MultiPayState>().commits;
  ASSERT_EQ(commits.size(), 3u);
  EXPECT_TRUE(commits[0].withPin);
  EXPECT_EQ(server->feature<PayState>().commits.size(), 3u);
}

TEST_F(MultiPayRoutesTest, ACommitSignedUnderAnotherKeyIsRefusedAndTheBalanceIsServed) {
  Fields fields = commit("ZX", "000000001000", {{"pan", "6288000000000001"}}, "000010");
  fields.back().second = "00000000";
  EXPECT_EQ(code(post("commitTransaction", fields)), std::string(MainApiStandin::kMacRefused));

  Fields query = {{"busid", "110001"}, {"termid", std::string(fixture::kVirtualTermid)},
                  {"mobile", std::string(fixture::kLoginName)}, {"userToken", std::string(fixture::kUserToken)},
                  {"tdtm", "261211141500"}, {"series", "000011"}};
  const auto keys = server->issuedKeys(std::string(fixture::kVirtualTermid));
  query.emplace_back("mac", MainApiStandin::retailMac(MainApiStandin::macInputOf(query, false), keys->mac).substr(0, 8));
  Json reply = post("queryTrans", query);
  EXPECT_EQ(code(reply), "0000") << reply.dump();
  EXPECT_EQ(reply["retData"].value("amount", ""), "5000");

  Json types = post("queryPayType", {{"busid", "M20013"}, {"lpmercd", "0401"}});
  EXPECT_EQ(types["retData"][0].value("balancePay", ""), "1");
}

}  // namespace
}  // namespace standin
