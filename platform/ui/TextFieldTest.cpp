#include "platform/ui/TextField.h"

#include <gtest/gtest.h>

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Button.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

// Records every delegate call as a line; answers are settable per question.
class Recorder : public TextFieldDelegate {
 public:
  std::vector<std::string> log;
  std::optional<bool> begin, end, clear, ret;
  std::function<std::optional<bool>(TextField&, Range16, const std::string&)> change;

  std::string name(TextField& f) { return f.placeholder(); }
  std::optional<bool> shouldBeginEditing(TextField& f) override {
    log.push_back(name(f) + " shouldBegin");
    return begin;
  }
  void didBeginEditing(TextField& f) override { log.push_back(name(f) + " didBegin"); }
  std::optional<bool> shouldEndEditing(TextField& f) override {
    log.push_back(name(f) + " shouldEnd");
    return end;
  }
  void didEndEditing(TextField& f) override { log.push_back(name(f) + " didEnd"); }
  std::optional<bool> shouldChangeCharacters(TextField& f, Range16 r, const std::string& s) override {
    log.push_back(name(f) + " change " + std::to_string(r.location) + "," + std::to_string(r.length) + " \"" + s + "\"");
    return change ? change(f, r, s) : std::nullopt;
  }
  std::optional<bool> shouldClear(TextField& f) override {
    log.push_back(name(f) + " shouldClear");
    return clear;
  }
  std::optional<bool> shouldReturn(TextField& f) override {
    log.push_back(name(f) + " shouldReturn");
    return ret;
  }
};

class TextFieldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = Window::create();
    window->makeKeyAndVisible();
    a = add("A", {20, 40, 280, 30});
    b = add("B", {20, 80, 280, 30});
  }
  std::shared_ptr<TextField> add(const std::string& placeholder, Rect frame) {
    auto f = TextField::create(frame);
    f->setPlaceholder(placeholder);
    f->setDelegate(rec);
    window->addSubview(f);
    return f;
  }
  void recordEvents(TextField& f) {
    std::string n = f.placeholder();
    for (auto [event, label] : {std::pair{ControlEvent::EditingDidBegin, "EditingDidBegin"},
                                std::pair{ControlEvent::EditingChanged, "EditingChanged"},
                                std::pair{ControlEvent::EditingDidEnd, "EditingDidEnd"},
                                std::pair{ControlEvent::EditingDidEndOnExit, "EditingDidEndOnExit"}}) {
      std::string text = n + " " + label;
      f.addTarget(this, event, [this, text](Control&) { rec->log.push_back(text); });
    }
  }

  std::shared_ptr<Recorder> rec = std::make_shared<Recorder>();
  std::shared_ptr<Window> window;
  std::shared_ptr<TextField> a, b;
  Inspector inspector;
};

TEST_F(TextFieldTest, BeginningAsksThenTellsThenSendsTheEvent) {
  recordEvents(*a);
  int notes = 0;
  auto obs = NotificationCenter::shared().observe(TextField::kTextDidBeginEditingNotification, a.get(),
                                                  [&](const Notification&) { ++notes; });
  a->setText("12");
  a->setCaret16(0);
  EXPECT_TRUE(a->becomeFirstResponder());
  EXPECT_EQ(rec->log, (std::vector<std::string>{"A shouldBegin", "A didBegin", "A EditingDidBegin"}));
  EXPECT_TRUE(a->isEditing());
  EXPECT_EQ(a->caret16(), 2u);   // the caret starts at the end
  EXPECT_EQ(notes, 1);

  rec->log.clear();
  EXPECT_TRUE(a->resignFirstResponder());
  EXPECT_EQ(rec->log, (std::vector<std::string>{"A shouldEnd", "A didEnd", "A EditingDidEnd"}));
  EXPECT_FALSE(a->isEditing());
}

