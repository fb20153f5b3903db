#include "net/TerminalManager.h"

#include <gtest/gtest.h>

#include "app/ui/NetUiBridge.h"
#include "core/shell/ScreenRegistry.h"
#include "net/CoreOperations.h"
#include "net/testing/MainApiTestFixture.h"
#include "app/ui/NVXResponseErrorHandler.h"
#include "platform/foundation/Strings.h"
#include "platform/testing/Settle.h"
#include "platform/ui/AlertView.h"

namespace nvx {
namespace {

using platform::Json;
using platform::Strings;
using standin::MainApiStandin;
using Scripted = MainApiStandin::Scripted;

std::string text(std::string_view key) { return Strings::localized(key); }

std::string clearKey(const std::optional<TerminalKey>& key) { return key ? std::string(key->key.view()) : ""; }

class TerminalManagerTest : public testing::MainApiTestFixture {
 protected:
  void SetUp() override {
    MainApiTestFixture::SetUp();
    installNetUiHooks();
    ScreenRegistry::shared().add("LoginViewController",
                                 [] { return std::make_shared<testing::PlainScreen>("LoginViewController"); });
  }

  enum class Road { Sync, Async };
  static constexpr Road kRoads[] = {Road::Sync, Road::Async};
  static const char* nameOf(Road road) { return road == Road::Sync ? "synchronous" : "asynchronous"; }

  // One sign-in of the reader's terminal; counts the executor's runs. The asynchronous road runs
  // the main loop until its completion, which must come exactly once.
  bool signReader(TerminalManager& manager, Road road = Road::Sync) {
    if (road == Road::Sync) {
      return manager.hardwareTermSignWithViewController(services->screen, [this] { ++executorRuns; });
    }
    std::vector<bool> answers;
    manager.hardwareTermSignAsync(services->screen, [this] { ++executorRuns; },
                                  [&answers](bool signedIn) { answers.push_back(signedIn); });
    EXPECT_TRUE(answers.empty());  // never inside the call
    EXPECT_TRUE(await([&] { return !answers.empty(); }));
    platform::RunLoop::main().runUntilIdle();
    EXPECT_EQ(answers.size(), 1u);
    EXPECT_FALSE(manager.isSigning());
    return !answers.empty() && answers.front();
  }

  size_t callsOf(std::string_view method) const {
    size_t n = 0;
    for (const auto& v : server->verdicts()) n += v.method == method;
    return n;
  }

  // Back to a quiet screen between cases.
  void resetScreens() {
    platform::ui::AlertView::dismissAll();
    services->navigation->popToRoot(false);
    platform::RunLoop::main().runUntilIdle();
  }

