#include "net/CoreOperations.h"

#include "core/models/ClientVersionEntity.h"
#include "core/models/MaxNum.h"
#include "core/text/UrlEscaping.h"
#include "net/DataStatistics.h"
#include "net/MainApiRequest.h"
#include "net/StatisticsServerConfig.h"
#include "net/Unit.h"
#include "platform/foundation/Log.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "CoreOperations";
constexpr auto kLongTimeout = std::chrono::seconds(60);

using platform::Json;

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

// Operations that may be called on a worker take the session captured last on the main thread.
RequestSession session() { return RequestSession::forRequestStart(); }

// A GET with the run's identity and the caller's query text.
MainApiRequest plainGet(std::string path, std::optional<std::string> params = std::nullopt) {
  auto request = MainApiRequest::get(std::move(path), Identity::Plain, session());
  if (params) request.rawQuery(std::move(*params));
  return request;
}

// "retData" of a synchronous reply whose "retCode" is "0000"; nothing for anything else.
std::optional<Json> okRetData(const ServerReply& reply) {
  return reply.envelope ? reply.envelope->okData() : std::nullopt;
}

std::shared_ptr<NetService> terminalRequest(std::string path, std::string busid, std::string_view termid) {
  return MainApiRequest::postForm(std::move(path), Identity::Terminal, session())
      .busid(std::move(busid))
      .terminal(std::string(termid))
      .build();
}

std::shared_ptr<NetService> startedSynchronously(std::shared_ptr<NetService> request) {
  request->startSynchronous();
  return request;
}

}  // namespace

std::shared_ptr<NetService> CoreOperations::getBusiDesc(std::string_view busId, BusiDescBlock block) {
  return plainGet("getBusiDesc", "busId=" + std::string(busId)).spinner().startWithBlock(
      [block = std::move(block)](NetResult result, RetStatusEntity status, bool isErr) {
        std::optional<std::string> content;
        const Json* list = result.json();
        if (list && list->is_array() && !list->empty()) {
          if (auto text = platform::json::member(list->front(), "aContent"); text && text->is_string()) {
            content = text->get<std::string>();
          }
        }
        if (block) block(std::move(content), std::move(status), isErr);
      });
}

std::shared_ptr<NetService> CoreOperations::getUnitListNewWithBlock(ResponseBlock block) {
  return plainGet("getUnitListNew").spinner().entity(EntityClass::of<Unit>()).startWithBlock(std::move(block));
}

std::shared_ptr<NetService> CoreOperations::getShuakaqiListWithBlock(ResponseBlock block) {
  const std::string version = DataStatistics::sharedDataStatistics().appVersion().value_or("");
  return plainGet("getShuakaqiList", "version=" + version)
      .entity(EntityClass::of<ClientVersionEntity>())
      .startWithBlock(std::move(block));
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
  return plainGet("getBankListForPay", bankListForPayParams(busId, bankCode)).spinner().startWithBlock(std::move(block));
}

std::shared_ptr<NetService> CoreOperations::getUserLoginStateWithPhoneNumber(std::string_view phoneNumber,
                                                                             std::string_view encryptPwd,
                                                                             ResponseBlock block) {
  return plainGet("getUserLoginState/" + std::string(phoneNumber), "password=" + std::string(encryptPwd))
      .spinner()
      .startWithBlock(std::move(block));
}

std::shared_ptr<NetService> CoreOperations::createBillWithParams(std::string_view params, ResponseBlock block) {
  return plainGet("createBill", std::string(params)).spinner().startWithBlock(std::move(block));
}

std::shared_ptr<NetService> CoreOperations::getUserInfoWithVerifyType(std::string_view verifyType,
                                                                      ResponseBlock block) {
  const RequestSession now = session();
  return MainApiRequest::get("getUserInfo/" + now.loginName, Identity::Plain, now)
      .rawQuery("verifyType=" + std::string(verifyType))
      .sessionValue("userToken", SessionValue::UserToken)
      .spinner()
      .startWithBlock(std::move(block));
}

std::shared_ptr<NetService> CoreOperations::getParameterWithKey(std::string_view key, std::string_view dictCode,
                                                                ResponseBlock block) {
  return plainGet("getParameter", parameterParams(key, dictCode)).spinner().startWithBlock(std::move(block));
}

std::shared_ptr<NetService> CoreOperations::getParameterMaxnumWithKey(std::string_view key, ResponseBlock block) {
  return plainGet("getParameter", parameterParams(key, "0002"))
      .spinner()
      .entity(EntityClass::of<MaxNum>())
      .startWithBlock(std::move(block));
}

