#include "standin/MainApiStandin.h"
#include "standin/StandinFixture.h"

#include <gtest/gtest.h>

#include "platform/foundation/Json.h"
#include "platform/net/HttpRequest.h"

namespace standin {
namespace {

using platform::Json;
using platform::net::HttpRequest;
using Fields = std::vector<HttpStandin::Field>;

using fixture::kTransportKey;
using fixture::kUid;
constexpr std::string_view kSalt = fixture::kVercodeSalt;
constexpr std::string_view kTermid = fixture::kReaderTermid;

class MainApiStandinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<MainApiStandin>(fixture::settings());
    ASSERT_TRUE(server_->start().isOk());
    server_->addSession("13800000000", "token-1");
  }

  std::string identity(std::string_view vercode = {}) const {
    return "uid=" + std::string(kUid) + "&vercode=" +
           (vercode.empty() ? MainApiStandin::vercodeFor(kUid, kSalt) : std::string(vercode));
  }

  // A GET of "<method>.json?<identity>[&params]"; the reply body parsed.
  Json get(std::string_view path, std::string_view params = {}) {
    std::string url = server_->apiBaseAddress() + std::string(path) + ".json?" + identity();
    if (!params.empty()) url += "&" + std::string(params);
    auto r = HttpRequest::make(url);
    r->startSynchronous();
    EXPECT_FALSE(r->error()) << path;
    return platform::json::parse(r->responseString()).value_or(Json());
  }

  // A form POST to "<method>.json" with uid, vercode, then fields.
  Json post(std::string_view path, const Fields& fields, std::string_view vercode = {}) {
    auto r = HttpRequest::make(server_->apiBaseAddress() + std::string(path) + ".json", true);
    r->addPostValue("uid", std::string(kUid));
    r->addPostValue("vercode", vercode.empty() ? MainApiStandin::vercodeFor(kUid, kSalt) : std::string(vercode));
    for (const auto& [k, v] : fields) r->addPostValue(k, v);
    r->startSynchronous();
    EXPECT_FALSE(r->error()) << path;
    return platform::json::parse(r->responseString()).value_or(Json());
  }

  Fields terminalFields(std::string busid, std::string token = "token-1") const {
    return {{"mobile", "13800000000"}, {"userToken", std::move(token)}, {"busid", std::move(busid)},
            {"termid", std::string(kTermid)}};
  }

  static std::string code(const Json& reply) { return reply["retStatus"].value("retCode", ""); }

  // The first entry's value of a key list in retData.
  static std::string firstKey(const Json& reply, const char* list) {
    return reply["retData"][list][0][std::string(kTermid)].get<std::string>();
  }

  std::unique_ptr<MainApiStandin> server_;
};

TEST(MainApiStandinCryptoTest, KnownAnswers) {
  EXPECT_EQ(MainApiStandin::retailMac("Hello World !!!!", "7CA110454A1A6E570131D9619DC1376E"), "F09B856213BAB83B");
  // With equal halves the two-key cipher is single DES (FIPS 81 example key).
  EXPECT_EQ(MainApiStandin::wrapKey("0123456789ABCDEF", "133457799BBCDFF1133457799BBCDFF1"), "85E813540F0AB405");
  EXPECT_EQ(MainApiStandin::unwrapKey("85E813540F0AB405", "133457799BBCDFF1133457799BBCDFF1"), "0123456789ABCDEF");
  EXPECT_EQ(MainApiStandin::vercodeFor("ab", "c"), "900150983cd24fb0d6963f7d28e17f72");  // MD5("abc")
  // Unusable input gives nothing rather than a partial result.
  EXPECT_EQ(MainApiStandin::retailMac("x", "7CA1"), "");
  EXPECT_EQ(MainApiStandin::retailMac("", "7CA110454A1A6E570131D9619DC1376E"), "");
  EXPECT_EQ(MainApiStandin::wrapKey("0123", std::string(kTransportKey)), "");
  EXPECT_EQ(MainApiStandin::wrapKey("0123456789ABCDEG", std::string(kTransportKey)), "");
}

