// The "more" pop-up of the bottom bar and its touch shield.
#include <gtest/gtest.h>

#include "home/HomeTabBarViewController.h"
#include "home/testing/HomeScreenFixture.h"

namespace nvx {
namespace {

class MorePopupTest : public testing::HomeScreenFixture {
 protected:
  void SetUp() override {
    HomeScreenFixture::SetUp();
    showHome();
    controller = HomeTabBarViewController::sharedTabBarController();
    pop = controller->tipPopviewView();
  }
  void open() {
    services->navigation->view()->addSubview(pop);
    controller->protectView()->setHidden(false);
    pop->animatedPopup();
    platform::RunLoop::main().advance(0.5);
  }
  std::shared_ptr<HomeTabBarViewController> controller;
  std::shared_ptr<HomeMoreTipsPopview> pop;
};

TEST_F(MorePopupTest, ClosingWhenNotShownRunsTheCompletionAtOnce) {
  bool ran = false;
  pop->animatedDismiss([&] { ran = true; });
  EXPECT_TRUE(ran);
  open();
  ASSERT_TRUE(pop->isPopuped());
  EXPECT_EQ(pop->frame(), (platform::ui::Rect{65, pop->animatedY(), 254, 148}));
  ran = false;
  pop->animatedDismiss([&] { ran = true; });
  EXPECT_FALSE(ran);
  platform::RunLoop::main().advance(0.4);
  EXPECT_TRUE(ran);
  EXPECT_FALSE(pop->isPopuped());
  EXPECT_FALSE(pop->superview());
}

TEST_F(MorePopupTest, TheShieldClosesThePopupAndTheLogoutButtonFollowsTheLogin) {
  open();
  EXPECT_FALSE(pop->buttonWithTag(7)->isUserInteractionEnabled()) << "nobody is logged in";
  controller->protectView()->touchesBegan();
  platform::RunLoop::main().advance(0.5);
  EXPECT_FALSE(pop->isPopuped());
  EXPECT_TRUE(controller->protectView()->isHidden());

  logIn();
  open();
  EXPECT_TRUE(pop->buttonWithTag(7)->isUserInteractionEnabled());
  services->navigation->push(std::make_shared<testing::NamedTestScreen>("Other"), false);
  ASSERT_TRUE(pop->buttonWithTag(7)->tap());
  platform::RunLoop::main().advance(1);
  EXPECT_FALSE(User::currentUser().isLogined());
  EXPECT_EQ(pop->selectedIndex(), 7);
  EXPECT_EQ(topName(), HomeViewController::kClassName) << "back to the home screen";
  EXPECT_TRUE(controller->protectView()->isHidden());
}

TEST_F(MorePopupTest, ThePasswordButtonAsksForALoginWhenLoggedOut) {
  open();
  ASSERT_TRUE(pop->buttonWithTag(0)->tap());
  platform::RunLoop::main().advance(1);
  EXPECT_EQ(topName(), LoginScreen::kClassName);
  EXPECT_TRUE(lastLogin.lock()->boxTitle.empty());
}

TEST_F(MorePopupTest, PresentingAScreenClassPopsToItOrPushesANewOne) {
  auto cinema = std::make_shared<testing::NamedTestScreen>("CinemaViewController");
  services->navigation->push(cinema, false);
  services->navigation->push(std::make_shared<testing::NamedTestScreen>("Other"), false);
  controller->presentController("CinemaViewController");
  EXPECT_EQ(services->navigation->topViewController(), cinema);
  controller->presentController("ReminderViewController");
  ASSERT_EQ(services->navigation->stack().size(), 2u) << "back to the root, then the new screen";
  EXPECT_EQ(topName(), "ReminderViewController");
}

TEST_F(MorePopupTest, TheLoginDelegateGoesOnToTheTitlesItKnows) {
  services->navigation->popToRoot(false);
  controller->gotoViewOfBoxTitle("HomeTradingQueryViewController");
  EXPECT_FALSE(home->mobilBankView()->isHidden()) << "the mobile-bank tab";
  controller->gotoViewOfBoxTitle("something else");
  EXPECT_EQ(topName(), HomeViewController::kClassName);
}

}  // namespace
}  // namespace nvx
