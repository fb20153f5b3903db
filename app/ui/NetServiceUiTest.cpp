#include "net/NetService.h"

#include <gtest/gtest.h>

#include "app/ui/NVXResponseErrorHandler.h"
#include "app/ui/NetUiBridge.h"
#include "core/session/NVXContext.h"
#include "core/shell/AppServices.h"
#include "core/shell/LoginScreen.h"
#include "core/shell/ScreenRegistry.h"
#include "net/testing/DeliveredReply.h"
#include "net/testing/TestMainApi.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Hud.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using testing::Delivered;

std::string text(std::string_view key) { return platform::Strings::localized(key); }

// --- UI: the progress indicator and the expired-login handler ---

class FakeServices : public AppServices {
 public:
  std::shared_ptr<platform::ui::Window> window() override { return window_; }
  std::shared_ptr<platform::ui::Window> window_ = platform::ui::Window::create();
};

// A login screen as the request layer sees it.
class TestLoginScreen : public platform::ui::ViewController, public LoginScreen {
 public:
  std::string className() const override { return kClassName; }
  void setBoxTitle(std::string title) override { boxTitle_ = std::move(title); }
  void setDelegate(std::weak_ptr<LoginViewControllerDelegate> delegate) override { delegate_ = std::move(delegate); }
  void setCustomSuccessExecutor(std::function<void()> action) override { success_ = std::move(action); }

  std::string boxTitle_;
  std::weak_ptr<LoginViewControllerDelegate> delegate_;
  std::function<void()> success_;
};

class PlainScreen : public platform::ui::ViewController {
 public:
  std::string className() const override { return "PlainScreen"; }
};

class NetServiceUiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    installNetUiHooks();
    AppServices::install(services_);
    services_->window_->makeKeyAndVisible();
    ScreenRegistry::shared().add(LoginScreen::kClassName, [] { return std::make_shared<TestLoginScreen>(); });
    root_ = std::make_shared<PlainScreen>();
    nav_ = platform::ui::NavigationController::create(root_);
    services_->window_->setRootViewController(nav_);
  }

  static std::vector<std::shared_ptr<platform::ui::AlertView>> reloginAlerts() {
    std::vector<std::shared_ptr<platform::ui::AlertView>> out;
    for (auto& a : platform::ui::AlertView::visible()) {
      if (a->tag() == NVXResponseErrorHandler::kReloginAlertTag) out.push_back(a);
    }
    return out;
  }

  testing::TestMainApi api_;
  std::shared_ptr<FakeServices> services_ = std::make_shared<FakeServices>();
  std::shared_ptr<PlainScreen> root_;
  std::shared_ptr<platform::ui::NavigationController> nav_;
};

TEST_F(NetServiceUiTest, UiQuickRequestHidesTheIndicatorBeforeTheCallback) {
  api_.onJson("getBusiDesc", R"({"retStatus":{"retCode":"0000"},"retData":[{"aContent":"t"}]})");
  size_t huds = 99;
  Delivered d;
  auto block = d.block();
  NetService::nvxQuickSafeUIRequest("getBusiDesc", std::string("busId=M1"),
                                    [&](NetResult r, RetStatusEntity s, bool e) {
                                      huds = platform::ui::Hud::on(*services_->window_).size();
                                      block(std::move(r), std::move(s), e);
                                    },
                                    std::nullopt);
  EXPECT_EQ(platform::ui::Hud::on(*services_->window_).size(), 1u);
  ASSERT_TRUE(testing::TestMainApi::pumpUntil([&] { return d.calls > 0; }));
  EXPECT_EQ(huds, 0u);
  EXPECT_FALSE(d.isErr);
}

TEST_F(NetServiceUiTest, ExpiredLoginForConcurrentRepliesShowsOneAlertAndReturnsAfterLogin) {
  auto second = std::make_shared<PlainScreen>();
  nav_->push(second, false);
  NVXContext::sharedContext().setVisibleViewController(second);
  api_.onJson("a", R"({"retStatus":{"retCode":"1023","errMsg":"x"}})");
  api_.onJson("b", R"({"retStatus":{"retCode":"1012"}})");
  Delivered da, db;
  auto ra = NetService::nvxQuickSafeRequest("a", da.block(), std::nullopt);
  auto rb = NetService::nvxQuickSafeRequest("b", db.block(), std::nullopt);
  ASSERT_TRUE(testing::TestMainApi::pumpUntil([&] { return !ra->isRunning() && !rb->isRunning(); }));
  platform::RunLoop::main().runUntilIdle();
  EXPECT_EQ(da.calls + db.calls, 0) << "the handler owns expired replies";
  auto alerts = reloginAlerts();
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0]->title(), text("TokenEffectivenessTip"));
  EXPECT_EQ(alerts[0]->message(), text("Error_Token_Effectiveness"));
  EXPECT_EQ(alerts[0]->numberOfButtons(), 1);
  EXPECT_EQ(alerts[0]->buttonTitleAtIndex(0), text("ReLogin"));
  EXPECT_EQ(alerts[0]->cancelButtonIndex(), -1);

  // The user goes on to a third screen while the alert is up; the button takes them to the login.
  auto third = std::make_shared<PlainScreen>();
  nav_->push(third, false);
  alerts[0]->dismissWithClickedButtonIndex(0, false);
  auto login = std::dynamic_pointer_cast<TestLoginScreen>(nav_->topViewController());
  ASSERT_TRUE(login);
  EXPECT_TRUE(nav_->lastTransitionAnimated());
  ASSERT_TRUE(login->success_);
  login->success_();
  EXPECT_EQ(nav_->topViewController(), second) << "back to the screen of the expired reply";
  EXPECT_EQ(NVXContext::sharedContext().visibleViewController(), second);
}

TEST_F(NetServiceUiTest, HandlerAnswersNoWithoutANavigationStack) {
  auto loose = std::make_shared<PlainScreen>();
  auto& handler = NVXResponseErrorHandler::sharedHandler();
  EXPECT_FALSE(handler.handleUserTokenErrorWithReloginViewController(nullptr));
  EXPECT_FALSE(handler.handleUserTokenErrorWithReloginViewController(loose));
  EXPECT_TRUE(reloginAlerts().empty());
  EXPECT_TRUE(handler.handleUserTokenErrorWithReloginViewController(root_));
  EXPECT_TRUE(handler.handleUserTokenErrorWithReloginViewController(root_));
  EXPECT_EQ(reloginAlerts().size(), 1u);
  // Another alert's button is not the handler's business.
  auto other = platform::ui::AlertView::create("t", "m", std::nullopt, {"ok"});
  handler.alertViewClickedButtonAtIndex(*other, 0);
  EXPECT_EQ(nav_->topViewController(), root_);
}

TEST_F(NetServiceUiTest, WithoutARegisteredLoginScreenTheButtonDoesNothing) {
  ScreenRegistry::shared().add(LoginScreen::kClassName, nullptr);  // as if none were registered
  NVXContext::sharedContext().setVisibleViewController(root_);
  ASSERT_TRUE(NVXResponseErrorHandler::sharedHandler().handleUserTokenError());
  auto alerts = reloginAlerts();
  ASSERT_EQ(alerts.size(), 1u);
  alerts[0]->dismissWithClickedButtonIndex(0, false);
  EXPECT_EQ(nav_->topViewController(), root_);
}

}  // namespace
}  // namespace nvx