TEST(MainApiStandinCryptoTest, MacInputTakesTheFixedFieldsInOrder) {
  struct Case {
    const char* name;
    Fields fields;
    bool withFee;
    const char* input;
  };
  const Case cases[] = {
      {"form order does not matter",
       {{"amount", "000000001250"}, {"termid", "T1"}, {"busid", "M20011"}, {"fee", "000000000050"}},
       false, "M20011 T1 000000001250"},
      {"fee closes the commit list", {{"fee", "000000000050"}, {"amount", "000000001250"}, {"busid", "B"}}, true,
       "B 000000001250 000000000050"},
      {"public transport uses subbusid", {{"busid", "M80003"}, {"subbusid", "S1"}, {"termid", "T"}}, false, "S1 T"},
      {"a name twice gives both values", {{"pan", "1"}, {"pan", "2"}}, false, "1 2"},
      {"values are filtered", {{"billno", " 12-34/56 "}, {"sysref", "a,b.c d"}}, false, "123456 a,b.c d"},
      {"other fields are not signed", {{"ver", "28"}, {"mobile", "138"}, {"series", "9"}}, false, "9"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MainApiStandin::macInputOf(c.fields, c.withFee), c.input) << c.name;
  }
}

TEST(MainApiStandinCryptoTest, ProjectSettingsHoldTheClientsSaltAndTheTestTransportKey) {
  auto settings = MainApiStandin::Settings::fromProjectFiles();
  ASSERT_TRUE(settings.isOk()) << settings.error();
  EXPECT_EQ(settings.value().transportKey, kTransportKey);
  EXPECT_FALSE(settings.value().vercodeSalt.empty());
}

TEST_F(MainApiStandinTest, EveryCallNeedsTheVercodeOfItsUid) {
  EXPECT_EQ(code(get("getUnitListNew")), "0000");
  EXPECT_EQ(get("getUnitListNew")["retData"].size(), 8u);

  auto refused = [&](std::string url) {
    auto r = HttpRequest::make(std::move(url));
    r->startSynchronous();
    return code(platform::json::parse(r->responseString()).value_or(Json()));
  };
  const std::string base = server_->apiBaseAddress() + "getUnitListNew.json";
  const std::string good = MainApiStandin::vercodeFor(kUid, kSalt);
  EXPECT_EQ(refused(base), MainApiStandin::kIdentityRefused);
  EXPECT_EQ(refused(base + "?uid=" + std::string(kUid)), MainApiStandin::kIdentityRefused);
  EXPECT_EQ(refused(base + "?uid=x" + std::string(kUid) + "&vercode=" + good), MainApiStandin::kIdentityRefused);
  EXPECT_EQ(refused(base + "?uid=" + std::string(kUid) + "&vercode=" + MainApiStandin::vercodeFor(kUid, "other")),
            MainApiStandin::kIdentityRefused);
  EXPECT_EQ(code(post("login", terminalFields("M10003"), "0123")), MainApiStandin::kIdentityRefused);
  EXPECT_FALSE(server_->lastVerdict("login")->identityOk);
}

TEST_F(MainApiStandinTest, TerminalLoginAndCheckinIssueWrappedKeys) {
  Json login = post("login", terminalFields("M10003"));
  ASSERT_EQ(code(login), "0000") << login.dump();
  auto keys = server_->issuedKeys(std::string(kTermid));
  ASSERT_TRUE(keys);
  EXPECT_EQ(keys->tpk.size(), 32u);
  EXPECT_EQ(MainApiStandin::unwrapKey(firstKey(login, "TPKs"), kTransportKey), keys->tpk);

  Json checkin = post("checkin", terminalFields("M10002"));
  ASSERT_EQ(code(checkin), "0000") << checkin.dump();
  keys = server_->issuedKeys(std::string(kTermid));
  EXPECT_EQ(MainApiStandin::unwrapKey(firstKey(checkin, "PIKs"), keys->tpk), keys->pik);
  EXPECT_EQ(MainApiStandin::unwrapKey(firstKey(checkin, "MACs"), keys->tpk), keys->mac);
  EXPECT_NE(keys->pik, keys->mac);

  // A new login replaces the terminal's keys.
  post("login", terminalFields("M10003"));
  EXPECT_NE(server_->issuedKeys(std::string(kTermid))->tpk, keys->tpk);
  EXPECT_TRUE(server_->issuedKeys(std::string(kTermid))->mac.empty());
}

