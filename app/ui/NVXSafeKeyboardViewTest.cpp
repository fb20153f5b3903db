// The amount and card-number keypad, tapped by a user through the Inspector, and its amount rules.
#include <gtest/gtest.h>

#include <map>

#include "app/ui/testing/KeypadTestSupport.h"
#include "app/ui/NVXSafeKeyboardView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/TextField.h"

namespace nvx {
namespace {

using platform::Range16;
using platform::ui::Button;
using platform::ui::Rect;
using platform::ui::TextField;
using platform::ui::TextFieldDelegate;

// The screen's own delegate of the field, from before the keypad took the field over.
class FormDelegate : public TextFieldDelegate {
 public:
  std::optional<bool> shouldChangeCharacters(TextField&, Range16, const std::string&) override {
    ++changesAsked;
    return false;
  }
  std::optional<bool> shouldReturn(TextField&) override {
    ++returnsAsked;
    return returnAnswer;
  }
  void didBeginEditing(TextField&) override { events.push_back("begin"); }
  void didEndEditing(TextField& field) override { events.push_back("end " + field.text()); }

  int changesAsked = 0;
  int returnsAsked = 0;
  std::optional<bool> returnAnswer;
  std::vector<std::string> events;
};

using testing::KeyPlace;
using testing::keysOf;

// Back to front as the keypad adds them.
const std::vector<KeyPlace> kLayout = {
    {1, {15, 13, 64, 40}, "s_keyboard_1.png", "s_keyboard_1_hover.png", nullptr},
    {2, {94, 13, 64, 40}, "s_keyboard_2.png", "s_keyboard_2_hover.png", nullptr},
    {3, {173, 13, 64, 40}, "s_keyboard_3.png", "s_keyboard_3_hover.png", nullptr},
    {4, {15, 63, 64, 40}, "s_keyboard_4.png", "s_keyboard_4_hover.png", nullptr},
    {5, {94, 63, 64, 40}, "s_keyboard_5.png", "s_keyboard_5_hover.png", nullptr},
    {6, {173, 63, 64, 40}, "s_keyboard_6.png", "s_keyboard_6_hover.png", nullptr},
    {7, {15, 113, 64, 40}, "s_keyboard_7.png", "s_keyboard_7_hover.png", nullptr},
    {8, {94, 113, 64, 40}, "s_keyboard_8.png", "s_keyboard_8_hover.png", nullptr},
    {9, {173, 113, 64, 40}, "s_keyboard_9.png", "s_keyboard_9_hover.png", nullptr},
    {105, {15, 163, 64, 40}, "s_keyboard_dot.png", "s_keyboard_dot_hover.png", "s_keyboard_dot_disable.png"},
    {0, {94, 163, 64, 40}, "s_keyboard_0.png", "s_keyboard_0_hover.png", nullptr},
    {104, {173, 163, 64, 40}, "s_keyboard_00.png", "s_keyboard_00_hover.png", "s_keyboard_00_disable.png"},
    {102, {252, 13, 64, 40}, "s_keyboard_x.png", "s_keyboard_x_hover.png", nullptr},
    {106, {252, 63, 64, 40}, "s_keyboard_c.png", "s_keyboard_c_hover.png", nullptr},
    {103, {252, 113, 64, 90}, "s_keyboard_hide.png", "s_keyboard_hide_hover.png", nullptr},
};

class NVXSafeKeyboardViewTest : public testing::KeypadFieldTest {
 protected:
  NVXSafeKeyboardViewTest() : KeypadFieldTest(kLayout) {}

  void SetUp() override {
    KeypadFieldTest::SetUp();
    field_->setDelegate(form_);
  }

  void attach(int style) { keypad_ = NVXSafeKeyboardView::numberPadWithInputField(field_, style); }

  // A user's taps on the keys, by what they show: "0"-"9", ".", "00", "del", "C", "hide".
  platform::Status press(const std::vector<std::string>& keys) {
    const std::map<std::string, int> kTags = {{".", 105}, {"00", 104}, {"del", 102}, {"C", 106}, {"hide", 103}};
    for (const auto& name : keys) {
      int tag = kTags.count(name) ? kTags.at(name) : std::stoi(name);
      auto status = tapKey(*keypad_, [&](const Button& key) { return key.tag() == tag; }, name);
      if (!status.isOk()) return status;
    }
    return platform::Status::success();
  }