TEST_F(TextFieldTest, RefusedBeginningOrEndingChangesNothing) {
  recordEvents(*a);
  rec->begin = false;
  EXPECT_FALSE(a->becomeFirstResponder());
  EXPECT_FALSE(a->tap());
  EXPECT_FALSE(a->isEditing());
  EXPECT_EQ(a->typeText("x"), 0u);
  EXPECT_EQ(a->text(), "");
  for (const auto& line : rec->log) EXPECT_EQ(line, "A shouldBegin");
  EXPECT_FALSE(Keyboard::isVisible());

  rec->begin.reset();
  ASSERT_TRUE(a->becomeFirstResponder());
  rec->end = false;
  rec->log.clear();
  EXPECT_FALSE(a->resignFirstResponder());
  EXPECT_TRUE(a->isEditing());
  EXPECT_EQ(rec->log, (std::vector<std::string>{"A shouldEnd"}));

  // A disabled field never edits, and the delegate is not even asked.
  rec->log.clear();
  b->setEnabled(false);
  EXPECT_FALSE(b->becomeFirstResponder());
  EXPECT_TRUE(rec->log.empty());
}

TEST_F(TextFieldTest, SwitchingFieldsEndsTheOldOneBeforeTheNewOneBegins) {
  recordEvents(*a);
  recordEvents(*b);
  ASSERT_TRUE(a->becomeFirstResponder());
  rec->log.clear();
  ASSERT_TRUE(inspector.tapControl(*b).isOk());
  EXPECT_EQ(rec->log, (std::vector<std::string>{"B shouldBegin", "A shouldEnd", "A didEnd", "A EditingDidEnd",
                                                "B didBegin", "B EditingDidBegin"}));
  EXPECT_FALSE(a->isEditing());
  EXPECT_TRUE(b->isEditing());

  // The editing field may keep the keyboard: then the new one does not begin at all.
  rec->end = false;
  rec->log.clear();
  EXPECT_FALSE(a->becomeFirstResponder());
  EXPECT_EQ(rec->log, (std::vector<std::string>{"A shouldBegin", "B shouldEnd"}));
  EXPECT_TRUE(b->isEditing());
}

TEST_F(TextFieldTest, EveryKeystrokeAsksWithItsRangeInUtf16Units) {
  recordEvents(*a);
  int notes = 0;
  auto obs = NotificationCenter::shared().observe(TextField::kTextDidChangeNotification, a.get(),
                                                  [&](const Notification&) { ++notes; });
  ASSERT_TRUE(a->becomeFirstResponder());
  rec->log.clear();
  // ASCII 1 unit, CJK 1 unit, an emoji outside the basic plane 2 units.
  EXPECT_EQ(a->typeText("a中😀b"), 4u);
  EXPECT_EQ(rec->log, (std::vector<std::string>{"A change 0,0 \"a\"", "A EditingChanged", "A change 1,0 \"中\"",
                                                "A EditingChanged", "A change 2,0 \"😀\"", "A EditingChanged",
                                                "A change 4,0 \"b\"", "A EditingChanged"}));
  EXPECT_EQ(a->text(), "a中😀b");
  EXPECT_EQ(a->caret16(), 5u);
  EXPECT_EQ(notes, 4);

  // Typing in the middle, then deleting backwards over the emoji (2 units) and the CJK (1 unit).
  a->setCaret16(4);
  rec->log.clear();
  a->typeText("x");
  EXPECT_TRUE(a->deleteBackward());
  EXPECT_TRUE(a->deleteBackward());
  EXPECT_TRUE(a->deleteBackward());
  EXPECT_EQ(rec->log, (std::vector<std::string>{"A change 4,0 \"x\"", "A EditingChanged", "A change 4,1 \"\"",
                                                "A EditingChanged", "A change 2,2 \"\"", "A EditingChanged",
                                                "A change 1,1 \"\"", "A EditingChanged"}));
  EXPECT_EQ(a->text(), "ab");
  EXPECT_EQ(a->caret16(), 1u);
  a->setCaret16(0);
  rec->log.clear();
  EXPECT_FALSE(a->deleteBackward());   // nothing before the caret: nobody is asked
  EXPECT_TRUE(rec->log.empty());
}

