#include "pay/AppSchedullerOperations.h"

#include "core/crypto/Base64.h"
#include "core/session/User.h"
#include "core/text/UrlEscaping.h"
#include "net/MainApiRequest.h"
#include "pay/Tools.h"
#include "pay/TradeInquiryReturnData.h"
#include "platform/foundation/Strings.h"

namespace nvx {

namespace {

using platform::Json;

// The text form of a member (texts as they are, numbers in digits); missing otherwise.
std::optional<std::string> member(const Json& json, const char* key) { return replyText(json, key); }

void describe(std::string& out, const char* name, const std::optional<std::string>& value) {
  out += name;
  out += " : ";
  out += value.value_or("");
  out += "\n";
}

template <class T>
PartnerAnswer<T> failureOf(const ServerReply& reply) {
  PartnerAnswer<T> answer;
  answer.kind = reply.ok() ? FailureKind::BadReply : reply.kind;
  answer.retCode = reply.status.retCode();
  answer.message = reply.message();
  if (answer.message.empty()) answer.message = platform::Strings::localized("Error_Data");
  return answer;
}

template <class T>
PartnerAnswer<T> valueOf(T value) {
  PartnerAnswer<T> answer;
  answer.value = std::move(value);
  return answer;
}

// The reply's data when it is an object; with emptyOk a "0000" without data counts as an empty
// object.
std::optional<Json> objectOf(const ServerReply& reply, bool emptyOk) {
  if (!reply.ok()) return std::nullopt;
  const Json* data = reply.data();
  if (data && data->is_object()) return *data;
  if (!data && emptyOk) return Json::object();
  return std::nullopt;
}

void startForObject(const MainApiRequest& request, bool emptyOk,
                    AppSchedullerOperations::Completion<Json> completion) {
  request.start([completion = std::move(completion), emptyOk](ServerReply reply) {
    auto data = objectOf(reply, emptyOk);
    completion(data ? valueOf(std::move(*data)) : failureOf<Json>(reply));
  });
}

void startForBinding(const MainApiRequest& request, AppSchedullerOperations::Completion<BindSearch> completion) {
  request.start([completion = std::move(completion)](ServerReply reply) {
    auto data = objectOf(reply, false);
    completion(data ? valueOf(BindSearch::fromJson(*data)) : failureOf<BindSearch>(reply));
  });
}

// A safe query of the partner family: uid, vercode, then orgId and the escaped orgUserId.
MainApiRequest bindingQuery(std::string path, const std::string& orgId, const std::string& orgUserId) {
  auto request = MainApiRequest::get(std::move(path), Identity::Plain);
  request.query("orgId", text::encodeURLString(orgId)).query("orgUserId", text::encodeURLString(orgUserId));
  return request;
}

}  // namespace

// --- models -----------------------------------------------------------------------------------

TPMessageEntity TPMessageEntity::fromJson(const Json& json) {
  TPMessageEntity e;
  e.funcNo = member(json, "funcNo");
  e.params = member(json, "params");
  e.charset = member(json, "charset");
  e.channelCode = member(json, "channelCode");
  e.crypType = member(json, "crypType");
  e.sign = member(json, "sign");
  e.versionCode = member(json, "versionCode");
  return e;
}

TPMessageEntity TPMessageEntity::fromUrlValue(std::string_view escapedBase64) {
  auto base64 = text::originalURLString(escapedBase64);
  if (!base64) return {};
  auto json = platform::json::parseDroppingNulls(base64DataFromString(*base64));
  if (!json || !json->is_object()) return {};
  return fromJson(*json);
}

std::string TPMessageEntity::description() const {
  std::string out;
  describe(out, "funcNo", funcNo);
  describe(out, "params", params);
  describe(out, "charset", charset);
  describe(out, "channelCode", channelCode);
  describe(out, "crypType", crypType);
  describe(out, "sign", sign);
  describe(out, "versionCode", versionCode);
  return out;
}

TPVerifyDecryptEntity TPVerifyDecryptEntity::fromJson(const Json& json) {
  TPVerifyDecryptEntity e;
  e.phoneNumber = member(json, "phoneNumber");
  e.timeStamp = member(json, "timeStamp");
  e.callbackUrl = member(json, "callbackUrl");
  e.channelNo = member(json, "channelNo");
  e.userId = member(json, "userId");
  e.userType = member(json, "userType");
  if (const Json* cards = platform::json::member(json, "bankcards"); cards && cards->is_array()) e.bankcards = *cards;
  e.bankOfDeposit = member(json, "bankOfDeposit");
  e.accountName = member(json, "accountName");
  return e;
}

std::string TPVerifyDecryptEntity::description() const {
  std::string out;
  describe(out, "phoneNumber", phoneNumber);
  describe(out, "timeStamp", timeStamp);
  describe(out, "callbackUrl", callbackUrl);
  describe(out, "channelNo", channelNo);
  describe(out, "userId", userId);
  describe(out, "userType", userType);
  describe(out, "bankcards", platform::json::dump(bankcards));
  describe(out, "bankOfDeposit", bankOfDeposit);
  describe(out, "accountName", accountName);
  return out;
}

BindSearch BindSearch::fromJson(const Json& json) {
  return BindSearch{member(json, "userId"), member(json, "userToken"), member(json, "loginName")};
}

std::string BindSearch::description() const {
  std::string out;
  describe(out, "userId", userId);
  // The token is a credential: never written out.
  describe(out, "userToken", userToken ? std::optional<std::string>("***") : std::nullopt);
  describe(out, "loginName", loginName);
  return out;
}

// --- partner calls ------------------------------------------------------------------------------

void AppSchedullerOperations::paramsVerify(const TPMessageEntity& message, Completion<Json> completion) {
  auto request = MainApiRequest::postForm("paramsVerify", Identity::Plain);
  request.field("params", message.params.value_or(""))
      .field("channelNo", message.channelCode.value_or(""))
      .field("sign", message.sign.value_or(""))
      .field("crypType", message.crypType.value_or(""))
      .spinner();
  startForObject(request, false, std::move(completion));
}

void AppSchedullerOperations::userVerifyBind(const std::string& orgId, const std::string& orgUserId,
                                             Completion<BindSearch> completion) {
  auto request = bindingQuery("userVerifyBind/" + text::encodeURLString(orgId), orgId, orgUserId);
  startForBinding(request.spinner(), std::move(completion));
}

void AppSchedullerOperations::rediectRegiste(const std::string& orgId, const std::string& orgUserId,
                                             Completion<Json> completion) {
  const std::string loginName = User::currentUser().loginName();
  auto request = bindingQuery("thirdPartyRediectRegiste/" + text::encodeURLString(loginName), orgId, orgUserId);
  startForObject(request, true, std::move(completion));
}

void AppSchedullerOperations::verifyBind(const std::string& orgId, const std::string& orgUserId,
                                         Completion<BindSearch> completion) {
  startForBinding(bindingQuery("thirdPartyVerifyBind", orgId, orgUserId).spinner(), std::move(completion));
}

void AppSchedullerOperations::unbind(const std::string& orgId, const std::string& orgUserId,
                                     Completion<Json> completion) {
  startForObject(bindingQuery("thirdPartyUnbind", orgId, orgUserId).spinner(), true, std::move(completion));
}

void AppSchedullerOperations::zhaoHangVerify(const std::string& responseXml, const std::string& cryptType,
                                             Completion<Json> completion) {
  auto request = MainApiRequest::postForm("zhaoHangVerify", Identity::Plain);
  request.field("sResponseXml", responseXml).field("cryptType", cryptType).spinner();
  startForObject(request, false, std::move(completion));
}

// --- merchant checkout ----------------------------------------------------------------------------

std::string AppSchedullerOperations::billQuery(const Pairs& pairs) {
  std::string query;
  for (const auto& [name, value] : pairs) {
    if (!query.empty()) query += "&";
    query += name + "=" + text::encodeURLString(value);
  }
  return query;
}

std::shared_ptr<NetService> AppSchedullerOperations::createBill(const Pairs& pairs, bool identityFirst,
                                                                Completion<Json> completion) {
  auto request = MainApiRequest::get("createBill", identityFirst ? Identity::Plain : Identity::None);
  for (const auto& [name, value] : pairs) request.query(name, text::encodeURLString(value));
  if (!identityFirst) {
    request.sessionQuery("uid", SessionValue::Uid).sessionQuery("vercode", SessionValue::Vercode);
    request.query("ver", kBillVersion);
  }
  request.timeout(kTimeout).keepAlive(false).spinner();
  return request.start([completion = std::move(completion)](ServerReply reply) {
    auto data = objectOf(reply, false);
    if (data && data->empty()) data.reset();
    completion(data ? valueOf(std::move(*data)) : failureOf<Json>(reply));
  });
}

void AppSchedullerOperations::queryBill(const std::string& billno, const std::string& amountYuan, bool wallet,
                                        Completion<Json> completion) {
  auto request = MainApiRequest::postForm("queryTrans", Identity::None);
  request.sessionValue("uid", SessionValue::Uid)
      .sessionValue("vercode", SessionValue::Vercode)
      .field("busid", "M50005")
      .sessionValue("termid", SessionValue::ReaderTerminal)
      .sessionValue("mobile", SessionValue::LoginName)
      .field("billno", billno)
      .field("amount", amountYuan)
      .sessionValue("userToken", SessionValue::UserToken);
  if (wallet) request.field("wallet", "100");
  request.timeout(kTimeout).keepAlive(false).spinner();
  request.start([completion = std::move(completion)](ServerReply reply) {
    auto data = objectOf(reply, false);
    // A bill without its serial number cannot be committed: nothing to pay.
    if (data && !TradeInquiryReturnData::initWithDic(*data).sid()) data.reset();
    completion(data ? valueOf(std::move(*data)) : failureOf<Json>(reply));
  });
}

void AppSchedullerOperations::storeCommit(const std::string& srcsid, const std::string& billno,
                                          const std::string& amountYuan, const std::optional<std::string>& lpmercd) {
  auto request = MainApiRequest::postForm("commitTransaction", Identity::None);
  request.sessionValue("uid", SessionValue::Uid)
      .sessionValue("vercode", SessionValue::Vercode)
      .field("busid", "M20013")
      .sessionValue("termid", SessionValue::ReaderTerminal)
      .sessionValue("mobile", SessionValue::LoginName)
      .sessionValue("userToken", SessionValue::UserToken)
      .field("srcsid", srcsid)
      .field("billno", billno)
      .field("amount", amountYuan)
      .field("issms", "1");
  if (lpmercd) request.field("lpmercd", *lpmercd);
  request.timeout(kTimeout).keepAlive(false);
  auto built = request.build();
  Tools::sharedInstance().setInfo(getPostdataForNVX(*built), urlString(*built));
}

}  // namespace nvx
