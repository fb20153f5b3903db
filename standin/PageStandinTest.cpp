#include "standin/PageStandin.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/net/HttpRequest.h"

namespace standin {
namespace {

using namespace std::chrono_literals;

std::shared_ptr<platform::net::HttpRequest> get(const std::string& url) {
  auto request = platform::net::HttpRequest::make(url);
  request->setTimeout(5s);
  request->startSynchronous();
  return request;
}

TEST(PageStandinTest, ServesPagesByPathWithSlashesFolded) {
  EXPECT_EQ(PageStandin::normalise("//nvxmbl//html/x.html"), "/nvxmbl/html/x.html");
  PageStandin pages;
  ASSERT_TRUE(pages.start().isOk());
  pages.setPage("/help/a.html", "<title>A</title>");
  pages.setPage("/gone.html", "<title>gone</title>", 410);

  auto agreement = get(pages.url("//nvxmbl/html/wallet_service.html"));
  EXPECT_EQ(agreement->statusCode(), 200);
  EXPECT_NE(agreement->responseData().find("<title>诺维萨钱包服务协议</title>"), std::string::npos);
  EXPECT_EQ(get(pages.url("/help//a.html"))->responseData(), "<title>A</title>");
  EXPECT_EQ(get(pages.url("/gone.html"))->statusCode(), 410);
  pages.removePage("/help/a.html");
  EXPECT_EQ(get(pages.url("/help/a.html"))->statusCode(), 404);
  EXPECT_EQ(pages.requestedPaths(), (std::vector<std::string>{"/nvxmbl/html/wallet_service.html", "/help/a.html",
                                                              "/gone.html", "/help/a.html"}));
}

TEST(PageStandinTest, AHeldPageWaitsForItsReleaseOrTheStop) {
  PageStandin pages;
  ASSERT_TRUE(pages.start().isOk());
  pages.setPage("/slow.html", "late");
  pages.holdPage("/slow.html");
  std::shared_ptr<platform::net::HttpRequest> first;
  std::thread client([&] { first = get(pages.url("/slow.html")); });
  auto until = std::chrono::steady_clock::now() + 3s;
  while (pages.waitingCount() == 0 && std::chrono::steady_clock::now() < until) std::this_thread::yield();
  ASSERT_EQ(pages.waitingCount(), 1u);
  pages.releasePage("/slow.html");
  client.join();
  EXPECT_EQ(first->responseData(), "late");

  pages.holdPage("/slow.html");
  std::shared_ptr<platform::net::HttpRequest> second;
  std::thread stopped([&] { second = get(pages.url("/slow.html")); });
  until = std::chrono::steady_clock::now() + 3s;
  while (pages.waitingCount() == 0 && std::chrono::steady_clock::now() < until) std::this_thread::yield();
  auto start = std::chrono::steady_clock::now();
  pages.stop();
  stopped.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
  EXPECT_NE(second->statusCode(), 200);
}

}  // namespace
}  // namespace standin
