// GHTextField as a user meets it: grouped display, the filters and the length limit (typing and
// pasting), the events its action hears, font fitting and the ways its keyboard closes.
#include "app/ui/GHTextField.h"

#include <gtest/gtest.h>

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::ui::Font;
using platform::ui::Inspector;
using platform::ui::Rect;
using platform::ui::TextFieldViewMode;

class GHTextFieldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = platform::ui::Window::create();
    window->makeKeyAndVisible();
  }
  std::shared_ptr<GHTextField> addField(int type, const std::string& placeholder, double width = 200) {
    auto field = GHTextField::create(Rect{20, 20 + 40.0 * count++, width, 30});
    field->setInputType(type);
    field->setPlaceHolder(placeholder);
    window->addSubview(field);
    return field;
  }
  // Records the events; the list is cleared by taking it.
  void listen(GHTextField& field) {
    field.setAction([this](GHTextField&, int event) { events.push_back(event); });
  }
  std::vector<int> takeEvents() {
    platform::RunLoop::main().advance(0.001);
    return std::exchange(events, {});
  }
  bool editing(const GHTextField& f) const { return f.getTextFiled()->isEditing(); }
  const std::string& shown(const GHTextField& f) const { return f.getTextFiled()->text(); }

  std::shared_ptr<platform::ui::Window> window;
  Inspector inspector;
  std::vector<int> events;
  int count = 0;
};

