// KeyBoardTopBar on a form: shown for a field, its button closes that field's keyboard and the
// bar slides away.
#include "app/ui/KeyBoardTopBar.h"

#include <gtest/gtest.h>

#include "platform/ui/Inspector.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::ui::Rect;

TEST(KeyBoardTopBarTest, TheButtonClosesTheKeptFieldsKeyboardAndTheBarLeaves) {
  auto window = platform::ui::Window::create();
  window->makeKeyAndVisible();
  auto field = platform::ui::TextField::create(Rect{20, 40, 200, 30});
  field->setPlaceholder("amount");
  window->addSubview(field);
  auto bar = KeyBoardTopBar::create(Rect{0, 568, 320, 40}, "收起");
  window->addSubview(bar);
  EXPECT_EQ(bar->barStyle(), platform::ui::BarStyle::BlackTranslucent);

  platform::ui::Inspector inspector;
  ASSERT_TRUE(inspector.type("amount", "5").isOk());
  bar->showBar(field);
  EXPECT_EQ(bar->frame(), (Rect{0, 160, 320, 40}));
  EXPECT_EQ(bar->currentField(), field);

  ASSERT_TRUE(inspector.tap("收起").isOk()) << inspector.render();
  EXPECT_FALSE(field->isEditing());
  EXPECT_FALSE(platform::ui::Keyboard::isVisible());
  EXPECT_EQ(bar->frame(), (Rect{0, 568, 320, 40}));

  // A field that is not editing is left alone; a field that is gone is no harm.
  auto other = platform::ui::TextField::create(Rect{20, 80, 200, 30});
  window->addSubview(other);
  ASSERT_TRUE(other->becomeFirstResponder());
  bar->showBar(field);
  bar->hiddenKeyBoard();
  EXPECT_TRUE(other->isEditing());
  field->removeFromSuperview();
  field.reset();
  EXPECT_EQ(bar->currentField(), nullptr);
  bar->hiddenKeyBoard();
}

}  // namespace
}  // namespace nvx
