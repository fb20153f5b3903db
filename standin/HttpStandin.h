// The base of the local server stand-ins: an HTTP or HTTPS server on 127.0.0.1 (a free port
// chosen by the system) that runs on threads of its own, answers through routes the stand-in
// registers and logs every request it receives, decoded, for tests to check.
//
// Each connection carries one request: the server answers with "Connection: close", so stopping
// it never waits for idle keep-alive connections.
#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/foundation/Sandbox.h"
#include "platform/foundation/Status.h"
#include "standin/TestCertificates.h"

namespace standin {

class HttpStandin {
 public:
  using Field = std::pair<std::string, std::string>;

  // One part of a multipart/form-data body.
  struct Part {
    std::string name;
    std::string filename;  // empty for a plain field
    std::string contentType;
    std::string content;
  };

  // A request as the server received it.
  struct Request {
    std::string method;
    std::string path;   // decoded, without the query
    std::string query;  // as sent, after the "?"
    std::vector<Field> headers;
    std::string body;   // as sent (empty for a multipart body: see parts)
    std::vector<Field> queryFields;  // the query, decoded, in order
    std::vector<Field> formFields;   // a URL-encoded body, decoded, in order
    std::vector<Part> parts;         // a multipart body, in order
    bool isHttps = false;

    // The first header of that name (case-insensitive).
    std::optional<std::string> header(std::string_view name) const;
    // The first form field of that name (URL-encoded body or multipart plain field).
    std::optional<std::string> formValue(std::string_view key) const;
  };

  struct Reply {
    int status = 200;
    std::string body;
    std::string contentType = "text/plain; charset=utf-8";
    std::vector<Field> headers;
    bool chunked = false;  // send the body with chunked transfer coding (no length up front)

    static Reply json(std::string body, int status = 200);
    static Reply text(std::string body, int status = 200);
  };

  using Handler = std::function<Reply(const Request&)>;

  struct Options {
    bool https = false;
    platform::Path certFile;  // PEM, HTTPS only
    platform::Path keyFile;
    static Options httpsWith(const TestCertificates& certificates);
  };

  HttpStandin();
  explicit HttpStandin(Options options);
  ~HttpStandin();  // stops
  HttpStandin(const HttpStandin&) = delete;
  HttpStandin& operator=(const HttpStandin&) = delete;

  // Binds 127.0.0.1 on a free port and starts serving.
  platform::Status start();
  // Stops serving: held replies are released, open connections end, the threads are joined.
  void stop();
  bool isRunning() const;
  uint16_t port() const;
  // "http://127.0.0.1:<port>" or "https://127.0.0.1:<port>".
  std::string baseUrl() const;

  // Answers requests whose method is method ("*": any) and whose path is pattern, or starts with
  // it when pattern ends with "*". The first matching route answers; registering the same method
  // and pattern again replaces that route. Requests no route takes get 404.
  void route(std::string method, std::string pattern, Handler handler);

  // The requests received so far, oldest first.
  std::vector<Request> requests() const;
  size_t requestCount() const;
  std::optional<Request> lastRequest() const;
  void clearRequests();

  // For a handler that must not answer yet (a server that hangs): waits until the stand-in stops
  // or limit of real time passes. True when it stopped.
  bool holdUntilStopped(std::chrono::milliseconds limit);
  // For a handler whose reply waits for the test: waits until releaseHeld() or a stop. True when
  // it stopped.
  bool holdUntilReleased();
  // Lets every reply waiting in holdUntilReleased go on.
  void releaseHeld();
  // The replies waiting in holdUntilReleased now.
  size_t heldCount() const;

  // Decodes "a=1&b=x+y%21" into ordered pairs ("+" is a space).
  static std::vector<Field> parseUrlEncoded(std::string_view text);

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// The reply codes ("retStatus"."retCode") the service's servers share.
struct ServiceCodes {
  static constexpr std::string_view kOk = "0000";
  static constexpr std::string_view kIdentityRefused = "2001";
  static constexpr std::string_view kBadRequest = "2003";
};

// The part every stand-in server shares: the one HttpStandin it serves with, started, stopped
// and named here. A stand-in adds its routes in its constructor and its own options (settings,
// scripts, held replies) beside. Its handlers reach its own members, so its destructor calls
// stop() while they still live; a stand-in that holds replies lets them go in its stop() before
// the server's threads are joined.
class StandinServer {
 public:
  StandinServer(const StandinServer&) = delete;
  StandinServer& operator=(const StandinServer&) = delete;
  virtual ~StandinServer() = default;

  // Binds 127.0.0.1 on a free port and starts serving.
  virtual platform::Status start() { return http_.start(); }
  virtual void stop() { http_.stop(); }
  // "http(s)://127.0.0.1:<port>".
  std::string baseUrl() const { return http_.baseUrl(); }
  // The underlying server and its request log.
  HttpStandin& http() { return http_; }
  const HttpStandin& http() const { return http_; }

 protected:
  // Plain HTTP.
  StandinServer() = default;
  // HTTPS with these certificates when given, else plain HTTP.
  explicit StandinServer(const std::optional<TestCertificates>& tls)
      : http_(tls ? HttpStandin::Options::httpsWith(*tls) : HttpStandin::Options{}) {}

 private:
  HttpStandin http_;
};

}  // namespace standin
