#include "app/ui/NVXAction.h"

#include <gtest/gtest.h>

#include "core/shell/AppServices.h"
#include "platform/device/UrlOpener.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::UrlOpener;
using platform::ui::Inspector;

struct Home : platform::ui::ViewController {
  std::string className() const override { return "Home"; }
};

class NavServices : public AppServices {
 public:
  std::shared_ptr<platform::ui::NavigationController> navigationController() override { return nav_; }
  std::shared_ptr<platform::ui::Window> window() override { return window_; }
  std::shared_ptr<platform::ui::Window> window_ = platform::ui::Window::create();
  std::shared_ptr<platform::ui::NavigationController> nav_ =
      platform::ui::NavigationController::create(std::make_shared<Home>());
};

TEST(NVXAction, OneSharedInstance) { EXPECT_EQ(NVXAction::sharedAction(), NVXAction::sharedAction()); }

TEST(NVXAction, PhoneCallDialsOrSaysThePhoneCannot) {
  NVXAction::phoneCall("4008-123-456");
  EXPECT_EQ(UrlOpener::shared().opened(), std::vector<std::string>{"tel:4008-123-456"});
  EXPECT_EQ(Inspector().topAlert(), nullptr);

  UrlOpener::shared().setOpenable("tel", false);
  NVXAction::phoneCall("4008-123-456");
  EXPECT_EQ(UrlOpener::shared().opened().size(), 1u);
  auto alert = Inspector().topAlert();
  ASSERT_NE(alert, nullptr);
  EXPECT_EQ(alert->title(), "");
  EXPECT_EQ(alert->message(), "您的设备不支持拨打电话");
  EXPECT_EQ(alert->numberOfButtons(), 1);
  EXPECT_TRUE(Inspector().answerAlert("知道了").isOk());
}

TEST(NVXAction, PhoneSheetCallsOnlyOnCall) {
  auto services = std::make_shared<NavServices>();
  services->window_->setRootViewController(services->nav_);
  services->window_->makeKeyAndVisible();
  AppServices::install(services);

  NVXAction::sharedAction()->showPhoneSheetWithPhone("95588");
  auto sheet = Inspector().topSheet();
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->title(), "95588");
  EXPECT_EQ(sheet->buttonTitleAtIndex(0), "呼叫");
  EXPECT_EQ(sheet->buttonTitleAtIndex(1), "取消");
  ASSERT_TRUE(Inspector().chooseInSheet("取消").isOk());
  EXPECT_TRUE(UrlOpener::shared().opened().empty());

  NVXAction::sharedAction()->showPhoneSheetWithPhone("95588");
  ASSERT_TRUE(Inspector().chooseInSheet("呼叫").isOk());
  EXPECT_EQ(UrlOpener::shared().opened(), std::vector<std::string>{"tel:95588"});
}

TEST(NVXAction, PhoneSheetWithoutNavigationControllerShowsNothing) {
  NVXAction::sharedAction()->showPhoneSheetWithPhone("95588");
  EXPECT_TRUE(platform::ui::ActionSheet::visible().empty());
}

}  // namespace
}  // namespace nvx
