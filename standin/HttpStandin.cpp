// The build passes cpp-httplib's own flags (TLS, zlib, brotli) with its pkg-config target; the
// class layouts in the header must match the installed library, which is built with TLS.
#ifndef CPPHTTPLIB_OPENSSL_SUPPORT
#define CPPHTTPLIB_OPENSSL_SUPPORT
#endif
#include <httplib.h>

#include "standin/HttpStandin.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/foundation/Log.h"

namespace standin {

namespace {

constexpr std::string_view kTag = "HttpStandin";

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && sameName(text.substr(0, prefix.size()), prefix);
}

// Headers httplib adds to a request for its handlers; they never came over the wire.
bool isPseudoHeader(const std::string& name) {
  return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT";
}

struct Route {
  std::string method;
  std::string pattern;
  HttpStandin::Handler handler;

  bool matches(const std::string& m, const std::string& path) const {
    if (method != "*" && method != m) return false;
    if (!pattern.empty() && pattern.back() == '*') {
      return path.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
    }
    return path == pattern;
  }
};

}  // namespace

struct HttpStandin::Impl {
  Options options;
  std::unique_ptr<httplib::Server> server;
  std::thread thread;
  uint16_t port = 0;

  mutable std::mutex mutex;
  std::condition_variable released;
  bool stopping = false;
  size_t held = 0;         // replies waiting in holdUntilReleased
  uint64_t releases = 0;   // releaseHeld calls so far
  std::vector<Route> routes;
  std::vector<Request> log;

  Request record(const httplib::Request& req, std::string body, std::vector<Part> parts) const {
    Request r;
    r.method = req.method;
    r.path = req.path;
    if (auto q = req.target.find('?'); q != std::string::npos) r.query = req.target.substr(q + 1);
    for (const auto& [name, value] : req.headers) {
      if (!isPseudoHeader(name)) r.headers.emplace_back(name, value);
    }
    r.queryFields = parseUrlEncoded(r.query);
    auto type = r.header("Content-Type");
    if (type && startsWithNoCase(*type, "application/x-www-form-urlencoded")) r.formFields = parseUrlEncoded(body);
    r.body = std::move(body);
    r.parts = std::move(parts);
    r.isHttps = options.https;
    return r;
  }

  void serve(const httplib::Request& req, httplib::Response& res, std::string body, std::vector<Part> parts) {
    Request r = record(req, std::move(body), std::move(parts));
    Handler handler;
    {
      std::lock_guard<std::mutex> lock(mutex);
      log.push_back(r);
      for (const auto& route : routes) {
        if (route.matches(r.method, r.path)) {
          handler = route.handler;
          break;
        }
      }
    }
    Reply reply = handler ? handler(r) : Reply::text("no route for " + r.method + " " + r.path, 404);
    res.status = reply.status;
    for (const auto& [name, value] : reply.headers) res.set_header(name, value);
    if (reply.chunked) {
      auto data = std::make_shared<std::string>(std::move(reply.body));
      res.set_chunked_content_provider(reply.contentType, [data](size_t offset, httplib::DataSink& sink) {
        constexpr size_t kPiece = 64 * 1024;
        if (offset < data->size()) {
          size_t n = std::min(kPiece, data->size() - offset);
          if (!sink.write(data->data() + offset, n)) return false;
        }
        if (offset + kPiece >= data->size()) sink.done();
        return true;
      });
    } else {
      res.body = std::move(reply.body);  // set_content would copy it
      res.set_header("Content-Type", reply.contentType);
    }
  }

  void serveWithBody(const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& reader) {
    std::string body;
    std::vector<Part> parts;
    if (req.is_multipart_form_data()) {
      reader(
          [&](const httplib::MultipartFormData& header) {
            parts.push_back(Part{header.name, header.filename, header.content_type, {}});
            return true;
          },
          [&](const char* data, size_t length) {
            if (!parts.empty()) parts.back().content.append(data, length);
            return true;
          });
    } else {
      reader([&](const char* data, size_t length) {
        body.append(data, length);
        return true;
      });
    }
    serve(req, res, std::move(body), std::move(parts));
  }
};

std::optional<std::string> HttpStandin::Request::header(std::string_view name) const {
  for (const auto& [n, v] : headers) {
    if (sameName(n, name)) return v;
  }
  return std::nullopt;
}

std::optional<std::string> HttpStandin::Request::formValue(std::string_view key) const {
  for (const auto& [k, v] : formFields) {
    if (k == key) return v;
  }
  for (const auto& p : parts) {
    if (p.name == key && p.filename.empty()) return p.content;
  }
  return std::nullopt;
}

HttpStandin::Reply HttpStandin::Reply::json(std::string body, int status) {
  Reply r;
  r.status = status;
  r.body = std::move(body);
  r.contentType = "application/json; charset=utf-8";
  return r;
}

HttpStandin::Reply HttpStandin::Reply::text(std::string body, int status) {
  Reply r;
  r.status = status;
  r.body = std::move(body);
  return r;
}

