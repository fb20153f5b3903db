#include "platform/ui/Hud.h"

#include <gtest/gtest.h>

#include "platform/foundation/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

TEST(Hud, HidesAfterItsDelayOfRunLoopTime) {
  auto window = Window::create();
  window->makeKeyAndVisible();
  auto hud = Hud::showOn(*window, true);
  hud->setMode(Hud::Mode::Text);
  hud->setLabel("没有更多的数据了！");
  hud->setYOffset(-32);
  hud->hide(true, 2.0);
  hud.reset();
  ASSERT_EQ(Hud::on(*window).size(), 1u);
  RunLoop::main().advance(1.999);
  EXPECT_EQ(Hud::on(*window).size(), 1u);
  RunLoop::main().advance(0.001);
  EXPECT_TRUE(Hud::on(*window).empty());
}

TEST(Hud, CoversTheViewItIsShownOnUntilHidden) {
  auto window = Window::create();
  window->makeKeyAndVisible();
  auto b = Button::create({0, 100, 100, 44});
  b->setTitle("Pay");
  window->addSubview(b);
  auto spinner = Hud::showOn(*window, true);
  EXPECT_EQ(spinner->frame(), window->bounds());
  Hud::showOn(*window, false);
  EXPECT_FALSE(Inspector().tap("Pay").isOk());
  EXPECT_EQ(Hud::hideAll(*window, true), 2);
  EXPECT_FALSE(spinner->isShown());
  EXPECT_TRUE(Inspector().tap("Pay").isOk());
  EXPECT_EQ(Hud::hideAll(*window, true), 0);
}

TEST(Animation, ChangesAtOnceCompletionAfterTheDuration) {
  auto v = View::create({0, 0, 10, 10});
  int done = 0;
  animate(0.25, [&] { v->setAlpha(0); }, [&](bool finished) { done += finished ? 1 : 100; });
  EXPECT_EQ(v->alpha(), 0);
  RunLoop::main().advance(0.249);
  EXPECT_EQ(done, 0);
  RunLoop::main().advance(0.001);
  EXPECT_EQ(done, 1);
}

}  // namespace
}  // namespace platform::ui
