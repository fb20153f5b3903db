#include "platform/ui/TextView.h"

#include <gtest/gtest.h>

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

TEST(TextView, TypesLinesThroughTheDelegate) {
  auto window = Window::create();
  window->makeKeyAndVisible();
  auto view = TextView::create({10, 30, 300, 120});
  auto notes = std::make_shared<Notes>();
  view->setDelegate(notes);
  window->addSubview(view);
  Inspector inspector;

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

}  // namespace
}  // namespace platform::ui
