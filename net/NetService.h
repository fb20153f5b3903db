// The request layer of the main API.
//
// Addresses: every method address is the main API's base address (ServerConfig), the method
// path, ".json" and, where used, "?" with the run's identity ("uid=..&vercode=.."), the user
// token pair and the caller's params, joined by "&". Nothing is percent-escaped here: callers
// escape their own parameter values.
//
// Two roads lead to the server:
//  - asynchronous: a NetService request with a response callback. Its reply goes through the
//    error ladder (requestFinished / requestFailed) and the callback runs later on the main run
//    loop with (result, status, isErr), at most once: never when the token-expiry handler takes
//    the reply over, never after cancel();
//  - synchronous: a plain form request (nvxRequest / nvxSafeAuthRequest below, or any
//    platform::net::HttpRequest) started with startSynchronous() on a worker; the caller reads
//    the body with ParseTool.
// On both roads the request hook (RequestHook) runs when the request starts.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <vector>

#include "net/NetResult.h"
#include "net/OnceCompletion.h"
#include "net/RequestSession.h"
#include "net/RetStatusEntity.h"
#include "net/ServerReply.h"
#include "platform/foundation/Json.h"
#include "platform/net/HttpRequest.h"

namespace nvx {

// ---------------------------------------------------------------------------------------------
// Addresses (class operations of the string and URL extensions).

// The main API's base address (ends with "/").
std::string nvxServerAddress();
// "uid=<uid>&vercode=<vercode>" of this run.
std::string nvxSafeAuth();
// base + path + ".json"
std::string nvxJsonUrl(std::string_view path);
// base + path + ".json?" + params
std::string nvxJsonUrl(std::string_view path, std::string_view params);
// base + path + ".json?" + identity
std::string nvxSafeAuthJsonUrl(std::string_view path);
// base + path + ".json?" + identity + "&" + params
std::string nvxSafeAuthJsonUrl(std::string_view path, std::string_view params);
// base + path + ".json?" + identity + "&userToken=" + the current user's token
std::string nvxTokenJsonUrl(std::string_view path);
// base + path + ".json?" + identity + "&userToken=" + token + "&" + params
std::string nvxTokenJsonUrl(std::string_view path, std::string_view params);

// ---------------------------------------------------------------------------------------------
// Extension of the HTTP client's request classes.

// The request's address as text.
std::string urlString(const platform::net::HttpRequest& request);
// Plain form requests ("POST") for nvxJsonUrl(path) / nvxSafeAuthJsonUrl(path[, params]): the
// requests of the synchronous road.
std::shared_ptr<platform::net::HttpRequest> nvxRequest(std::string_view path);
std::shared_ptr<platform::net::HttpRequest> nvxSafeAuthRequest(std::string_view path);
std::shared_ptr<platform::net::HttpRequest> nvxSafeAuthRequest(std::string_view path, std::string_view params);

// The value of the first field with that name.
std::optional<std::string> postValueForKey(const platform::net::HttpRequest& request, std::string_view name);
bool isExistsPostValueForKey(const platform::net::HttpRequest& request, std::string_view name);
// Removes the first field with that name; whether there was one.
bool removePostValueForKey(platform::net::HttpRequest& request, std::string_view name);
// Sets "uid" and "vercode" of this run.
void addPostAuthForNVX(platform::net::HttpRequest& request);
// Sets "userToken" = the current user's token.
void addPostUserTokenForNVX(platform::net::HttpRequest& request);
// addPostAuthForNVX, addPostUserTokenForNVX, then sets "busid" = busid, "termid" = the user's
// reader terminal id (psamId), "mobile" = the user's login name.
void addPostProfileForNVX(platform::net::HttpRequest& request, std::string_view busid);
// An empty number: "issms" = "0"; otherwise "issms" = "1" and "mobileno" = the number.
void addPostSMSPhoneForNVX(platform::net::HttpRequest& request, std::string_view phone);
// The request's field list as it stands.
std::vector<platform::net::PostField> getPostdataForNVX(const platform::net::HttpRequest& request);

// ---------------------------------------------------------------------------------------------

class NetService : public platform::net::HttpRequest {
 public:
  // result, status, isErr
  using ResponseBlock = std::function<void(NetResult result, RetStatusEntity status, bool isErr)>;

  // A NetService request ("POST" until a setCallback sets the method) for the address.
  static std::shared_ptr<NetService> requestWithURL(std::string url);
  // For nvxJsonUrl(path) / nvxSafeAuthJsonUrl(path[, params]).
  static std::shared_ptr<NetService> nvxRequest(std::string_view path);
  static std::shared_ptr<NetService> nvxSafeAuthRequest(std::string_view path);
  static std::shared_ptr<NetService> nvxSafeAuthRequest(std::string_view path, std::string_view params);

