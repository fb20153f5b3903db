#include "client/WizardView.h"

#include <gtest/gtest.h>

#include "client/testing/StartupTestFixture.h"
#include "platform/device/Device.h"
#include "platform/foundation/UserDefaults.h"

namespace nvx {
namespace {

using testing::StartupTest;

TEST_F(StartupTest, GuideLiesOverEverythingUntilItsStartButton) {
  auto& defaults = platform::UserDefaults::standard();
  launchAndStart();
  auto window = delegate->window();
  auto guide = std::dynamic_pointer_cast<WizardView>(window->subviews().back());
  ASSERT_TRUE(guide) << "the guide is not the front view";
  EXPECT_TRUE(delegate->isShowWizard());
  EXPECT_EQ(guide->helpInfoImages(), std::vector<std::string>{"app_guide_1.png"});
  EXPECT_EQ(guide->frame(), (platform::ui::Rect{0, 20, 320, 548}));
  ASSERT_TRUE(guide->scrollView());
  EXPECT_EQ(guide->scrollView()->contentSize(), (platform::ui::Size{320, 548}));
  EXPECT_TRUE(guide->scrollView()->isPagingEnabled());
  // One page: the start button sits on it, 114 points above the bottom on a 4-inch screen.
  ASSERT_TRUE(guide->startButton());
  EXPECT_EQ(guide->startButton()->frame(), (platform::ui::Rect{60, 548 - 114, 114, 31}));

  defaults.remove("start_help_page");
  ASSERT_TRUE(inspector.tapControl(*guide->startButton()).isOk());
  EXPECT_FALSE(guide->superview());
  EXPECT_FALSE(delegate->isShowWizard());
  EXPECT_EQ(defaults.string("start_help_page"), "3.1.5");
}

TEST_F(StartupTest, GuideButtonHigherOnShortScreensAndNoGuideWithoutPages) {
  platform::Device::screen().bounds = {320, 480};
  platform::Device::screen().currentMode = platform::ScreenSize{640, 960};
  platform::UserDefaults::standard().set("start_help_page", "3.1.5");
  launchAndStart();
  auto guide = WizardView::initWithPages({"app_guide_1.png", "app_guide_1.png"});
  guide->show();
  ASSERT_TRUE(guide->startButton());
  EXPECT_EQ(guide->startButton()->frame(), (platform::ui::Rect{320 + 60, 460 - 94, 114, 31}));
  EXPECT_EQ(guide->scrollView()->contentSize(), (platform::ui::Size{640, 460}));
  guide->beginNuvexa();

  auto empty = WizardView::initWithPages({});
  empty->show();
  EXPECT_FALSE(empty->superview());
  EXPECT_FALSE(delegate->isShowWizard()) << "the client stays upright without a guide on screen";
}

}  // namespace
}  // namespace nvx
