#include "net/NetService.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "core/models/ClientVersionEntity.h"
#include "core/models/MaxNum.h"
#include "core/session/User.h"
#include "net/BaseService.h"
#include "net/ServerConfig.h"
#include "net/testing/DeliveredReply.h"
#include "net/testing/TestMainApi.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "standin/HttpStandin.h"
#include "standin/TestCertificates.h"

namespace nvx {
namespace {

using namespace std::chrono_literals;
using platform::Json;
using platform::Strings;
using standin::HttpStandin;
using ::testing::MatchesRegex;
using Reply = HttpStandin::Reply;

std::string text(std::string_view key) { return Strings::localized(key); }

using testing::Delivered;

class NetServiceTest : public ::testing::Test {
 protected:
  // Sends a quick GET for method and waits for its callback.
  Delivered quick(const std::string& method, std::optional<EntityClass> entity = std::nullopt) {
    Delivered d;
    NetService::nvxQuickSafeRequest(method, d.block(), std::move(entity));
    EXPECT_TRUE(testing::TestMainApi::pumpUntil([&] { return d.calls > 0; })) << method;
    return d;
  }

  testing::TestMainApi api_;
};

TEST_F(NetServiceTest, AddressesPutIdentityFirstThenTokenThenParams) {
  User::currentUser().setUserToken("TOKEN1");
  const std::string base = api_.base();
  const std::string id = "uid=" + BaseService::uid() + "&vercode=" + BaseService::vercode();
  EXPECT_THAT(nvxSafeAuthJsonUrl("getUnitListNew").substr(base.size()),
              MatchesRegex("getUnitListNew\\.json\\?uid=[0-9A-Za-z]{16}&vercode=[0-9a-f]{32}"));
  EXPECT_EQ(nvxServerAddress(), base);
  EXPECT_EQ(nvxSafeAuth(), id);

  struct Case {
    std::string built;
    std::string expected;
  } cases[] = {
      {nvxJsonUrl("login"), base + "login.json"},
      {nvxJsonUrl("getbankByCardNo/6222021234", "a=1"), base + "getbankByCardNo/6222021234.json?a=1"},
      {nvxSafeAuthJsonUrl("getParameter", "key=k&dictCode=0002"),
       base + "getParameter.json?" + id + "&key=k&dictCode=0002"},
      {nvxSafeAuthJsonUrl("createBill", ""), base + "createBill.json?" + id + "&"},
      {nvxTokenJsonUrl("getUserInfo"), base + "getUserInfo.json?" + id + "&userToken=TOKEN1"},
      {nvxTokenJsonUrl("getUserInfo", "p=a b"), base + "getUserInfo.json?" + id + "&userToken=TOKEN1&p=a b"},
      {urlString(*NetService::nvxSafeAuthRequest("m", "x=1")), base + "m.json?" + id + "&x=1"},
      {urlString(*nvxRequest("checkin")), base + "checkin.json"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.built, c.expected);
}

TEST_F(NetServiceTest, QuickRequestIsAGetWithTheIdentityAndTheHookPairs) {
  User::currentUser().setCustlev("3");
  api_.onJson("createBill", R"({"retStatus":{"retCode":"0000"},"retData":{}})");
  Delivered d = quick("createBill");
  ASSERT_EQ(d.calls, 1);
  auto seen = api_.server().lastRequest();
  ASSERT_TRUE(seen);
  EXPECT_EQ(seen->method, "GET");
  EXPECT_EQ(seen->query, nvxSafeAuth() + "&ver=28&custlev=3");

  // An empty params text counts as given: a "&" follows the vercode, then the hook's pairs.
  User::currentUser().setCustlev("");
  Delivered e;
  NetService::nvxQuickSafeRequest("createBill", std::string(), e.block(), std::nullopt);
  ASSERT_TRUE(testing::TestMainApi::pumpUntil([&] { return e.calls > 0; }));
  EXPECT_EQ(api_.server().lastRequest()->query, nvxSafeAuth() + "&&ver=28&custlev=(null)");
}

TEST_F(NetServiceTest, FormFieldHelpers) {
  User& user = User::currentUser();
  user.setUserToken("TK");
  user.setLoginName("13800000000");
  user.setPsamId("0123456789ABCDEF");
  auto r = NetService::requestWithURL(api_.base() + "x.json");
  EXPECT_EQ(r->method(), "POST");

  r->addPostValue("a", "1");
  r->addPostValue("b", "2");
  r->addPostValue("a", "3");
  r->setPostValue("a", "4");  // every "a" goes; the new one is last
  EXPECT_EQ(getPostdataForNVX(*r), (std::vector<platform::net::PostField>{{"b", "2"}, {"a", "4"}}));
  r->addPostValue("a", "5");
  EXPECT_TRUE(removePostValueForKey(*r, "a"));  // only the first of the two
  EXPECT_EQ(postValueForKey(*r, "a"), "5");
  EXPECT_TRUE(isExistsPostValueForKey(*r, "b"));
  EXPECT_FALSE(removePostValueForKey(*r, "zz"));
  EXPECT_EQ(postValueForKey(*r, "zz"), std::nullopt);

  auto sms = NetService::requestWithURL(api_.base() + "x.json");
  addPostSMSPhoneForNVX(*sms, "");
  EXPECT_EQ(getPostdataForNVX(*sms), (std::vector<platform::net::PostField>{{"issms", "0"}}));
  addPostSMSPhoneForNVX(*sms, "13900000000");
  EXPECT_EQ(getPostdataForNVX(*sms),
            (std::vector<platform::net::PostField>{{"issms", "1"}, {"mobileno", "13900000000"}}));

  auto profile = NetService::requestWithURL(api_.base() + "x.json");
  profile->addPostValue("busid", "old");
  addPostProfileForNVX(*profile, "M20011");
  EXPECT_EQ(getPostdataForNVX(*profile), (std::vector<platform::net::PostField>{
                                             {"uid", BaseService::uid()},
                                             {"vercode", BaseService::vercode()},
                                             {"userToken", "TK"},
                                             {"busid", "M20011"},
                                             {"termid", "0123456789ABCDEF"},
                                             {"mobile", "13800000000"},
                                         }));
}

TEST_F(NetServiceTest, SetCallbackChoosesMethodAndEntity) {
  auto r = NetService::requestWithURL(api_.base() + "x.json");
  r->setCallback([](NetResult, RetStatusEntity, bool) {});
  EXPECT_EQ(r->method(), "GET");
  EXPECT_FALSE(r->entityClass());
  r->setCallback([](NetResult, RetStatusEntity, bool) {}, EntityClass::of<MaxNum>());
  EXPECT_EQ(r->method(), "GET");
  ASSERT_TRUE(r->entityClass());
  EXPECT_EQ(r->entityClass()->type(), std::type_index(typeid(MaxNum)));
  r->setCallback([](NetResult, RetStatusEntity, bool) {}, std::string("POST"));
  EXPECT_EQ(r->method(), "POST");
  EXPECT_FALSE(r->entityClass());
  EXPECT_TRUE(r->hasResponseBlock());
}

// The error ladder of the asynchronous road, one reply per case.
TEST_F(NetServiceTest, LadderJudgesEveryKindOfReply) {
  struct Case {
    const char* name;
    std::string body;
    int status;
    bool isErr;
    std::string errMsg;   // expected text
    std::string retCode;  // expected code ("*": not checked)
  };
  const std::string huge(1 << 20, 'x');
  std::string deep(100000, '[');
  deep += std::string(100000, ']');
  const Case cases[] = {
      {"okWithData", R"({"retStatus":{"retCode":"0000","errMsg":"x"},"retData":{"a":1}})", 200, false, text("OK"),
       "0000"},
      {"okText", R"({"retStatus":{"retCode":"0000"},"retData":""})", 200, false, text("OK"), "0000"},
      {"okNoData", R"({"retStatus":{"retCode":"0000"}})", 200, true, text("ReturnDataIsNil"), "0000"},
      {"okNullData", R"({"retStatus":{"retCode":"0000"},"retData":null})", 200, true, text("ReturnDataIsNil"),
       "0000"},
      {"notJson", "this is not json", 200, true, text("Error_Data"), "*"},
      {"topList", R"([{"retStatus":{"retCode":"0000"},"retData":{}}])", 200, true, text("Error_Data"), "*"},
      {"numberCode", R"({"retStatus":{"retCode":0,"errMsg":"m"},"retData":{}})", 200, true, text("Error_Data"),
       "*"},
      {"statusText", R"({"retStatus":"0000","retData":{}})", 200, true, text("Error_Data"), "*"},
      {"serverMsg", R"({"retStatus":{"retCode":"2001","errMsg":"余额不足"}})", 200, true, "余额不足", "2001"},
      {"noMsg", R"({"retStatus":{"retCode":"2001"}})", 200, true, text("Error_Unknown"), "2001"},
      {"numberMsg", R"({"retStatus":{"retCode":"2001","errMsg":12}})", 200, true, text("Error_Unknown"), "2001"},
      {"html500", "<html><body><h1>500 Internal Server Error</h1></body></html>", 500, true, text("Error_Data"),
       "*"},
      {"emptyBody", "", 200, true, text("NetworkConnectionFailed"), "0"},
      {"expiredNoScreen", R"({"retStatus":{"retCode":"1012","errMsg":"e"}})", 200, true,
       text("Error_Token_Effectiveness"), "1012"},
      {"hugeOk", R"({"retStatus":{"retCode":"0000"},"retData":{"s":")" + huge + "\"}}", 200, false, text("OK"),
       "0000"},
      {"deep", deep, 200, true, text("Error_Data"), "*"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    api_.onJson(c.name, c.body, c.status);
    Delivered d = quick(c.name);
    ASSERT_EQ(d.calls, 1);
    EXPECT_TRUE(d.onMain);
    EXPECT_EQ(d.isErr, c.isErr);
    EXPECT_EQ(d.status.errMsg(), c.errMsg);
    if (c.retCode != "*") {
      EXPECT_EQ(d.status.retCode(), c.retCode);
    }
    EXPECT_EQ(d.result.isNothing(), c.isErr);
  }
  // The success cases hand over "retData" as read.
  api_.onJson("data", R"({"retStatus":{"retCode":"0000"},"retData":{"a":[1,null,"b"],"n":null}})");
  Delivered d = quick("data");
  ASSERT_TRUE(d.result.json());
  EXPECT_EQ(*d.result.json(), Json::parse(R"({"a":[1,"b"]})"));
}

TEST_F(NetServiceTest, EntityClassMapsRetData) {
  api_.onJson("getShuakaqiList", R"({"retStatus":{"retCode":"0000"},"retData":[
      {"id":7,"clientVersionId":99,"mustup":1,"aimVersion":"3.1"},{"id":"8","mustup":"0"},5]})");
  Delivered list = quick("getShuakaqiList", EntityClass::of<ClientVersionEntity>());
  EXPECT_FALSE(list.isErr);
  auto versions = list.result.list<ClientVersionEntity>();
  ASSERT_EQ(versions.size(), 3u);
  EXPECT_EQ(versions[0]->clientVersionId(), 7);  // "id", not "clientVersionId"
  EXPECT_EQ(versions[0]->mustup(), 1);
  EXPECT_EQ(versions[0]->aimVersion(), "3.1");
  EXPECT_EQ(versions[1]->clientVersionId(), 8);
  EXPECT_EQ(versions[2]->aimVersion(), "");  // not an object: an empty record
  EXPECT_TRUE(list.result.list<MaxNum>().empty()) << "another class does not read as this one";

