// The last stretch of the main road against the main-API stand-in: a signed-in reader terminal,
// a swipe and a PIN on the swipe screen, the commit (token, MAC and PIN block checked by the
// stand-in), then the receipt with the reply's rows and the business's marketing item, and home.
#include <gtest/gtest.h>

#include "app/ui/testing/TestPictureBundle.h"
#include "core/session/User.h"
#include "core/shell/ScreenRegistry.h"
#include "net/BaseService.h"
#include "net/ServerConfig.h"
#include "net/TerminalManager.h"
#include "net/testing/MainApiTestFixture.h"
#include "pay/PayScreens.h"
#include "pay/SwipeResultViewController.h"
#include "pay/SwipeViewController.h"
#include "pay/Tools.h"
#include "pay/testing/PayTestSupport.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/media/AudioSession.h"
#include "platform/ui/Inspector.h"
#include "reader/ReaderModels.h"
#include "reader/SwiperDriverFactory.h"
#include "standin/mainapi/PayRoutes.h"
#include "standin/mainapi/ReceiptRoutes.h"

namespace nvx {
namespace {

using platform::Json;
using platform::ui::Inspector;

class ReceiptRoadTest : public testing::MainApiTestFixture {
 protected:
  void SetUp() override {
    MainApiTestFixture::SetUp();
    // After the stand-in has read the project's test keys next to the bundle.
    pictures.emplace(std::vector<std::string>{"pay-done.png", "pay-error.png"});
    payServices = std::make_shared<testing::PayTestServices>();
    AppServices::install(payServices);
    reader::SwiperDriverFactory::shared().add("0002", [d = driver] { return d; });
    platform::UserDefaults::standard().set(reader::ReaderModels::kCommonUnitIdKey, "0002");
    platform::media::AudioSession::sharedInstance().simulateRouteChange("HeadsetInOut");
    payServices->makeHub();
    platform::RunLoop::main().advance(1);
    pay::registerScreens();
  }
  void TearDown() override {
    platform::ui::AlertView::dismissAll();
    payServices->hub.reset();
    MainApiTestFixture::TearDown();
  }

  std::optional<testing::TestPictureBundle> pictures;
  std::shared_ptr<testing::PayTestServices> payServices;
  std::shared_ptr<testing::ScriptedPayDriver> driver = std::make_shared<testing::ScriptedPayDriver>();
};

TEST_F(ReceiptRoadTest, APaidBillEndsOnItsReceiptWithTheMarketingItemAndLeadsHome) {
  {
    auto lock = server->lock();
    server->feature<standin::ReceiptState>().marketing["M20013"] =
        Json{{"aId", "1"}, {"aType", "4"}, {"content", "缴费满100元抽奖"}};
  }
  // The reader's terminal signs in and gets its keys from the stand-in.
  TerminalManager terminal;
  ASSERT_TRUE(terminal.hardwareTermSignWithViewController(payServices->root, nullptr)) << terminal.error();

  // The bill form's commit request, as the business screen stores it.
  Tools::sharedInstance().setInfo({{"uid", BaseService::uid()},
                                   {"vercode", BaseService::vercode()},
                                   {"userToken", kUserToken},
                                   {"busid", "M20013"},
                                   {"termid", kReaderTermid},
                                   {"mobile", kLoginName},
                                   {"billno", "2014031500001"},
                                   {"amount", "100.00"}},
                                  ServerConfig::current().mainApiBase() + "commitTransaction.json");
  auto swipeScreen = SwipeViewController::create();
  swipeScreen->customizeSwipeViewWithNavTitle("刷卡支付", std::nullopt, "请刷卡", "请输入密码", std::nullopt, "确认支付", 2);
  swipeScreen->setTransactionData(Json{{"K_TRANSACTION_TARGET", "2014031500001"},
                                       {"K_TRANSACTION_INFO", "诺维萨账单"},
                                       {"K_TRANSACTION_AMOUNT", "100.00"}});
  payServices->navigation->push(swipeScreen, false);
  platform::RunLoop::main().advance(1);

  payServices->hub->onDecodeCompleted(std::nullopt, kReaderTermid, "A1B2C3D4E5F60718", 24, 40, 0, "0011223344556677",
                                      "622202XXXXXX0123", "2512", std::nullopt);
  auto keypad = std::dynamic_pointer_cast<NVXKeyboardView>(swipeScreen->passwordTextField()->inputView());
  ASSERT_TRUE(keypad);
  for (char c : std::string("123456")) swipeScreen->keyboadView(*keypad, c - '0');
  ASSERT_TRUE(swipeScreen->doneButton()->tap());

  std::shared_ptr<SwipeResultViewController> receipt;
  ASSERT_TRUE(await([&] {
    receipt = std::dynamic_pointer_cast<SwipeResultViewController>(payServices->navigation->topViewController());
    return receipt && receipt->marketingEntity().has_value();
  })) << payServices->navigation->topViewController()->className();

  auto verdict = server->lastVerdict("commitTransaction");
  ASSERT_TRUE(verdict);
  EXPECT_EQ(verdict->retCode, "0000");
  EXPECT_TRUE(verdict->macOk.value_or(false));
  EXPECT_TRUE(verdict->pinOk.value_or(false));
  {
    auto lock = server->lock();
    EXPECT_EQ(server->feature<standin::PayState>().commits.size(), 1u);
    EXPECT_EQ(server->feature<standin::ReceiptState>().asked, std::vector<std::string>{"M20013"});
  }

  Inspector inspector;
  EXPECT_EQ(receipt->successText(), "账单号付款成功");
  EXPECT_TRUE(inspector.byText("诺维萨账单")) << inspector.render();
  EXPECT_TRUE(inspector.byText("622202******0123"));
  EXPECT_TRUE(inspector.byText("100.00 元"));
  EXPECT_EQ(receipt->marketingLb()->text(), "缴费满100元抽奖");
  ASSERT_TRUE(inspector.tap("返回首页"));
  platform::RunLoop::main().runUntilIdle();
  EXPECT_EQ(payServices->navigation->topViewController(), payServices->root);
}

}  // namespace
}  // namespace nvx
