#include "client/WizardView.h"

#include <gtest/gtest.h>

#include "client/testing/StartupTestFixture.h"
#include "platform/device/Device.h"
#include "client/SimpleHelpViewController.h"
#include "platform/device/UrlOpener.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/ImageView.h"

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

// The picture names of the guide's pages, in order.
std::vector<std::string> pagePictures(const WizardView& guide) {
  std::vector<std::string> names;
  for (const auto& view : guide.scrollView()->subviews()) {
    if (auto page = std::dynamic_pointer_cast<platform::ui::ImageView>(view)) {
      names.push_back(page->image() ? page->image()->name : "none");
    }
  }
  return names;
}

TEST_F(StartupTest, FollowButtonOpensTheMicroblogAndLeavesLikeTheStartButton) {
  launchAndStart();
  auto guide = std::dynamic_pointer_cast<WizardView>(delegate->window()->subviews().back());
  ASSERT_TRUE(guide);
  ASSERT_TRUE(guide->followButton());
  EXPECT_EQ(guide->followButton()->frame(), (platform::ui::Rect{174, 548 - 114, 93, 31}));
  ASSERT_TRUE(guide->pageControl());
  EXPECT_TRUE(guide->pageControl()->isHidden()) << "one page shows no dots";

  platform::UserDefaults::standard().remove("start_help_page");
  ASSERT_TRUE(inspector.tapControl(*guide->followButton()).isOk());
  EXPECT_EQ(platform::UrlOpener::shared().opened(), std::vector<std::string>{WizardView::kMicroblogAddress});
  EXPECT_FALSE(guide->superview());
  EXPECT_FALSE(delegate->isShowWizard());
  EXPECT_EQ(platform::UserDefaults::standard().string("start_help_page"), "3.1.5");
}

TEST_F(StartupTest, GuidePageIsWhereTheSwipeCameToRest) {
  platform::Device::screen().bounds = {320, 480};
  platform::Device::screen().currentMode = platform::ScreenSize{640, 960};
  platform::UserDefaults::standard().set("start_help_page", "3.1.5");
  launchAndStart();
  auto guide = WizardView::initWithPages({"app_guide_1.png", "help_1.jpg", "help_2.jpg"});
  guide->show();
  EXPECT_EQ(pagePictures(*guide), (std::vector<std::string>{"app_guide_1.png", "help_1.jpg", "help_2.jpg"}));
  EXPECT_FALSE(guide->pageControl()->isHidden());
  EXPECT_EQ(guide->pageControl()->numberOfPages(), 3);
  EXPECT_EQ(guide->pageControl()->frame(), (platform::ui::Rect{160 - 22.5, 460 - 55 - 7.5, 45, 15}));
  EXPECT_FALSE(guide->pageControl()->isUserInteractionEnabled());
  struct Rest {
    double offset;
    int page;
  } rests[] = {{330, 1}, {10, 0}, {19, 0}, {20, 1}, {640, 2}};
  for (const auto& r : rests) {
    guide->scrollView()->setContentOffset({r.offset, 0});
    guide->scrollViewDidEndDecelerating();
    EXPECT_EQ(guide->currentPage(), r.page) << r.offset;
    EXPECT_EQ(guide->pageControl()->currentPage(), r.page) << r.offset;
  }
  // A user's swipe snaps to a page and is counted the same way.
  ASSERT_TRUE(guide->scrollView()->scrollTo({320, 0}));
  EXPECT_EQ(guide->currentPage(), 1);
  guide->beginNuvexa();
}

TEST_F(StartupTest, HelpScreenShowsTheTallGuidePicturesOnAFourInchScreen) {
  platform::UserDefaults::standard().set("start_help_page", "3.1.5");
  launchAndStart();
  auto help = SimpleHelpViewController::create();
  help->view();
  auto guide = std::dynamic_pointer_cast<WizardView>(delegate->window()->subviews().back());
  ASSERT_TRUE(guide);
  EXPECT_EQ(guide->helpInfoImages(), (std::vector<std::string>{"help_1.jpg", "help_2.jpg"}));
  EXPECT_EQ(pagePictures(*guide), (std::vector<std::string>{"app_guide_1-568h@2x.png", "app_guide_2-568h@2x.png"}));
  EXPECT_TRUE(delegate->isShowWizard());
  ASSERT_TRUE(inspector.tapControl(*guide->startButton()).isOk());
  EXPECT_FALSE(delegate->isShowWizard());
}

}  // namespace
}  // namespace nvx