  api_.onJson("empty", R"({"retStatus":{"retCode":"0000"},"retData":[]})");
  Delivered empty = quick("empty", EntityClass::of<ClientVersionEntity>());
  EXPECT_FALSE(empty.isErr);
  EXPECT_TRUE(empty.result.isList());
  EXPECT_EQ(empty.result.listSize(), 0u);

  api_.onJson("getParameter", R"({"retStatus":{"retCode":"0000"},"retData":{"maxnum":"12"}})");
  Delivered one = quick("getParameter", EntityClass::of<MaxNum>());
  ASSERT_TRUE(one.result.object<MaxNum>());
  EXPECT_EQ(one.result.object<MaxNum>()->maxnum(), 12);
}

TEST_F(NetServiceTest, TransportFailuresGiveTheStatusCodeAndNetworkText) {
  // Nothing listens any more: "0", no reply.
  const std::string base = api_.base();
  api_.server().stop();
  Delivered refused;
  auto r = NetService::requestWithURL(base + "x.json");
  r->setCallback(refused.block());
  r->startAsynchronous();
  ASSERT_TRUE(testing::TestMainApi::pumpUntil([&] { return refused.calls > 0; }));
  EXPECT_TRUE(refused.isErr);
  EXPECT_EQ(refused.status.retCode(), "0");
  EXPECT_TRUE(NetService::isNetworkConnectionFailed(refused.status));
  EXPECT_TRUE(refused.result.isNothing());
}

TEST_F(NetServiceTest, SlowAndOversizedRepliesFail) {
  api_.on("slow", [this](const testing::TestMainApi::Request&) {
    api_.server().holdUntilStopped(3s);
    return Reply::json("{}");
  });
  Delivered slow;
  auto r = NetService::nvxSafeAuthRequest("slow");
  r->setTimeout(300ms);
  r->setCallback(slow.block());
  r->startAsynchronous();

  platform::net::HttpRequest::setMaxResponseBytes(1024);
  api_.onJson("big", R"({"retStatus":{"retCode":"0000"},"retData":")" + std::string(4096, 'y') + "\"}");
  Delivered big = quick("big");
  EXPECT_TRUE(big.isErr);
  EXPECT_TRUE(NetService::isNetworkConnectionFailed(big.status));

