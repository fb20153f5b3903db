#include "net/NetService.h"

#include "core/session/User.h"
#include "net/BaseService.h"
#include "net/MainApiRequest.h"
#include "net/DataStatistics.h"
#include "net/NetUiHooks.h"
#include "net/RequestHook.h"
#include "net/ServerConfig.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "NetService";

using platform::Json;
using platform::Strings;
using platform::net::HttpRequest;

std::string text(std::string_view key) { return Strings::localized(key); }

}  // namespace

// The window's progress indicator (the application's spinner over its window).
void NetService::showWindowIndicator() { NetUiHooks::showSpinner(); }

void NetService::hideWindowIndicator() { NetUiHooks::hideSpinner(); }

namespace {

// make_shared needs a constructor it can reach.
struct MadeNetService final : NetService {
  explicit MadeNetService(std::string url) : NetService(std::move(url)) {}
};

std::shared_ptr<HttpRequest> formRequest(std::string url) {
  RequestHook::install();
  return HttpRequest::make(std::move(url), true);
}

}  // namespace

// --- addresses ---

std::string nvxServerAddress() {
  RequestHook::install();
  return ServerConfig::current().mainApiBase();
}

std::string nvxSafeAuth() { return MainApiRequest::identityQuery(Identity::Plain, RequestSession::forRequestStart()); }

std::string nvxJsonUrl(std::string_view path) { return nvxServerAddress() + std::string(path) + ".json"; }

std::string nvxJsonUrl(std::string_view path, std::string_view params) {
  return nvxJsonUrl(path) + "?" + std::string(params);
}

std::string nvxSafeAuthJsonUrl(std::string_view path) { return nvxJsonUrl(path, nvxSafeAuth()); }

std::string nvxSafeAuthJsonUrl(std::string_view path, std::string_view params) {
  return nvxJsonUrl(path, nvxSafeAuth() + "&" + std::string(params));
}

std::string nvxTokenJsonUrl(std::string_view path) {
  return nvxJsonUrl(path, MainApiRequest::identityQuery(Identity::Token, RequestSession::forRequestStart()));
}

std::string nvxTokenJsonUrl(std::string_view path, std::string_view params) {
  return nvxTokenJsonUrl(path) + "&" + std::string(params);
}

// --- request extensions ---

std::string urlString(const HttpRequest& request) { return request.url(); }

std::shared_ptr<HttpRequest> nvxRequest(std::string_view path) { return formRequest(nvxJsonUrl(path)); }

std::shared_ptr<HttpRequest> nvxSafeAuthRequest(std::string_view path) {
  return formRequest(nvxSafeAuthJsonUrl(path));
}

std::shared_ptr<HttpRequest> nvxSafeAuthRequest(std::string_view path, std::string_view params) {
  return formRequest(nvxSafeAuthJsonUrl(path, params));
}

std::optional<std::string> postValueForKey(const HttpRequest& request, std::string_view name) {
  return request.postValue(name);
}

bool isExistsPostValueForKey(const HttpRequest& request, std::string_view name) {
  return request.hasPostValue(name);
}

bool removePostValueForKey(HttpRequest& request, std::string_view name) { return request.removeFirstPostValue(name); }

void addPostAuthForNVX(HttpRequest& request) {
  MainApiRequest::stamp(request, Identity::Plain, RequestSession::forRequestStart());
}

void addPostUserTokenForNVX(HttpRequest& request) {
  MainApiRequest::stampValue(request, "userToken", SessionValue::UserToken, RequestSession::forRequestStart());
}

void addPostProfileForNVX(HttpRequest& request, std::string_view busid) {
  MainApiRequest::stamp(request, Identity::Profile, RequestSession::forRequestStart(), busid);
}

void addPostSMSPhoneForNVX(HttpRequest& request, std::string_view phone) {
  if (phone.empty()) {
    request.setPostValue("issms", "0");
    return;
  }
  request.setPostValue("issms", "1");
  request.setPostValue("mobileno", std::string(phone));
}

std::vector<platform::net::PostField> getPostdataForNVX(const HttpRequest& request) { return request.postFields(); }

// --- results ---

NetResult NetResult::json(Json value) {
  NetResult r;
  r.kind_ = Kind::Json;
  r.json_ = std::move(value);
  return r;
}

