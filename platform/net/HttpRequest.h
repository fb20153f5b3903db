// The HTTP client: one request to a server, sent synchronously (blocking the calling thread) or
// asynchronously (finish or failure delivered on the main run loop).
//
// A plain request starts as "GET"; a form request starts as "POST" and carries an ordered list of
// fields that goes out URL-encoded in UTF-8, or as multipart/form-data once a file is attached. A
// request may instead supply its own body (setBody), which is sent exactly as given; the flag
// needPostBody tells the request hook that such a request must be left alone. The body goes
// out with every method but "GET" and "HEAD", which never carry one (fields set on such a
// request are not sent; a warning is logged).
//
// Redirects are followed (at most 5, HTTP and HTTPS only; a request that started on HTTPS
// follows only HTTPS addresses and fails with TlsFailure on a redirect to anything else).
// Asynchronous requests share the HTTP thread's connections; a synchronous request opens its own.
//
// Finish versus failure: any reply from the server, whatever its status code, finishes the
// request; failure means no usable reply (refused, unreachable, timed out, certificate refused,
// reply too large, cancelled, bad address). HTTPS peers and host names are always verified.
//
// Time-outs are real time (they bound waits on the network, which no virtual clock drives).
#pragma once
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Clock.h"
#include "platform/foundation/Sandbox.h"

namespace platform::net {

enum class HttpErrorCode {
  ConnectionFailed = 1,   // host unknown or unreachable, connection reset, broken reply
  ConnectionRefused = 2,  // nothing listens on the server's port
  TimedOut = 3,           // the request's time-out passed
  TlsFailure = 4,         // TLS handshake failed, the server's certificate was refused, or a
                          // redirect would have left HTTPS
  Cancelled = 5,          // cancel() (or the process shutting down)
  ResponseTooLarge = 6,   // the reply body exceeded maxResponseBytes()
  InvalidRequest = 7,     // malformed or non-HTTP address, unreadable file to upload
};

// The error object of a failed request.
struct HttpError {
  HttpErrorCode code = HttpErrorCode::ConnectionFailed;
  std::string message;  // diagnostic text, not for the user
};

// One entry of a form request's field list.
struct PostField {
  std::string key;
  std::string value;
  bool operator==(const PostField&) const = default;
};

class HttpRequest : public std::enable_shared_from_this<HttpRequest> {
 public:
  using Completion = std::function<void(HttpRequest&)>;
  using Hook = std::function<void(HttpRequest&)>;

  static constexpr Duration kDefaultTimeout = std::chrono::seconds(30);
  // A larger reply body fails the request (ResponseTooLarge) instead of filling memory.
  static constexpr size_t kDefaultMaxResponseBytes = 16u * 1024u * 1024u;

  // A plain request ("GET") or a form request ("POST").
  static std::shared_ptr<HttpRequest> make(std::string url, bool formRequest = false);
  virtual ~HttpRequest();
  HttpRequest(const HttpRequest&) = delete;
  HttpRequest& operator=(const HttpRequest&) = delete;

  // --- what to send (set before the start; the pre-start hooks may still change it) ---
  const std::string& url() const { return url_; }
  void setUrl(std::string url) { url_ = std::move(url); }
  const std::string& method() const { return method_; }
  void setMethod(std::string method) { method_ = std::move(method); }
  bool isFormRequest() const { return formRequest_; }
  // The whole request (connect, send, reply) must end within it; zero or less: the default.
  Duration timeout() const { return timeout_; }
  void setTimeout(Duration timeout) { timeout_ = timeout; }
  // On (the default): the connection may stay open for later requests, up to 60 s idle.
  // Off: the request asks for "Connection: close" and its connection is never reused.
  bool persistentConnection() const { return persistentConnection_; }
  void setPersistentConnection(bool on) { persistentConnection_ = on; }
  // The request supplies its own body; the request hook leaves it alone. NO for a new request.
  bool needPostBody() const { return needPostBody_; }
  void setNeedPostBody(bool on) { needPostBody_ = on; }

  // Extra request headers, sent in this order (a later one with the same name also goes out).
  void addRequestHeader(std::string name, std::string value);
  const std::vector<std::pair<std::string, std::string>>& requestHeaders() const { return headers_; }