  ASSERT_TRUE(testing::TestMainApi::pumpUntil([&] { return slow.calls > 0; }));
  EXPECT_TRUE(slow.isErr);
  EXPECT_EQ(slow.status.retCode(), "0");
  EXPECT_TRUE(NetService::isNetworkConnectionFailed(slow.status));
  api_.server().stop();
}

TEST_F(NetServiceTest, HttpsIsVerifiedAgainstTheConfiguredCa) {
  auto certs = standin::TestCertificates::create();
  ASSERT_TRUE(certs.isOk());
  HttpStandin tls(HttpStandin::Options::httpsWith(certs.value()));
  tls.route("GET", "/iphone/ping.json",
            [](const HttpStandin::Request&) { return Reply::json(R"({"retStatus":{"retCode":"0000"},"retData":1})"); });
  ASSERT_TRUE(tls.start().isOk());
  ServerConfig::current().setMainApiBase(tls.baseUrl() + "/iphone");
  EXPECT_EQ(nvxServerAddress(), tls.baseUrl() + "/iphone/");

  ServerConfig::current().setCaFile(certs.value().caCertFile.string());
  Delivered trusted = quick("ping");
  EXPECT_FALSE(trusted.isErr);

  auto other = standin::TestCertificates::create(platform::Sandbox::tmp() / "other-ca", "other");
  ASSERT_TRUE(other.isOk());
  ServerConfig::current().setCaFile(other.value().caCertFile.string());
  Delivered refused = quick("ping");
  EXPECT_TRUE(refused.isErr);
  EXPECT_TRUE(NetService::isNetworkConnectionFailed(refused.status));
  EXPECT_EQ(tls.requestCount(), 1u);
}

