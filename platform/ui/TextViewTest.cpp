#include "platform/ui/TextView.h"

#include <gtest/gtest.h>

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

class Notes : public TextViewDelegate {
 public:
  std::vector<std::string> log;
  size_t limit = 100;
  std::optional<bool> shouldBeginEditing(TextView&) override {
    log.push_back("shouldBegin");
    return std::nullopt;
  }
  void didBeginEditing(TextView&) override { log.push_back("didBegin"); }
  std::optional<bool> shouldChangeText(TextView& v, Range16 r, const std::string& s) override {
    log.push_back("change " + std::to_string(r.location) + "," + std::to_string(r.length) + " " + s);
    return u16len(v.text()) - r.length + u16len(s) <= limit;
  }
  void didChange(TextView&) override { log.push_back("didChange"); }
  void didEndEditing(TextView&) override { log.push_back("didEnd"); }
};

class TextViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window->makeKeyAndVisible();
    view->setDelegate(notes);
    window->addSubview(view);
  }

  std::shared_ptr<Window> window = Window::create();
  std::shared_ptr<TextView> view = TextView::create({10, 30, 300, 120});
  std::shared_ptr<Notes> notes = std::make_shared<Notes>();
  Inspector inspector;
};

TEST_F(TextViewTest, TypesLinesThroughTheDelegate) {
  notes->limit = 4;
  ASSERT_TRUE(inspector.type(*view, "a\n😀b").isOk());
  EXPECT_EQ(view->text(), "a\n😀");   // the last keystroke would make 5 units
  EXPECT_EQ(notes->log, (std::vector<std::string>{"shouldBegin", "didBegin", "change 0,0 a", "didChange",
                                                  "change 1,0 \n", "didChange", "change 2,0 😀", "didChange",
                                                  "change 4,0 b"}));
  EXPECT_TRUE(view->deleteBackward());
  EXPECT_EQ(view->text(), "a\n");
  EXPECT_NE(inspector.render().find("TextView (10,30,300,120) \"a\\n\" [editing]"), std::string::npos)
      << inspector.render();

  // A read-only view gives the keyboard back and never edits again.
  notes->log.clear();
  view->setEditable(false);
  EXPECT_FALSE(view->isEditing());
  EXPECT_FALSE(Keyboard::isVisible());
  EXPECT_EQ(notes->log, (std::vector<std::string>{"didEnd"}));
  EXPECT_FALSE(view->becomeFirstResponder());
  EXPECT_FALSE(inspector.type(*view, "x").isOk());
}

TEST_F(TextViewTest, EditsAtTheCaretAndTellsOfEveryAcceptedChange) {
  int posted = 0;
  auto obs = NotificationCenter::shared().observe(TextView::kTextDidChangeNotification, view.get(),
                                                  [&](const Notification&) { ++posted; });

  view->setText("ab");   // a program's change: nobody is asked or told
  EXPECT_EQ(view->caret16(), 2u);
  EXPECT_FALSE(view->paste("x"));   // not editing
  ASSERT_TRUE(view->tap());
  view->setCaret16(1);
  EXPECT_TRUE(view->insertText("\n"));   // no return key: a line break like any character
  EXPECT_TRUE(view->paste("😀"));
  EXPECT_EQ(view->text(), "a\n😀b");
  EXPECT_EQ(view->caret16(), 4u);
  EXPECT_TRUE(view->deleteBackward());   // the emoji's two units at once
  EXPECT_EQ(view->text(), "a\nb");
  EXPECT_EQ(view->caret16(), 2u);
  EXPECT_FALSE(view->paste("\xff"));   // not UTF-8
  notes->limit = 3;
  EXPECT_FALSE(view->insertText("c"));
  EXPECT_EQ(view->text(), "a\nb");
  EXPECT_EQ(notes->log, (std::vector<std::string>{"shouldBegin", "didBegin", "change 1,0 \n", "didChange",
                                                  "change 2,0 😀", "didChange", "change 2,2 ", "didChange",
                                                  "change 2,0 c"}));
  EXPECT_EQ(posted, 3);

  // The keyboard follows the traits changed while editing.
  view->setKeyboardType(KeyboardType::NumberPad);
  view->setReturnKeyType(ReturnKeyType::Done);
  EXPECT_EQ(Keyboard::system()->keyboardType(), KeyboardType::NumberPad);
  EXPECT_EQ(Keyboard::system()->returnKeyType(), ReturnKeyType::Done);
}

}  // namespace
}  // namespace platform::ui