  std::shared_ptr<FormDelegate> form_ = std::make_shared<FormDelegate>();
  std::shared_ptr<NVXSafeKeyboardView> keypad_;
};

TEST_F(NVXSafeKeyboardViewTest, KeysStandInTheSamePlacesAndTheCardStyleSwitchesTwoOff) {
  for (int style : {NVXSafeKeyboardView::kAmountStyle, NVXSafeKeyboardView::kCardNumberStyle}) {
    attach(style);
    EXPECT_EQ(keypad_->frame(), (Rect{0, 0, 320, 216}));
    EXPECT_EQ(field_->inputView(), keypad_);
    auto keys = keysOf(*keypad_);
    ASSERT_EQ(keys.size(), 15u);
    for (size_t i = 0; i < keys.size(); ++i) {
      const KeyPlace& place = kLayout[i];
      ASSERT_NO_FATAL_FAILURE(testing::expectKeyAt(*keys[i], place, i));
      bool off = style == NVXSafeKeyboardView::kCardNumberStyle && place.disabled;
      EXPECT_EQ(keys[i]->isEnabled(), !off) << i;
    }
  }
  // In the card-number style the point and "00" take no tap.
  ASSERT_TRUE(inspector_.tapControl(*field_).isOk());
  EXPECT_FALSE(press({"."}).isOk());
  EXPECT_FALSE(press({"00"}).isOk());
  EXPECT_EQ(field_->text(), "");
}

TEST_F(NVXSafeKeyboardViewTest, AmountKeysKeepTheMoneyFormat) {
  attach(NVXSafeKeyboardView::kAmountStyle);
  ASSERT_TRUE(inspector_.tapControl(*field_).isOk());
  struct Case {
    std::vector<std::string> keys;
    std::string text;
  };
  const Case cases[] = {
      {{"1", ".", "2", "3", "4"}, "1.23"},
      {{"1", ".", "2", "."}, "1.2"},          // a second point does nothing
      {{"0", ".", "5"}, "0.5"},
      {{"."}, ""},                            // a lone point is no amount
      {{"0", "5"}, "0"},                      // the money filter refuses "05"
      {{"1", "00", "00", "0"}, "100000"},
      {{"00"}, ""},
      {{"1", "2", ".", "del", "del"}, "1"},
      {{"9", "9", "C"}, ""},
      {{"2", "0", "0", "0", "0", "0", "0", "0", "0"}, "20000000"},   // a ninth digit would pass 100,000,000
      {{"1", "0", "0", "0", "0", "0", "0", "0", "0"}, "100000000"},
  };
  for (const Case& c : cases) {
    field_->setText("");
    ASSERT_TRUE(press(c.keys).isOk());
    EXPECT_EQ(field_->text(), c.text) << ::testing::PrintToString(c.keys);
  }
  EXPECT_EQ(form_->changesAsked, 0);   // keystrokes never reach the screen's delegate
}

TEST_F(NVXSafeKeyboardViewTest, APointInsideTheDigitsGivesTwoDecimalsAtOnce) {
  attach(NVXSafeKeyboardView::kAmountStyle);
  ASSERT_TRUE(inspector_.tapControl(*field_).isOk());
  struct Case {
    int caret;
    std::string text;
  };
  const Case cases[] = {
      {3, "123.40"},
      {2, "12.34"},
      {1, "1234"},  // three decimals: the money filter refuses the point, and nothing changes
      {0, "1234"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caret);
    field_->setText("1234");
    field_->setCaret16(c.caret);
    ASSERT_TRUE(press({"."}).isOk());
    EXPECT_EQ(field_->text(), c.text);
    EXPECT_EQ(keypad_->isExistDot(), c.text.find('.') != std::string::npos);
  }
}

// Whatever text the field holds (a program's, a paste), the next event of the field brings it
// back into form; here the event is a user's touch on the field.
TEST_F(NVXSafeKeyboardViewTest, ValueChangeRulesAtAnyEvent) {
  struct Case {
    int style;
    std::string text;
    std::string becomes;
  };
  const std::string digits40 = "1234567890123456789012345678901234567890";
  const Case cases[] = {
      {0, ".", ""},
      {0, "05", "5"},
      {0, "00", "0"},
      {0, "00.5", "0.5"},
      {0, "005", "5"},             // "05" at the tap's first event, "5" at the next
      {0, "0.", "0."},
      {0, "0", "0"},
      {0, "1.234", "1.23"},
      {0, "1.2", "1.2"},
      {0, "12.999", "12.99"},      // cut, not rounded
      {0, "200000000", "20000000"},
      {0, "100000000", "100000000"},
      {0, "100000000.00", "100000000.00"},
      {0, "100000000.01", "10000000"},
      {0, "99999999.99", "99999999.99"},
      {0, "", ""},
      {1, digits40, digits40.substr(0, 32)},
      {1, digits40.substr(0, 32), digits40.substr(0, 32)},
      {1, "1.234", "1.234"},       // no amount rules for card numbers
  };
  for (const Case& c : cases) {
    attach(c.style);
    field_->setText(c.text);
    ASSERT_TRUE(inspector_.tapControl(*field_).isOk());
    EXPECT_EQ(field_->text(), c.becomes) << c.style << " " << c.text;
    ASSERT_TRUE(field_->resignFirstResponder());
  }
  // The leading-zero tests all look at the text as it came, so one event leaves "005" as "05".
  attach(0);
  field_->setText("005");
  keypad_->valuechange();
  EXPECT_EQ(field_->text(), "05");
  keypad_->valuechange();
  EXPECT_EQ(field_->text(), "5");
}

TEST_F(NVXSafeKeyboardViewTest, CardNumbersTakeDigitsOnlyAndAtMost32) {
  attach(NVXSafeKeyboardView::kCardNumberStyle);
  const std::string digits40 = "1234567890123456789012345678901234567890";
  ASSERT_TRUE(inspector_.type(*field_, digits40).isOk());
  EXPECT_EQ(field_->text(), digits40.substr(0, 32));
  field_->setText("");
  EXPECT_FALSE(field_->paste(digits40));
  EXPECT_FALSE(field_->paste("6222a"));
  ASSERT_TRUE(press({"6", "2", "del", "0"}).isOk());
  EXPECT_EQ(field_->text(), "60");
  ASSERT_TRUE(press({"C"}).isOk());
  EXPECT_EQ(field_->text(), "");
}

TEST_F(NVXSafeKeyboardViewTest, HideClosesOnlyWhenTheScreenAgreesToReturn) {
  attach(NVXSafeKeyboardView::kAmountStyle);
  struct Case {
    std::optional<bool> answer;
    bool closes;
  };
  for (Case c : {Case{false, false}, Case{true, true}, Case{std::nullopt, true}}) {
    form_->returnAnswer = c.answer;
    if (!field_->isEditing()) {
      ASSERT_TRUE(inspector_.tapControl(*field_).isOk());
    }
    ASSERT_TRUE(press({"hide"}).isOk());
    EXPECT_EQ(field_->isEditing(), !c.closes);
    EXPECT_EQ(platform::ui::Keyboard::activeInputView() == keypad_, !c.closes);
  }
  EXPECT_EQ(form_->returnsAsked, 3);
}

TEST_F(NVXSafeKeyboardViewTest, TheScreensDelegateHearsBeginAndTheTwoDecimalEnd) {
  attach(NVXSafeKeyboardView::kAmountStyle);
  EXPECT_EQ(keypad_->delegate(), form_);
  EXPECT_EQ(field_->delegate(), keypad_);
  ASSERT_TRUE(inspector_.tapControl(*field_).isOk());
  ASSERT_TRUE(press({"1", "2"}).isOk());
  ASSERT_TRUE(field_->resignFirstResponder());
  EXPECT_EQ(form_->events, (std::vector<std::string>{"begin", "end 12.00"}));
  EXPECT_EQ(field_->text(), "12.00");

  // The card-number style leaves the text as typed.
  attach(NVXSafeKeyboardView::kCardNumberStyle);
  ASSERT_TRUE(inspector_.tapControl(*field_).isOk());
  field_->setText("6222");
  ASSERT_TRUE(field_->resignFirstResponder());
  EXPECT_EQ(field_->text(), "6222");
}

TEST_F(NVXSafeKeyboardViewTest, FallbackDeleteRemovesTheCharacterBeforeTheCaret) {
  attach(NVXSafeKeyboardView::kCardNumberStyle);
  struct Case {
    std::string text;
    size_t caret;
    std::string becomes;
  };
  const Case cases[] = {
      {"1234", 4, "123"},
      {"1234", 2, "134"},
      {"1234", 0, "1234"},
      {"", 0, ""},
      // An "@" in the text is text like any other: nothing after it is lost.
      {"12@34@56", 2, "1@34@56"},
      {"12@34", 5, "12@3"},
      {"卡号😀", 4, "卡号"},   // the emoji is two units: both go
  };
  for (const Case& c : cases) {
    field_->setText(c.text);
    field_->setCaret16(c.caret);
    keypad_->deleteBack();
    EXPECT_EQ(field_->text(), c.becomes) << c.text << " @" << c.caret;
  }
}

TEST_F(NVXSafeKeyboardViewTest, TheFieldOwnsTheKeypadNotTheOtherWayRound) {
  attach(NVXSafeKeyboardView::kAmountStyle);
  std::weak_ptr<NVXSafeKeyboardView> keypad = keypad_;
  keypad_.reset();
  ASSERT_FALSE(keypad.expired());   // held as the field's input view
  EXPECT_EQ(keypad.lock()->textField(), field_);
  EXPECT_EQ(keypad.lock()->inputDelegate(), field_);

  field_->removeFromSuperview();
  field_.reset();
  EXPECT_TRUE(keypad.expired());
}

}  // namespace
}  // namespace nvx
