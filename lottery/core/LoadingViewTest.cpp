#include "lottery/core/LoadingView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace nvx::lottery {
namespace {

using platform::ui::Rect;
using platform::ui::View;

TEST(LoadingViewTest, FramesLabelAndSpinnerOfEveryForm) {
  struct Case {
    std::shared_ptr<LoadingView> (*make)(View&, std::string_view);
    Rect frame;
  } cases[] = {
      {&LoadingView::loadingViewInView, {0, 0, 320, 480}},   {&LoadingView::loadingViewInView1, {0, -50, 320, 570}},
      {&LoadingView::loadingViewInView2, {0, -50, 320, 530}}, {&LoadingView::loadingViewInView3, {60, -20, 200, 470}},
      {&LoadingView::loadingViewInView4, {60, 30, 200, 470}},
  };
  for (const auto& c : cases) {
    auto window = View::create(Rect{0, 0, 320, 480});
    window->addSubview(View::create(Rect{0, 0, 10, 10}));
    auto overlay = c.make(*window, "加载中...");
    EXPECT_EQ(overlay->frame(), c.frame);
    EXPECT_EQ(window->subviews().back(), overlay);  // topmost
    const double s = overlay->spinner()->frame().height;
    const Rect label = overlay->label()->frame();
    EXPECT_EQ(label, (Rect{std::floor((c.frame.width - 250) / 2), std::floor((c.frame.height - (50 + s)) / 2 - 35), 250, 50}));
    EXPECT_EQ(overlay->spinner()->frame().x, (c.frame.width - overlay->spinner()->frame().width) / 2);
    EXPECT_EQ(overlay->spinner()->frame().y, label.y + 50);
    EXPECT_TRUE(overlay->spinner()->isAnimating());
    EXPECT_EQ(overlay->label()->text(), "加载中...");
  }
}

// The narrow form on a 320-point window: the label reaches 25 points beyond both sides.
TEST(LoadingViewTest, NarrowFormLabelOverhangsAndSpinnerIsNotRounded) {
  auto window = View::create(Rect{0, 0, 320, 480});
  auto overlay = LoadingView::loadingViewInView4(*window, "登录中...");
  ASSERT_EQ(overlay->spinner()->frame().height, 37);
  EXPECT_EQ(overlay->label()->frame().x, -25);
  EXPECT_EQ(overlay->label()->frame().y, 156);  // floor(191.5 - 35)
  EXPECT_EQ(overlay->spinner()->frame().x, 81.5);
  EXPECT_EQ(overlay->label()->frame().maxX(), 225);
}

TEST(LoadingViewTest, MessageIsLookedUpAndRemovalIsOnce) {
  auto window = View::create(Rect{0, 0, 320, 480});
  auto known = LoadingView::loadingViewInView(*window, "Back");
  EXPECT_EQ(known->label()->text(), "返回");
  EXPECT_EQ(known->label()->numberOfLines(), 3);
  known->removeView();
  EXPECT_EQ(known->superview(), nullptr);
  EXPECT_TRUE(window->subviews().empty());
  known->removeView();
  EXPECT_TRUE(window->subviews().empty());
}

// The filled box of the full-size overlay spans about x 20 to 299 and y 150 to 269, its corners
// rounded with a radius of 10.
TEST(LoadingViewTest, BoxOutlineOfTheFullForm) {
  auto window = View::create(Rect{0, 0, 320, 480});
  auto overlay = LoadingView::loadingViewInView(*window, "x");
  const auto path = overlay->boxOutline();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front().kind, LoadingView::PathElement::Kind::MoveTo);
  EXPECT_EQ(path.back().kind, LoadingView::PathElement::Kind::Close);

  double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
  auto take = [&](double x, double y) {
    minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
  };
  platform::ui::Point current{};
  int arcs = 0;
  for (const auto& e : path) {
    if (e.kind == LoadingView::PathElement::Kind::ArcTo) {
      ++arcs;
      EXPECT_NEAR(std::hypot(current.x - e.center.x, current.y - e.center.y), 10, 1e-9);
      EXPECT_NEAR(std::hypot(e.to.x - e.center.x, e.to.y - e.center.y), 10, 1e-9);
      // The short way round, sampled.
      double a0 = std::atan2(current.y - e.center.y, current.x - e.center.x);
      double a1 = std::atan2(e.to.y - e.center.y, e.to.x - e.center.x);
      double d = std::remainder(a1 - a0, 2 * std::numbers::pi);
      for (int i = 0; i <= 32; ++i) {
        double a = a0 + d * i / 32;
        take(e.center.x + 10 * std::cos(a), e.center.y + 10 * std::sin(a));
      }
    }
    // The path starts lower down the left edge and closes back to it along the same line: no
    // area below the bottom edge is filled.
    if (e.kind == LoadingView::PathElement::Kind::LineTo || e.kind == LoadingView::PathElement::Kind::ArcTo) {
      take(e.to.x, e.to.y);
    }
    current = e.to;
  }
  EXPECT_EQ(arcs, 4);
  EXPECT_NEAR(minX, 20, 1);
  EXPECT_NEAR(maxX, 299, 1);
  EXPECT_NEAR(minY, 150, 2);
  EXPECT_NEAR(maxY, 269, 2);
}

}  // namespace
}  // namespace nvx::lottery
