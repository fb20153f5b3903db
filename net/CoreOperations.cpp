#include "net/CoreOperations.h"

#include "core/shell/AppServices.h"
#include "core/models/ClientVersionEntity.h"
#include "core/models/MaxNum.h"
#include "core/text/UrlEscaping.h"
#include "core/session/User.h"
#include "net/BaseService.h"
#include "net/DataStatistics.h"
#include "net/JsonDeserializer.h"
#include "net/StatisticsServerConfig.h"
#include "net/Unit.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Hud.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "CoreOperations";
constexpr auto kLongTimeout = std::chrono::seconds(60);

using platform::Json;

// The window's progress indicator. Synchronous operations may run on a worker: the indicator is
// then shown and hidden through the main run loop, in that order.
void onMain(std::function<void()> work) {
  if (platform::RunLoop::main().isMainThread()) {
    work();
  } else {
    platform::dispatchMain(std::move(work));
  }
}

void showWindowIndicator() {
  onMain([] {
    if (auto window = AppServices::current().window()) platform::ui::Hud::showOn(*window, true);
  });
}

void hideWindowIndicator() {
  onMain([] {
    if (auto window = AppServices::current().window()) platform::ui::Hud::hideAll(*window, true);
  });
}

// A callback that first hides the window's indicator.
CoreOperations::ResponseBlock hidingIndicator(CoreOperations::ResponseBlock block) {
  return [block = std::move(block)](NetResult result, RetStatusEntity status, bool isErr) {
    hideWindowIndicator();
    if (block) block(std::move(result), std::move(status), isErr);
  };
}

// A callback that takes a "0000" reply without data for a success.
CoreOperations::ResponseBlock nilDataIsNoError(CoreOperations::ResponseBlock block) {
  return [block = std::move(block)](NetResult result, RetStatusEntity status, bool isErr) {
    if (NetService::isRetOkButNilData(status)) isErr = false;
    if (block) block(std::move(result), std::move(status), isErr);
  };
}

std::string parameterParams(std::string_view key, std::string_view dictCode) {
  std::string params = "key=" + std::string(key);
  if (!dictCode.empty()) params += "&dictCode=" + std::string(dictCode);
  return params;
}

// "retData" of a synchronous reply whose "retCode" is "0000"; nothing for anything else.
std::optional<Json> okRetData(const platform::net::HttpRequest& request) {
  if (request.error()) return std::nullopt;
  std::optional<Json> top = JsonDeserializer::deserialize(request.responseData());
  if (!top || !top->is_object()) return std::nullopt;
  const Json* status = platform::json::member(*top, "retStatus");
  const Json* code = status ? platform::json::member(*status, "retCode") : nullptr;
  if (!code || !code->is_string() || code->get_ref<const std::string&>() != "0000") return std::nullopt;
  const Json* data = platform::json::member(*top, "retData");
  if (!data) return std::nullopt;
  return *data;
}

// A synchronous GET with the window's indicator around it.
std::shared_ptr<NetService> getSynchronouslyWithIndicator(std::string url) {
  auto request = NetService::requestWithURL(std::move(url));
  request->setMethod("GET");
  showWindowIndicator();
  request->startSynchronous();
  hideWindowIndicator();
  return request;
}

std::shared_ptr<NetService> terminalRequest(std::string_view path, std::string_view busid, std::string_view termid) {
  const User& user = User::currentUser();
  auto request = NetService::nvxRequest(path);
  request->setPostValue("uid", BaseService::uid());
  request->setPostValue("vercode", BaseService::vercode());
  request->setPostValue("mobile", user.loginName());
  request->setPostValue("userToken", user.userToken());
  request->setPostValue("busid", std::string(busid));
  request->setPostValue("termid", std::string(termid));
  return request;
}

std::shared_ptr<NetService> startedSynchronously(std::shared_ptr<NetService> request) {
  request->startSynchronous();
  return request;
}

}  // namespace

std::shared_ptr<NetService> CoreOperations::getBusiDesc(std::string_view busId, BusiDescBlock block) {
  return NetService::nvxQuickSafeUIRequest(
      "getBusiDesc", "busId=" + std::string(busId),
      [block = std::move(block)](NetResult result, RetStatusEntity status, bool isErr) {
        std::optional<std::string> content;
        const Json* list = result.json();
        if (list && list->is_array() && !list->empty()) {
          if (auto text = platform::json::member(list->front(), "aContent"); text && text->is_string()) {
            content = text->get<std::string>();
          }
        }
        if (block) block(std::move(content), std::move(status), isErr);
      },
      std::nullopt);
}

