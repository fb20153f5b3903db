#include "standin/MallStandin.h"

#include <gtest/gtest.h>

#include "platform/foundation/Json.h"
#include "platform/net/HttpRequest.h"

namespace standin {
namespace {

platform::Json get(const std::string& url) {
  auto r = platform::net::HttpRequest::make(url);
  r->startSynchronous();
  EXPECT_EQ(r->statusCode(), 200) << url;
  return platform::json::parse(r->responseString()).value_or(platform::Json());
}

TEST(MallStandinTest, AnswersTheHomeCallsOnBothBasesAndPagesItsLists) {
  MallStandin mall;
  ASSERT_TRUE(mall.start().isOk());

  auto value = get(mall.mallAddress() + "getValue?key=nvxskq.productid");
  EXPECT_EQ(value["retStatus"]["errMsg"], "OK");
  const std::string id = value["retData"]["value"];
  EXPECT_EQ(get(mall.mallAddress() + "product?pId=" + id + "&screenSpecs=4")["retData"]["id"], id);
  EXPECT_EQ(get(mall.mallAddress() + "product?id=nope")["retStatus"]["retCode"], MallStandin::kNotFound);

  std::vector<platform::Json> entries;
  for (int i = 0; i < 11; ++i) entries.push_back(MallStandin::makeHomeEntry(std::to_string(i), "n", "2", "p"));
  mall.setHomeList(1, entries);
  // Eight a page: the second page holds the last three; a page past the end is empty, not an error.
  EXPECT_EQ(get(mall.secondAddress() + "pageHomeList?pageType=1&pageIndex=2&pageSize=8")["retData"].size(), 3u);
  auto past = get(mall.secondAddress() + "pageHomeList?pageType=1&pageIndex=3&pageSize=8");
  EXPECT_EQ(past["retStatus"]["retCode"], "0000");
  EXPECT_TRUE(past["retData"].empty());

  mall.scriptError("productList", "9999", "系统繁忙");
  EXPECT_EQ(get(mall.mallAddress() + "productList?listType=0&pageIndex=1&pageSize=20")["retStatus"]["errMsg"],
            "系统繁忙");
  EXPECT_EQ(get(mall.mallAddress() + "productList?listType=0&pageIndex=1&pageSize=20")["retData"].size(), 2u);

  mall.addRoute("customerOrders", [](const HttpStandin::Request&) {
    return MallStandin::Answer::ok(platform::Json::array());
  });
  EXPECT_EQ(get(mall.mallAddress() + "customerOrders")["retStatus"]["retCode"], "0000");
  EXPECT_EQ(mall.http().requestCount(), 8u);
}

}  // namespace
}  // namespace standin
