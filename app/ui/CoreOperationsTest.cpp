#include "net/CoreOperations.h"

#include <gtest/gtest.h>

#include "app/ui/NetUiBridge.h"
#include "core/models/ClientVersionEntity.h"
#include "core/models/MaxNum.h"
#include "net/BaseService.h"
#include "net/DataStatistics.h"
#include "net/testing/MainApiTestFixture.h"
#include "app/ui/NVXResponseErrorHandler.h"
#include "net/StatisticsServerConfig.h"
#include "net/TerminalManager.h"
#include "net/Unit.h"
#include "platform/device/Device.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/AlertView.h"
#include "standin/HttpStandin.h"

namespace nvx {
namespace {

using platform::Json;
using standin::HttpStandin;
using standin::MainApiStandin;
using Scripted = MainApiStandin::Scripted;

// What an asynchronous operation delivered.
struct Delivered {
  bool called = false;
  int calls = 0;
  NetResult result;
  RetStatusEntity status;
  bool isErr = false;
  bool indicatorWasShown = false;
};

class CoreOperationsTest : public testing::MainApiTestFixture {
 protected:
  void SetUp() override {
    MainApiTestFixture::SetUp();
    installNetUiHooks();
  }
  CoreOperations::ResponseBlock recorder(Delivered& d) {
    return [this, &d](NetResult result, RetStatusEntity status, bool isErr) {
      d.called = true;
      ++d.calls;
      d.result = std::move(result);
      d.status = std::move(status);
      d.isErr = isErr;
      d.indicatorWasShown = indicatorShown();
    };
  }

  static std::string identity() { return "uid=" + BaseService::uid() + "&vercode=" + BaseService::vercode(); }
  // The pairs the request hook appends to every GET (the user has no customer level).
  static constexpr const char* kHookPairs = "&ver=28&custlev=(null)";
};

TEST_F(CoreOperationsTest, QuickOperationsUseTheirAddressForms) {
  for (const char* method : {"getBusiDesc", "getBankListForPay", "getUserLoginState", "createBill", "getUserInfo"}) {
    server->script(method, Scripted::success(Json::array()));
  }
  server->setParameter("k", "", 1);
  server->setParameter("k", "0001", 2);
  server->setParameter("k", "0002", Json::object({{"maxnum", 3}}));
  const std::string version = platform::Bundle::main().info("CFBundleVersion").value_or("");
  ASSERT_FALSE(version.empty());

  struct Case {
    const char* name;
    std::function<void(CoreOperations::ResponseBlock)> start;
    const char* path;
    std::string params;   // after the identity
  };
  const std::vector<Case> cases = {
      {"busi desc", [](auto b) { CoreOperations::getBusiDesc("B00001_1", [b](auto, auto s, bool e) { b({}, s, e); }); },
       "/iphone/getBusiDesc.json", "&busId=B00001_1"},
      {"unit list", [](auto b) { CoreOperations::getUnitListNewWithBlock(b); }, "/iphone/getUnitListNew.json", ""},
      {"client versions", [](auto b) { CoreOperations::getShuakaqiListWithBlock(b); }, "/iphone/getShuakaqiList.json",
       "&version=" + version},
      {"banks, business only", [](auto b) { CoreOperations::getBankListForPayWithBusId("M20011", "", b); },
       "/iphone/getBankListForPay.json", "&busId=M20011_1"},
      {"banks, code only", [](auto b) { CoreOperations::getBankListForPayWithBusId("", "0105", b); },
       "/iphone/getBankListForPay.json", "&bankCode=0105"},
      {"banks, both", [](auto b) { CoreOperations::getBankListForPayWithBusId("M20011", "0105", b); },
       "/iphone/getBankListForPay.json", "&busId=M20011_1&bankCode=0105"},
      {"banks, neither: the address ends with & after the vercode",
       [](auto b) { CoreOperations::getBankListForPayWithBusId("", "", b); }, "/iphone/getBankListForPay.json", "&"},
      {"login state", [](auto b) { CoreOperations::getUserLoginStateWithPhoneNumber("13900000000", "ENC0A", b); },
       "/iphone/getUserLoginState/13900000000.json", "&password=ENC0A"},
      {"bill", [](auto b) { CoreOperations::createBillWithParams("orderNo=7&amt=1.00", b); }, "/iphone/createBill.json",
       "&orderNo=7&amt=1.00"},
      {"user info", [](auto b) { CoreOperations::getUserInfoWithVerifyType("1", b); },
       "/iphone/getUserInfo/13800000000.json", "&verifyType=1&userToken=token-1"},
      {"parameter without code", [](auto b) { CoreOperations::getParameterWithKey("k", "", b); },
       "/iphone/getParameter.json", "&key=k"},
      {"parameter with code", [](auto b) { CoreOperations::getParameterWithKey("k", "0001", b); },
       "/iphone/getParameter.json", "&key=k&dictCode=0001"},
      {"max number", [](auto b) { CoreOperations::getParameterMaxnumWithKey("k", b); }, "/iphone/getParameter.json",
       "&key=k&dictCode=0002"},
      {"max number without indicator", [](auto b) { CoreOperations::getParameterMaxnumWithKeyNotUi("k", b); },
       "/iphone/getParameter.json", "&key=k&dictCode=0002"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server->http().clearRequests();
    Delivered d;
    c.start(recorder(d));
    ASSERT_TRUE(await([&] { return d.called; }));
    EXPECT_FALSE(d.isErr) << d.status.description();
    auto request = server->http().lastRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, "GET");
    EXPECT_EQ(request->path, c.path);
    EXPECT_EQ(request->query, identity() + c.params + kHookPairs);
    EXPECT_TRUE(server->verdicts().back().identityOk);
  }
}

TEST_F(CoreOperationsTest, RepliesAreMappedToTheirModels) {
  server->setClientVersions(Json::parse(R"([{"id":12,"clientVersionId":99,"mustup":1,"aimVersion":"3.2.0",
                                             "descTitle":"新版本","clientDesc":"请升级"}])"));
  server->setParameter("limit", "0002", Json::object({{"maxnum", "25"}}));