  int executorRuns = 0;
};

TEST(SecretKeyParserTest, AcceptsOnlyANonEmptyListWhoseFirstEntryIsANonEmptyObject) {
  struct Case {
    const char* json;
    bool ok;
  };
  const Case cases[] = {
      {R"({"TPKs":[{"T1":"AA"},{"T2":"BB"}]})", true},
      {R"({"TPKs":[{"T1":""}]})", true},   // the value is the user object's to judge
      {R"({})", false},
      {R"([])", false},
      {R"("TPKs")", false},
      {R"({"other":[{"T1":"AA"}]})", false},
      {R"({"TPKs":[]})", false},
      {R"({"TPKs":{"T1":"AA"}})", false},
      {R"({"TPKs":[{}]})", false},
      {R"({"TPKs":["AA"]})", false},
      {R"({"TPKs":[[{"T1":"AA"}]]})", false},
  };
  for (const Case& c : cases) {
    SecretKeyParser parser;
    EXPECT_EQ(parser.parseSourceDic(Json::parse(c.json), "TPKs"), c.ok) << c.json;
    if (c.ok) {
      EXPECT_EQ(parser.allSecretKeys(), Json::parse(c.json)["TPKs"]);
      EXPECT_EQ(parser.masterKey(), Json::parse(c.json)["TPKs"][0]);
    } else {
      EXPECT_TRUE(parser.masterKey().is_null()) << c.json;
    }
  }
}

TEST_F(TerminalManagerTest, ReaderSignInKeepsTheIssuedKeysAndLeavesTheVirtualTerminalAlone) {
  TerminalManager manager;
  ASSERT_TRUE(signReader(manager)) << manager.error();
  EXPECT_EQ(manager.error(), "");
  EXPECT_EQ(executorRuns, 0);
  EXPECT_EQ(manager.termid(), kReaderTermid);

  const User& user = User::currentUser();
  auto issued = server->issuedKeys(kReaderTermid);
  ASSERT_TRUE(issued);
  EXPECT_EQ(clearKey(user.psamTPK()), issued->tpk);
  EXPECT_EQ(clearKey(user.psamPIK()), issued->pik);
  EXPECT_EQ(clearKey(user.psamMAC()), issued->mac);
  EXPECT_EQ(user.psamMAC()->terminalId, kReaderTermid);
  ASSERT_TRUE(user.currentMac());
  EXPECT_EQ(*user.currentMac(), issued->mac);
  EXPECT_EQ(user.psamTPKsArray().size(), 1u);
  EXPECT_EQ(user.psamPIKsArray().size(), 1u);
  EXPECT_EQ(user.psamMACsArray().size(), 1u);
  EXPECT_FALSE(user.vpsamTPK());
  EXPECT_EQ(user.currentVMac(), "");

  // Now the virtual terminal: the reader's keys stay.
  TerminalManager second;
  ASSERT_TRUE(second.virtualTermSignWithViewController(services->screen, nullptr)) << second.error();
  auto virtualKeys = server->issuedKeys(kVirtualTermid);
  ASSERT_TRUE(virtualKeys);
  EXPECT_EQ(clearKey(user.vpsamTPK()), virtualKeys->tpk);
  EXPECT_EQ(clearKey(user.vpsamPIK()), virtualKeys->pik);
  EXPECT_EQ(user.currentVMac(), virtualKeys->mac);
  EXPECT_EQ(clearKey(user.psamMAC()), issued->mac);
  EXPECT_EQ(clearKey(user.psamPIK()), issued->pik);

  // And the reader again, on the asynchronous road: the virtual keys stay.
  auto third = std::make_shared<TerminalManager>();
  ASSERT_TRUE(signReader(*third, Road::Async)) << third->error();
  EXPECT_EQ(user.currentVMac(), virtualKeys->mac);
  EXPECT_EQ(clearKey(user.psamMAC()), server->issuedKeys(kReaderTermid)->mac);
  EXPECT_EQ(clearKey(user.psamPIK()), server->issuedKeys(kReaderTermid)->pik);
  EXPECT_EQ(executorRuns, 0);
}

TEST_F(TerminalManagerTest, OnlyTheFirstOfSeveralTpksIsDeciphered) {
  server->setTpkEntryCount(3);
  TerminalManager manager;
  ASSERT_TRUE(signReader(manager));
  const User& user = User::currentUser();
  EXPECT_EQ(user.psamTPKsArray().size(), 3u);
  EXPECT_EQ(user.psamTPK()->terminalId, kReaderTermid);
  EXPECT_EQ(clearKey(user.psamTPK()), server->issuedKeys(kReaderTermid)->tpk);
}

TEST_F(TerminalManagerTest, LoginFailuresEndTheSignInWithTheirText) {
  struct Case {
    const char* name;
    std::optional<Scripted> reply;   // nothing: the stand-in's own answer
    int tpkEntries;
    std::string error;
    bool executorRun;
  };
  const Case cases[] = {
      {"dropped connection", Scripted::dropConnection(), 1, text("NetworkConnectionFailed"), true},
      {"server error", Scripted::error("3001", "终端不存在"), 1, "终端不存在", false},
      {"server error without message", Scripted::rawBody(R"({"retStatus":{"retCode":"3002"}})"), 1,
       text("Error_Unknown"), false},
      {"HTML error page", Scripted::htmlErrorPage(), 1, text("Error_Data"), false},
      {"code that is not a text", Scripted::rawBody(R"({"retStatus":{"retCode":0}})"), 1, text("Error_Data"), false},
      // A success without a usable list reports a data error, never the success text.
      {"empty TPKs list", std::nullopt, 0, text("Error_Data"), false},
      {"success without TPKs", Scripted::success(Json::object({{"PIKs", Json::array()}})), 1, text("Error_Data"),
       false},
      {"TPKs entry not an object", Scripted::success(Json::parse(R"({"TPKs":["AB"]})")), 1, text("Error_Data"), false},
      {"success without data", Scripted::successWithoutData(), 1, text("ReturnDataIsNil"), false},
  };
  for (const Road road : kRoads) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + ", " + nameOf(road));
      server->clearScripts();
      if (c.reply) server->script("login", *c.reply);
      server->setTpkEntryCount(c.tpkEntries);
      const size_t checkinsBefore = callsOf("checkin");
      executorRuns = 0;
      auto manager = std::make_shared<TerminalManager>();
      EXPECT_FALSE(signReader(*manager, road));
      EXPECT_EQ(manager->error(), c.error);
      EXPECT_NE(manager->error(), text("OK"));
      EXPECT_EQ(executorRuns, c.executorRun ? 1 : 0);
      EXPECT_EQ(callsOf("checkin"), checkinsBefore);   // the sign-in ended after the login
      EXPECT_FALSE(User::currentUser().psamMAC());
      EXPECT_FALSE(User::currentUser().psamPIK());
    }
  }
}

