#include "platform/ui/PageControl.h"

#include <gtest/gtest.h>

#include "platform/ui/ActivityIndicatorView.h"

namespace platform::ui {
namespace {

TEST(PageControl, TapsMoveOnePageAndStopAtTheEnds) {
  auto pages = PageControl::create({0, 0, 100, 36});
  std::vector<int> changes;
  pages->addTarget(nullptr, ControlEvent::ValueChanged, [&](Control& c) {
    changes.push_back(static_cast<PageControl&>(c).currentPage());
  });
  pages->setNumberOfPages(3);
  EXPECT_TRUE(pages->tapSide(false));   // already at the first page
  EXPECT_TRUE(pages->tap());
  EXPECT_TRUE(pages->tap());
  EXPECT_TRUE(pages->tap());   // already at the last page
  EXPECT_TRUE(pages->tapSide(false));
  EXPECT_EQ(changes, (std::vector<int>{1, 2, 1}));
  EXPECT_EQ(pages->describe(), "PageControl (0,0,100,36) page=2/3");
  pages->setNumberOfPages(1);
  EXPECT_EQ(pages->currentPage(), 0);
  EXPECT_EQ(PageControl::sizeForNumberOfPages(3), (Size{39, 36}));
}

TEST(ActivityIndicatorView, HiddenWhileStoppedUnlessToldOtherwise) {
  auto spinner = ActivityIndicatorView::create(ActivityIndicatorStyle::WhiteLarge);
  EXPECT_EQ(spinner->frame(), (Rect{0, 0, 37, 37}));
  EXPECT_TRUE(spinner->isHidden());
  spinner->startAnimating();
  EXPECT_FALSE(spinner->isHidden());
  EXPECT_EQ(spinner->describe(), "ActivityIndicatorView (0,0,37,37) [animating]");
  spinner->stopAnimating();
  EXPECT_TRUE(spinner->isHidden());
  spinner->setHidesWhenStopped(false);
  EXPECT_FALSE(spinner->isHidden());
  EXPECT_FALSE(spinner->isAnimating());
}

}  // namespace
}  // namespace platform::ui
