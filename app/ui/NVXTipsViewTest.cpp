// The tips box: it stays until the user confirms.
#include <gtest/gtest.h>

#include "app/ui/NVXTipsView.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::ui::Inspector;
using platform::ui::Label;
using platform::ui::Rect;

TEST(NVXTipsViewTest, StaysUntilConfirmed) {
  auto window = platform::ui::Window::create();
  window->makeKeyAndVisible();
  auto screen = platform::ui::View::create(window->bounds());
  window->addSubview(screen);

  const std::string text = "刷卡器连接后请将卡片从右向左匀速刷过，刷卡时请保持手机音量最大。";
  auto tips = NVXTipsView::initWithText(text);
  Rect bounds = platform::ui::Screen::bounds();
  EXPECT_EQ(tips->frame(), (Rect{0, 64, bounds.width, bounds.height - 64}));
  EXPECT_EQ(tips->tipsView()->frame(), (Rect{30, 40, 260, 300}));
  // 32 characters of 16 points in 240: two lines of 15 and one of 2, 20 points each.
  tips->show(*screen);
  auto label = std::dynamic_pointer_cast<Label>(Inspector().byText(text));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->frame(), (Rect{10, 10, 240, 90}));
  EXPECT_EQ(label->numberOfLines(), 0);

  std::weak_ptr<NVXTipsView> shown = tips;
  tips.reset();
  platform::RunLoop::main().advance(60.0);
  Inspector inspector;
  ASSERT_NE(inspector.byText(text), nullptr);
  ASSERT_TRUE(inspector.tap("确认").isOk());
  EXPECT_EQ(inspector.byText(text), nullptr);
  EXPECT_TRUE(shown.expired());
}

}  // namespace
}  // namespace nvx
