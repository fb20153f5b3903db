#include "platform/net/HttpRequest.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/net/NetConfig.h"
#include "platform/testing/Settle.h"
#include "platform/net/testing/HeldPorts.h"
#include "platform/testing/Testing.h"
#include "standin/HttpStandin.h"
#include "standin/TestCertificates.h"

namespace platform::net {
namespace {

using namespace std::chrono_literals;
using standin::HttpStandin;
using Fields = std::vector<HttpStandin::Field>;

class HttpRequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.route("GET", "/ok", [](const HttpStandin::Request&) { return HttpStandin::Reply::text("fine"); });
    server_.route("*", "/echo", [](const HttpStandin::Request&) { return HttpStandin::Reply::text("echo"); });
    server_.route("*", "/slow", [this](const HttpStandin::Request&) {
      server_.holdUntilStopped(3s);
      return HttpStandin::Reply::text("late");
    });
    ASSERT_TRUE(server_.start().isOk());
  }

  std::string url(const std::string& path) const { return server_.baseUrl() + path; }

  // Pumps the main run loop (real time, bounded) until pred holds.
  static bool pumpUntil(const std::function<bool()>& pred) {
    return RunLoop::main().drainIoUntil(pred, 3000ms);
  }

  // Waits (bounded, without running the main loop) until the server has seen n requests.
  bool serverSaw(size_t n) const {
    auto end = std::chrono::steady_clock::now() + 3s;
    while (server_.requestCount() < n) {
      if (std::chrono::steady_clock::now() > end) return false;
      std::this_thread::yield();
    }
    return true;
  }

  HttpStandin server_;
};

// The outcome of one asynchronous start.
struct Outcome {
  int done = 0;
  int failed = 0;
  std::thread::id thread;
  int status = 0;
  std::string data;
  std::optional<HttpError> error;

  HttpRequest::Completion onDone() {
    return [this](HttpRequest& r) { record(r, done); };
  }
  HttpRequest::Completion onFailed() {
    return [this](HttpRequest& r) { record(r, failed); };
  }
  void record(HttpRequest& r, int& counter) {
    ++counter;
    thread = std::this_thread::get_id();
    status = r.statusCode();
    data = r.responseData();
    error = r.error();
  }
  int calls() const { return done + failed; }
};

TEST_F(HttpRequestTest, FormFieldsGoOutInListOrderAndSettingAFieldReplacesEveryEntry) {
  auto r = HttpRequest::make(url("/echo"), true);
  r->addPostValue("b", "1");
  r->addPostValue("a", "x y&z=中+");
  r->addPostValue("b", "2");
  r->addPostValue("", "a field without a name is ignored");
  r->setPostValue("c", "3");
  r->setPostValue("b", "last");  // both "b" entries go; the new one is last
  r->addPostValue("d", "first d");
  r->addPostValue("d", "second d");
  EXPECT_TRUE(r->removeFirstPostValue("d"));
  EXPECT_FALSE(r->removeFirstPostValue("missing"));
  EXPECT_EQ(r->postValue("d"), "second d");
  EXPECT_EQ(r->postValue("missing"), std::nullopt);
  EXPECT_TRUE(r->hasPostValue("a"));

  r->startSynchronous();

  ASSERT_FALSE(r->error()) << r->error()->message;
  auto got = server_.lastRequest();
  ASSERT_TRUE(got);
  EXPECT_EQ(got->method, "POST");
  EXPECT_EQ(got->header("Content-Type"), "application/x-www-form-urlencoded; charset=utf-8");
  EXPECT_EQ(got->body, "a=x%20y%26z%3D%E4%B8%AD%2B&c=3&b=last&d=second%20d");
  EXPECT_EQ(got->formFields, (Fields{{"a", "x y&z=中+"}, {"c", "3"}, {"b", "last"}, {"d", "second d"}}));
}