TEST_F(TerminalManagerTest, ExpiredLoginLeavesTheErrorEmptyAndTheLadderActs) {
  for (const Road road : kRoads) {
    SCOPED_TRACE(nameOf(road));
    server->script("login", Scripted::tokenExpired("1012"));
    auto manager = std::make_shared<TerminalManager>();
    EXPECT_FALSE(signReader(*manager, road));
    EXPECT_EQ(manager->error(), "");
    EXPECT_EQ(executorRuns, 0);
    ASSERT_TRUE(services->navigation->topViewController());
    EXPECT_EQ(services->navigation->topViewController()->className(), "LoginViewController");
    resetScreens();
  }

  server->script("login", Scripted::tokenExpired("1023"));
  TerminalManager again;
  EXPECT_FALSE(signReader(again));
  EXPECT_EQ(again.error(), "");
  EXPECT_TRUE(NVXResponseErrorHandler::isReloginAlertShown());
  EXPECT_EQ(callsOf("checkin"), 0u);

  // The stand-in's own refusal of an expired session takes the same road.
  resetScreens();
  server->clearScripts();
  server->expireSession(kLoginName);
  TerminalManager third;
  EXPECT_FALSE(signReader(third));
  EXPECT_EQ(third.error(), "");
  EXPECT_EQ(services->navigation->topViewController()->className(), "LoginViewController");
}

TEST_F(TerminalManagerTest, CheckinFailures) {
  const User& user = User::currentUser();

  // "PIKs" without "MACs": the PIK is kept, the MAC key is not, and the answer is a data error.
  server->setCheckinKeyLists(true, false);
  TerminalManager withoutMacs;
  EXPECT_FALSE(signReader(withoutMacs));
  EXPECT_EQ(withoutMacs.error(), text("Error_Data"));
  EXPECT_EQ(clearKey(user.psamPIK()), server->issuedKeys(kReaderTermid)->pik);
  EXPECT_FALSE(user.psamMAC());
  EXPECT_FALSE(user.currentMac());

  // Neither list in a success: a data error, not the success text.
  server->setCheckinKeyLists(false, false);
  TerminalManager withoutLists;
  EXPECT_FALSE(signReader(withoutLists));
  EXPECT_EQ(withoutLists.error(), text("Error_Data"));
  EXPECT_FALSE(user.psamPIK());
  server->setCheckinKeyLists(true, true);

  struct Case {
    const char* name;
    Scripted reply;
    std::string error;
    int executorRuns;
  };
  const Case cases[] = {
      {"server error", Scripted::error("3003", "签到失败"), "签到失败", 0},
      {"server error without message", Scripted::rawBody(R"({"retStatus":{"retCode":"3003"}})"), text("Error_Unknown"),
       0},
      {"dropped connection", Scripted::dropConnection(), text("NetworkConnectionFailed"), 1},
      // The expired login is the ladder's; check-in then has no text of its own.
      {"expired login", Scripted::tokenExpired("1012"), text("Error_Unknown"), 0},
  };
  for (const Road road : kRoads) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + ", " + nameOf(road));
      resetScreens();
      server->script("checkin", c.reply);
      executorRuns = 0;
      auto manager = std::make_shared<TerminalManager>();
      EXPECT_FALSE(signReader(*manager, road));
      EXPECT_EQ(manager->error(), c.error);
      EXPECT_EQ(executorRuns, c.executorRuns);
      // The new TPK is kept; the earlier PIK and MAC key went with the old one.
      EXPECT_EQ(clearKey(user.psamTPK()), server->issuedKeys(kReaderTermid)->tpk);
      EXPECT_FALSE(user.psamPIK());
      EXPECT_FALSE(user.psamMAC());
      EXPECT_TRUE(user.psamPIKsArray().is_null());
    }
  }
}

