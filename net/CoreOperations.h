// The core server operations that the shell, the reader layer, the statistics and several
// features share: one static operation per server method, built with the request layer
// (NetService) and started at once.
//
// Asynchronous operations return their request already started (the caller need not keep it);
// the callback runs later on the main run loop, as the request layer's ladder decides. "UI"
// operations show the window's progress indicator while they run and hide it before the
// caller's callback. Synchronous operations block the calling thread until the reply or the
// time-out.
//
// The statistics server's and the probe server's addresses come from StatisticsServerConfig.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/models/BankCardEntity.h"
#include "net/NetService.h"
#include "net/RequestSession.h"
#include "net/RetStatusEntity.h"
#include "platform/foundation/Json.h"

namespace nvx {

class CoreOperations {
 public:
  using ResponseBlock = NetService::ResponseBlock;
  // The "aContent" text of the description, or nothing; status and isErr as delivered.
  using BusiDescBlock = std::function<void(std::optional<std::string> content, RetStatusEntity status, bool isErr)>;

  // Business descriptions: "getBusiDesc" with "busId=<id>" (UI). The callback gets the
  // "aContent" text of the first element of the data list, or nothing when the list is empty,
  // absent or its first element has no such text.
  static std::shared_ptr<NetService> getBusiDesc(std::string_view busId, BusiDescBlock block);

  // Reader models: "getUnitListNew" (UI), a list of Unit.
  static std::shared_ptr<NetService> getUnitListNewWithBlock(ResponseBlock block);

  // Client versions: "getShuakaqiList" with "version=<the client's version>" (no indicator), a
  // list of ClientVersionEntity.
  static std::shared_ptr<NetService> getShuakaqiListWithBlock(ResponseBlock block);

  // Banks of a bank-app transfer: "getBankListForPay" (UI, raw) with the params of
  // bankListForPayParams.
  static std::shared_ptr<NetService> getBankListForPayWithBusId(std::string_view busId, std::string_view bankCode,
                                                                ResponseBlock block);
  // "busId=<id>_1" for a non-empty business id, "bankCode=<code>" for a non-empty code, joined
  // by "&"; "" with neither.
  static std::string bankListForPayParams(std::string_view busId, std::string_view bankCode);

  // Login state: "getUserLoginState/<phone>" with "password=<password>" (UI, raw). The password
  // comes already encrypted with the password key.
  static std::shared_ptr<NetService> getUserLoginStateWithPhoneNumber(std::string_view phoneNumber,
                                                                      std::string_view encryptPwd, ResponseBlock block);

  // Merchant bills: "createBill" with the caller's query text (UI, raw).
  static std::shared_ptr<NetService> createBillWithParams(std::string_view params, ResponseBlock block);

  // User information: "getUserInfo/<login name>" with "verifyType=<type>&userToken=<token>"
  // (UI, raw).
  static std::shared_ptr<NetService> getUserInfoWithVerifyType(std::string_view verifyType, ResponseBlock block);

  // Parameters: "getParameter" with "key=<key>" and, for a non-empty code, "&dictCode=<code>"
  // (UI, raw).
  static std::shared_ptr<NetService> getParameterWithKey(std::string_view key, std::string_view dictCode,
                                                         ResponseBlock block);
  // "getParameter" with "key=<key>&dictCode=0002", a MaxNum (UI / without indicator).
  static std::shared_ptr<NetService> getParameterMaxnumWithKey(std::string_view key, ResponseBlock block);
  static std::shared_ptr<NetService> getParameterMaxnumWithKeyNotUi(std::string_view key, ResponseBlock block);
  // Synchronous GET of the same address as getParameterWithKey; the indicator is shown before
  // and hidden after. "retData" when "retCode" is "0000", else nothing; no message on any
  // failure (an expired login included).
  static std::optional<platform::Json> syncGetParameterWithKey(std::string_view key, std::string_view dictCode);

  // Card-number bank lookup: synchronous GET of "getbankByCardNo/<number>" with the identity;
  // indicator before and after. The bank card of "retData" when "retCode" is "0000", else
  // nothing; no message on any failure.
  static std::optional<BankCardEntity> getbankByCardNoWithCardNo(std::string_view cardNo);

  // Terminal sign-in: synchronous form POSTs to "login" / "checkin" with uid, vercode, mobile,
  // userToken, busid ("M10003" / "M10002") and termid, in this order. The finished request;
  // the caller judges its error and body.
  static std::shared_ptr<NetService> termLoginWithTermid(std::string_view termid);
  static std::shared_ptr<NetService> termCheckinWithTermid(std::string_view termid);
  // The same requests, made from the session on the calling thread but not started: for a
  // caller that sends them on the asynchronous path.
  static std::shared_ptr<NetService> termLoginRequest(std::string_view termid);
  static std::shared_ptr<NetService> termCheckinRequest(std::string_view termid);

  // Reader ownership: synchronous GET of "checkUserDeviceInfo" with the identity and
  // checkUserDeviceInfoParams(), time-out 60 s. The finished request. The user is logged in.
  static std::shared_ptr<NetService> checkUserDeviceInfo();
  // The same request, not started.
  static std::shared_ptr<NetService> checkUserDeviceInfoRequest();
  // loginName, psamNo (the reader's terminal id), devicedId "", telecomOperators (mobile country
  // and network code; left out without a SIM), mobilePhoneModel (the machine name),
  // mobilePhoneProduct "", mobilePhoneManuFacturer "Apple": "key=value" joined by "&", the whole
  // text percent-escaped as UTF-8 ("&" and "=" stay).
  static std::string checkUserDeviceInfoParams();
  static std::string checkUserDeviceInfoParams(const RequestSession& session);

  // The generic wallet transaction query: asynchronous form POST to "queryTrans" (persistent
  // connection off, time-out 60 s) with uid, vercode, termid (the virtual terminal), mobile,
  // userToken, busid, wallet "100", then every entry of dic in its order. The request hook
  // signs it with the virtual terminal's MAC key and removes the wallet marker.
  static std::shared_ptr<NetService> queryTransWithBusid(std::string_view busid, const platform::Json& dic,
                                                         std::optional<EntityClass> entityClass, ResponseBlock block);
  static std::shared_ptr<NetService> queryTransWithBusid(std::string_view busid, const platform::Json& dic,
                                                         ResponseBlock block);
  // The same, raw, with the window's progress indicator shown until just before the callback.
  static std::shared_ptr<NetService> queryTransUIWithBusid(std::string_view busid, const platform::Json& dic,
                                                           ResponseBlock block);

  // Statistics record: asynchronous form POST to the statistics server's "insertStaticesInfo"
  // with infoStr, imei (the device id), uid and vercode. A "0000" reply without data counts as
  // no error.
  static std::shared_ptr<NetService> insertStaticesInfoWithInfoStr(std::string_view infoStr, ResponseBlock block);

  // Push message: asynchronous GET of the statistics server's "getIosPushMsg" with
  // "msgId=<id>&<identity>"; the indicator is shown after the start and hidden before the
  // callback. A "0000" reply without data counts as no error.
  static std::shared_ptr<NetService> getIosPushMsgWithMsgId(std::string_view msgId, ResponseBlock block);

  // The statistics probe: a GET of the probe server's address followed by text, whose reply is
  // never read.
  static void probe(std::string_view text);
};

}  // namespace nvx