TEST_F(MainApiStandinTest, TerminalCallsAreRefusedWithoutTheirPreconditions) {
  struct Case {
    const char* name;
    const char* path;
    Fields fields;
    std::string_view code;
  };
  const Case cases[] = {
      {"check-in before login", "checkin", terminalFields("M10002"), MainApiStandin::kNotSignedIn},
      {"wrong token", "login", terminalFields("M10003", "token-2"), MainApiStandin::kTokenExpired},
      {"unknown user", "login", {{"mobile", "139"}, {"userToken", "token-1"}, {"busid", "M10003"}, {"termid", "T"}},
       MainApiStandin::kTokenExpired},
      {"login with the check-in code", "login", terminalFields("M10002"), MainApiStandin::kBadRequest},
      {"no terminal", "login", {{"mobile", "13800000000"}, {"userToken", "token-1"}, {"busid", "M10003"}},
       MainApiStandin::kBadRequest},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(code(post(c.path, c.fields)), c.code) << c.name;
  }
  EXPECT_FALSE(server_->issuedKeys(std::string(kTermid)));

  server_->expireSession("13800000000");
  EXPECT_EQ(code(post("login", terminalFields("M10003"))), MainApiStandin::kTokenExpired);
}

TEST_F(MainApiStandinTest, TpkListLengthIsScriptable) {
  server_->setTpkEntryCount(2);
  Json two = post("login", terminalFields("M10003"));
  ASSERT_EQ(two["retData"]["TPKs"].size(), 2u);
  EXPECT_FALSE(two["retData"]["TPKs"][1].contains(std::string(kTermid)));
  server_->setTpkEntryCount(0);
  Json none = post("login", terminalFields("M10003"));
  EXPECT_EQ(code(none), "0000");
  EXPECT_TRUE(none["retData"]["TPKs"].empty());
}

TEST_F(MainApiStandinTest, ProtectedCallsNeedTheMacUnderTheIssuedKey) {
  Fields query = {{"termid", std::string(kTermid)}, {"mobile", "13800000000"}, {"userToken", "token-1"},
                  {"busid", "M20011"}, {"tdtm", "20240101120000"}, {"amount", "000000001250"}};
  EXPECT_EQ(code(post("queryTrans", query)), MainApiStandin::kNotSignedIn);

  post("login", terminalFields("M10003"));
  post("checkin", terminalFields("M10002"));
  const std::string macKey = server_->issuedKeys(std::string(kTermid))->mac;
  const std::string input = std::string(kTermid).insert(0, "M20011 ") + " 20240101120000 000000001250";
  const std::string mac = MainApiStandin::retailMac(input, macKey).substr(0, 8);
  server_->setQueryTransData("M20011", Json::object({{"billno", "B1"}}));

  Fields signed_ = query;
  signed_.emplace_back("mac", mac);
  Json ok = post("queryTrans", signed_);
  EXPECT_EQ(code(ok), "0000") << ok.dump();
  EXPECT_EQ(ok["retData"]["billno"], "B1");
  EXPECT_EQ(server_->lastVerdict("queryTrans")->macInput, input);
  EXPECT_TRUE(*server_->lastVerdict("queryTrans")->macOk);

  Fields wrong = query;
  wrong.emplace_back("mac", mac == "00000000" ? "11111111" : "00000000");
  EXPECT_EQ(code(post("queryTrans", wrong)), MainApiStandin::kMacRefused);
  EXPECT_EQ(code(post("queryTrans", query)), MainApiStandin::kMacRefused);   // no mac at all
  Fields changed = signed_;
  changed[5].second = "000000001251";   // the amount after signing
  EXPECT_EQ(code(post("queryTrans", changed)), MainApiStandin::kMacRefused);
  EXPECT_FALSE(*server_->lastVerdict("queryTrans")->macOk);
}