NetResult NetResult::object(std::type_index type, std::shared_ptr<void> object) {
  NetResult r;
  if (!object) return r;
  r.kind_ = Kind::Object;
  r.type_ = type;
  r.objects_.push_back(std::move(object));
  return r;
}

NetResult NetResult::list(std::type_index type, std::vector<std::shared_ptr<void>> objects) {
  NetResult r;
  r.kind_ = Kind::List;
  r.type_ = type;
  r.objects_ = std::move(objects);
  return r;
}

// --- NetService ---

NetService::NetService(std::string url) : HttpRequest(std::move(url), true) {}

NetService::~NetService() = default;

std::shared_ptr<NetService> NetService::requestWithURL(std::string url) {
  RequestHook::install();
  return std::make_shared<MadeNetService>(std::move(url));
}

std::shared_ptr<NetService> NetService::nvxRequest(std::string_view path) { return requestWithURL(nvxJsonUrl(path)); }

std::shared_ptr<NetService> NetService::nvxSafeAuthRequest(std::string_view path) {
  return requestWithURL(nvxSafeAuthJsonUrl(path));
}

std::shared_ptr<NetService> NetService::nvxSafeAuthRequest(std::string_view path, std::string_view params) {
  return requestWithURL(nvxSafeAuthJsonUrl(path, params));
}

namespace {

MainApiRequest quickRequest(std::string_view path, const std::optional<std::string>& params,
                            std::optional<EntityClass> entity) {
  auto request = MainApiRequest::get(std::string(path), Identity::Plain, RequestSession::forRequestStart());
  if (params) request.rawQuery(*params);
  if (entity) request.entity(std::move(*entity));
  return request;
}

}  // namespace

std::shared_ptr<NetService> NetService::nvxQuickSafeRequest(std::string_view path, std::optional<std::string> params,
                                                            ResponseBlock callback,
                                                            std::optional<EntityClass> entity) {
  return quickRequest(path, params, std::move(entity)).startWithBlock(std::move(callback));
}

std::shared_ptr<NetService> NetService::nvxQuickSafeRequest(std::string_view path, ResponseBlock callback,
                                                            std::optional<EntityClass> entity) {
  return nvxQuickSafeRequest(path, std::nullopt, std::move(callback), std::move(entity));
}

std::shared_ptr<NetService> NetService::nvxQuickSafeUIRequest(std::string_view path, std::optional<std::string> params,
                                                              ResponseBlock callback,
                                                              std::optional<EntityClass> entity) {
  return quickRequest(path, params, std::move(entity)).spinner().startWithBlock(std::move(callback));
}

std::shared_ptr<NetService> NetService::nvxQuickSafeUIRequest(std::string_view path, ResponseBlock callback,
                                                              std::optional<EntityClass> entity) {
  return nvxQuickSafeUIRequest(path, std::nullopt, std::move(callback), std::move(entity));
}

std::shared_ptr<NetService> NetService::uploadErrorLogWithFile(const platform::Path& file, ResponseBlock block) {
  auto request = MainApiRequest::postForm("uploadErrorLog", Identity::None, RequestSession::forRequestStart())
                     .timeout(std::chrono::seconds(60))
                     .sessionValue("userToken", SessionValue::UserToken)
                     .sessionValue("uid", SessionValue::Uid)
                     .sessionValue("vercode", SessionValue::Vercode)
                     .field("loginName", User::currentOrRecordLoginName())
                     .field("imei", DataStatistics::sharedDataStatistics().deviceId())
                     .field("logLevel", "crash")
                     .field("version", "28")
                     .field("desc", "app crash message")
                     .build();
  request->addFile("logdata", file);
  request->setNeedPostBody(true);
  request->setCallback(
      [block = std::move(block)](NetResult result, RetStatusEntity status, bool isErr) {
        if (isErr && isRetOkButNilData(status)) isErr = false;
        if (block) block(std::move(result), std::move(status), isErr);
      },
      "POST");
  request->startAsynchronous();
  return request;
}

void NetService::setCallback(ResponseBlock callback) { setCallback(std::move(callback), std::nullopt, "GET"); }

void NetService::setCallback(ResponseBlock callback, std::optional<EntityClass> entity) {
  setCallback(std::move(callback), std::move(entity), "GET");
}

void NetService::setCallback(ResponseBlock callback, std::string requestMethod) {
  setCallback(std::move(callback), std::nullopt, std::move(requestMethod));
}

