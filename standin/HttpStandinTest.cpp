#include "standin/HttpStandin.h"

#include <gtest/gtest.h>

#include "platform/net/HttpRequest.h"

namespace standin {
namespace {

using Fields = std::vector<HttpStandin::Field>;

TEST(HttpStandinTest, UrlEncodedTextIsDecodedInOrder) {
  struct Case {
    const char* text;
    Fields fields;
  };
  const Case cases[] = {
      {"", {}},
      {"a=1&b=2&a=3", {{"a", "1"}, {"b", "2"}, {"a", "3"}}},
      {"k=x+y%20z%26%3D", {{"k", "x y z&="}}},
      {"name=%E4%B8%AD%E6%96%87", {{"name", "中文"}}},
      {"flag&empty=&&=v", {{"flag", ""}, {"empty", ""}, {"", "v"}}},
      {"a=b=c", {{"a", "b=c"}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HttpStandin::parseUrlEncoded(c.text), c.fields) << c.text;
  }
}

TEST(HttpStandinTest, RoutesMatchByMethodAndPathOrPrefixAndEveryRequestIsLogged) {
  HttpStandin server;
  server.route("GET", "/a", [](const HttpStandin::Request&) { return HttpStandin::Reply::text("first a"); });
  server.route("*", "/files/*", [](const HttpStandin::Request& r) { return HttpStandin::Reply::text("files " + r.path); });
  server.route("GET", "/a", [](const HttpStandin::Request&) { return HttpStandin::Reply::text("a"); });
  ASSERT_TRUE(server.start().isOk());
  ASSERT_NE(server.port(), 0);

  struct Case {
    const char* method;
    const char* path;
    int status;
    const char* body;
  };
  const Case cases[] = {
      {"GET", "/a", 200, "a"},  // registered again: replaced
      {"POST", "/a", 404, "no route for POST /a"},
      {"GET", "/a/b", 404, "no route for GET /a/b"},
      {"PUT", "/files/x/y.txt", 200, "files /files/x/y.txt"},
      {"DELETE", "/files/", 200, "files /files/"},
      {"GET", "/files", 404, "no route for GET /files"},
  };
  for (const Case& c : cases) {
    auto r = platform::net::HttpRequest::make(server.baseUrl() + c.path);
    r->setMethod(c.method);
    r->startSynchronous();
    ASSERT_FALSE(r->error()) << c.method << " " << c.path;
    EXPECT_EQ(r->statusCode(), c.status) << c.method << " " << c.path;
    EXPECT_EQ(r->responseString(), c.body);
  }
  auto log = server.requests();
  ASSERT_EQ(log.size(), std::size(cases));
  for (size_t i = 0; i < log.size(); ++i) {
    EXPECT_EQ(log[i].method, cases[i].method);
    EXPECT_EQ(log[i].path, cases[i].path);
  }
  server.clearRequests();
  EXPECT_EQ(server.requestCount(), 0u);
  server.stop();
  EXPECT_FALSE(server.isRunning());
}

}  // namespace
}  // namespace standin
