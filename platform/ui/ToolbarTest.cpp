#include "platform/ui/Toolbar.h"

#include <gtest/gtest.h>

#include "platform/ui/Button.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/TextMetrics.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

TEST(Toolbar, FlexibleSpacesShareTheRoomLeft) {
  int done = 0;
  int cancel = 0;
  auto bar = Toolbar::create({0, 0, 320, 44});
  auto fixed = BarButtonItem::withSystemItem(BarButtonSystemItem::FixedSpace);
  fixed->setWidth(30);
  auto custom = View::create({0, 0, 50, 20});
  bar->setItems({BarButtonItem::withSystemItem(BarButtonSystemItem::Cancel, [&](BarButtonItem&) { ++cancel; }),
                 BarButtonItem::withSystemItem(BarButtonSystemItem::FlexibleSpace), fixed,
                 BarButtonItem::withCustomView(custom),
                 BarButtonItem::withSystemItem(BarButtonSystemItem::FlexibleSpace),
                 BarButtonItem::withSystemItem(BarButtonSystemItem::Done, [&](BarButtonItem&) { ++done; })});
  bar->setBarStyle(BarStyle::BlackTranslucent);
  // "取消" and "完成": two CJK characters of the bold 12-point font, 24 + 20 points wide.
  auto left = std::dynamic_pointer_cast<Button>(bar->viewForItem(0));
  auto right = std::dynamic_pointer_cast<Button>(bar->viewForItem(5));
  ASSERT_NE(left, nullptr);
  ASSERT_NE(right, nullptr);
  EXPECT_EQ(left->frame(), (Rect{6, 7, 44, 30}));
  EXPECT_EQ(right->frame(), (Rect{320 - 6 - 44, 7, 44, 30}));
  EXPECT_EQ(bar->viewForItem(1), nullptr);
  // 320 - 12 margins - 44 - 30 - 50 - 44 = 140 shared by two spaces; the view follows the first
  // space and the fixed one.
  EXPECT_EQ(custom->frame(), (Rect{6 + 44 + 70 + 30, 12, 50, 20}));
  EXPECT_EQ(bar->describe(), "Toolbar (0,0,320,44) style=blackTranslucent");

  auto window = Window::create();
  window->makeKeyAndVisible();
  window->addSubview(bar);
  Inspector inspector;
  ASSERT_TRUE(inspector.tap("完成").isOk());
  EXPECT_EQ(done, 1);
  bar->items()[0]->setEnabled(false);
  EXPECT_FALSE(inspector.tap("取消").isOk());   // the bar follows its items
  EXPECT_EQ(cancel, 0);
}

}  // namespace
}  // namespace platform::ui
