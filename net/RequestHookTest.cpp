#include "net/RequestHook.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include "core/testing/CipherTestOracle.h"
#include "core/crypto/EncryptTool.h"
#include "core/session/User.h"
#include "net/MacParamUtil.h"
#include "net/NetService.h"
#include "net/testing/TestMainApi.h"

namespace nvx {
namespace {

using platform::Json;
using Fields = std::vector<std::pair<std::string, std::string>>;
using Reply = standin::HttpStandin::Reply;

using nvx::testing::tripleDesEncrypt;

constexpr std::string_view kKsn = "0123456789ABCDEF";
constexpr std::string_view kVirtualTerm = "VT00000000000042";
constexpr std::string_view kClearTPK = "0123456789ABCDEFFEDCBA9876543210";
constexpr std::string_view kReaderMAC = "5555666677778888EEEEFFFF00001111";
constexpr std::string_view kWalletMAC = "0F1E2D3C4B5A69788796A5B4C3D2E1F0";

// Signs a terminal in as the server would: the TPK under the transport key, the MAC key under it.
void signIn(bool reader, std::string_view terminal, std::string_view clearMac) {
  User& user = User::currentUser();
  const std::string transport(EncryptTool::getXorString().view());
  Json tpk{{std::string(terminal), tripleDesEncrypt(transport, kClearTPK)}};
  Json mac{{std::string(terminal), tripleDesEncrypt(kClearTPK, clearMac)}};
  if (reader) {
    user.setPsamId(terminal);
    user.setPsamTPK(tpk);
    user.setPsamMAC(mac);
  } else {
    user.setPsamNo(terminal);
    user.setVpsamTPK(tpk);
    user.setVpsamMAC(mac);
  }
}

std::string expectedMac(std::string_view input, std::string_view key) {
  return EncryptTool::generateMac(input, key).substr(0, 8);
}

std::optional<std::string> field(const Fields& fields, std::string_view key) {
  for (const auto& [k, v] : fields) {
    if (k == key) return v;
  }
  return std::nullopt;
}

class RequestHookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* m : {"commitTransaction", "queryTrans", "updateKTWItem", "login", "upload", "ping"}) {
      api_.onJson(m, R"({"retStatus":{"retCode":"0000"},"retData":{}})");
    }
    User::currentUser().setCustlev("2");
  }

  // Sends a form POST synchronously and answers the fields the server received.
  Fields sendSync(const std::string& method, const Fields& fields) {
    auto r = nvxRequest(method);
    for (const auto& [k, v] : fields) r->addPostValue(k, v);
    r->startSynchronous();
    EXPECT_FALSE(r->error()) << method;
    auto seen = api_.server().lastRequest();
    return seen ? seen->formFields : Fields{};
  }

  testing::TestMainApi api_;
};

TEST_F(RequestHookTest, AmountFormatAndCharacterFilter) {
  struct Amount {
    const char* yuan;
    const char* fen;
  } amounts[] = {
      {"12.5", "000000001250"},   {"0.01", "000000000001"},   {"100", "000000010000"},
      {"0012.30", "000000001230"}, {".5", "000000000050"},    {".", "000000000000"},
      {"1.2.3", "000000000120"},  {"0.125", "000000000012"},  {"0.135", "000000000014"},
      {"0.0051", "000000000001"}, {"0.999", "000000000100"},  {"99999999999.995", "10000000000000"},
      {"12345678901234", "1234567890123400"},
      {"1,000", ""},              {"", ""},                   {"-1", ""},
      {"1e3", ""},                {" 12", ""},                {"１２", ""},
  };
  for (const auto& a : amounts) EXPECT_EQ(MacParamUtil::appendZero(a.yuan), a.fen) << a.yuan;

  struct Filter {
    std::string in;
    std::string out;
  } filters[] = {
      {" 12-34/56 ", "123456"},
      {"\t2015-03-04 12:30:01\n", "20150304 123001"},
      {"a.b,c D", "a.b,c D"},
      {"\u3000卡号 6222\u3000", " 6222"},  // ideographic spaces at the ends go, the inner blank stays
      {"张三", ""},
  };
  for (const auto& f : filters) EXPECT_EQ(MacParamUtil::checkString(f.in), f.out) << f.in;
  EXPECT_EQ(MacParamUtil::getMACresult({"a-1", "000000000100", "x y"}), "a1 000000000100 x y");
  EXPECT_TRUE(MacParamUtil::isMonenyNumber("1.2.3"));
  EXPECT_FALSE(MacParamUtil::isMonenyNumber(""));
}