TEST_F(TextFieldTest, RefusedKeystrokesChangeNothing) {
  recordEvents(*a);
  int notes = 0;
  auto obs = NotificationCenter::shared().observe(TextField::kTextDidChangeNotification, nullptr,
                                                  [&](const Notification&) { ++notes; });
  rec->change = [](TextField&, Range16, const std::string& s) -> std::optional<bool> {
    return s.empty() || (s[0] >= '0' && s[0] <= '9');
  };
  ASSERT_TRUE(a->becomeFirstResponder());
  rec->log.clear();
  EXPECT_EQ(a->typeText("1a2"), 3u);   // every keystroke reached the field
  EXPECT_EQ(a->text(), "12");
  EXPECT_EQ(a->caret16(), 2u);
  EXPECT_EQ(notes, 2);
  EXPECT_EQ(std::count(rec->log.begin(), rec->log.end(), "A EditingChanged"), 2);
  EXPECT_FALSE(a->paste("b3"));   // a paste is all or nothing
  EXPECT_FALSE(a->insertText("c"));
  EXPECT_EQ(a->text(), "12");
  EXPECT_EQ(notes, 2);
}

TEST_F(TextFieldTest, PasteAsksOnceForTheWholeText) {
  ASSERT_TRUE(a->becomeFirstResponder());
  a->typeText("ab");
  a->setCaret16(1);
  rec->log.clear();
  EXPECT_TRUE(a->paste("中文12"));
  EXPECT_EQ(rec->log, (std::vector<std::string>{"A change 1,0 \"中文12\""}));
  EXPECT_EQ(a->text(), "a中文12b");
  EXPECT_EQ(a->caret16(), 5u);
  EXPECT_FALSE(b->paste("x"));   // no paste into a field that does not edit
  EXPECT_FALSE(a->paste("\xff"));   // not UTF-8: nothing happens
  EXPECT_EQ(a->typeText("\xc3"), 0u);
  EXPECT_EQ(a->text(), "a中文12b");
}

TEST_F(TextFieldTest, ADelegateThatWritesTheTextItselfAndClosesTheKeyboardStopsTheTyping) {
  // As the phone-number filter does: at the 11th digit it writes the text and ends editing.
  rec->change = [](TextField& f, Range16, const std::string& s) -> std::optional<bool> {
    if (f.text().size() + s.size() < 11) return true;
    f.setText(f.text() + s);
    f.resignFirstResponder();
    return false;
  };
  Status s = inspector.type(*a, "138001380001");
  EXPECT_FALSE(s.isOk());
  EXPECT_NE(s.message().find("11 of 12"), std::string::npos) << s.message();
  EXPECT_EQ(a->text(), "13800138000");
  EXPECT_FALSE(a->isEditing());
  EXPECT_EQ(a->caret16(), 11u);
  EXPECT_FALSE(Keyboard::isVisible());
}

TEST_F(TextFieldTest, ClearButtonAsksThenEmptiesTheField) {
  recordEvents(*a);
  a->setClearButtonMode(TextFieldViewMode::WhileEditing);
  a->setText("123");
  EXPECT_FALSE(a->isClearButtonShown());   // only while editing
  EXPECT_FALSE(a->tapClear());
  ASSERT_TRUE(a->becomeFirstResponder());
  EXPECT_TRUE(a->isClearButtonShown());
  rec->log.clear();
  rec->clear = false;
  EXPECT_FALSE(a->tapClear());
  EXPECT_EQ(a->text(), "123");
  rec->clear.reset();
  EXPECT_TRUE(a->tapClear());
  EXPECT_EQ(rec->log, (std::vector<std::string>{"A shouldClear", "A shouldClear", "A EditingChanged"}));
  EXPECT_EQ(a->text(), "");
  EXPECT_EQ(a->caret16(), 0u);
  EXPECT_FALSE(a->isClearButtonShown());   // nothing left to clear
}