  // Quick requests: a GET of nvxSafeAuthRequest(path, params) when params is given (an empty
  // text counts as given), else of nvxSafeAuthRequest(path), started asynchronously.
  static std::shared_ptr<NetService> nvxQuickSafeRequest(std::string_view path,
                                                         std::optional<std::string> params,
                                                         ResponseBlock callback,
                                                         std::optional<EntityClass> entity);
  static std::shared_ptr<NetService> nvxQuickSafeRequest(std::string_view path, ResponseBlock callback,
                                                         std::optional<EntityClass> entity);
  // The same with the window's progress indicator shown after the start and hidden before the
  // caller's callback runs. Main thread.
  static std::shared_ptr<NetService> nvxQuickSafeUIRequest(std::string_view path,
                                                           std::optional<std::string> params,
                                                           ResponseBlock callback,
                                                           std::optional<EntityClass> entity);
  static std::shared_ptr<NetService> nvxQuickSafeUIRequest(std::string_view path, ResponseBlock callback,
                                                           std::optional<EntityClass> entity);

  // The crash log to the main API ("uploadErrorLog"): a multipart POST with the session's and the
  // device's identity, the log level "crash", the version "28", a description and the file as
  // "logdata". It carries its own body, so the request hook adds nothing. Started
  // asynchronously; a success without data counts as no error for the callback.
  static std::shared_ptr<NetService> uploadErrorLogWithFile(const platform::Path& file, ResponseBlock block);

  ~NetService() override;

  const std::optional<EntityClass>& entityClass() const { return entityClass_; }
  void setEntityClass(std::optional<EntityClass> entity) { entityClass_ = std::move(entity); }

  // Method "GET", no entity class.
  void setCallback(ResponseBlock callback);
  // Method "GET".
  void setCallback(ResponseBlock callback, std::optional<EntityClass> entity);
  // No entity class.
  void setCallback(ResponseBlock callback, std::string requestMethod);
  // Sets the method, the entity class and the response callback, in this order.
  void setCallback(ResponseBlock callback, std::optional<EntityClass> entity, std::string requestMethod);
  // Keeps the callback (replacing an earlier one); the request is then its own delegate.
  void setResponseBlock(ResponseBlock callback);
  bool hasResponseBlock() const { return static_cast<bool>(responseBlock_); }

  // Starts on the HTTP thread (the request hook runs first). With a response callback the
  // finish and failure events reach requestFinished / requestFailed; without one nobody is told.
  void startAsynchronous();

  // The road of MainApiRequest: starts on the HTTP thread; the completion runs exactly once on
  // the main loop with the judged reply (also for a session expiry the handler took over, and
  // with Cancelled after cancelRequest()). Replaces any response callback.
  void startAsynchronous(OnceCompletion<void(ServerReply)> completion);
  // Cancels a running request; a pending completion runs with Cancelled.
  void cancelRequest();

  // The session the request hook uses for this request (set by MainApiRequest); without one
  // the hook takes RequestSession::forRequestStart().
  const std::optional<RequestSession>& session() const { return session_; }
  void setSession(RequestSession session) { session_ = std::move(session); }
  // The window's spinner: shown by the starter, hidden before the completion runs.
  void setHidesSpinnerOnReply(bool on) { hidesSpinner_ = on; }

  // The window's spinner through the installed hooks (main thread or not).
  static void showWindowIndicator();
  static void hideWindowIndicator();

  // The finished request judged by the ladder (the synchronous road; no expired-login handling).
  ServerReply reply() const;

  // The HTTP client's events: the error ladder, ending in dispatchBlockWithResult (or in the
  // token-expiry handler, which then owns the reply and the callback never runs).
  void requestFinished();
  void requestFailed();
  // Queues the response callback with these values on the main run loop (always later, also
  // from the main thread). The callback is released after it ran.
  void dispatchBlockWithResult(NetResult result, RetStatusEntity status, bool isErr);

  // Classifiers of a delivered status.
  // "0000" with the "ReturnDataIsNil" text: a success without data.
  static bool isRetOkButNilData(const RetStatusEntity& status);
  static bool isNetworkConnectionFailed(const RetStatusEntity& status);
  static bool isUserTokenError(const RetStatusEntity& status);
  // The "Error_Unknown" or "Error_Data" text.
  static bool isRetDataError(const RetStatusEntity& status);

  // The ladder on a received body, without a request: (result, status, isErr), or nothing when
  // the token-expiry handler took the reply over. Used by requestFinished (and the fuzzer).
  struct Delivery {
    NetResult result;
    RetStatusEntity status;
    bool isErr = true;
  };
  static std::optional<Delivery> judgeReply(std::string_view body, const std::optional<EntityClass>& entity);

 protected:
  explicit NetService(std::string url);

 private:
  // Hands a judged reply to the completion or to the response callback (main thread).
  void deliver(ServerReply reply);

  std::optional<EntityClass> entityClass_;
  ResponseBlock responseBlock_;
  std::optional<RequestSession> session_;
  OnceCompletion<void(ServerReply)> completion_;
  bool hidesSpinner_ = false;
};

}  // namespace nvx