TEST_F(RequestHookTest, ProtectedActionsAndFieldRules) {
  EXPECT_TRUE(MacParamUtil::isNeedMac(std::string_view("https://h/iphone/queryRemitTrans.json")));
  EXPECT_TRUE(MacParamUtil::isNeedMac(std::nullopt));
  EXPECT_FALSE(MacParamUtil::isNeedMac(std::string_view("https://h/iphone/getUnitListNew.json?uid=1")));
  EXPECT_TRUE(MacParamUtil::isNeedFee(std::string_view("x/commitRemitTransaction.json")));
  EXPECT_FALSE(MacParamUtil::isNeedFee(std::string_view("x/queryTrans.json")));
  EXPECT_TRUE(MacParamUtil::isExistUpdateKTWItem(std::nullopt));

  const MacParamUtil::List list = {{"wallet", "100"}, {"payType", "1"}, {"x", "M80004"}, {"pan", "p1"},
                                   {"pan", "p2"},     {"amount", "1"},  {"fee", "0.5"}};
  EXPECT_TRUE(MacParamUtil::isFromWallet(list));
  EXPECT_TRUE(MacParamUtil::isUpdateKTWItemNeedMac(list));
  EXPECT_TRUE(MacParamUtil::isGongJiao(list));
  EXPECT_TRUE(MacParamUtil::isExistThePostKey(list));
  EXPECT_FALSE(MacParamUtil::isExistThePostKey({{"subbusid", "M80003"}, {"wallet", "100"}}));
  EXPECT_EQ(MacParamUtil::valueForKey("pan", list), "p1");
  EXPECT_EQ(MacParamUtil::valueForKey("none", list), "");
  EXPECT_EQ(MacParamUtil::getFee(list), "0.5");
  // Both values of a repeated field; absent fields give nothing; fee only when asked.
  EXPECT_EQ(MacParamUtil::getExistPOSTkey(list, false, false),
            (std::vector<std::string>{"p1", "p2", "000000000100"}));
  EXPECT_EQ(MacParamUtil::getExistPOSTkey(list, true, false),
            (std::vector<std::string>{"p1", "p2", "000000000100", "000000000050"}));
}

TEST_F(RequestHookTest, CommitIsSignedOverTheFixedFieldsWithAmountsInFen) {
  signIn(true, kKsn, kReaderMAC);
  const Fields fields = {
      {"fee", "0.5"},          {"amount", "12.5"},          {"billno", "B-001"}, {"pan", "6222 0200 1234"},
      {"rnd", "12345678"},     {"series", "000123"},        {"tdtm", "2015-03-04 12:30:01"},
      {"termid", std::string(kKsn)}, {"busid", "M20011"},  {"other", "not signed"},
      {"ver", "1"},            {"custlev", ""},
  };
  Fields seen = sendSync("commitTransaction", fields);
  const std::string input =
      "M20011 0123456789ABCDEF 20150304 123001 000123 12345678 6222 0200 1234 B001 000000001250 000000000050";
  EXPECT_EQ(field(seen, "mac"), expectedMac(input, kReaderMAC));
  EXPECT_EQ(field(seen, "amount"), "000000001250");
  EXPECT_EQ(field(seen, "fee"), "000000000050");
  EXPECT_EQ(field(seen, "ver"), "28");
  EXPECT_EQ(field(seen, "custlev"), "2");
  EXPECT_EQ(field(seen, "other"), "not signed");

  // The same fields to a query: no fee in the MAC; a level the caller set stays.
  Fields query = fields;
  query.back().second = "9";
  seen = sendSync("queryTrans", query);
  const std::string noFee =
      "M20011 0123456789ABCDEF 20150304 123001 000123 12345678 6222 0200 1234 B001 000000001250";
  EXPECT_EQ(field(seen, "mac"), expectedMac(noFee, kReaderMAC));
  EXPECT_EQ(field(seen, "custlev"), "9");
}