TEST_F(HttpRequestTest, MethodsAndBodies) {
  struct Case {
    const char* name;
    bool form;
    const char* method;  // nullptr: the request's default
    bool withField;
    const char* sentMethod;
    const char* sentBody;
  };
  const Case cases[] = {
      {"plain request", false, nullptr, false, "GET", ""},
      {"form request", true, nullptr, true, "POST", "k=v"},
      {"empty form", true, nullptr, false, "POST", ""},
      {"form PUT", true, "PUT", true, "PUT", "k=v"},
      {"form DELETE with a field", true, "DELETE", true, "DELETE", "k=v"},
      {"form DELETE without fields", true, "DELETE", false, "DELETE", ""},
      {"form GET sends no body", true, "GET", true, "GET", ""},
      {"plain POST", false, "POST", false, "POST", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server_.clearRequests();
    auto r = HttpRequest::make(url("/echo"), c.form);
    EXPECT_EQ(r->method(), c.form ? "POST" : "GET");
    if (c.method) r->setMethod(c.method);
    if (c.withField) r->addPostValue("k", "v");
    r->startSynchronous();
    ASSERT_FALSE(r->error()) << r->error()->message;
    EXPECT_EQ(r->statusCode(), 200);
    EXPECT_EQ(r->responseString(), "echo");
    auto got = server_.lastRequest();
    ASSERT_TRUE(got);
    EXPECT_EQ(got->method, c.sentMethod);
    EXPECT_EQ(got->body, c.sentBody);
    if (std::string(c.sentMethod) == "POST" || std::string(c.sentMethod) == "PUT") {
      EXPECT_EQ(got->header("Content-Length"), std::to_string(std::string(c.sentBody).size()));
    }
  }
}

TEST_F(HttpRequestTest, AttachingAFileSendsTheFormAsMultipart) {
  Path file = Sandbox::tmp() / "stats.csv";
  const std::string content = std::string("1001,2013-06-01 10:00:00,abc\n") + '\0' + "\xff\xfe";
  ASSERT_TRUE(fs::writeAtomic(file, content));
  auto r = HttpRequest::make(url("/echo"), true);
  r->addPostValue("a", "1");
  r->addFile("logdata", file, "text/csv");
  r->addPostValue("b", "中");

  r->startSynchronous();

  ASSERT_FALSE(r->error()) << r->error()->message;
  auto got = server_.lastRequest();
  ASSERT_TRUE(got);
  EXPECT_EQ(got->method, "POST");
  EXPECT_EQ(got->header("Content-Type").value_or("").rfind("multipart/form-data; boundary=", 0), 0u);
  ASSERT_EQ(got->parts.size(), 3u);
  EXPECT_EQ(got->parts[0].name, "a");
  EXPECT_EQ(got->parts[0].content, "1");
  EXPECT_EQ(got->parts[1].name, "b");
  EXPECT_EQ(got->parts[1].content, "中");
  EXPECT_EQ(got->parts[2].name, "logdata");
  EXPECT_EQ(got->parts[2].filename, "stats.csv");
  EXPECT_EQ(got->parts[2].contentType, "text/csv");
  EXPECT_EQ(got->parts[2].content, content);
}

TEST_F(HttpRequestTest, AnOwnBodyGoesOutAsGivenAndTheHookCanLeaveItAlone) {
  int hookRuns = 0;
  HttpRequest::addPreStartHook([&](HttpRequest& r) {
    ++hookRuns;
    if (!r.needPostBody()) r.setPostValue("ver", "28");
  });
  const std::string json = "{\"b\":1,\"a\":\"中\"}";
  auto r = HttpRequest::make(url("/echo"), true);
  EXPECT_FALSE(r->needPostBody());
  r->setNeedPostBody(true);
  r->addPostValue("ignored", "because the body is the request's own");
  r->setBody(json, "application/json");

  r->startSynchronous();

  ASSERT_FALSE(r->error()) << r->error()->message;
  EXPECT_EQ(hookRuns, 1);
  EXPECT_FALSE(r->hasPostValue("ver"));
  auto got = server_.lastRequest();
  ASSERT_TRUE(got);
  EXPECT_EQ(got->method, "POST");
  EXPECT_EQ(got->header("Content-Type"), "application/json");
  EXPECT_EQ(got->body, json);
}

TEST_F(HttpRequestTest, EveryReplyFinishesTheRequestWithItsStatusAndBody) {
  const std::string binary("\x00\x01\xff\r\n", 5);
  server_.route("GET", "/status/404", [](const auto&) { return HttpStandin::Reply::text("missing", 404); });
  server_.route("GET", "/status/500", [](const auto&) { return HttpStandin::Reply::json("{\"e\":1}", 500); });
  server_.route("GET", "/status/204", [](const auto&) { return HttpStandin::Reply::text("", 204); });
  server_.route("GET", "/binary", [&](const auto&) { return HttpStandin::Reply::text(binary); });
  server_.route("GET", "/moved", [](const auto&) {
    auto reply = HttpStandin::Reply::text("", 302);
    reply.headers.emplace_back("Location", "/ok");
    return reply;
  });
  struct Case {
    const char* path;
    int status;
    std::string body;
  };
  const Case cases[] = {
      {"/ok", 200, "fine"},         {"/status/404", 404, "missing"}, {"/status/500", 500, "{\"e\":1}"},
      {"/status/204", 204, ""},     {"/binary", 200, binary},        {"/moved", 200, "fine"},
      {"/no-route", 404, "no route for GET /no-route"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    auto sync = HttpRequest::make(url(c.path));
    sync->startSynchronous();
    EXPECT_FALSE(sync->error());
    EXPECT_EQ(sync->statusCode(), c.status);
    EXPECT_EQ(sync->responseData(), c.body);

    Outcome out;
    HttpRequest::make(url(c.path))->startAsynchronous(out.onDone(), out.onFailed());
    ASSERT_TRUE(pumpUntil([&] { return out.calls() > 0; }));
    EXPECT_EQ(out.done, 1);
    EXPECT_EQ(out.status, c.status);
    EXPECT_EQ(out.data, c.body);
  }
}

TEST_F(HttpRequestTest, AnAsynchronousCompletionRunsOnceOnTheMainLoopAndIsThenReleased) {
  Outcome out;
  auto token = std::make_shared<int>(0);  // stands for a screen the completion holds
  auto r = HttpRequest::make(url("/ok"));
  std::weak_ptr<HttpRequest> weak = r;
  r->startAsynchronous(
      [&, token](HttpRequest& req) {
        out.record(req, out.done);
        EXPECT_FALSE(req.isRunning());
      },
      out.onFailed());
  EXPECT_TRUE(r->isRunning());
  r.reset();  // the HTTP client keeps the request until it has delivered
  EXPECT_FALSE(weak.expired());
  EXPECT_EQ(out.calls(), 0);  // never inside the start

  ASSERT_TRUE(pumpUntil([&] { return out.calls() > 0; }));
  ASSERT_TRUE(platform::testing::settleIo());
  EXPECT_EQ(out.done, 1);
  EXPECT_EQ(out.failed, 0);
  EXPECT_EQ(out.thread, std::this_thread::get_id());
  EXPECT_EQ(out.data, "fine");
  EXPECT_EQ(token.use_count(), 1);  // the completion was dropped after it ran
  EXPECT_TRUE(weak.expired());
}

TEST_F(HttpRequestTest, ARequestThatOutlivesItsTimeOutFailsAsTimedOut) {
  EXPECT_EQ(HttpRequest::make(url("/ok"))->timeout(), std::chrono::seconds(30));

  auto start = std::chrono::steady_clock::now();
  auto sync = HttpRequest::make(url("/slow"));
  sync->setTimeout(200ms);
  sync->startSynchronous();
  ASSERT_TRUE(sync->error());
  EXPECT_EQ(sync->error()->code, HttpErrorCode::TimedOut);
  EXPECT_EQ(sync->statusCode(), 0);
  EXPECT_TRUE(sync->responseData().empty());

  Outcome out;
  auto async = HttpRequest::make(url("/slow"), true);
  async->setTimeout(200ms);
  async->startAsynchronous(out.onDone(), out.onFailed());
  ASSERT_TRUE(pumpUntil([&] { return out.calls() > 0; }));
  EXPECT_EQ(out.failed, 1);
  ASSERT_TRUE(out.error);
  EXPECT_EQ(out.error->code, HttpErrorCode::TimedOut);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
}

TEST_F(HttpRequestTest, NothingListeningFailsAsConnectionRefused) {
  const testing::HeldPort refusing;  // bound for the test, never listening
  ASSERT_NE(refusing.port(), 0);
  std::string address = testing::refusedUrl(refusing, "/x");

  auto sync = HttpRequest::make(address, true);
  sync->startSynchronous();
  ASSERT_TRUE(sync->error());
  EXPECT_EQ(sync->error()->code, HttpErrorCode::ConnectionRefused);
  EXPECT_EQ(sync->statusCode(), 0);

  Outcome out;
  HttpRequest::make(address)->startAsynchronous(out.onDone(), out.onFailed());
  ASSERT_TRUE(pumpUntil([&] { return out.calls() > 0; }));
  RunLoop::main().drainIo(20ms);
  EXPECT_EQ(out.failed, 1);
  EXPECT_EQ(out.done, 0);
  ASSERT_TRUE(out.error);
  EXPECT_EQ(out.error->code, HttpErrorCode::ConnectionRefused);
}

TEST_F(HttpRequestTest, AReplyBodyOverTheLimitFailsInsteadOfFillingMemory) {
  // "/bytes?n=<size>&chunked=<0|1>": a body of that many bytes, with or without its length.
  server_.route("GET", "/bytes", [](const HttpStandin::Request& r) {
    size_t n = std::stoul(r.queryFields.at(0).second);
    auto reply = HttpStandin::Reply::text(std::string(n, 'x'));
    reply.chunked = r.queryFields.at(1).second == "1";
    return reply;
  });
  struct Case {
    const char* name;
    size_t size;
    bool chunked;
    bool tooLarge;
  };
  EXPECT_EQ(HttpRequest::maxResponseBytes(), 16u * 1024u * 1024u);
  const size_t limit = 256 * 1024;
  HttpRequest::setMaxResponseBytes(limit);
  const Case cases[] = {
      {"over the limit, length announced", limit + 1, false, true},
      {"over the limit, chunked (no length up front)", limit + 1, true, true},
      {"at the limit", limit, false, false},
      {"at the limit, chunked", limit, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto r = HttpRequest::make(url("/bytes?n=" + std::to_string(c.size) + "&chunked=" + (c.chunked ? "1" : "0")));
    r->startSynchronous();
    if (c.tooLarge) {
      ASSERT_TRUE(r->error());
      EXPECT_EQ(r->error()->code, HttpErrorCode::ResponseTooLarge);
      EXPECT_TRUE(r->responseData().empty());
    } else {
      ASSERT_FALSE(r->error()) << r->error()->message;
      EXPECT_EQ(r->responseData().size(), c.size);
    }
  }
}

TEST_F(HttpRequestTest, HttpsVerifiesTheServerAgainstTheChosenCa) {
  auto certs = standin::TestCertificates::create(Sandbox::tmp() / "tls", "good");
  auto other = standin::TestCertificates::create(Sandbox::tmp() / "tls", "other");
  ASSERT_TRUE(certs.isOk()) << certs.error();
  ASSERT_TRUE(other.isOk()) << other.error();
  HttpStandin tls(HttpStandin::Options::httpsWith(*certs));
  tls.route("*", "/secure", [](const HttpStandin::Request& r) { return HttpStandin::Reply::text(r.isHttps ? "tls" : "plain"); });
  ASSERT_TRUE(tls.start().isOk());
  const std::string byAddress = tls.baseUrl() + "/secure";
  const std::string byName = "https://localhost:" + std::to_string(tls.port()) + "/secure";

  // The system's CAs do not know the test CA.
  auto untrusted = HttpRequest::make(byAddress);
  untrusted->startSynchronous();
  ASSERT_TRUE(untrusted->error());
  EXPECT_EQ(untrusted->error()->code, HttpErrorCode::TlsFailure);

  HttpRequest::setCaFile(other->caCertFile);
  Outcome wrong;
  HttpRequest::make(byAddress, true)->startAsynchronous(wrong.onDone(), wrong.onFailed());
  ASSERT_TRUE(pumpUntil([&] { return wrong.calls() > 0; }));
  EXPECT_EQ(wrong.failed, 1);
  ASSERT_TRUE(wrong.error);
  EXPECT_EQ(wrong.error->code, HttpErrorCode::TlsFailure);
  EXPECT_EQ(tls.requestCount(), 0u);

  HttpRequest::setCaFile(certs->caCertFile);
  for (const std::string& address : {byAddress, byName}) {
    auto ok = HttpRequest::make(address, true);
    ok->addPostValue("k", "v");
    ok->startSynchronous();
    ASSERT_FALSE(ok->error()) << address << ": " << ok->error()->message;
    EXPECT_EQ(ok->responseString(), "tls");
  }
  Outcome good;
  HttpRequest::make(byAddress)->startAsynchronous(good.onDone(), good.onFailed());
  ASSERT_TRUE(pumpUntil([&] { return good.calls() > 0; }));
  EXPECT_EQ(good.done, 1);
  EXPECT_EQ(good.data, "tls");
  EXPECT_EQ(tls.requestCount(), 3u);
}

// Each certificate the client must refuse fails as a TLS failure before the server hears a request;
// a good chain passes by address and by name.
TEST_F(HttpRequestTest, HttpsRefusesEveryCertificateThatDoesNotProveTheServer) {
  using Server = standin::TestCertificates::Server;
  using std::chrono::hours;
  auto shifted = [](hours from, hours to) {
    Server s;
    s.notBefore = from;
    s.notAfter = to;
    return s;
  };
  Server elsewhere;
  elsewhere.commonName = "elsewhere.test";
  elsewhere.dnsNames = {"elsewhere.test"};
  elsewhere.ipAddresses = {"127.0.0.9"};
  Server selfSigned;
  selfSigned.selfSigned = true;
  struct Case {
    const char* name;
    Server server;
    bool trustOtherCa;
    bool passes;
  };
  const Case cases[] = {
      {"expired", shifted(hours(-48), hours(-24)), false, false},
      {"not yet valid", shifted(hours(24), hours(48)), false, false},
      {"wrong host name", elsewhere, false, false},
      {"self-signed server", selfSigned, false, false},
      {"wrong CA", Server(), true, false},
      {"good chain", Server(), false, true},
  };
  auto other = standin::TestCertificates::create(Sandbox::tmp() / "tls", "other");
  ASSERT_TRUE(other.isOk()) << other.error();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto certs = standin::TestCertificates::create(Sandbox::tmp() / "tls", "case", c.server);
    ASSERT_TRUE(certs.isOk()) << certs.error();
    HttpStandin tls(HttpStandin::Options::httpsWith(*certs));
    tls.route("*", "/secure", [](const HttpStandin::Request&) { return HttpStandin::Reply::text("tls"); });
    ASSERT_TRUE(tls.start().isOk());
    HttpRequest::setCaFile(c.trustOtherCa ? other->caCertFile : certs->caCertFile);
    for (const std::string& host : {std::string("127.0.0.1"), std::string("localhost")}) {
      SCOPED_TRACE(host);
      const std::string address = "https://" + host + ":" + std::to_string(tls.port()) + "/secure";
      auto sync = HttpRequest::make(address, true);
      sync->addPostValue("k", "v");
      sync->startSynchronous();
      Outcome async;
      HttpRequest::make(address)->startAsynchronous(async.onDone(), async.onFailed());
      ASSERT_TRUE(pumpUntil([&] { return async.calls() > 0; }));
      if (c.passes) {
        ASSERT_FALSE(sync->error()) << sync->error()->message;
        EXPECT_EQ(sync->responseString(), "tls");
        EXPECT_EQ(async.done, 1);
        EXPECT_EQ(async.data, "tls");
      } else {
        ASSERT_TRUE(sync->error());
        EXPECT_EQ(sync->error()->code, HttpErrorCode::TlsFailure) << sync->error()->message;
        EXPECT_EQ(async.failed, 1);
        ASSERT_TRUE(async.error);
        EXPECT_EQ(async.error->code, HttpErrorCode::TlsFailure);
      }
    }
    EXPECT_EQ(tls.requestCount(), c.passes ? 4u : 0u);
  }
}

// A request that started on HTTPS never leaves it: a redirect to a plain address would send the
// body (and the user's token in it) again in clear.
TEST_F(HttpRequestTest, AnHttpsRequestFollowsRedirectsOnlyToHttps) {
  auto certs = standin::TestCertificates::create(Sandbox::tmp() / "tls", "redirect");
  ASSERT_TRUE(certs.isOk()) << certs.error();
  HttpRequest::setCaFile(certs->caCertFile);
  HttpStandin tls(HttpStandin::Options::httpsWith(*certs));
  tls.route("*", "/secure", [](const HttpStandin::Request& r) { return HttpStandin::Reply::text(r.isHttps ? "tls" : "plain"); });
  tls.route("*", "/to/*", [&](const HttpStandin::Request& r) {
    // "/to/<status>/<plain|tls>"
    auto reply = HttpStandin::Reply::text("", std::stoi(r.path.substr(4, 3)));
    bool plain = r.path.substr(8) == "plain";
    reply.headers.emplace_back("Location", (plain ? server_.baseUrl() + "/echo" : tls.baseUrl() + "/secure"));
    return reply;
  });
  ASSERT_TRUE(tls.start().isOk());

  for (int status : {301, 302, 303, 307, 308}) {
    SCOPED_TRACE(status);
    const std::string downgrade = tls.baseUrl() + "/to/" + std::to_string(status) + "/plain";
    auto sync = HttpRequest::make(downgrade, true);
    sync->addPostValue("token", "secret-token");
    sync->startSynchronous();
    ASSERT_TRUE(sync->error());
    EXPECT_EQ(sync->error()->code, HttpErrorCode::TlsFailure);
    EXPECT_EQ(sync->responseData(), "");

    Outcome out;
    auto async = HttpRequest::make(downgrade, true);
    async->addPostValue("token", "secret-token");
    async->startAsynchronous(out.onDone(), out.onFailed());
    ASSERT_TRUE(pumpUntil([&] { return out.calls() > 0; }));
    EXPECT_EQ(out.failed, 1);
    ASSERT_TRUE(out.error);
    EXPECT_EQ(out.error->code, HttpErrorCode::TlsFailure);
    EXPECT_EQ(server_.requestCount(), 0u);  // the plain server heard nothing

    // Onwards on HTTPS is followed.
    auto kept = HttpRequest::make(tls.baseUrl() + "/to/" + std::to_string(status) + "/tls", true);
    kept->addPostValue("token", "secret-token");
    kept->startSynchronous();
    ASSERT_FALSE(kept->error()) << kept->error()->message;
    EXPECT_EQ(kept->responseString(), "tls");
  }
}

TEST_F(HttpRequestTest, ACancelledAsynchronousRequestRunsNoCompletion) {
  Outcome cancelled;
  auto token = std::make_shared<int>(0);
  auto r = HttpRequest::make(url("/slow"));
  r->startAsynchronous([&, token](HttpRequest& req) { cancelled.record(req, cancelled.done); },
                       [&, token](HttpRequest& req) { cancelled.record(req, cancelled.failed); });
  ASSERT_TRUE(serverSaw(1));
  r->cancel();
  EXPECT_FALSE(r->isRunning());
  ASSERT_TRUE(r->error());
  EXPECT_EQ(r->error()->code, HttpErrorCode::Cancelled);
  EXPECT_EQ(token.use_count(), 1);  // both completions released at once
  r->cancel();                      // nothing left to cancel

  // A later request goes through; the cancelled one stays silent.
  Outcome next;
  HttpRequest::make(url("/ok"))->startAsynchronous(next.onDone(), next.onFailed());
  ASSERT_TRUE(pumpUntil([&] { return next.calls() > 0; }));
  ASSERT_TRUE(platform::testing::settleIo());
  EXPECT_EQ(next.done, 1);
  EXPECT_EQ(cancelled.calls(), 0);

  // Cancelled from another thread.
  Outcome offMain;
  auto r2 = HttpRequest::make(url("/slow"));
  r2->startAsynchronous(offMain.onDone(), offMain.onFailed());
  ASSERT_TRUE(serverSaw(3));
  std::thread([r2] { r2->cancel(); }).join();
  ASSERT_TRUE(pumpUntil([&] { return !r2->isRunning(); }));
  EXPECT_EQ(r2->error()->code, HttpErrorCode::Cancelled);
  ASSERT_TRUE(platform::testing::settleIo());
  EXPECT_EQ(offMain.calls(), 0);
}

TEST_F(HttpRequestTest, ASynchronousRequestCancelledFromAnotherThreadReturnsCancelled) {
  auto r = HttpRequest::make(url("/slow"), true);
  std::thread canceller([&] {
    if (serverSaw(1)) r->cancel();
  });
  auto start = std::chrono::steady_clock::now();
  r->startSynchronous();
  canceller.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
  ASSERT_TRUE(r->error());
  EXPECT_EQ(r->error()->code, HttpErrorCode::Cancelled);
  EXPECT_FALSE(r->isRunning());

  // The request can run again.
  r->setUrl(url("/echo"));
  r->startSynchronous();
  EXPECT_FALSE(r->error());
  EXPECT_EQ(r->responseString(), "echo");
}

TEST_F(HttpRequestTest, PreStartHooksRunOnBothRoadsButNotForFireAndForget) {
  std::vector<std::string> seen;
  HttpRequest::addPreStartHook([&](HttpRequest& r) { seen.push_back("first " + r.method()); });
  HttpRequest::addPreStartHook([&](HttpRequest& r) {
    seen.push_back("second");
    if (r.isFormRequest() && !r.needPostBody()) r.setPostValue("ver", "28");
  });

  auto sync = HttpRequest::make(url("/echo"), true);
  sync->addPostValue("ver", "1");
  sync->addPostValue("a", "b");
  sync->startSynchronous();
  EXPECT_EQ(server_.lastRequest()->formFields, (Fields{{"a", "b"}, {"ver", "28"}}));

  Outcome out;
  auto async = HttpRequest::make(url("/echo"), true);
  async->setMethod("PUT");
  async->startAsynchronous(out.onDone(), out.onFailed());
  EXPECT_EQ(seen.size(), 4u);  // the hooks ran in the start, before the request left
  ASSERT_TRUE(pumpUntil([&] { return out.calls() > 0; }));
  EXPECT_EQ(server_.lastRequest()->method, "PUT");
  EXPECT_EQ(server_.lastRequest()->formFields, (Fields{{"ver", "28"}}));
  EXPECT_EQ(seen, (std::vector<std::string>{"first POST", "second", "first PUT", "second"}));

  HttpRequest::fireAndForget(url("/echo?probe=1"));
  ASSERT_TRUE(serverSaw(3));
  EXPECT_EQ(server_.lastRequest()->method, "GET");
  EXPECT_EQ(server_.lastRequest()->queryFields, (Fields{{"probe", "1"}}));
  EXPECT_EQ(seen.size(), 4u);
}

TEST_F(HttpRequestTest, HeadersAndPersistentConnections) {
  auto keep = HttpRequest::make(url("/echo"));
  keep->addRequestHeader("X-Client", "nvx 1.0");
  keep->startSynchronous();
  auto got = server_.lastRequest();
  ASSERT_TRUE(got);
  EXPECT_EQ(got->header("X-Client"), "nvx 1.0");
  EXPECT_NE(got->header("Connection"), "close");
  EXPECT_EQ(got->header("Expect"), std::nullopt);

  auto close = HttpRequest::make(url("/echo"), true);
  close->setPersistentConnection(false);
  close->startSynchronous();
  EXPECT_EQ(server_.lastRequest()->header("Connection"), "close");
}

TEST_F(HttpRequestTest, RequestsThatCannotBeSentSafelyFailWithoutReachingTheServer) {
  struct Case {
    const char* name;
    std::function<void(HttpRequest&)> spoil;
  };
  const Case cases[] = {
      {"method with a space", [](HttpRequest& r) { r.setMethod("GET /admin"); }},
      {"empty method", [](HttpRequest& r) { r.setMethod(""); }},
      {"header value with a line break", [](HttpRequest& r) { r.addRequestHeader("X-A", "1\r\nX-B: 2"); }},
      {"header name with a colon", [](HttpRequest& r) { r.addRequestHeader("X-A: 1", "2"); }},
      {"not an HTTP address", [](HttpRequest& r) { r.setUrl("file:///etc/passwd"); }},
      {"address with a line break", [this](HttpRequest& r) { r.setUrl(url("/echo\r\nX: 1")); }},
      {"file to upload missing", [](HttpRequest& r) { r.addFile("f", Sandbox::tmp() / "missing.csv"); }},
      {"refused by a pre-start hook", [](HttpRequest& r) { r.refuse("no key"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto sync = HttpRequest::make(url("/echo"), true);
    c.spoil(*sync);
    sync->startSynchronous();
    ASSERT_TRUE(sync->error());
    EXPECT_EQ(sync->error()->code, HttpErrorCode::InvalidRequest);

    Outcome out;
    auto async = HttpRequest::make(url("/echo"), true);
    c.spoil(*async);
    async->startAsynchronous(out.onDone(), out.onFailed());
    EXPECT_EQ(out.calls(), 0);  // even a refusal arrives later, on the main loop
    ASSERT_TRUE(pumpUntil([&] { return out.calls() > 0; }));
    EXPECT_EQ(out.failed, 1);
    ASSERT_TRUE(out.error);
    EXPECT_EQ(out.error->code, HttpErrorCode::InvalidRequest);
  }
  EXPECT_EQ(server_.requestCount(), 0u);
}

TEST_F(HttpRequestTest, AProcessResetStopsRequestsInFlightWithoutCompletions) {
  Outcome out;
  HttpRequest::make(url("/slow"))->startAsynchronous(out.onDone(), out.onFailed());
  ASSERT_TRUE(serverSaw(1));
  HttpRequest::addPreStartHook([](HttpRequest& r) { r.addRequestHeader("X-Hook", "1"); });

  auto start = std::chrono::steady_clock::now();
  platform::testing::restart();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
  RunLoop::main().drainIo(20ms);
  EXPECT_EQ(out.calls(), 0);

  // The next run has a fresh client: no hooks, working requests.
  Outcome next;
  HttpRequest::make(url("/ok"))->startAsynchronous(next.onDone(), next.onFailed());
  ASSERT_TRUE(pumpUntil([&] { return next.calls() > 0; }));
  EXPECT_EQ(next.data, "fine");
  EXPECT_EQ(server_.lastRequest()->header("X-Hook"), std::nullopt);
}

}  // namespace
}  // namespace platform::net
