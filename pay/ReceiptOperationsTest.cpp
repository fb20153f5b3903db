#include "pay/ReceiptOperations.h"

#include <gtest/gtest.h>

#include "app/ui/NetUiBridge.h"
#include "app/ui/testing/TestPictureBundle.h"
#include "net/BaseService.h"
#include "net/testing/MainApiTestFixture.h"
#include "pay/SwipeResultViewController.h"
#include "standin/mainapi/ReceiptRoutes.h"

namespace nvx {
namespace {

using platform::Json;
using standin::MainApiStandin;
using Scripted = MainApiStandin::Scripted;

class ReceiptOperationsTest : public testing::MainApiTestFixture {
 protected:
  void SetUp() override {
    MainApiTestFixture::SetUp();
    installNetUiHooks();  // the request's spinner, as the client shows it
  }
  // Asks for the item of busid and waits for the answer.
  std::optional<ReceiptOperations::MarketingReply> ask(const std::string& busid) {
    std::optional<ReceiptOperations::MarketingReply> got;
    int calls = 0;
    ReceiptOperations::mainApi()->getMarketingWithBusId(busid, [&](ReceiptOperations::MarketingReply reply) {
      ++calls;
      got = std::move(reply);
    });
    EXPECT_TRUE(indicatorShown());
    EXPECT_TRUE(await([&] { return calls > 0; }));
    platform::RunLoop::main().runUntilIdle();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(indicatorShown());
    return got;
  }
  standin::ReceiptState& state() { return server->feature<standin::ReceiptState>(); }
};

TEST_F(ReceiptOperationsTest, SendsTheBusinessCodeAsItsOneParameterAndReadsTheItem) {
  {
    auto lock = server->lock();
    state().marketing["M20011"] = Json{{"aId", "3"}, {"aType", "2"}, {"note", "B00002"}, {"content", "充值送话费"}};
  }
  auto reply = ask("M20011");
  ASSERT_TRUE(reply);
  EXPECT_FALSE(reply->isErr);
  ASSERT_TRUE(reply->item);
  EXPECT_EQ(reply->item->content(), "充值送话费");
  EXPECT_EQ(reply->item->note(), "B00002");
  auto request = server->http().lastRequest();
  ASSERT_TRUE(request);
  EXPECT_EQ(request->method, "GET");
  EXPECT_EQ(request->path, "/iphone/getMarketing.json");
  EXPECT_EQ(request->query.substr(0, request->query.find("&ver=")),
            "uid=" + BaseService::uid() + "&vercode=" + BaseService::vercode() + "&busid=M20011");
  EXPECT_TRUE(server->lastVerdict("getMarketing")->identityOk);
}

TEST_F(ReceiptOperationsTest, NoItemIsNoErrorAndFailuresCarryTheirMessage) {
  auto none = ask("M99999");
  ASSERT_TRUE(none);
  EXPECT_FALSE(none->isErr);
  EXPECT_FALSE(none->item);

  server->script("getMarketing", Scripted::error("9999", "系统繁忙"), 1);
  auto refused = ask("M20011");
  ASSERT_TRUE(refused);
  EXPECT_TRUE(refused->isErr);
  EXPECT_EQ(refused->errMsg, "系统繁忙");

  server->script("getMarketing", Scripted::badJson(), 1);
  auto broken = ask("M20011");
  ASSERT_TRUE(broken);
  EXPECT_TRUE(broken->isErr);
  EXPECT_FALSE(broken->errMsg.empty());
}

TEST_F(ReceiptOperationsTest, ACodeCannotAddParametersOfItsOwn) {
  ask("M2&busid=X 1");
  auto lock = server->lock();
  ASSERT_EQ(state().asked.size(), 1u);
  EXPECT_EQ(state().asked.back(), "M2&busid=X 1");
}

TEST_F(ReceiptOperationsTest, ReceiptShowsTheServedItemAndAFailedRequestLeavesThePaymentShown) {
  testing::TestPictureBundle pictures({"pay-done.png", "pay-error.png"});
  {
    auto lock = server->lock();
    state().marketing["M20011"] = Json{{"aType", "4"}, {"content", "感谢使用"}};
  }
  auto receipt = SwipeResultViewController::create();
  receipt->setBusinessType(2);
  receipt->setTransactionData(Json{{"K_TRANSACTION_AMOUNT", "10.00"}});
  receipt->setRetData(Json{{"price", "1000"}});
  receipt->setTransactionBusId("M20011");
  services->navigation->push(receipt, false);
  ASSERT_TRUE(await([&] { return receipt->marketingEntity().has_value(); }));
  EXPECT_EQ(receipt->marketingLb()->text(), "感谢使用");

  server->script("getMarketing", Scripted::htmlErrorPage(500), 1);
  auto second = SwipeResultViewController::create();
  second->setBusinessType(2);
  second->setRetData(Json{{"price", "1000"}});
  second->setTransactionBusId("M20011");
  services->navigation->push(second, false);
  // The failure is a prompt over the page.
  ASSERT_TRUE(await([&] {
    for (const auto& hud : platform::ui::Hud::on(*services->mainWindow)) {
      if (hud->mode() == platform::ui::Hud::Mode::Text && !hud->label().empty()) return true;
    }
    return false;
  }));
  EXPECT_FALSE(second->marketingEntity());
  EXPECT_EQ(second->successText(), "账单号付款成功");
  EXPECT_EQ(services->navigation->topViewController(), second);
}

}  // namespace
}  // namespace nvx