void NetService::setCallback(ResponseBlock callback, std::optional<EntityClass> entity, std::string requestMethod) {
  setMethod(std::move(requestMethod));
  setEntityClass(std::move(entity));
  setResponseBlock(std::move(callback));
}

void NetService::setResponseBlock(ResponseBlock callback) {
  ResponseBlock previous = std::move(responseBlock_);
  responseBlock_ = std::move(callback);
}

void NetService::startAsynchronous() {
  RequestHook::install();
  if (!responseBlock_) {
    HttpRequest::startAsynchronous(nullptr, nullptr);
    return;
  }
  HttpRequest::startAsynchronous([](HttpRequest& r) { static_cast<NetService&>(r).requestFinished(); },
                                 [](HttpRequest& r) { static_cast<NetService&>(r).requestFailed(); });
}

void NetService::startAsynchronous(OnceCompletion<void(ServerReply)> completion) {
  RequestHook::install();
  responseBlock_ = nullptr;
  completion_ = std::move(completion);
  HttpRequest::startAsynchronous([](HttpRequest& r) { static_cast<NetService&>(r).requestFinished(); },
                                 [](HttpRequest& r) { static_cast<NetService&>(r).requestFailed(); });
}

void NetService::cancelRequest() {
  cancel();
  if (!completion_) return;
  ServerReply reply;
  reply.kind = FailureKind::Cancelled;
  reply.status.setRetCode(std::to_string(static_cast<int>(platform::net::HttpErrorCode::Cancelled)));
  reply.status.setErrMsg(text("NetworkConnectionFailed"));
  deliver(std::move(reply));
}

ServerReply NetService::reply() const { return ServerReply::judge(statusCode(), error(), responseData(), entityClass_); }

void NetService::requestFinished() { deliver(reply()); }

void NetService::requestFailed() {
  if (error()) platform::log::info(kTag, "request failed: " + error()->message);
  deliver(reply());
}

void NetService::deliver(ServerReply reply) {
  if (hidesSpinner_) {
    hidesSpinner_ = false;
    hideWindowIndicator();
  }
  if (reply.kind == FailureKind::SessionExpired) {
    reply.takenOver = NetUiHooks::expiredLoginTakenOver();
  }
  if (completion_) {
    auto completion = std::move(completion_);
    completion_ = {};
    completion(std::move(reply));
    return;
  }
  if (reply.takenOver) {
    responseBlock_ = nullptr;  // the token-expiry handler owns the reply
    return;
  }
  const bool isErr = reply.isErr();
  dispatchBlockWithResult(std::move(reply.result), std::move(reply.status), isErr);
}

void NetService::dispatchBlockWithResult(NetResult result, RetStatusEntity status, bool isErr) {
  ResponseBlock callback = std::move(responseBlock_);
  responseBlock_ = nullptr;
  if (!callback) return;
  platform::dispatchMain([callback = std::move(callback), result = std::move(result), status = std::move(status),
                          isErr]() mutable { callback(std::move(result), std::move(status), isErr); });
}

std::optional<NetService::Delivery> NetService::judgeReply(std::string_view body,
                                                           const std::optional<EntityClass>& entity) {
  ServerReply reply = ServerReply::judge(200, std::nullopt, std::string(body), entity);
  if (reply.kind == FailureKind::SessionExpired && NetUiHooks::expiredLoginTakenOver()) {
    return std::nullopt;  // the token-expiry handler owns the reply
  }
  Delivery d;
  d.isErr = reply.isErr();
  d.result = std::move(reply.result);
  d.status = std::move(reply.status);
  return d;
}

bool NetService::isRetOkButNilData(const RetStatusEntity& status) {
  return status.retCode() == "0000" && status.errMsg() == text("ReturnDataIsNil");
}

bool NetService::isNetworkConnectionFailed(const RetStatusEntity& status) {
  return status.errMsg() == text("NetworkConnectionFailed");
}

bool NetService::isUserTokenError(const RetStatusEntity& status) {
  return status.errMsg() == text("Error_Token_Effectiveness");
}

bool NetService::isRetDataError(const RetStatusEntity& status) {
  return status.errMsg() == text("Error_Unknown") || status.errMsg() == text("Error_Data");
}

}  // namespace nvx