TEST_F(TerminalManagerTest, AnAsynchronousSignInCancelledOrReleasedAnswersNothingAndReadsNoLateReply) {
  struct Case {
    const char* name;
    const char* slowStep;  // the step still in flight when the sign-in ends
    bool release;          // released rather than cancelled
  };
  const Case cases[] = {
      {"cancelled during the login", "login", false},
      {"released during the login", "login", true},
      {"cancelled during the check-in", "checkin", false},
      {"released during the check-in", "checkin", true},
  };
  const User& user = User::currentUser();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    User::currentUser().setPsamTPK(Json());
    server->clearScripts();
    server->script(c.slowStep, Scripted::heldReply(), 1);
    auto manager = std::make_shared<TerminalManager>();
    int answers = 0;
    manager->hardwareTermSignAsync(services->screen, [this] { ++executorRuns; }, [&answers](bool) { ++answers; });
    EXPECT_TRUE(manager->isSigning());
    if (std::string_view(c.slowStep) == "checkin") {
      // The login's reply is read first: its TPK is kept before the check-in goes out.
      ASSERT_TRUE(await([&] { return user.psamTPK().has_value(); }));
    }
    if (c.release) {
      manager.reset();
    } else {
      manager->cancel();
      EXPECT_FALSE(manager->isSigning());
    }
    // The held step's reply comes only now, after the sign-in ended.
    server->http().releaseHeld();
    ASSERT_TRUE(platform::testing::settleIo());
    EXPECT_EQ(answers, 0);
    EXPECT_EQ(executorRuns, 0);
    EXPECT_FALSE(user.psamPIK());
    EXPECT_FALSE(user.psamMAC());
    EXPECT_EQ(user.psamTPK().has_value(), std::string_view(c.slowStep) == "checkin");
  }
}

TEST_F(TerminalManagerTest, CheckinKeysThatCannotBeDecipheredGiveNo) {
  // A real login first, so that the stand-in can check the terminal in; then a login reply whose
  // TPK the client cannot decipher.
  TerminalManager first;
  ASSERT_TRUE(signReader(first));
  server->script("login", Scripted::success(Json::parse(R"({"TPKs":[{"ABCDEF0123456789":"NOT-HEX"}]})")), 1);
  TerminalManager manager;
  EXPECT_FALSE(signReader(manager));
  EXPECT_EQ(callsOf("checkin"), 2u);
  EXPECT_EQ(server->lastVerdict("checkin")->retCode, "0000");
  const User& user = User::currentUser();
  EXPECT_FALSE(user.psamTPK());
  EXPECT_FALSE(user.psamPIK());
  EXPECT_FALSE(user.currentMac());
  EXPECT_EQ(manager.error(), text("Error_Data"));
}

// The whole road over HTTPS: the client trusts a CA made for this test.
class TerminalManagerHttpsTest : public TerminalManagerTest {
 protected:
  void SetUp() override {
    auto certificates = standin::TestCertificates::create(platform::Sandbox::tmp() / "tls", "main-api");
    ASSERT_TRUE(certificates.isOk()) << certificates.error();
    certificates_ = certificates.value();
    startServer(certificates_);
  }
  standin::TestCertificates certificates_;
};

TEST_F(TerminalManagerHttpsTest, SignInAndASignedQueryOverHttps) {
  ServerConfig::current().setCaFile(certificates_.caCertFile.string());
  ASSERT_EQ(server->apiBaseAddress().rfind("https://", 0), 0u);

  TerminalManager manager;
  ASSERT_TRUE(manager.virtualTermSignWithViewController(services->screen, [this] { ++executorRuns; }))
      << manager.error();
  EXPECT_EQ(User::currentUser().currentVMac(), server->issuedKeys(kVirtualTermid)->mac);

  bool called = false;
  bool isErr = true;
  CoreOperations::queryTransWithBusid("M20011", Json::object({{"amount", "12.5"}}),
                                      [&](NetResult, RetStatusEntity, bool e) {
                                        called = true;
                                        isErr = e;
                                      });
  ASSERT_TRUE(await([&] { return called; }));
  EXPECT_FALSE(isErr);
  EXPECT_TRUE(server->http().lastRequest()->isHttps);
  EXPECT_TRUE(*server->lastVerdict("queryTrans")->macOk);
}

TEST_F(TerminalManagerHttpsTest, AnUntrustedServerIsATransportFailure) {
  auto other = standin::TestCertificates::create(platform::Sandbox::tmp() / "tls-other", "other");
  ASSERT_TRUE(other.isOk());
  ServerConfig::current().setCaFile(other.value().caCertFile.string());

  TerminalManager manager;
  EXPECT_FALSE(manager.virtualTermSignWithViewController(services->screen, [this] { ++executorRuns; }));
  EXPECT_EQ(manager.error(), text("NetworkConnectionFailed"));
  EXPECT_EQ(executorRuns, 1);

  bool called = false;
  RetStatusEntity status;
  bool isErr = false;
  CoreOperations::getUnitListNewWithBlock([&](NetResult, RetStatusEntity s, bool e) {
    called = true;
    status = std::move(s);
    isErr = e;
  });
  ASSERT_TRUE(await([&] { return called; }));
  EXPECT_TRUE(isErr);
  EXPECT_TRUE(NetService::isNetworkConnectionFailed(status));
  // The handshake failed: no request reached the server's handlers.
  EXPECT_EQ(server->http().requestCount(), 0u);
}

}  // namespace
}  // namespace nvx