std::shared_ptr<NetService> CoreOperations::getUnitListNewWithBlock(ResponseBlock block) {
  return NetService::nvxQuickSafeUIRequest("getUnitListNew", std::move(block), EntityClass::of<Unit>());
}

std::shared_ptr<NetService> CoreOperations::getShuakaqiListWithBlock(ResponseBlock block) {
  const std::string version = DataStatistics::sharedDataStatistics().appVersion().value_or("");
  return NetService::nvxQuickSafeRequest("getShuakaqiList", "version=" + version, std::move(block),
                                         EntityClass::of<ClientVersionEntity>());
}

std::string CoreOperations::bankListForPayParams(std::string_view busId, std::string_view bankCode) {
  std::string params;
  if (!busId.empty()) params += "&busId=" + std::string(busId) + "_1";
  if (!bankCode.empty()) params += "&bankCode=" + std::string(bankCode);
  if (!params.empty()) params.erase(0, 1);
  return params;
}

std::shared_ptr<NetService> CoreOperations::getBankListForPayWithBusId(std::string_view busId,
                                                                       std::string_view bankCode,
                                                                       ResponseBlock block) {
  return NetService::nvxQuickSafeUIRequest("getBankListForPay", bankListForPayParams(busId, bankCode),
                                           std::move(block), std::nullopt);
}

std::shared_ptr<NetService> CoreOperations::getUserLoginStateWithPhoneNumber(std::string_view phoneNumber,
                                                                             std::string_view encryptPwd,
                                                                             ResponseBlock block) {
  return NetService::nvxQuickSafeUIRequest("getUserLoginState/" + std::string(phoneNumber),
                                           "password=" + std::string(encryptPwd), std::move(block), std::nullopt);
}

std::shared_ptr<NetService> CoreOperations::createBillWithParams(std::string_view params, ResponseBlock block) {
  return NetService::nvxQuickSafeUIRequest("createBill", std::string(params), std::move(block), std::nullopt);
}

std::shared_ptr<NetService> CoreOperations::getUserInfoWithVerifyType(std::string_view verifyType,
                                                                      ResponseBlock block) {
  const User& user = User::currentUser();
  return NetService::nvxQuickSafeUIRequest("getUserInfo/" + user.loginName(),
                                           "verifyType=" + std::string(verifyType) + "&userToken=" + user.userToken(),
                                           std::move(block), std::nullopt);
}

std::shared_ptr<NetService> CoreOperations::getParameterWithKey(std::string_view key, std::string_view dictCode,
                                                                ResponseBlock block) {
  return NetService::nvxQuickSafeUIRequest("getParameter", parameterParams(key, dictCode), std::move(block),
                                           std::nullopt);
}

std::shared_ptr<NetService> CoreOperations::getParameterMaxnumWithKey(std::string_view key, ResponseBlock block) {
  return NetService::nvxQuickSafeUIRequest("getParameter", parameterParams(key, "0002"), std::move(block),
                                           EntityClass::of<MaxNum>());
}

std::shared_ptr<NetService> CoreOperations::getParameterMaxnumWithKeyNotUi(std::string_view key,
                                                                           ResponseBlock block) {
  return NetService::nvxQuickSafeRequest("getParameter", parameterParams(key, "0002"), std::move(block),
                                         EntityClass::of<MaxNum>());
}

std::optional<Json> CoreOperations::syncGetParameterWithKey(std::string_view key, std::string_view dictCode) {
  auto request = getSynchronouslyWithIndicator(nvxSafeAuthJsonUrl("getParameter", parameterParams(key, dictCode)));
  return okRetData(*request);
}

std::optional<BankCardEntity> CoreOperations::getbankByCardNoWithCardNo(std::string_view cardNo) {
  auto request = getSynchronouslyWithIndicator(nvxSafeAuthJsonUrl("getbankByCardNo/" + std::string(cardNo)));
  std::optional<Json> data = okRetData(*request);
  if (!data) return std::nullopt;
  return BankCardEntity::initWithJson(*data);
}

std::shared_ptr<NetService> CoreOperations::termLoginRequest(std::string_view termid) {
  return terminalRequest("login", "M10003", termid);
}

std::shared_ptr<NetService> CoreOperations::termCheckinRequest(std::string_view termid) {
  return terminalRequest("checkin", "M10002", termid);
}

std::shared_ptr<NetService> CoreOperations::termLoginWithTermid(std::string_view termid) {
  return startedSynchronously(termLoginRequest(termid));
}

std::shared_ptr<NetService> CoreOperations::termCheckinWithTermid(std::string_view termid) {
  return startedSynchronously(termCheckinRequest(termid));
}