TEST_F(NetServiceTest, CallbackRunsLaterOnTheMainLoopExactlyOnce) {
  Delivered d;
  auto r = NetService::requestWithURL(api_.base() + "x.json");
  r->setCallback(d.block());
  RetStatusEntity status("0000", "fine");
  r->dispatchBlockWithResult(NetResult::json(Json(3)), status, false);
  EXPECT_EQ(d.calls, 0) << "never inside the call, even on the main thread";
  platform::RunLoop::main().runUntilIdle();
  EXPECT_EQ(d.calls, 1);
  EXPECT_EQ(*d.result.json(), Json(3));
  r->dispatchBlockWithResult(NetResult(), status, true);
  platform::RunLoop::main().runUntilIdle();
  EXPECT_EQ(d.calls, 1);
}

TEST_F(NetServiceTest, CancelledRequestNeverCallsBack) {
  api_.on("hang", [this](const testing::TestMainApi::Request&) {
    api_.server().holdUntilStopped(3s);
    return Reply::json("{}");
  });
  Delivered d;
  auto r = NetService::nvxQuickSafeRequest("hang", d.block(), std::nullopt);
  ASSERT_TRUE(testing::TestMainApi::pumpUntil([&] { return api_.server().requestCount() > 0; }));
  r->cancel();
  api_.server().stop();
  testing::TestMainApi::pumpUntil([] { return false; }, 200ms);
  EXPECT_EQ(d.calls, 0);
}

TEST_F(NetServiceTest, StatusClassifiers) {
  EXPECT_TRUE(NetService::isRetOkButNilData(RetStatusEntity("0000", text("ReturnDataIsNil"))));
  EXPECT_FALSE(NetService::isRetOkButNilData(RetStatusEntity("2001", text("ReturnDataIsNil"))));
  EXPECT_TRUE(NetService::isUserTokenError(RetStatusEntity("1012", text("Error_Token_Effectiveness"))));
  EXPECT_TRUE(NetService::isRetDataError(RetStatusEntity("", text("Error_Data"))));
  EXPECT_TRUE(NetService::isRetDataError(RetStatusEntity("9", text("Error_Unknown"))));
  EXPECT_FALSE(NetService::isRetDataError(RetStatusEntity("9", "余额不足")));
  // The message texts are told apart.
  std::set<std::string> texts = {text("NetworkConnectionFailed"), text("Error_Data"), text("ReturnDataIsNil"),
                                 text("Error_Token_Effectiveness"), text("Error_Unknown")};
  EXPECT_EQ(texts.size(), 5u);
}

}  // namespace
}  // namespace nvx
