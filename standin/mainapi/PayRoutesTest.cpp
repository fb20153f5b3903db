// The payment's commit routes judge a commit as the real server would and record only what they
// accept.
#include "standin/mainapi/PayRoutes.h"

#include <gtest/gtest.h>

#include "standin/StandinFixture.h"
#include "standin/mainapi/testing/SignedInStandinTest.h"

namespace standin {
namespace {

using platform::Json;

class PayRoutesTest : public SignedInStandinTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(signIn(fixture::kReaderTermid));
  }

  // A commit as the client sends it, signed under the issued MAC key.
  Fields commit(std::string amount, std::string pik, bool withTracks = true) {
    Fields fields = {{"busid", "M20013"},
                     {"termid", std::string(fixture::kReaderTermid)},
                     {"mobile", std::string(fixture::kLoginName)},
                     {"userToken", std::string(fixture::kUserToken)},
                     {"srcsid", "Q1"},
                     {"amount", std::move(amount)}};
    if (withTracks) {
      fields.emplace_back("otrack", fixture::encryptedTracksHex("0007"));
      fields.emplace_back("rnd", "0011223344556677");
    }
    fields.emplace_back("pinkey", fixture::pinkeyFor(fixture::kCardPin, pik, server->pinKey()));
    const auto keys = server->issuedKeys(std::string(fixture::kReaderTermid));
    fields.emplace_back("mac", MainApiStandin::retailMac(MainApiStandin::macInputOf(fields, true), keys->mac).substr(0, 8));
    return fields;
  }
  size_t recorded() {
    auto lock = server->lock();
    return server->feature<PayState>().commits.size();
  }
  static std::string code(const Json& reply) { return reply["retStatus"].value("retCode", ""); }

};

TEST_F(PayRoutesTest, ASoundCommitIsAnsweredAndRecordedAndAFlawedOneRefusedAndForgotten) {
  const std::string pik = server->issuedKeys(std::string(fixture::kReaderTermid))->pik;
  struct Case {
    const char* name;
    Fields fields;
    std::string code;
  };
  const Case cases[] = {
      {"sound", commit("000000010000", pik), "0000"},
      {"PIN block under another key", commit("000000010000", "0123456789ABCDEF0123456789ABCDEF"), "0055"},
      {"amount not in fen", commit("100.00", pik), std::string(MainApiStandin::kBadRequest)},
      {"no tracks", commit("000000010000", pik, false), std::string(MainApiStandin::kBadRequest)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t before = recorded();
    Json reply = post("commitTransaction", c.fields);
    EXPECT_EQ(code(reply), c.code) << reply.dump();
    EXPECT_EQ(recorded(), before + (c.code == "0000" ? 1 : 0));
  }
  auto lock = server->lock();
  const auto& first = server->feature<PayState>().commits.at(0);
  EXPECT_EQ(first.amountFen, 10000);
  EXPECT_EQ(first.srcsid, "Q1");
  EXPECT_TRUE(first.withPin);
}

}  // namespace
}  // namespace standin