std::string CoreOperations::checkUserDeviceInfoParams() {
  const User& user = User::currentUser();
  const DataStatistics& device = DataStatistics::sharedDataStatistics();
  std::vector<std::pair<std::string_view, std::optional<std::string>>> pairs = {
      {"loginName", user.loginName()},
      {"psamNo", user.psamId()},
      {"devicedId", std::string()},
      {"telecomOperators", device.IMSISubFive()},
      {"mobilePhoneModel", device.getDeviceVersion()},
      {"mobilePhoneProduct", std::string()},
      {"mobilePhoneManuFacturer", std::string("Apple")},
  };
  std::string params;
  for (const auto& [key, value] : pairs) {
    if (!value) continue;
    if (!params.empty()) params.push_back('&');
    params += std::string(key) + "=" + *value;
  }
  std::optional<std::string> escaped = text::escapesUTF8Url(params);
  if (!escaped) {
    platform::log::warning(kTag, "device-check parameters are not UTF-8; sent without them");
    return {};
  }
  return *escaped;
}

std::shared_ptr<NetService> CoreOperations::checkUserDeviceInfoRequest() {
  if (!User::currentUser().isLogined()) platform::log::warning(kTag, "reader ownership checked without a login");
  auto request = NetService::nvxSafeAuthRequest("checkUserDeviceInfo", checkUserDeviceInfoParams());
  request->setMethod("GET");
  request->setTimeout(kLongTimeout);
  return request;
}

std::shared_ptr<NetService> CoreOperations::checkUserDeviceInfo() {
  return startedSynchronously(checkUserDeviceInfoRequest());
}

std::shared_ptr<NetService> CoreOperations::queryTransWithBusid(std::string_view busid, const Json& dic,
                                                                std::optional<EntityClass> entityClass,
                                                                ResponseBlock block) {
  const User& user = User::currentUser();
  auto request = NetService::nvxRequest("queryTrans");
  request->setPersistentConnection(false);
  request->setTimeout(kLongTimeout);
  request->setPostValue("uid", BaseService::uid());
  request->setPostValue("vercode", BaseService::vercode());
  request->setPostValue("termid", user.psamNo());
  request->setPostValue("mobile", user.loginName());
  request->setPostValue("userToken", user.userToken());
  request->setPostValue("busid", std::string(busid));
  request->setPostValue("wallet", "100");
  if (dic.is_object()) {
    for (const auto& [key, value] : dic.items()) {
      std::optional<std::string> text = platform::json::asText(value);
      if (!text) {
        platform::log::warning(kTag, "queryTrans field " + key + " is not a text or number; left out");
        continue;
      }
      request->setPostValue(key, *text);
    }
  }
  request->setCallback(std::move(block), std::move(entityClass), "POST");
  request->startAsynchronous();
  return request;
}

std::shared_ptr<NetService> CoreOperations::queryTransWithBusid(std::string_view busid, const Json& dic,
                                                                ResponseBlock block) {
  return queryTransWithBusid(busid, dic, std::nullopt, std::move(block));
}

std::shared_ptr<NetService> CoreOperations::queryTransUIWithBusid(std::string_view busid, const Json& dic,
                                                                  ResponseBlock block) {
  showWindowIndicator();
  return queryTransWithBusid(busid, dic, hidingIndicator(std::move(block)));
}

std::shared_ptr<NetService> CoreOperations::insertStaticesInfoWithInfoStr(std::string_view infoStr,
                                                                          ResponseBlock block) {
  auto request =
      NetService::requestWithURL(StatisticsServerConfig::current().statisticsBase() + "insertStaticesInfo.json");
  request->setPostValue("infoStr", std::string(infoStr));
  request->setPostValue("imei", DataStatistics::sharedDataStatistics().deviceId());
  request->setPostValue("uid", BaseService::uid());
  request->setPostValue("vercode", BaseService::vercode());
  request->setCallback(nilDataIsNoError(std::move(block)), "POST");
  request->startAsynchronous();
  return request;
}

std::shared_ptr<NetService> CoreOperations::getIosPushMsgWithMsgId(std::string_view msgId, ResponseBlock block) {
  auto request = NetService::requestWithURL(StatisticsServerConfig::current().statisticsBase() +
                                            "getIosPushMsg.json?msgId=" + std::string(msgId) + "&" + nvxSafeAuth());
  request->setCallback(hidingIndicator(nilDataIsNoError(std::move(block))));
  request->startAsynchronous();
  showWindowIndicator();
  return request;
}

void CoreOperations::probe(std::string_view text) {
  platform::net::HttpRequest::fireAndForget(StatisticsServerConfig::current().probeBase() + std::string(text));
}

}  // namespace nvx