TEST_F(GHTextFieldTest, GroupedWhenIdlePlainWhileEdited) {
  struct Case {
    int type;
    const char* typed;
    const char* idle;     // shown once editing ended
    const char* text;     // text()
  };
  const Case cases[] = {
      {GHTextField::kInputCardNumber, "6222000011112222", "6222 0000 1111 2222", "6222000011112222"},
      {GHTextField::kInputCardNumber, "62a2-2 ", "6222", "6222"},                   // digits only
      {GHTextField::kInputCardGrouping, "6222-0000 1111", "6222 0000 1111", "622200001111"},   // no filter
      {GHTextField::kInputMobileNumber, "1380013800", "138-0013-800", "1380013800"},
      {GHTextField::kInputAmount, "012.345", "0.34", "0.34"},
      {GHTextField::kInputAmount, "12.345", "12.34", "12.34"},                       // shown as typed, no "%.2f"
      {GHTextField::kInputPlain, "a b-c", "a b-c", "a b-c"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    auto field = addField(c.type, c.typed);
    ASSERT_TRUE(inspector.type(c.typed, c.typed).isOk());
    ASSERT_TRUE(inspector.tap("完成").isOk());
    EXPECT_FALSE(editing(*field));
    EXPECT_EQ(shown(*field), c.idle);
    EXPECT_EQ(field->text(), c.text);
    ASSERT_TRUE(field->getTextFiled()->tap());
    EXPECT_EQ(shown(*field), c.text);   // plain while edited
    field->done();
  }

  // A program's text is grouped at once; grouping it again keeps it grouped.
  auto card = addField(GHTextField::kInputCardNumber, "card");
  card->setText("6222000011112222");
  EXPECT_EQ(shown(*card), "6222 0000 1111 2222");
  card->setText("6222 0000 1111 2222");
  EXPECT_EQ(shown(*card), "6222 0000 1111 2222");
  EXPECT_EQ(card->text(), "6222000011112222");
  auto phone = addField(GHTextField::kInputMobileNumber, "phone");
  phone->setText("13800138000");
  EXPECT_EQ(shown(*phone), "138-0013-8000");
  EXPECT_EQ(phone->text(), "13800138000");
  EXPECT_EQ(card->clearButtonMode(), TextFieldViewMode::WhileEditing);
}

TEST_F(GHTextFieldTest, AMobileNumberIsTakenAtTheEleventhDigitAndTheKeyboardCloses) {
  auto phone = addField(GHTextField::kInputMobileNumber, "phone");
  listen(*phone);
  ASSERT_TRUE(inspector.type("phone", "1380013800").isOk());
  takeEvents();
  ASSERT_TRUE(inspector.type(*phone->getTextFiled(), "0").isOk());
  EXPECT_FALSE(editing(*phone));
  EXPECT_FALSE(platform::ui::Keyboard::isVisible());
  EXPECT_EQ(shown(*phone), "138-0013-8000");
  EXPECT_EQ(phone->text(), "13800138000");
  // The filter wrote the number itself (5), then editing ended (2, 5 on regrouping, 3): no 4.
  EXPECT_EQ(takeEvents(), (std::vector<int>{5, 2, 5, 3}));
}

TEST_F(GHTextFieldTest, MaxLengthHoldsForTypingAndPasting) {
  auto field = addField(GHTextField::kInputPlain, "limited");
  field->setMaxLength(6);
  EXPECT_EQ(GHTextField::create(Rect{})->maxLength(), 2147483647);
  listen(*field);
  ASSERT_TRUE(inspector.type("limited", "abcdefg").isOk());
  EXPECT_EQ(shown(*field), "abcdef");
  takeEvents();

  auto& inner = *field->getTextFiled();
  EXPECT_EQ(inner.typeText("h"), 1u);
  EXPECT_FALSE(inner.paste("x"));
  EXPECT_EQ(shown(*field), "abcdef");
  EXPECT_TRUE(takeEvents().empty());   // a refused change reports nothing

  inner.setText("ab");
  takeEvents();
  EXPECT_FALSE(inner.paste("cdefg"));   // 7
  EXPECT_EQ(shown(*field), "ab");
  EXPECT_TRUE(inner.paste("cdef"));      // 6
  EXPECT_EQ(shown(*field), "abcdef");
  EXPECT_TRUE(inner.deleteBackward());
  EXPECT_EQ(takeEvents(), (std::vector<int>{4, 4, 5, 5}));
  // The replaced range counts: 6 - 2 + 2 fits, 6 - 1 + 2 does not.
  inner.setText("abcdef");
  EXPECT_EQ(field->shouldChangeCharacters(inner, platform::Range16{0, 2}, "xy"), true);
  EXPECT_EQ(field->shouldChangeCharacters(inner, platform::Range16{0, 1}, "xy"), false);

  // A mobile field's limit also holds for the number the filter would write itself.
  auto phone = addField(GHTextField::kInputMobileNumber, "short phone");
  phone->setMaxLength(6);
  ASSERT_TRUE(phone->getTextFiled()->tap());
  ASSERT_TRUE(phone->getTextFiled()->paste("1"));
  EXPECT_FALSE(phone->getTextFiled()->paste("3800138000"));
  EXPECT_EQ(shown(*phone), "1");
  EXPECT_TRUE(editing(*phone));
}

TEST_F(GHTextFieldTest, EventsOfAnEditingSession) {
  auto field = addField(GHTextField::kInputPlain, "events");
  field->setClearButtonMode(TextFieldViewMode::WhileEditing);
  listen(*field);
  ASSERT_TRUE(inspector.type("events", "a").isOk());
  // Begin: the plain text is set (5), will begin (0), began (1); the keystroke: 4, then 5.
  EXPECT_EQ(takeEvents(), (std::vector<int>{5, 0, 1, 4, 5}));

  ASSERT_TRUE(field->getTextFiled()->tapClear());
  EXPECT_EQ(takeEvents(), (std::vector<int>{4}));
  EXPECT_EQ(shown(*field), "");

  // The return key reports 4 and closes the keyboard.
  ASSERT_TRUE(field->getTextFiled()->typeText("b\n") == 2);
  EXPECT_FALSE(editing(*field));
  EXPECT_EQ(takeEvents(), (std::vector<int>{4, 4, 2, 5, 3, 5}));

  // A program's change reports 5 at once; without an action nothing is told.
  field->getTextFiled()->setText("c");
  EXPECT_EQ(events, (std::vector<int>{5}));
  events.clear();
  field->setAction(nullptr);
  ASSERT_TRUE(inspector.type("events", "d").isOk());
  EXPECT_TRUE(takeEvents().empty());
}

TEST_F(GHTextFieldTest, DoneNotificationAndReleaseCloseOrDropSafely) {
  auto a = addField(GHTextField::kInputPlain, "a");
  ASSERT_TRUE(inspector.type("a", "1").isOk());
  ASSERT_TRUE(inspector.tap("完成").isOk());
  EXPECT_FALSE(editing(*a));

  ASSERT_TRUE(inspector.type("a", "2").isOk());
  platform::NotificationCenter::shared().post(GHTextField::kResignFirstResponderNotification, this);
  EXPECT_FALSE(editing(*a));
  EXPECT_FALSE(platform::ui::Keyboard::isVisible());

  // A field released while its delayed event is pending: nothing is told and nothing breaks.
  int told = 0;
  a->setAction([&told](GHTextField&, int) { ++told; });
  ASSERT_TRUE(inspector.type("a", "3").isOk());
  told = 0;
  a->getTextFiled()->resignFirstResponder();
  told = 0;
  auto inner = a->getTextFiled();
  a->removeFromSuperview();
  a.reset();
  platform::RunLoop::main().advance(0.01);
  platform::NotificationCenter::shared().post(GHTextField::kResignFirstResponderNotification);
  inner->setText("x");
  EXPECT_EQ(told, 0);
}

TEST_F(GHTextFieldTest, ALongTextGetsASmallerFontWhenEditingEnds) {
  auto field = addField(GHTextField::kInputPlain, "long", 100);
  field->setFont(Font::boldSystem(16));
  ASSERT_TRUE(inspector.type("long", "12345678901234567890").isOk());
  EXPECT_EQ(field->getTextFiled()->font(), Font::boldSystem(16));
  ASSERT_TRUE(inspector.tap("完成").isOk());
  // 20 digits are 11 em: 176 points at 16, 110 at 10, 99 at 9 in a 100-point field.
  EXPECT_EQ(field->getTextFiled()->font(), Font::system(9));
  // The next editing starts with the kept font again.
  ASSERT_TRUE(field->getTextFiled()->tap());
  EXPECT_EQ(field->getTextFiled()->font(), Font::boldSystem(16));

  // The inner field follows the wrapper's size.
  field->setFrame(Rect{0, 0, 250, 40});
  EXPECT_EQ(field->getTextFiled()->frame(), (Rect{0, 0, 250, 40}));
  auto bar = std::dynamic_pointer_cast<platform::ui::Toolbar>(field->getTextFiled()->inputAccessoryView());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->barStyle(), platform::ui::BarStyle::BlackTranslucent);
}

}  // namespace
}  // namespace nvx