  Delivered versions, units, maxnum;
  CoreOperations::getShuakaqiListWithBlock(recorder(versions));
  CoreOperations::getUnitListNewWithBlock(recorder(units));
  CoreOperations::getParameterMaxnumWithKeyNotUi("limit", recorder(maxnum));
  ASSERT_TRUE(await([&] { return versions.called && units.called && maxnum.called; }));

  auto list = versions.result.list<ClientVersionEntity>();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0]->clientVersionId(), 12);   // from "id"
  EXPECT_EQ(list[0]->mustup(), 1);
  EXPECT_EQ(list[0]->descTitle(), "新版本");

  auto models = units.result.list<Unit>();
  ASSERT_EQ(models.size(), 8u);
  EXPECT_EQ(models[6]->unitid(), "0007");
  EXPECT_TRUE(models[6]->unitname().has_value());

  ASSERT_TRUE(maxnum.result.object<MaxNum>());
  EXPECT_EQ(maxnum.result.object<MaxNum>()->maxnum(), 25);
}

TEST_F(CoreOperationsTest, BusinessDescriptionGivesTheFirstContentOrNothing) {
  struct Case {
    const char* name;
    Json data;
    std::optional<std::string> content;
  };
  const Case cases[] = {
      {"first of two", Json::parse(R"([{"aContent":"<p>帮助</p>"},{"aContent":"second"}])"), "<p>帮助</p>"},
      {"empty list", Json::array(), std::nullopt},
      {"not a list", Json::object({{"aContent", "x"}}), std::nullopt},
      {"first without content", Json::parse(R"([{"title":"t"}])"), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server->script("getBusiDesc", Scripted::success(c.data));
    bool called = false;
    std::optional<std::string> content = "unset";
    RetStatusEntity status;
    bool isErr = true;
    CoreOperations::getBusiDesc("B00001_1", [&](std::optional<std::string> text, RetStatusEntity s, bool e) {
      called = true;
      content = std::move(text);
      status = std::move(s);
      isErr = e;
    });
    ASSERT_TRUE(await([&] { return called; }));
    EXPECT_EQ(content, c.content);
    // The status is the ladder's, unchanged.
    EXPECT_FALSE(isErr);
    EXPECT_EQ(status.retCode(), "0000");
    EXPECT_EQ(status.errMsg(), platform::Strings::localized("OK"));
  }

  server->script("getBusiDesc", Scripted::error("3001", "暂无说明"));
  bool called = false;
  std::optional<std::string> content;
  RetStatusEntity status;
  CoreOperations::getBusiDesc("B00001_1", [&](std::optional<std::string> text, RetStatusEntity s, bool) {
    called = true;
    content = std::move(text);
    status = std::move(s);
  });
  ASSERT_TRUE(await([&] { return called; }));
  EXPECT_FALSE(content);
  EXPECT_EQ(status.errMsg(), "暂无说明");
}

TEST_F(CoreOperationsTest, UiOperationsHideTheIndicatorBeforeTheCallback) {
  server->script("getBusiDesc", Scripted::success(Json::array()));
  Delivered ui, plain;
  bool descDone = false;
  bool descIndicator = true;
  CoreOperations::getUnitListNewWithBlock(recorder(ui));
  EXPECT_TRUE(indicatorShown());
  CoreOperations::getBusiDesc("B", [&](auto, auto, bool) {
    descDone = true;
    descIndicator = indicatorShown();
  });
  ASSERT_TRUE(await([&] { return ui.called && descDone; }));
  EXPECT_FALSE(ui.indicatorWasShown);
  EXPECT_FALSE(descIndicator);
  EXPECT_FALSE(indicatorShown());

  CoreOperations::getShuakaqiListWithBlock(recorder(plain));
  EXPECT_FALSE(indicatorShown());
  ASSERT_TRUE(await([&] { return plain.called; }));
}

TEST_F(CoreOperationsTest, SynchronousLookupsAnswerOnlyOnSuccessAndNeverShowAMessage) {
  server->setParameter("fee", "0001", Json::object({{"rate", "0.5"}}));
  auto data = CoreOperations::syncGetParameterWithKey("fee", "0001");
  ASSERT_TRUE(data);
  EXPECT_EQ((*data)["rate"], "0.5");
  EXPECT_EQ(server->http().lastRequest()->query, identity() + "&key=fee&dictCode=0001" + kHookPairs);
  EXPECT_FALSE(indicatorShown());

  server->script("getbankByCardNo",
                 Scripted::success(Json::parse(R"({"bankCode":"0105","bankName":"建设银行","cardType":"0002","cardName":"龙卡"})")));
  auto card = CoreOperations::getbankByCardNoWithCardNo("6227000012345678");
  ASSERT_TRUE(card);
  EXPECT_TRUE(card->isCreditCard());
  EXPECT_EQ(card->bankName(), "建设银行");
  EXPECT_EQ(server->http().lastRequest()->path, "/iphone/getbankByCardNo/6227000012345678.json");
  EXPECT_EQ(server->http().lastRequest()->query, identity() + kHookPairs);

  struct Case {
    const char* name;
    Scripted reply;
  };
  const Case failures[] = {
      {"expired login (alert kind)", Scripted::tokenExpired("1023")},
      {"expired login (login screen kind)", Scripted::tokenExpired("1012")},
      {"server error", Scripted::error("3001", "卡号有误")},
      {"success without data", Scripted::successWithoutData()},
      {"HTML page", Scripted::htmlErrorPage()},
      {"dropped connection", Scripted::dropConnection()},
  };
  for (const Case& c : failures) {
    SCOPED_TRACE(c.name);
    server->script("getParameter", c.reply);
    server->script("getbankByCardNo", c.reply);
    EXPECT_FALSE(CoreOperations::syncGetParameterWithKey("fee", "0001"));
    EXPECT_FALSE(CoreOperations::getbankByCardNoWithCardNo("6227000012345678"));
    platform::RunLoop::main().runUntilIdle();
    EXPECT_TRUE(platform::ui::AlertView::visible().empty());
    EXPECT_EQ(services->navigation->topViewController(), services->screen);
    EXPECT_FALSE(indicatorShown());
  }
}

TEST_F(CoreOperationsTest, DeviceCheckSendsTheEscapedProfile) {
  platform::Device::info().carrier = platform::Carrier{"中国移动", "460", "00"};
  platform::Device::info().machine = "iPhone 5,2 测";
  server->bindReader(kReaderTermid, kLoginName);

  auto request = CoreOperations::checkUserDeviceInfo();
  ASSERT_FALSE(request->error());
  EXPECT_EQ(request->method(), "GET");
  EXPECT_EQ(request->timeout(), std::chrono::seconds(60));
  auto sent = server->http().lastRequest();
  EXPECT_EQ(sent->path, "/iphone/checkUserDeviceInfo.json");
  EXPECT_EQ(sent->query, identity() +
                             "&loginName=13800000000&psamNo=ABCDEF0123456789&devicedId=&telecomOperators=46000"
                             "&mobilePhoneModel=iPhone%205,2%20%E6%B5%8B&mobilePhoneProduct="
                             "&mobilePhoneManuFacturer=Apple" +
                             kHookPairs);
  auto reply = platform::json::parse(request->responseString());
  ASSERT_TRUE(reply);
  EXPECT_EQ((*reply)["retData"]["state"], "1");

  // Without a SIM the operator pair is left out.
  platform::Device::info().carrier.reset();
  EXPECT_EQ(CoreOperations::checkUserDeviceInfoParams().find("telecomOperators"), std::string::npos);
}

TEST_F(CoreOperationsTest, TerminalCallsPostTheirFieldsInOrderWithoutMac) {
  auto login = CoreOperations::termLoginWithTermid(kReaderTermid);
  ASSERT_FALSE(login->error());
  auto checkin = CoreOperations::termCheckinWithTermid(kReaderTermid);
  ASSERT_FALSE(checkin->error());
  auto log = server->http().requests();
  ASSERT_EQ(log.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(log[i].method, "POST");
    EXPECT_EQ(log[i].path, i == 0 ? "/iphone/login.json" : "/iphone/checkin.json");
    EXPECT_EQ(log[i].query, "");
    const std::vector<HttpStandin::Field> expected = {
        {"uid", BaseService::uid()},   {"vercode", BaseService::vercode()},
        {"mobile", kLoginName},        {"userToken", kUserToken},
        {"busid", i == 0 ? "M10003" : "M10002"},
        {"termid", kReaderTermid},     {"ver", "28"},
        {"custlev", ""},
    };
    EXPECT_EQ(log[i].formFields, expected);
  }
  EXPECT_EQ(server->lastVerdict("checkin")->retCode, "0000");
}

TEST_F(CoreOperationsTest, QueryTransGoesOutSignedWithTheVirtualTerminal) {
  // Without the virtual terminal's MAC key nothing is sent.
  Delivered unsigned_;
  CoreOperations::queryTransWithBusid("M20011", Json::object(), recorder(unsigned_));
  ASSERT_TRUE(await([&] { return unsigned_.called; }));
  EXPECT_TRUE(unsigned_.isErr);
  EXPECT_EQ(server->http().requestCount(), 0u);

  TerminalManager manager;
  ASSERT_TRUE(manager.virtualTermSignWithViewController(services->screen, nullptr)) << manager.error();
  server->setQueryTransData("M20011", Json::parse(R"([{"billno":"B1","amount":"1250"},{"billno":"B2"}])"));

  const Json dic = Json::parse(R"({"tdtm":"20240102030405","series":"000123","amount":"12.5","billno":" B-1 "})");
  Delivered raw, ui;
  CoreOperations::queryTransWithBusid("M20011", dic, recorder(raw));
  ASSERT_TRUE(await([&] { return raw.called; }));
  ASSERT_FALSE(raw.isErr) << raw.status.description();
  ASSERT_TRUE(raw.result.json());
  EXPECT_EQ(raw.result.json()->size(), 2u);

  auto sent = server->http().lastRequest();
  EXPECT_EQ(sent->method, "POST");
  EXPECT_EQ(sent->path, "/iphone/queryTrans.json");
  EXPECT_EQ(sent->query, "");
  EXPECT_EQ(sent->header("Connection"), "close");
  EXPECT_FALSE(sent->formValue("wallet"));
  ASSERT_TRUE(sent->formValue("mac"));
  EXPECT_EQ(sent->formValue("mac")->size(), 8u);
  std::vector<std::string> names;
  for (const auto& [k, v] : sent->formFields) names.push_back(k);
  // The hook sets termid, the amount and the MAC, each moving to the end; wallet is gone.
  const std::vector<std::string> order = {"uid",    "vercode", "mobile", "userToken", "busid", "tdtm", "series",
                                          "billno", "ver",     "custlev", "termid",   "amount", "mac"};
  EXPECT_EQ(names, order);
  EXPECT_EQ(sent->formValue("termid"), kVirtualTermid);
  EXPECT_EQ(sent->formValue("amount"), "000000001250");
  auto verdict = server->lastVerdict("queryTrans");
  EXPECT_TRUE(verdict->identityOk);
  EXPECT_TRUE(*verdict->macOk);
  EXPECT_EQ(verdict->macInput, std::string("M20011 ") + kVirtualTermid + " 20240102030405 000123 B1 000000001250");

  // With an entity class, and through the UI variant.
  struct Bill {
    std::string billno;
    static Bill initWithJson(const Json& j) { return Bill{platform::json::text(j, "billno").value_or("")}; }
  };
  Delivered mapped;
  CoreOperations::queryTransWithBusid("M20011", dic, EntityClass::of<Bill>(), recorder(mapped));
  CoreOperations::queryTransUIWithBusid("M20011", dic, recorder(ui));
  EXPECT_TRUE(indicatorShown());
  ASSERT_TRUE(await([&] { return mapped.called && ui.called; }));
  ASSERT_EQ(mapped.result.list<Bill>().size(), 2u);
  EXPECT_EQ(mapped.result.list<Bill>()[1]->billno, "B2");
  EXPECT_FALSE(ui.isErr);
  EXPECT_FALSE(ui.indicatorWasShown);
  for (const auto& v : server->verdicts()) {
    if (v.method == "queryTrans") {
      EXPECT_TRUE(*v.macOk);
    }
  }
}

TEST_F(CoreOperationsTest, StatisticsAndProbeServers) {
  HttpStandin statistics;
  statistics.route("POST", "/mobilestatics/iphone/insertStaticesInfo.json", [](const HttpStandin::Request&) {
    return HttpStandin::Reply::json(R"({"retStatus":{"retCode":"0000","errMsg":"ok"}})");
  });
  statistics.route("GET", "/mobilestatics/iphone/getIosPushMsg.json", [](const HttpStandin::Request& r) {
    if (r.query.find("msgId=m-9") != 0) return HttpStandin::Reply::json(R"({"retStatus":{"retCode":"4001"}})");
    return HttpStandin::Reply::json(R"({"retStatus":{"retCode":"0000"}})");
  });
  statistics.route("GET", "/probe/*", [](const HttpStandin::Request&) { return HttpStandin::Reply::text("ignored"); });
  ASSERT_TRUE(statistics.start().isOk());
  StatisticsServerConfig::current().setStatisticsBase(statistics.baseUrl() + "/mobilestatics/iphone");
  StatisticsServerConfig::current().setProbeBase(statistics.baseUrl() + "/probe/");

  Delivered record, push;
  CoreOperations::insertStaticesInfoWithInfoStr("a|b|c", recorder(record));
  CoreOperations::getIosPushMsgWithMsgId("m-9", recorder(push));
  EXPECT_TRUE(indicatorShown());
  ASSERT_TRUE(await([&] { return record.called && push.called; }));

  // A "0000" without data is a success for both.
  EXPECT_FALSE(record.isErr);
  EXPECT_EQ(record.status.errMsg(), platform::Strings::localized("ReturnDataIsNil"));
  EXPECT_FALSE(push.isErr);
  EXPECT_FALSE(push.indicatorWasShown);

  auto log = statistics.requests();
  ASSERT_EQ(log.size(), 2u);
  const HttpStandin::Request& post = log[0].method == "POST" ? log[0] : log[1];
  const HttpStandin::Request& get = log[0].method == "POST" ? log[1] : log[0];
  const std::vector<HttpStandin::Field> fields = {
      {"infoStr", "a|b|c"},          {"imei", DataStatistics::sharedDataStatistics().deviceId()},
      {"uid", BaseService::uid()},   {"vercode", BaseService::vercode()},
      {"ver", "28"},                 {"custlev", ""},
  };
  EXPECT_EQ(post.formFields, fields);
  EXPECT_EQ(get.query, "msgId=m-9&" + identity() + kHookPairs);

  CoreOperations::probe("p1?x=1");
  ASSERT_TRUE(await([&] { return statistics.requestCount() == 3; }));
  EXPECT_EQ(statistics.lastRequest()->path, "/probe/p1");
  EXPECT_EQ(statistics.lastRequest()->query, "x=1");   // no hook pairs: the probe is not an API call
  statistics.stop();
}

}  // namespace
}  // namespace nvx
