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

#include "net/RetStatusEntity.h"
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
// Reply data mapped to model classes.

// A model class that "retData" is mapped into. T provides `static T initWithJson(const
// platform::Json&)` (anything but an object counts as nothing and gives an empty model), or a
// `static std::shared_ptr<T> initWithJson(const platform::Json&)`.
class EntityClass {
 public:
  using Make = std::function<std::shared_ptr<void>(const platform::Json&)>;

  template <class T>
  static EntityClass of() {
    return EntityClass(std::type_index(typeid(T)), [](const platform::Json& json) -> std::shared_ptr<void> {
      if constexpr (std::is_same_v<decltype(T::initWithJson(json)), std::shared_ptr<T>>) {
        return T::initWithJson(json);
      } else {
        return std::make_shared<T>(T::initWithJson(json));
      }
    });
  }

  std::type_index type() const { return type_; }
  std::shared_ptr<void> make(const platform::Json& json) const { return make_(json); }

 private:
  EntityClass(std::type_index type, Make make) : type_(type), make_(std::move(make)) {}
  std::type_index type_;
  Make make_;
};

// The result handed to a response callback: nothing, the raw JSON ("retData" as read, when the
// request has no entity class), one model, or a list of models (when "retData" is a list).
class NetResult {
 public:
  NetResult() = default;  // nothing
  static NetResult json(platform::Json value);
  static NetResult object(std::type_index type, std::shared_ptr<void> object);
  static NetResult list(std::type_index type, std::vector<std::shared_ptr<void>> objects);

  bool isNothing() const { return kind_ == Kind::Nothing; }
  bool isJson() const { return kind_ == Kind::Json; }
  bool isObject() const { return kind_ == Kind::Object; }
  bool isList() const { return kind_ == Kind::List; }

  // The raw JSON, or nullptr.
  const platform::Json* json() const { return kind_ == Kind::Json ? &json_ : nullptr; }
  // The one model when it is a T, else nullptr.
  template <class T>
  std::shared_ptr<T> object() const {
    if (kind_ != Kind::Object || type_ != std::type_index(typeid(T))) return nullptr;
    return std::static_pointer_cast<T>(objects_.front());
  }
  // The models when they are Ts (an empty list for anything else).
  template <class T>
  std::vector<std::shared_ptr<T>> list() const {
    std::vector<std::shared_ptr<T>> out;
    if (kind_ != Kind::List || type_ != std::type_index(typeid(T))) return out;
    for (const auto& o : objects_) out.push_back(std::static_pointer_cast<T>(o));
    return out;
  }
  size_t listSize() const { return kind_ == Kind::List ? objects_.size() : 0; }

 private:
  enum class Kind { Nothing, Json, Object, List };
  Kind kind_ = Kind::Nothing;
  platform::Json json_;
  std::type_index type_ = std::type_index(typeid(void));
  std::vector<std::shared_ptr<void>> objects_;
};

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
  std::optional<EntityClass> entityClass_;
  ResponseBlock responseBlock_;
};

}  // namespace nvx
