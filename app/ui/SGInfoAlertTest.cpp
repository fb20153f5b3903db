// The information bubble: where it sits, and its life of 3.0 s on the virtual clock.
#include <gtest/gtest.h>

#include "app/ui/SGInfoAlert.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::RunLoop;
using platform::ui::Color;
using platform::ui::Inspector;
using platform::ui::Point;
using platform::ui::Rect;
using platform::ui::View;

TEST(SGInfoAlertTest, CentredAcrossTheHostAtTheFractionOfItsHeight) {
  auto host = View::create(Rect{0, 0, 320, 460});
  struct Case {
    double vertical;
    double centreY;
  };
  for (Case c : {Case{0.5, 230}, Case{2, 460}, Case{-1, 0}, Case{0, 0}, Case{1, 460}}) {
    auto alert = SGInfoAlert::showInfo("已保存", Color::black(), *host, c.vertical);
    EXPECT_EQ(alert->center(), (Point{160, c.centreY})) << c.vertical;
    EXPECT_EQ(alert->superview(), host);
  }

  // "已保存" in 14 points is 42 x 17; the bubble is 1.2 times that, the text centred in it.
  auto alert = SGInfoAlert::showInfo("已保存", Color::rgb255(10, 20, 30), *host, 0.5);
  EXPECT_NEAR(alert->frame().width, 50.4, 1e-9);
  EXPECT_NEAR(alert->frame().height, 20.4, 1e-9);
  EXPECT_EQ(alert->backgroundColor(), Color::clear());
  auto drawing = alert->drawRect(alert->bounds());
  EXPECT_EQ(drawing.fill, Color::rgb255(10, 20, 30));
  EXPECT_EQ(drawing.fillOpacity, 0.8);
  EXPECT_EQ(drawing.text, "已保存");
  EXPECT_EQ(drawing.textColor, Color::white());
  EXPECT_NEAR(drawing.textRect.x, 4.2, 1e-9);
  EXPECT_NEAR(drawing.textRect.y, 1.7, 1e-9);
  EXPECT_EQ(drawing.textRect.size(), (platform::ui::Size{42, 17}));
}

TEST(SGInfoAlertTest, ShowsFadesAndIsGoneAfterThreeSeconds) {
  auto window = platform::ui::Window::create();
  window->makeKeyAndVisible();
  auto host = View::create(Rect{0, 64, 320, 504});
  window->addSubview(host);
  Inspector inspector;

  auto shown = SGInfoAlert::showInfo("余额不足", Color::black(), *host, 0.4);
  std::weak_ptr<SGInfoAlert> alert = shown;
  shown.reset();   // the host keeps it
  EXPECT_NE(inspector.byText("余额不足"), nullptr);

  RunLoop::main().advance(1.49);
  EXPECT_NE(inspector.byText("余额不足"), nullptr);
  RunLoop::main().advance(0.02);   // fading out: no longer readable, still there
  EXPECT_EQ(inspector.byText("余额不足"), nullptr);
  ASSERT_FALSE(alert.expired());
  EXPECT_EQ(alert.lock()->superview(), host);
  RunLoop::main().advance(1.48);
  ASSERT_FALSE(alert.expired());
  RunLoop::main().advance(0.02);   // 3.01 s after it was shown
  EXPECT_TRUE(alert.expired());
  EXPECT_TRUE(host->subviews().empty());
}

TEST(SGInfoAlertTest, AHostThatGoesFirstTakesTheBubbleWithIt) {
  auto host = View::create(Rect{0, 0, 320, 460});
  std::weak_ptr<SGInfoAlert> alert = SGInfoAlert::showInfo("提示", Color::black(), *host, 0.5);
  host.reset();
  EXPECT_TRUE(alert.expired());
  RunLoop::main().advance(4.0);   // the pending fade and removal find nothing
}

}  // namespace
}  // namespace nvx