TEST_F(TextFieldTest, ReturnKeyAsksAndEndsEditingOnlyWithAnEndOnExitAction) {
  // Nobody listens for the end on exit of B: the return key leaves its keyboard up.
  ASSERT_TRUE(b->becomeFirstResponder());
  rec->log.clear();
  EXPECT_TRUE(b->tapReturn());
  EXPECT_TRUE(b->isEditing());
  EXPECT_EQ(rec->log, (std::vector<std::string>{"B shouldReturn"}));

  recordEvents(*a);
  ASSERT_TRUE(a->becomeFirstResponder());
  rec->ret = false;
  rec->log.clear();
  EXPECT_FALSE(a->tapReturn());
  EXPECT_TRUE(a->isEditing());
  EXPECT_EQ(rec->log, (std::vector<std::string>{"A shouldReturn"}));

  rec->ret.reset();
  rec->log.clear();
  EXPECT_EQ(a->typeText("x\n"), 2u);   // "\n" is the return key, not a character
  EXPECT_EQ(a->text(), "x");
  EXPECT_FALSE(a->isEditing());
  EXPECT_EQ(rec->log, (std::vector<std::string>{"A change 0,0 \"x\"", "A EditingChanged", "A shouldReturn",
                                                "A EditingDidEndOnExit", "A shouldEnd", "A didEnd",
                                                "A EditingDidEnd"}));
  EXPECT_FALSE(a->tapReturn());   // no keyboard, no return key
}

TEST_F(TextFieldTest, SecureFieldRendersBulletsAndStartsOverAfterBeginningAgain) {
  a->setSecureTextEntry(true);
  ASSERT_TRUE(inspector.type(*a, "ab中").isOk());
  EXPECT_EQ(a->text(), "ab中");
  EXPECT_EQ(a->displayText(), "•••");
  EXPECT_NE(inspector.render().find("TextField (20,40,280,30) \"•••\" [editing]"), std::string::npos)
      << inspector.render();
  EXPECT_EQ(inspector.byText("ab中"), nullptr);   // the hidden text is nowhere on the screen

  ASSERT_TRUE(a->resignFirstResponder());
  ASSERT_TRUE(a->becomeFirstResponder());
  rec->log.clear();
  a->typeText("9");
  EXPECT_EQ(rec->log, (std::vector<std::string>{"A change 0,3 \"9\""}));
  EXPECT_EQ(a->text(), "9");
  a->typeText("8");
  EXPECT_EQ(a->text(), "98");

  // A backward delete after beginning again empties the field.
  ASSERT_TRUE(a->resignFirstResponder());
  ASSERT_TRUE(a->becomeFirstResponder());
  EXPECT_TRUE(a->deleteBackward());
  EXPECT_EQ(a->text(), "");
}

TEST_F(TextFieldTest, RenderShowsPlaceholderWhileEmpty) {
  b->setText("x");
  std::string out = inspector.render();
  EXPECT_NE(out.find("TextField (20,40,280,30) placeholder=\"A\"\n"), std::string::npos) << out;
  EXPECT_NE(out.find("TextField (20,80,280,30) \"x\"\n"), std::string::npos) << out;
  EXPECT_EQ(inspector.fieldByPlaceholder("B"), b);
  EXPECT_TRUE(inspector.type("B", "y").isOk());
  EXPECT_EQ(b->text(), "xy");
  EXPECT_FALSE(inspector.type("C", "y").isOk());
}

TEST_F(TextFieldTest, ProgramChangesRunTheTextObserversOnly) {
  recordEvents(*a);
  int observed = 0;
  int notes = 0;
  auto obs = NotificationCenter::shared().observe(TextField::kTextDidChangeNotification, nullptr,
                                                  [&](const Notification&) { ++notes; });
  a->addTextObserver(this, [&](TextField& f) {
    ++observed;
    EXPECT_EQ(f.caret16(), u16len(f.text()));
  });
  a->setText("中文");
  a->setText("中文");   // the same text again still counts
  ASSERT_TRUE(a->becomeFirstResponder());
  rec->log.clear();
  a->typeText("1");
  EXPECT_EQ(observed, 2);   // typing is not a program's change
  EXPECT_EQ(notes, 1);
  EXPECT_EQ(rec->log, (std::vector<std::string>{"A change 2,0 \"1\"", "A EditingChanged"}));
  a->removeTextObservers(this);
  a->setText("");
  EXPECT_EQ(observed, 2);
}

