#include "core/testing/CipherTestOracle.h"
#include "core/session/User.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <thread>

#include "core/crypto/EncryptTool.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/testing/Testing.h"

namespace nvx {
namespace {

using platform::Json;

using nvx::testing::tripleDesEncrypt;

constexpr std::string_view kKsn = "0123456789ABCDEF";
constexpr std::string_view kVirtualTerm = "VT00000000000042";
constexpr std::string_view kClearTPK = "0123456789ABCDEFFEDCBA9876543210";
constexpr std::string_view kClearPIK = "1111222233334444AAAABBBBCCCCDDDD";
constexpr std::string_view kClearMAC = "5555666677778888EEEEFFFF00001111";

// The keys as a terminal sign-in delivers them.
struct SignIn {
  Json tpk, pik, mac;
};

SignIn signInFor(std::string_view terminal) {
  std::string transport(EncryptTool::getXorString().view());
  EXPECT_EQ(transport.size(), 32u) << "the bundled settings give a transport key";
  SignIn s;
  s.tpk = Json{{std::string(terminal), tripleDesEncrypt(transport, kClearTPK)}};
  s.pik = Json{{std::string(terminal), tripleDesEncrypt(kClearTPK, kClearPIK)}};
  s.mac = Json{{std::string(terminal), tripleDesEncrypt(kClearTPK, kClearMAC)}};
  return s;
}

std::string clearOf(const std::optional<TerminalKey>& key) {
  return key ? std::string(key->key.view()) : std::string("<none>");
}

TEST(UserTest, OneSharedSessionEvenWhenThreadsAskAtOnce) {
  User* fromThread = nullptr;
  std::thread t([&] { fromThread = &User::currentUser(); });
  User* fromMain = &User::currentUser();
  t.join();
  EXPECT_EQ(fromThread, fromMain);
}

TEST(UserTest, TerminalIdsKeepSixteenUpperCaseCharactersOrNothing) {
  struct Case {
    std::string given;
    std::string kept;
  } cases[] = {
      {"", ""},
      {"0123456789abcde", ""},                       // 15 characters
      {"0123456789abcdef", "0123456789ABCDEF"},
      {"0123456789abcdef99", "0123456789ABCDEF"},    // 18, lower case
      {"ffffffffffffffffffffffffffffffff", "FFFFFFFFFFFFFFFF"},
      {"终端号终端号终端号终端号终端号终", "终端号终端号终端号终端号终端号终"},  // counted in characters
      {"终端号终端号终端号终端号终端号", ""},      // 15 of them, 45 bytes
  };
  User& user = User::currentUser();
  for (const auto& c : cases) {
    user.setPsamId("PREVIOUSVALUE0000");
    user.setPsamNo("PREVIOUSVALUE0000");
    user.setPsamId(c.given);
    user.setPsamNo(c.given);
    EXPECT_EQ(user.psamId(), c.kept) << c.given;
    EXPECT_EQ(user.psamNo(), c.kept) << c.given;
  }
}

TEST(UserTest, KeysAreDecipheredInOrderTpkFirst) {
  User& user = User::currentUser();
  SignIn keys = signInFor(kKsn);

  // No TPK yet: a valid PIK or MAC is not kept.
  user.setPsamPIK(keys.pik);
  user.setPsamMAC(keys.mac);
  EXPECT_FALSE(user.psamPIK());
  EXPECT_FALSE(user.psamMAC());

  user.setPsamTPK(keys.tpk);
  user.setPsamPIK(keys.pik);
  user.setPsamMAC(keys.mac);
  EXPECT_EQ(clearOf(user.psamTPK()), kClearTPK);
  EXPECT_EQ(clearOf(user.psamPIK()), kClearPIK);
  EXPECT_EQ(clearOf(user.psamMAC()), kClearMAC);
  EXPECT_EQ(user.psamPIK()->terminalId, kKsn);

  // Signed in only while the reader's id is the one the keys belong to.
  EXPECT_FALSE(user.isHardwareSign());
  EXPECT_FALSE(user.currentMac());
  user.setPsamId(std::string(kKsn));
  EXPECT_TRUE(user.isHardwareSign());
  ASSERT_TRUE(user.currentMac());
  EXPECT_EQ(*user.currentMac(), kClearMAC);
  user.setPsamId("FEDCBA9876543210");   // another reader: its KSN has no MAC key
  EXPECT_FALSE(user.currentMac());

  // The reader's keys never serve the virtual terminal.
  EXPECT_EQ(user.currentVMac(), "");
  EXPECT_FALSE(user.vpsamTPK());
}

TEST(UserTest, VirtualTerminalKeysFollowTheSameOrder) {
  User& user = User::currentUser();
  SignIn keys = signInFor(kVirtualTerm);
  EXPECT_EQ(user.currentVMac(), "") << "empty text, before the virtual sign-in";

  user.setVpsamMAC(keys.mac);
  EXPECT_FALSE(user.vpsamMAC());
  user.setVpsamTPK(keys.tpk);
  user.setVpsamPIK(keys.pik);
  user.setVpsamMAC(keys.mac);
  EXPECT_EQ(clearOf(user.vpsamPIK()), kClearPIK);
  EXPECT_EQ(user.currentVMac(), kClearMAC);
  EXPECT_FALSE(user.psamTPK());
  EXPECT_FALSE(user.isHardwareSign());
}

TEST(UserTest, ANewOrClearedTpkTakesTheKeysDecipheredUnderTheOldOneAlong) {
  User& user = User::currentUser();
  SignIn keys = signInFor(kKsn);
  user.setPsamTPK(keys.tpk);
  user.setPsamPIK(keys.pik);
  user.setPsamMAC(keys.mac);
  user.setPsamTPK(nullptr);
  EXPECT_FALSE(user.psamTPK());
  EXPECT_FALSE(user.psamPIK());
  EXPECT_FALSE(user.psamMAC());

  user.setVpsamTPK(keys.tpk);
  user.setVpsamPIK(keys.pik);
  user.setVpsamTPK(keys.tpk);   // a new sign-in
  EXPECT_TRUE(user.vpsamTPK());
  EXPECT_FALSE(user.vpsamPIK());
}

TEST(UserTest, UnusableKeyInputLeavesTheKeyClearedWithoutAnyKeyInTheLog) {
  const std::string transport(EncryptTool::getXorString().view());
  const std::string goodTpk = tripleDesEncrypt(transport, kClearTPK);
  const std::string goodPik = tripleDesEncrypt(kClearTPK, kClearPIK);
  std::string lower = goodTpk;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  struct Case {
    const char* what;
    Json value;
  } cases[] = {
      {"nothing", nullptr},
      {"empty dictionary", Json::object()},
      {"a list, not a dictionary", Json::array({goodTpk})},
      {"a number as the key", Json{{"T1", 12345}}},
      {"an empty text", Json{{"T1", ""}}},
      {"lower-case hex", Json{{"T1", lower}}},
      {"odd length", Json{{"T1", goodTpk.substr(0, 31)}}},
      {"half a block", Json{{"T1", goodTpk.substr(0, 8)}}},
      {"not hex", Json{{"T1", "ZZ" + goodTpk.substr(2)}}},
  };
  platform::log::Capture log;
  User& user = User::currentUser();
  for (const auto& c : cases) {
    user.setPsamTPK(Json{{"T1", goodTpk}});
    ASSERT_TRUE(user.psamTPK());
    user.setPsamTPK(c.value);
    EXPECT_FALSE(user.psamTPK()) << c.what;

    user.setPsamTPK(Json{{"T1", goodTpk}});
    user.setPsamPIK(Json{{"T1", goodPik}});
    ASSERT_TRUE(user.psamPIK());
    user.setPsamPIK(c.value);
    EXPECT_FALSE(user.psamPIK()) << c.what;
  }
  for (const auto& line : log.lines()) {
    EXPECT_EQ(line.find(kClearTPK), std::string::npos) << line;
    EXPECT_EQ(line.find(goodTpk), std::string::npos) << line;
    EXPECT_EQ(line.find(transport), std::string::npos) << line;
  }
}

TEST(UserTest, WithoutTheTransportKeyNoTpkIsKept) {
  const Json tpk = signInFor(kKsn).tpk;
  platform::testing::restart();   // a run whose bundle lacks the client settings
  const platform::Path emptyBundle = platform::Sandbox::makeTempRoot("nvx-nobundle");
  platform::Sandbox::setBundle(emptyBundle);
  User& user = User::currentUser();
  user.setPsamTPK(tpk);
  EXPECT_FALSE(user.psamTPK());
  platform::fs::removeTree(emptyBundle);
}

TEST(UserTest, LogoutClearsTheSessionAndKeepsProfileFlagsAndTheStoredName) {
  platform::UserDefaults::standard().set(User::kLoginNameKey, "13800000000");
  User& user = User::currentUser();
  SignIn reader = signInFor(kKsn);
  SignIn virt = signInFor(kVirtualTerm);
  user.setLoginName("13800000000");
  user.setUserToken("token-1");
  user.setUserId("42");
  user.setHasPwd(true);
  user.setPan("6222000011112222");
  user.setGiftno("G1");
  user.setAmount("123.45");
  user.setLimitAmount("500");
  user.setStatus(true);
  user.setPsamNo(std::string(kVirtualTerm));
  user.setIsAsk(true);
  user.setCustlev("3");
  user.setCouponUrl("https://coupon.example.test/c");
  user.setTamount("10.00");
  user.setPsamId(std::string(kKsn));
  user.setPsamCardArry({std::string(kKsn)});
  user.setPsamTPK(reader.tpk);
  user.setPsamPIK(reader.pik);
  user.setPsamMAC(reader.mac);
  user.setPsamTPKsArray(Json::array({reader.tpk}));
  user.setPsamPIKsArray(Json::array({reader.pik}));
  user.setPsamMACsArray(Json::array({reader.mac}));
  user.setVpsamTPK(virt.tpk);
  user.setVpsamPIK(virt.pik);
  user.setVpsamMAC(virt.mac);
  user.setVpsamTPKsArray(Json::array({virt.tpk}));
  user.setVpsamPIKsArray(Json::array({virt.pik}));
  user.setVpsamMACsArray(Json::array({virt.mac}));
  ASSERT_TRUE(user.isLogined());
  ASSERT_TRUE(user.isHardwareSign());

  user.outOfLogin();

  EXPECT_FALSE(user.isLogined());
  EXPECT_FALSE(user.isHardwareSign());
  EXPECT_EQ(user.preLoginName(), "13800000000");
  EXPECT_EQ(User::currentOrRecordLoginName(), "13800000000");
  for (const std::string* cleared :
       {&user.loginName(), &user.userToken(), &user.pan(), &user.giftno(), &user.amount(),
        &user.limitAmount(), &user.psamNo(), &user.tamount(), &user.psamId()}) {
    EXPECT_EQ(*cleared, "");
  }
  EXPECT_TRUE(user.psamCardArry().empty());
  for (const Json* list : {&user.psamTPKsArray(), &user.psamPIKsArray(), &user.psamMACsArray(),
                           &user.vpsamTPKsArray(), &user.vpsamPIKsArray(), &user.vpsamMACsArray()}) {
    EXPECT_TRUE(list->empty());
  }
  for (const auto* key : {&user.psamTPK(), &user.psamPIK(), &user.psamMAC(), &user.vpsamTPK(),
                          &user.vpsamPIK(), &user.vpsamMAC()}) {
    EXPECT_FALSE(key->has_value());
  }
  EXPECT_EQ(user.currentVMac(), "");
  EXPECT_EQ(user.userId(), "42");
  EXPECT_TRUE(user.hasPwd());
  EXPECT_TRUE(user.status());
  EXPECT_TRUE(user.isAsk());
  EXPECT_EQ(user.custlev(), "3");
  EXPECT_EQ(user.couponUrl(), "https://coupon.example.test/c");
  EXPECT_EQ(platform::UserDefaults::standard().string(User::kLoginNameKey), "13800000000");
}

TEST(UserTest, LogoutOfNobodyLeavesAnEmptyPreviousName) {
  User& user = User::currentUser();
  user.setPreLoginName("13800000000");
  user.outOfLogin();
  EXPECT_EQ(user.preLoginName(), "");
  EXPECT_EQ(User::currentOrRecordLoginName(), "") << "nothing stored either";
}

TEST(UserTest, OnlyTheLoginNameSurvivesARestartAndNoKeyReachesAFile) {
  {
    User& user = User::currentUser();
    SignIn keys = signInFor(kKsn);
    user.setLoginName("13900000000");
    user.setUserToken("token-2");
    user.setPsamId(std::string(kKsn));
    user.setPsamTPK(keys.tpk);
    user.setPsamPIK(keys.pik);
    user.setPsamMAC(keys.mac);
    user.setHasPwd(true);
    platform::UserDefaults::standard().set(User::kLoginNameKey, "13900000000");
  }
  platform::testing::restart();

  User& user = User::currentUser();
  EXPECT_EQ(user.loginName(), "");
  EXPECT_FALSE(user.isLogined());
  EXPECT_FALSE(user.hasPwd());
  EXPECT_EQ(user.psamId(), "");
  EXPECT_FALSE(user.psamTPK());
  EXPECT_EQ(User::currentOrRecordLoginName(), "13900000000");

  for (const auto& name : platform::fs::list(platform::testing::sandboxRoot(), true)) {
    auto bytes = platform::fs::read(platform::testing::sandboxRoot() / name);
    if (!bytes) continue;
    for (std::string_view secret : {kClearTPK, kClearPIK, kClearMAC}) {
      EXPECT_EQ(bytes->find(secret), std::string::npos) << name;
    }
  }
}

TEST(UserTest, LoginAmountInFenBecomesExactYuanText) {
  struct Case {
    Json fen;
    std::string yuan;
  } cases[] = {
      {12345, "123.45"},
      {123456789, "1234567.89"},      // single precision would give 1234567.88
      {16777217, "167772.17"},        // the first integer a float cannot hold
      {"123456789", "1234567.89"},
      {"12345", "123.45"},
      {0, "0.00"},
      {5, "0.05"},
      {100, "1.00"},
      {-250, "-2.50"},
      {12345.6, "123.46"},            // part of a fen rounds to the nearest
      {"abc", "0.00"},                // not a number: read as 0
      {nullptr, "0.00"},              // missing
      {9007199254740992LL, "90071992547409.92"},
      {1e300, ""},                    // beyond exact fen: left empty
      {"1e400", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(User::amountFromFen(c.fen), c.yuan) << platform::json::dump(c.fen);
  }
}

}  // namespace
}  // namespace nvx