  // Form fields. addPostValue appends (an entry without a name is ignored); setPostValue removes
  // every entry of that name and appends the new one at the end.
  void addPostValue(std::string key, std::string value);
  void setPostValue(std::string key, std::string value);
  // The value of the first entry with that name.
  std::optional<std::string> postValue(std::string_view key) const;
  bool hasPostValue(std::string_view key) const;
  // Removes the first entry with that name; whether there was one.
  bool removeFirstPostValue(std::string_view key);
  // The list as it stands (the request hook rewrites entries in place).
  std::vector<PostField>& postFields() { return fields_; }
  const std::vector<PostField>& postFields() const { return fields_; }

  // Attaches a file as a part of a multipart/form-data body (read when the request starts).
  void addFile(std::string field, Path file, std::string contentType = "application/octet-stream");
  struct Upload {
    std::string field;
    Path file;
    std::string contentType;
  };
  const std::vector<Upload>& uploads() const { return uploads_; }

  // The request's own body, sent as is in place of any fields and files.
  void setBody(std::string bytes, std::string contentType);
  const std::optional<std::string>& body() const { return body_; }
  const std::string& bodyContentType() const { return bodyContentType_; }

  // --- running ---
  // Runs the pre-start hooks, then sends the request and blocks until the reply, the time-out
  // or cancel() from another thread. Results are read afterwards on the same thread.
  void startSynchronous();
  // Runs the pre-start hooks, then hands the request to the HTTP thread. Exactly one of done
  // (a reply arrived) and failed (error() is set) runs later on the main run loop, never inside
  // this call; neither runs after cancel(). The HTTP client keeps the request alive until then.
  // Results are read on the main thread in the completion. Must be owned by a shared_ptr.
  void startAsynchronous(Completion done, Completion failed);
  // Stops the request. An asynchronous request runs no completion afterwards; its completions
  // are released on the main run loop. A synchronous request returns from startSynchronous with
  // a Cancelled error. Either way error() reads Cancelled once the start is over. Nothing happens
  // when the request is not running.
  void cancel();
  bool isRunning() const { return running_.load(); }

  // --- the reply ---
  int statusCode() const { return statusCode_; }   // 0 when no reply arrived
  const std::string& responseData() const { return responseData_; }
  std::string responseString() const { return responseData_; }
  // Set after a transport failure (then statusCode may still hold the status of a reply
  // that was cut off).
  const std::optional<HttpError>& error() const { return error_; }

  // A pre-start hook's veto: the start then fails locally with InvalidRequest (carrying the
  // reason) on the usual road, and nothing reaches the network. Cleared when the start is over.
  void refuse(std::string reason) { refusal_ = std::move(reason); }
  const std::optional<std::string>& refusal() const { return refusal_; }

  // --- process-wide ---
  // Runs before every start of every request, synchronous or asynchronous, on the starting
  // thread, in the order added. The hooks are forgotten when a test resets the process.
  static void addPreStartHook(Hook hook);
  // A GET whose reply nobody reads; runs no hooks.
  static void fireAndForget(std::string url);
  // The CA certificates (PEM file) HTTPS servers are verified against; empty = the system's.
  static void setCaFile(Path file);
  static Path caFile();
  // The reply size limit (kDefaultMaxResponseBytes unless set).
  static void setMaxResponseBytes(size_t bytes);
  static size_t maxResponseBytes();
  // Starts not yet settled: asynchronous ones (fireAndForget included) until their outcome has
  // run on the main loop, synchronous ones until they return to their thread. Tests wait for it
  // to reach zero instead of waiting a fixed time for replies that may be on their way.
  static size_t unsettledStarts();

  struct Run;  // one start of a request (internal)

 protected:
  HttpRequest(std::string url, bool formRequest);

 private:
  friend class HttpClient;
  void runHooks();
  std::shared_ptr<Run> begin(bool async);
  void deliver(const std::shared_ptr<Run>& run);

  std::string url_;
  std::string method_;
  bool formRequest_;
  Duration timeout_ = kDefaultTimeout;
  bool persistentConnection_ = true;
  bool needPostBody_ = false;
  std::vector<std::pair<std::string, std::string>> headers_;
  std::vector<PostField> fields_;
  std::vector<Upload> uploads_;
  std::optional<std::string> body_;
  std::string bodyContentType_;

  int statusCode_ = 0;
  std::string responseData_;
  std::optional<HttpError> error_;
  std::optional<std::string> refusal_;

  std::atomic<bool> running_{false};
  mutable std::mutex runMutex_;   // guards run_ and the completions
  std::shared_ptr<Run> run_;
  Completion done_;
  Completion failed_;
};

}  // namespace platform::net