TEST_F(TextFieldTest, KeyboardShowsTheFieldsKindOfKeysOrItsOwnKeypad) {
  a->setKeyboardType(KeyboardType::NumberPad);
  EXPECT_EQ(a->activeInputView(), nullptr);
  ASSERT_TRUE(a->becomeFirstResponder());
  auto keyboard = std::dynamic_pointer_cast<Keyboard>(a->activeInputView());
  ASSERT_NE(keyboard, nullptr);
  EXPECT_EQ(keyboard->keyboardType(), KeyboardType::NumberPad);
  EXPECT_EQ(Keyboard::frameOnScreen(), (Rect{0, 568 - 216, 320, 216}));

  // A custom keypad with a Done bar above it, set while editing: its keys are ordinary buttons.
  auto pad = View::create({0, 0, 320, 200});
  auto seven = Button::create({0, 0, 100, 50});
  seven->setTitle("7");
  std::weak_ptr<TextField> weakA = a;
  seven->addTarget(nullptr, ControlEvent::TouchUpInside, [weakA](Control&) {
    if (auto f = weakA.lock()) f->insertText("7");
  });
  pad->addSubview(seven);
  auto bar = Toolbar::create({0, 0, 320, 44});
  bar->setItems({BarButtonItem::withSystemItem(BarButtonSystemItem::FlexibleSpace),
                 BarButtonItem::withSystemItem(BarButtonSystemItem::Done, [weakA](BarButtonItem&) {
                   if (auto f = weakA.lock()) f->resignFirstResponder();
                 })});
  a->setInputView(pad);
  a->setInputAccessoryView(bar);
  EXPECT_EQ(a->activeInputView(), pad);
  EXPECT_EQ(Keyboard::frameOnScreen(), (Rect{0, 568 - 244, 320, 244}));
  ASSERT_TRUE(inspector.tap("7").isOk());
  ASSERT_TRUE(inspector.tap("7").isOk());
  EXPECT_EQ(a->text(), "77");
  EXPECT_EQ(rec->log.back(), "A change 1,0 \"7\"");

  // The keyboard covers what lies under it.
  auto low = Button::create({0, 500, 320, 40});
  low->setTitle("下一步");
  window->addSubview(low);
  EXPECT_FALSE(inspector.tap("下一步").isOk());

  ASSERT_TRUE(inspector.tap("完成").isOk());
  EXPECT_FALSE(a->isEditing());
  EXPECT_FALSE(Keyboard::isVisible());
  EXPECT_EQ(pad->superview(), nullptr);
  EXPECT_TRUE(inspector.tap("下一步").isOk());
  EXPECT_EQ(inspector.render().find("level=1000"), std::string::npos);
}

TEST_F(TextFieldTest, LeavingTheWindowEndsEditingWithoutAsking) {
  recordEvents(*a);
  ASSERT_TRUE(a->becomeFirstResponder());
  rec->end = false;
  rec->log.clear();
  a->removeFromSuperview();
  EXPECT_EQ(rec->log, (std::vector<std::string>{"A didEnd", "A EditingDidEnd"}));
  EXPECT_FALSE(Keyboard::isVisible());

  window->addSubview(a);
  ASSERT_TRUE(a->becomeFirstResponder());
  rec->log.clear();
  EXPECT_TRUE(window->endEditing(true));
  EXPECT_EQ(rec->log, (std::vector<std::string>{"A didEnd", "A EditingDidEnd"}));
}

TEST_F(TextFieldTest, DelegateIsNotKept) {
  auto d = std::make_shared<Recorder>();
  a->setDelegate(d);
  d.reset();
  EXPECT_EQ(a->delegate(), nullptr);
  EXPECT_TRUE(a->becomeFirstResponder());   // no delegate: the field goes ahead
  EXPECT_EQ(a->typeText("1"), 1u);
}

}  // namespace
}  // namespace platform::ui