TEST_F(RequestHookTest, WalletRequestUsesTheVirtualTerminalOnTheAsynchronousRoad) {
  signIn(true, kKsn, kReaderMAC);
  signIn(false, kVirtualTerm, kWalletMAC);
  auto r = NetService::nvxRequest("queryTrans");
  for (const auto& [k, v] : Fields{{"termid", "READER"}, {"busid", "M10020"}, {"wallet", "100"},
                                   {"famount", "3"}, {"amount", "2.00"}}) {
    r->addPostValue(k, v);
  }
  int calls = 0;
  bool isErr = true;
  r->setCallback([&](NetResult, RetStatusEntity, bool e) {
    ++calls;
    isErr = e;
  }, std::string("POST"));
  r->startAsynchronous();
  ASSERT_TRUE(testing::TestMainApi::pumpUntil([&] { return calls > 0; }));
  EXPECT_FALSE(isErr);
  Fields seen = api_.server().lastRequest()->formFields;
  EXPECT_EQ(field(seen, "termid"), std::string(kVirtualTerm));
  EXPECT_EQ(field(seen, "wallet"), std::nullopt);
  EXPECT_EQ(field(seen, "famount"), "000000000300");
  EXPECT_EQ(field(seen, "mac"), expectedMac("M10020 VT00000000000042 000000000200", kWalletMAC));
}

TEST_F(RequestHookTest, PublicTransportSignsSubbusidFirst) {
  signIn(true, kKsn, kReaderMAC);
  Fields seen = sendSync("commitTransaction", {{"busid", "M80003"}, {"subbusid", "SUB01"}, {"pan", "P"}});
  EXPECT_EQ(field(seen, "mac"), expectedMac("SUB01 P", kReaderMAC));
}

TEST_F(RequestHookTest, UpdateKtwItemIsSignedOnlyForPayTypeOne) {
  signIn(true, kKsn, kReaderMAC);
  Fields plain = sendSync("updateKTWItem", {{"busid", "M1"}, {"payType", "0"}});
  EXPECT_EQ(field(plain, "mac"), std::nullopt);
  EXPECT_EQ(field(plain, "ver"), "28");
  EXPECT_EQ(field(plain, "custlev"), "2");
  Fields paid = sendSync("updateKTWItem", {{"busid", "M1"}, {"payType", "1"}});
  EXPECT_EQ(field(paid, "mac"), expectedMac("M1", kReaderMAC));
  // Unprotected actions carry no MAC even with MAC fields.
  Fields login = sendSync("login", {{"busid", "M10003"}, {"termid", "T"}});
  EXPECT_EQ(field(login, "mac"), std::nullopt);
}

TEST_F(RequestHookTest, OwnBodyIsLeftAlone) {
  auto r = nvxRequest("upload");
  r->setBody(R"({"k":1})", "application/json");
  r->setNeedPostBody(true);
  r->startSynchronous();
  ASSERT_FALSE(r->error());
  auto seen = api_.server().lastRequest();
  ASSERT_TRUE(seen);
  EXPECT_EQ(seen->body, R"({"k":1})");
  EXPECT_EQ(seen->query, "");
  EXPECT_EQ(urlString(*r), nvxJsonUrl("upload"));
}

TEST_F(RequestHookTest, GetRequestGetsVersionAndLevelPairs) {
  auto r = platform::net::HttpRequest::make(nvxJsonUrl("ping", "ver=1"));
  r->startSynchronous();
  EXPECT_EQ(api_.server().lastRequest()->query, "ver=1&ver=28&custlev=2");
}

TEST_F(RequestHookTest, ProtectedRequestWithoutItsMacKeyIsNeverSent) {
  // No reader sign-in: the sync road fails locally.
  auto r = nvxRequest("commitTransaction");
  r->addPostValue("busid", "M20011");
  r->addPostValue("amount", "1");
  r->startSynchronous();
  ASSERT_TRUE(r->error());
  EXPECT_EQ(r->error()->code, platform::net::HttpErrorCode::InvalidRequest);

  // A wallet request before the virtual sign-in: the async road reports a request error.
  signIn(true, kKsn, kReaderMAC);  // the reader's key must not stand in for the wallet's
  auto w = NetService::nvxRequest("queryTrans");
  w->addPostValue("busid", "M10020");
  w->addPostValue("wallet", "100");
  int calls = 0;
  RetStatusEntity status;
  w->setCallback([&](NetResult, RetStatusEntity s, bool) {
    ++calls;
    status = std::move(s);
  }, std::string("POST"));
  w->startAsynchronous();
  ASSERT_TRUE(testing::TestMainApi::pumpUntil([&] { return calls > 0; }));
  EXPECT_TRUE(NetService::isNetworkConnectionFailed(status));
  EXPECT_EQ(api_.server().requestCount(), 0u) << "nothing reached the server";
}

}  // namespace
}  // namespace nvx