std::shared_ptr<NetService> CoreOperations::getParameterMaxnumWithKeyNotUi(std::string_view key,
                                                                           ResponseBlock block) {
  return plainGet("getParameter", parameterParams(key, "0002"))
      .entity(EntityClass::of<MaxNum>())
      .startWithBlock(std::move(block));
}

std::optional<Json> CoreOperations::syncGetParameterWithKey(std::string_view key, std::string_view dictCode) {
  return okRetData(plainGet("getParameter", parameterParams(key, dictCode)).spinner().sendSynchronously());
}

std::optional<BankCardEntity> CoreOperations::getbankByCardNoWithCardNo(std::string_view cardNo) {
  std::optional<Json> data = okRetData(plainGet("getbankByCardNo/" + std::string(cardNo)).spinner().sendSynchronously());
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

std::string CoreOperations::checkUserDeviceInfoParams() { return checkUserDeviceInfoParams(session()); }

std::string CoreOperations::checkUserDeviceInfoParams(const RequestSession& session) {
  const DataStatistics& device = DataStatistics::sharedDataStatistics();
  std::vector<std::pair<std::string_view, std::optional<std::string>>> pairs = {
      {"loginName", session.loginName},
      {"psamNo", session.psamId},
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
  const RequestSession now = session();
  if (now.loginName.empty() || now.userToken.empty()) {
    platform::log::warning(kTag, "reader ownership checked without a login");
  }
  return MainApiRequest::get("checkUserDeviceInfo", Identity::Plain, now)
      .rawQuery(checkUserDeviceInfoParams(now))
      .timeout(kLongTimeout)
      .build();
}

std::shared_ptr<NetService> CoreOperations::checkUserDeviceInfo() {
  return startedSynchronously(checkUserDeviceInfoRequest());
}

std::shared_ptr<NetService> CoreOperations::queryTransWithBusid(std::string_view busid, const Json& dic,
                                                                std::optional<EntityClass> entityClass,
                                                                ResponseBlock block) {
  auto request = MainApiRequest::postForm("queryTrans", Identity::Wallet, session())
                     .busid(std::string(busid))
                     .keepAlive(false)
                     .timeout(kLongTimeout);
  if (dic.is_object()) {
    for (const auto& [key, value] : dic.items()) {
      std::optional<std::string> text = platform::json::asText(value);
      if (!text) {
        platform::log::warning(kTag, "queryTrans field " + key + " is not a text or number; left out");
        continue;
      }
      request.field(key, *text);
    }
  }
  if (entityClass) request.entity(std::move(*entityClass));
  return request.startWithBlock(std::move(block));
}

std::shared_ptr<NetService> CoreOperations::queryTransWithBusid(std::string_view busid, const Json& dic,
                                                                ResponseBlock block) {
  return queryTransWithBusid(busid, dic, std::nullopt, std::move(block));
}

std::shared_ptr<NetService> CoreOperations::queryTransUIWithBusid(std::string_view busid, const Json& dic,
                                                                  ResponseBlock block) {
  NetService::showWindowIndicator();
  return queryTransWithBusid(busid, dic, [block = std::move(block)](NetResult result, RetStatusEntity status, bool isErr) {
    NetService::hideWindowIndicator();
    if (block) block(std::move(result), std::move(status), isErr);
  });
}

std::shared_ptr<NetService> CoreOperations::insertStaticesInfoWithInfoStr(std::string_view infoStr,
                                                                          ResponseBlock block) {
  return MainApiRequest::postForm("insertStaticesInfo", Identity::None, session())
      .atBase(StatisticsServerConfig::current().statisticsBase())
      .field("infoStr", std::string(infoStr))
      .field("imei", DataStatistics::sharedDataStatistics().deviceId())
      .sessionValue("uid", SessionValue::Uid)
      .sessionValue("vercode", SessionValue::Vercode)
      .startWithBlock(nilDataIsNoError(std::move(block)));
}

std::shared_ptr<NetService> CoreOperations::getIosPushMsgWithMsgId(std::string_view msgId, ResponseBlock block) {
  return MainApiRequest::get("getIosPushMsg", Identity::None, session())
      .atBase(StatisticsServerConfig::current().statisticsBase())
      .query("msgId", msgId)
      .sessionValue("uid", SessionValue::Uid)
      .sessionValue("vercode", SessionValue::Vercode)
      .spinner()
      .startWithBlock(nilDataIsNoError(std::move(block)));
}

void CoreOperations::probe(std::string_view text) {
  platform::net::HttpRequest::fireAndForget(StatisticsServerConfig::current().probeBase() + std::string(text));
}

}  // namespace nvx