TEST_F(MainApiStandinTest, CoreQueriesServeTheirData) {
  server_->setParameter("maxAmount", "0002", Json::object({{"maxnum", 5}}));
  server_->setParameter("notice", "", "text");
  EXPECT_EQ(get("getParameter", "key=maxAmount&dictCode=0002")["retData"]["maxnum"], 5);
  EXPECT_EQ(get("getParameter", "key=notice")["retData"], "text");
  EXPECT_EQ(code(get("getParameter", "key=notice&dictCode=0002")), MainApiStandin::kNotFound);

  server_->setClientVersions(Json::array({Json::object({{"id", 7}, {"mustup", 1}})}));
  EXPECT_EQ(get("getShuakaqiList", "version=1.0")["retData"][0]["id"], 7);
  EXPECT_EQ(code(get("getShuakaqiList")), MainApiStandin::kBadRequest);

  server_->bindReader("R1", "alice");
  server_->bindReader("R2", "bob");
  EXPECT_EQ(get("checkUserDeviceInfo", "loginName=alice&psamNo=R1")["retData"]["state"], "1");
  EXPECT_EQ(get("checkUserDeviceInfo", "loginName=alice&psamNo=R2")["retData"]["state"], "-2");
  EXPECT_EQ(get("checkUserDeviceInfo", "loginName=alice&psamNo=R3")["retData"]["state"], "0");

  // Any business has a description: a list of one entry whose "aContent" the client shows.
  const Json desc = get("getBusiDesc", "busId=B00001_1");
  EXPECT_EQ(code(desc), MainApiStandin::kOk);
  ASSERT_TRUE(desc["retData"].is_array());
  ASSERT_EQ(desc["retData"].size(), 1u);
  EXPECT_EQ(desc["retData"][0]["aContent"], MainApiStandin::kBusiDesc);
  EXPECT_EQ(code(get("getBusiDesc")), MainApiStandin::kBadRequest);
  EXPECT_EQ(code(get("getBusiDesc", "busId=")), MainApiStandin::kBadRequest);
}

TEST_F(MainApiStandinTest, ScriptedFaults) {
  server_->script("getUnitListNew", MainApiStandin::Scripted::error("3001", "系统维护中"), 1);
  Json failed = get("getUnitListNew");
  EXPECT_EQ(code(failed), "3001");
  EXPECT_EQ(failed["retStatus"]["errMsg"], "系统维护中");
  EXPECT_EQ(code(get("getUnitListNew")), "0000");   // only once

  server_->script("getUnitListNew", MainApiStandin::Scripted::tokenExpired("1023"));
  EXPECT_EQ(code(get("getUnitListNew")), "1023");
  EXPECT_EQ(code(get("getUnitListNew")), "1023");   // until cleared
  server_->clearScripts();

  server_->script("getUnitListNew", MainApiStandin::Scripted::successWithoutData());
  EXPECT_FALSE(get("getUnitListNew").contains("retData"));

  auto send = [&] {
    auto r = HttpRequest::make(server_->apiBaseAddress() + "getUnitListNew.json?" + identity());
    r->startSynchronous();
    return r;
  };
  server_->script("getUnitListNew", MainApiStandin::Scripted::htmlErrorPage());
  auto html = send();
  ASSERT_FALSE(html->error());
  EXPECT_EQ(html->statusCode(), 500);
  EXPECT_NE(html->responseString().find("<html>"), std::string::npos);

  server_->script("getUnitListNew", MainApiStandin::Scripted::dropConnection());
  auto dropped = send();
  ASSERT_TRUE(dropped->error());
  EXPECT_EQ(dropped->error()->code, platform::net::HttpErrorCode::ConnectionFailed);

  server_->script("getUnitListNew", MainApiStandin::Scripted::slow(std::chrono::milliseconds(300)));
  auto slow = HttpRequest::make(server_->apiBaseAddress() + "getUnitListNew.json?" + identity());
  slow->setTimeout(std::chrono::milliseconds(100));
  slow->startSynchronous();
  ASSERT_TRUE(slow->error());
  EXPECT_EQ(slow->error()->code, platform::net::HttpErrorCode::TimedOut);
}

}  // namespace
}  // namespace standin