HttpStandin::Options HttpStandin::Options::httpsWith(const TestCertificates& certificates) {
  Options o;
  o.https = true;
  o.certFile = certificates.serverCertFile;
  o.keyFile = certificates.serverKeyFile;
  return o;
}

HttpStandin::HttpStandin() : HttpStandin(Options{}) {}

HttpStandin::HttpStandin(Options options) : impl_(std::make_unique<Impl>()) {
  impl_->options = std::move(options);
}

HttpStandin::~HttpStandin() { stop(); }

platform::Status HttpStandin::start() {
  if (impl_->server) return platform::Status::error("the stand-in is already running");
  std::unique_ptr<httplib::Server> server;
  if (impl_->options.https) {
    auto tls = std::make_unique<httplib::SSLServer>(impl_->options.certFile.c_str(), impl_->options.keyFile.c_str());
    if (!tls->is_valid()) return platform::Status::error("the HTTPS stand-in cannot use its certificate or key");
    server = std::move(tls);
  } else {
    server = std::make_unique<httplib::Server>();
  }
  server->set_keep_alive_max_count(1);
  Impl* impl = impl_.get();
  server->Get(".*", [impl](const httplib::Request& req, httplib::Response& res) {
    impl->serve(req, res, req.body, {});
  });
  auto withBody = [impl](const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& reader) {
    impl->serveWithBody(req, res, reader);
  };
  server->Post(".*", withBody);
  server->Put(".*", withBody);
  server->Patch(".*", withBody);
  server->Delete(".*", withBody);
  server->Options(".*", [impl](const httplib::Request& req, httplib::Response& res) {
    impl->serve(req, res, req.body, {});
  });

  int port = server->bind_to_any_port("127.0.0.1");
  if (port <= 0) return platform::Status::error("the stand-in cannot bind 127.0.0.1");
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->stopping = false;
  }
  impl_->port = static_cast<uint16_t>(port);
  impl_->server = std::move(server);
  httplib::Server* s = impl_->server.get();
  impl_->thread = std::thread([s] { s->listen_after_bind(); });
  // stop() only reaches a server that has entered its accept loop.
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!s->is_running() && std::chrono::steady_clock::now() < limit) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!s->is_running()) {
    platform::log::error(kTag, "the stand-in did not start serving");
    stop();
    return platform::Status::error("the stand-in did not start serving");
  }
  return platform::Status::success();
}

void HttpStandin::stop() {
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->stopping = true;
  }
  impl_->released.notify_all();
  if (impl_->server) impl_->server->stop();
  if (impl_->thread.joinable()) impl_->thread.join();
  impl_->server.reset();
}

bool HttpStandin::isRunning() const { return impl_->server && impl_->server->is_running(); }

uint16_t HttpStandin::port() const { return impl_->port; }

std::string HttpStandin::baseUrl() const {
  return std::string(impl_->options.https ? "https" : "http") + "://127.0.0.1:" + std::to_string(impl_->port);
}

void HttpStandin::route(std::string method, std::string pattern, Handler handler) {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  for (auto& r : impl_->routes) {
    if (r.method == method && r.pattern == pattern) {
      r.handler = std::move(handler);
      return;
    }
  }
  impl_->routes.push_back(Route{std::move(method), std::move(pattern), std::move(handler)});
}

std::vector<HttpStandin::Request> HttpStandin::requests() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->log;
}

size_t HttpStandin::requestCount() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->log.size();
}

std::optional<HttpStandin::Request> HttpStandin::lastRequest() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  if (impl_->log.empty()) return std::nullopt;
  return impl_->log.back();
}

void HttpStandin::clearRequests() {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->log.clear();
}

bool HttpStandin::holdUntilStopped(std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(impl_->mutex);
  return impl_->released.wait_for(lock, limit, [&] { return impl_->stopping; });
}

bool HttpStandin::holdUntilReleased() {
  std::unique_lock<std::mutex> lock(impl_->mutex);
  const uint64_t release = impl_->releases;
  ++impl_->held;
  impl_->released.wait(lock, [&] { return impl_->stopping || impl_->releases != release; });
  --impl_->held;
  return impl_->stopping;
}

void HttpStandin::releaseHeld() {
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    ++impl_->releases;
  }
  impl_->released.notify_all();
}

size_t HttpStandin::heldCount() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->held;
}

std::vector<HttpStandin::Field> HttpStandin::parseUrlEncoded(std::string_view text) {
  std::vector<Field> out;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('&', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view item = text.substr(start, end - start);
    if (!item.empty()) {
      size_t eq = item.find('=');
      std::string key(item.substr(0, eq));
      std::string value(eq == std::string_view::npos ? std::string_view() : item.substr(eq + 1));
      out.emplace_back(httplib::detail::decode_url(key, true), httplib::detail::decode_url(value, true));
    }
    start = end + 1;
  }
  return out;
}

}  // namespace standin
