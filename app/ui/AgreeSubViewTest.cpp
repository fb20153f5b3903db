// The agreement line: ticked until the user taps the box; the title opens the agreement.
#include <gtest/gtest.h>

#include "app/ui/AgreeSubView.h"
#include "app/ui/testing/TestPictureBundle.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::ui::Color;
using platform::ui::ControlState;
using platform::ui::Inspector;
using platform::ui::Point;
using platform::ui::Rect;

TEST(AgreeSubViewTest, TickedUntilTheUserTapsTheBoxAndTheTitleOpensTheAgreement) {
  testing::TestPictureBundle pictures({"check-off.png", "check-on.png"});
  auto window = platform::ui::Window::create();
  window->makeKeyAndVisible();
  int opened = 0;
  auto line = AgreeSubView::initWithPosition(Point{0, 300}, "《用户服务协议》", &opened,
                                             [&opened](platform::ui::Control&) { ++opened; });
  window->addSubview(line);
  EXPECT_EQ(line->frame(), (Rect{0, 300, 320, 40}));

  auto box = line->agreeBtn();
  EXPECT_EQ(box->frame(), (Rect{10, 10, 20, 20}));
  EXPECT_EQ(box->backgroundImage(ControlState::Normal)->name, "check-off.png");
  EXPECT_EQ(box->backgroundImage(ControlState::Selected)->name, "check-on.png");
  EXPECT_EQ(line->tipLb()->text(), "我已同意");
  EXPECT_EQ(line->tipLb()->frame(), (Rect{38, 5, 80, 30}));
  EXPECT_EQ(line->tipLb()->font(), platform::ui::Font::system(14));
  EXPECT_EQ(line->protocolBtn()->frame(), (Rect{95, 5, 200, 30}));
  EXPECT_EQ(line->protocolBtn()->titleColor(ControlState::Normal), Color::rgb255(32, 162, 255));

  Inspector inspector;
  EXPECT_TRUE(line->isAgreed());
  ASSERT_TRUE(inspector.tapControl(*box).isOk());
  EXPECT_FALSE(line->isAgreed());
  EXPECT_EQ(box->currentBackgroundImage()->name, "check-off.png");
  ASSERT_TRUE(inspector.tapControl(*box).isOk());
  EXPECT_TRUE(line->isAgreed());

  EXPECT_EQ(opened, 0);
  ASSERT_TRUE(inspector.tap("《用户服务协议》").isOk());
  EXPECT_EQ(opened, 1);
  EXPECT_TRUE(line->isAgreed());
}

}  // namespace
}  // namespace nvx
