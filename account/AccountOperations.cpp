#include "account/AccountOperations.h"

#include "app/ui/HudExt.h"
#include "app/ui/NVXViewController.h"
#include "core/text/StringsTool.h"
#include "net/BaseService.h"
#include "net/CoreOperations.h"
#include "net/NetService.h"
#include "net/ParseTool.h"
#include "platform/foundation/Strings.h"

namespace nvx {

namespace {

using platform::Strings;
using Request = std::shared_ptr<platform::net::HttpRequest>;

// A path segment as it goes into an address: escaped, so that a "/" or "?" in it stays inside.
std::string segment(std::string_view text) { return StringsTool::encodeURL(text); }

// GET of base + path + suffix + "?" + params-before-identity + identity.
Request getRequest(const std::string& path, std::string_view suffix, std::string_view before) {
  std::string url = nvxServerAddress() + path + std::string(suffix) + "?";
  if (!before.empty()) url += std::string(before) + "&";
  url += nvxSafeAuth();
  auto request = platform::net::HttpRequest::make(std::move(url));
  request->setMethod("GET");
  return request;
}

void noKeepAlive60(platform::net::HttpRequest& request) {
  request.setPersistentConnection(false);
  request.setTimeout(std::chrono::seconds(60));
}

// The reply as the raw envelope: no expired-login handling.
AccountReply readRaw(const platform::net::HttpRequest& request) {
  AccountReply reply;
  if (request.error() || request.statusCode() == 0) return reply;
  reply.kind = AccountReply::Kind::Unreadable;
  auto json = platform::json::parseDroppingNulls(request.responseData());
  if (!json || !json->is_object()) return reply;
  const auto* status = platform::json::member(*json, "retStatus");
  if (!status || !status->is_object()) return reply;
  const auto* code = platform::json::member(*status, "retCode");
  if (!code || !code->is_string()) return reply;
  reply.retCode = code->get<std::string>();
  reply.errorText = platform::json::textOnly(*status, "errMsg").value_or("");
  reply.kind = reply.retCode == "0000" ? AccountReply::Kind::Success : AccountReply::Kind::Refused;
  if (const auto* data = platform::json::member(*json, "retData")) reply.data = *data;
  return reply;
}

// The reply through the synchronous road's reader (its expired-login handling included).
AccountReply readEnvelope(const platform::net::HttpRequest& request, NVXViewController& screen) {
  AccountReply reply;
  if (request.error() || request.statusCode() == 0) {
    reply.errorText = Strings::localized("NetworkConnectionFailed");
    return reply;
  }
  std::string error;
  auto result = ParseTool::retDataWithResponseData(request.responseData(), screen.shared_from_this(), &error);
  reply.errorText = error;
  if (ParseTool::isTokenMarker(result)) {
    reply.kind = AccountReply::Kind::TokenHandled;
  } else if (result) {
    reply.kind = AccountReply::Kind::Success;
    reply.retCode = "0000";
    reply.data = *result;
  } else {
    reply.kind = AccountReply::Kind::Refused;
  }
  return reply;
}

// Sends the request on a worker behind the screen's spinner, then reads it on the main thread.
void sendBehindSpinner(NVXViewController& screen, Request request,
                       std::function<AccountReply(const platform::net::HttpRequest&, NVXViewController&)> read,
                       AccountOperations::Completion completion) {
  std::weak_ptr<NVXViewController> weak =
      std::static_pointer_cast<NVXViewController>(screen.shared_from_this());
  screen.showSpinnerWhen([request] { request->startSynchronous(); },
                         [weak, request, read = std::move(read), completion = std::move(completion)] {
                           auto owner = weak.lock();
                           if (!owner) return;
                           completion(read(*request, *owner));
                         });
}

AccountReply fromDelivery(const NetResult& result, const RetStatusEntity& status, bool isErr) {
  AccountReply reply;
  reply.retCode = status.retCode();
  reply.errorText = status.errMsg();
  if (!isErr) {
    reply.kind = AccountReply::Kind::Success;
    if (const auto* json = result.json()) reply.data = *json;
  } else if (NetService::isNetworkConnectionFailed(status)) {
    reply.kind = AccountReply::Kind::NoConnection;
  } else if (NetService::isUserTokenError(status)) {
    reply.kind = AccountReply::Kind::TokenHandled;
  } else {
    reply.kind = AccountReply::Kind::Refused;
  }
  return reply;
}

NetService::ResponseBlock deliverTo(AccountOperations::Completion completion) {
  return [completion = std::move(completion)](NetResult result, RetStatusEntity status, bool isErr) {
    completion(fromDelivery(result, status, isErr));
  };
}

}  // namespace

void AccountOperations::getUserLoginState(std::string_view phone, std::string_view encryptPwd, Completion completion) {
  NetService::nvxQuickSafeUIRequest("getUserLoginState/" + segment(phone), "password=" + std::string(encryptPwd),
                                    deliverTo(std::move(completion)), std::nullopt);
}

void AccountOperations::getLoginNameState(NVXViewController& screen, std::string_view phone, Completion completion) {
  auto request = getRequest("getLoginNameState/" + segment(phone), ".json", {});
  sendBehindSpinner(screen, request, [](const auto& r, NVXViewController&) { return readRaw(r); },
                    std::move(completion));
}

void AccountOperations::getMobileVerifyCode(NVXViewController& screen, std::string_view phone,
                                            std::string_view smsType, Completion completion) {
  auto request = getRequest("getMobileVerifyCode/" + segment(phone), ".json", "smsType=" + std::string(smsType));
  noKeepAlive60(*request);
  sendBehindSpinner(screen, request, readEnvelope, std::move(completion));
}

void AccountOperations::getMobileVerifyState(NVXViewController& screen, std::string_view token, std::string_view code,
                                             Completion completion) {
  auto request = getRequest("getMobileVerifyState/" + segment(token) + "/" + segment(code), ".json", {});
  noKeepAlive60(*request);
  sendBehindSpinner(screen, request, readEnvelope, std::move(completion));
}

void AccountOperations::getVerCodeImg(NVXViewController& screen, std::string_view token, Completion completion) {
  auto request = getRequest("getVerCodeImg/" + segment(token), ".do", {});
  sendBehindSpinner(
      screen, request,
      [](const platform::net::HttpRequest& r, NVXViewController&) {
        AccountReply reply;
        if (r.error() || r.statusCode() == 0) return reply;
        reply.kind = AccountReply::Kind::Success;
        reply.body = r.responseData();
        return reply;
      },
      std::move(completion));
}

void AccountOperations::getImgVerCodeVerifyResult(NVXViewController& screen, std::string_view token,
                                                  std::string_view code, Completion completion) {
  auto request = getRequest("getImgVerCodeVerifyResult/" + segment(token) + "/" + segment(code), ".json", {});
  noKeepAlive60(*request);
  sendBehindSpinner(screen, request, readEnvelope, std::move(completion));
}

void AccountOperations::resetUserPassword(NVXViewController& screen, std::string_view phone, std::string_view password,
                                          std::string_view pwdSecLevel, std::string_view token,
                                          Completion completion) {
  auto request = nvxSafeAuthRequest("resetUserPassword/" + segment(phone));
  addPostAuthForNVX(*request);
  request->addPostValue("password", std::string(password));
  request->addPostValue("pwdSecLevel", std::string(pwdSecLevel));
  request->addPostValue("token", std::string(token));
  request->setMethod("PUT");
  sendBehindSpinner(screen, request, readEnvelope, std::move(completion));
}

void AccountOperations::updateUserPwd(NVXViewController& screen, std::string_view loginName, std::string_view password,
                                      std::string_view newPassword, std::string_view pwdSecLevel,
                                      std::string_view userToken, Completion completion) {
  auto request = nvxSafeAuthRequest("updateUserPwd/" + segment(loginName));
  addPostAuthForNVX(*request);
  request->addPostValue("password", std::string(password));
  request->addPostValue("newPassword", std::string(newPassword));
  request->addPostValue("pwdSecLevel", std::string(pwdSecLevel));
  request->addPostValue("token", std::string(userToken));
  request->setMethod("PUT");
  sendBehindSpinner(screen, request, readEnvelope, std::move(completion));
}

void AccountOperations::walletregister(const WalletRegistration& form, Completion completion) {
  auto request = NetService::nvxRequest("walletregister/" + segment(form.loginName));
  request->setPersistentConnection(false);
  request->setTimeout(std::chrono::seconds(30));
  request->addPostValue("password", form.password);
  request->addPostValue("pwdSecLevel", form.pwdSecLevel);
  request->addPostValue("realName", form.realName);
  request->addPostValue("idCardType", form.idCardType);
  request->addPostValue("idCardId", form.idCardId);
  request->addPostValue("email", form.email);
  request->addPostValue("series", StringsTool::getSeries());
  request->addPostValue("uid", BaseService::uid());
  request->addPostValue("vercode", BaseService::vercode());
  request->setCallback(deliverTo(std::move(completion)), std::nullopt, "POST");
  HudExt::show();
  request->startAsynchronous();
}

void AccountOperations::insertRegisterRecord(std::string_view infoStr, std::function<void(bool stored)> completion) {
  CoreOperations::insertStaticesInfoWithInfoStr(infoStr, [completion = std::move(completion)](NetResult, RetStatusEntity,
                                                                                               bool isErr) {
    if (completion) completion(!isErr);
  });
}

}  // namespace nvx
