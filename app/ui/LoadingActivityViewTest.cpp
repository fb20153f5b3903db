// The load-more footer: only the spinner follows the loading flag.
#include <gtest/gtest.h>

#include "app/ui/LoadingActivityView.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::ui::Inspector;
using platform::ui::Rect;

TEST(LoadingActivityViewTest, NotLoadingHidesOnlyTheSpinner) {
  auto window = platform::ui::Window::create();
  window->makeKeyAndVisible();
  auto footer = LoadingActivityView::create(Rect{0, 400, 320, 40});
  window->addSubview(footer);
  Inspector inspector;
  auto spinner = footer->activityIndicatorView();
  EXPECT_EQ(spinner->frame(), (Rect{80, 10, 20, 20}));
  EXPECT_TRUE(spinner->isAnimating());
  EXPECT_EQ(spinner->style(), platform::ui::ActivityIndicatorStyle::Gray);
  EXPECT_FALSE(footer->loading());

  footer->setLoading(false);
  EXPECT_TRUE(spinner->isHidden());
  EXPECT_NE(inspector.byText("加载更多..."), nullptr);
  EXPECT_TRUE(inspector.byKind("ActivityIndicatorView").empty());

  footer->setLoading(true);
  EXPECT_TRUE(footer->loading());
  EXPECT_FALSE(inspector.byKind("ActivityIndicatorView").empty());
  EXPECT_NE(inspector.byText("加载更多..."), nullptr);
}

}  // namespace
}  // namespace nvx
