// Typed text fields: the factories' look, and each type's filter, formatting, clean value and
// validity as a user meets them when typing into a screen that passes its field-delegate calls on.
#include "app/ui/TextFieldExt.h"

#include <gtest/gtest.h>

#include "platform/foundation/Strings.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::ui::BarButtonSystemItem;
using platform::ui::BarStyle;
using platform::ui::Inspector;
using platform::ui::KeyboardType;
using platform::ui::Rect;
using platform::ui::TextField;
using platform::ui::TextFieldViewMode;
using platform::ui::Toolbar;
namespace T = TextFieldType;

// A screen's part: it is the fields' delegate and passes the calls on, as the form screens do.
class TypedForm : public platform::ui::TextFieldDelegate {
 public:
  std::optional<bool> shouldBeginEditing(TextField& f) override {
    TextFieldExt::textFieldShouldBeginEditing(f);
    return true;
  }
  void didEndEditing(TextField& f) override { cleanValues.push_back(TextFieldExt::textFieldDidEndEditing(f)); }
  std::optional<bool> shouldChangeCharacters(TextField& f, platform::Range16 range,
                                             const std::string& replacement) override {
    return TextFieldExt::shouldChangeCharactersInRange(f, range, replacement);
  }
  std::optional<bool> shouldReturn(TextField&) override {
    ++returns;
    return true;
  }
  std::vector<std::string> cleanValues;
  int returns = 0;
};

class TypedFieldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = platform::ui::Window::create();
    window->makeKeyAndVisible();
  }
  std::shared_ptr<TextField> addField(int type, std::string placeholder, double width = 194) {
    auto field = TextFieldExt::textFieldWithFrame(Rect{111, 8 + 40.0 * fields++, width, 30}, type, placeholder);
    field->setDelegate(form);
    window->addSubview(field);
    return field;
  }
  // The Done item above the keyboard, as a user taps it.
  void tapDone() { ASSERT_TRUE(inspector.tap("完成").isOk()) << inspector.render(); }

  std::shared_ptr<platform::ui::Window> window;
  std::shared_ptr<TypedForm> form = std::make_shared<TypedForm>();
  Inspector inspector;
  int fields = 0;
};

TEST(TextFieldExtFactoryTest, EachTypeGetsItsKeyboardClearButtonAndEntry) {
  struct Case {
    int type;
    KeyboardType keyboard;          // free-standing
    KeyboardType groupKeyboard;     // in a group cell
    TextFieldViewMode clear;
    bool secure;
    double groupWidth;
  };
  const auto N = KeyboardType::NumberPad;
  const auto D = KeyboardType::Default;
  const auto editing = TextFieldViewMode::WhileEditing;
  const Case cases[] = {
      {T::Free, N, N, editing, false, 194},
      {T::CardNumber, N, N, editing, false, 194},
      {T::Amount, KeyboardType::DecimalPad, N, editing, false, 194},   // the group cell keeps the number pad
      {T::Mobile, N, N, editing, false, 160},
      {T::MobileNoClear, N, N, TextFieldViewMode::Never, false, 160},
      {T::RequiredNumber, N, N, editing, false, 194},
      {T::RequiredText, D, D, editing, false, 194},
      {T::Password, D, D, editing, true, 194},
      {T::AnyPassword, D, D, editing, true, 194},
  };
  for (const Case& c : cases) {
    auto free = TextFieldExt::textFieldWithFrame(Rect{5, 6, 200, 30}, c.type, "ph");
    auto group = TextFieldExt::groupCellTextFieldWithType(c.type, "Cancel");
    auto group2 = TextFieldExt::groupCellTextFieldActionReturnWithType(c.type, "");
    for (const auto& f : {free, group, group2}) {
      SCOPED_TRACE("type " + std::to_string(c.type) + (f == free ? " free" : " group"));
      EXPECT_EQ(TextFieldExt::type(*f), c.type);
      EXPECT_EQ(f->keyboardType(), f == free ? c.keyboard : c.groupKeyboard);
      EXPECT_EQ(f->clearButtonMode(), c.clear);
      EXPECT_EQ(f->isSecureTextEntry(), c.secure);
      EXPECT_EQ(f->font().size, 16);
      EXPECT_EQ(f->autocapitalizationType(), platform::ui::TextAutocapitalization::None);
      EXPECT_EQ(f->contentVerticalAlignment(), platform::ui::ContentVerticalAlignment::Center);
      auto bar = std::dynamic_pointer_cast<Toolbar>(f->inputAccessoryView());
      ASSERT_NE(bar, nullptr);
      EXPECT_EQ(bar->frame(), (Rect{0, 0, 320, 44}));
      EXPECT_EQ(bar->barStyle(), BarStyle::BlackTranslucent);
      ASSERT_EQ(bar->items().size(), 2u);
      EXPECT_EQ(bar->items()[0]->systemItem(), BarButtonSystemItem::FlexibleSpace);
      EXPECT_EQ(bar->items()[1]->systemItem(), BarButtonSystemItem::Done);
    }
    EXPECT_EQ(free->frame(), (Rect{5, 6, 200, 30}));
    EXPECT_EQ(free->placeholder(), "ph");
    EXPECT_EQ(group->frame(), (Rect{111, 8, c.groupWidth, 30}));
    EXPECT_EQ(group->placeholder(), platform::Strings::localized("Cancel"));
    EXPECT_EQ(group2->placeholder(), "");
  }
  auto plain = TextFieldExt::textFieldWithFrame(Rect{0, 0, 100, 30}, "p");
  EXPECT_EQ(TextFieldExt::type(*plain), 0);
  EXPECT_EQ(plain->inputAccessoryView(), nullptr);
  EXPECT_EQ(TextFieldExt::type(*TextFieldExt::chineseNameTextField()), 0);
}

TEST_F(TypedFieldTest, AnAmountShowsItsDecimalsOnlyWhileIdle) {
  auto amount = addField(T::Amount, "amount");
  ASSERT_TRUE(inspector.type("amount", "12").isOk());
  tapDone();
  EXPECT_EQ(amount->text(), "12.00");
  EXPECT_EQ(form->cleanValues.back(), "12.00");
  ASSERT_TRUE(inspector.type("amount", "").isOk());   // editing again
  EXPECT_EQ(amount->text(), "12");
  tapDone();
  EXPECT_EQ(amount->text(), "12.00");

  ASSERT_TRUE(amount->tap());
  amount->setText("12.50");
  tapDone();
  ASSERT_TRUE(amount->tap());
  EXPECT_EQ(amount->text(), "12.50");   // real decimals stay while edited
}

TEST_F(TypedFieldTest, TheAmountFilterShapesWhatIsTyped) {
  struct Case {
    const char* typed;
    const char* shown;
  };
  const Case cases[] = {
      {"0", "0"},         {"0.", "0."},          {".", "."},       {"12.3", "12.3"},
      {"100000000", "100000000"},                {"1000000000", "100000000"},
      {"00", "0"},        {"012", "0"},          {"1.234", "1.23"}, {"1..2", "1.2"},
      {"100000000.01", "100000000.0"},           {"12a", "12"},
  };
  auto amount = addField(T::Amount, "amount");
  for (const Case& c : cases) {
    amount->setText("");
    ASSERT_TRUE(inspector.type("amount", c.typed).isOk());
    EXPECT_EQ(amount->text(), c.shown) << c.typed;
  }
  // A paste is one change: the whole result passes or nothing changes.
  const std::pair<const char*, bool> pastes[] = {
      {"0", true},   {"0.", true},   {".", true},     {"100000000", true}, {"99.5", true},
      {"00", false}, {"012", false}, {"1.234", false}, {"100000000.01", false}, {"1.2.", false},
  };
  for (const auto& [text, accepted] : pastes) {
    amount->setText("");
    EXPECT_EQ(amount->paste(text), accepted) << text;
    EXPECT_EQ(amount->text(), accepted ? text : "") << text;
  }
}

TEST_F(TypedFieldTest, AMobileNumberClosesTheKeyboardAtTheEleventhDigitAndShowsGrouped) {
  auto phone = addField(T::Mobile, "phone");
  ASSERT_TRUE(inspector.type("phone", "1380013800").isOk());
  EXPECT_TRUE(phone->isEditing());
  EXPECT_EQ(phone->text(), "1380013800");
  ASSERT_TRUE(inspector.type(*phone, "0").isOk());
  EXPECT_FALSE(phone->isEditing());
  EXPECT_FALSE(platform::ui::Keyboard::isVisible());
  EXPECT_EQ(phone->text(), "138-0013-8000");
  EXPECT_EQ(form->cleanValues.back(), "13800138000");
  EXPECT_EQ(TextFieldExt::realText(*phone), "13800138000");
  EXPECT_FALSE(TextFieldExt::isNotValid(*phone));

  // Editing again shows the digits; the first digit of an empty field must be 1.
  ASSERT_TRUE(phone->tap());
  EXPECT_EQ(phone->text(), "13800138000");
  phone->setText("");
  EXPECT_EQ(phone->typeText("2"), 1u);
  EXPECT_EQ(phone->text(), "");
  // Typing past the eleventh digit: the rest never reaches the field.
  EXPECT_FALSE(inspector.type(*phone, "139001390001").isOk());
  EXPECT_EQ(phone->text(), "139-0013-9000");
}

TEST_F(TypedFieldTest, ACardNumberIsGroupedWhenIdleAndShrinksToFit) {
  auto card = addField(T::CardNumber, "card", 150);
  ASSERT_TRUE(inspector.type("card", "6222 0000").isOk());
  EXPECT_EQ(card->text(), "62220000");   // only digits pass
  ASSERT_TRUE(inspector.type(*card, "00000000123").isOk());
  tapDone();
  EXPECT_EQ(card->text(), "6222 0000 0000 0000 123");
  EXPECT_EQ(form->cleanValues.back(), "6222000000000000123");
  // 23 characters are 11.57 em: 186 points at 16, 151 at 13, 139 at 12 in a 150-point field.
  EXPECT_EQ(card->font(), platform::ui::Font::system(12));
  EXPECT_EQ(TextFieldExt::realText(*card), "6222000000000000123");

  ASSERT_TRUE(card->tap());
  EXPECT_EQ(card->font().size, 16);
  EXPECT_EQ(card->text(), "6222000000000000123");
  tapDone();

  // At most 32 characters.
  card->setText("");
  ASSERT_TRUE(card->tap());
  EXPECT_TRUE(card->paste(std::string(32, '1')));
  EXPECT_FALSE(card->paste("1"));
}

TEST_F(TypedFieldTest, ReturnAndDoneBars) {
  auto field = TextFieldExt::textFieldActionReturnWithFrame(Rect{10, 10, 200, 30}, T::RequiredText, "r");
  field->setDelegate(form);
  window->addSubview(field);
  ASSERT_TRUE(inspector.type("r", "x").isOk());
  tapDone();
  EXPECT_EQ(form->returns, 1);   // asked about the field; the field itself stays as the delegate left it
  EXPECT_TRUE(field->isEditing());

  int done = 0;
  TextFieldExt::addDoneButtonToolBar(*field, [&done] { ++done; });
  tapDone();
  EXPECT_EQ(done, 1);

  TextFieldExt::addDoneButtonToolBar(*field);
  tapDone();
  EXPECT_FALSE(field->isEditing());
}

TEST_F(TypedFieldTest, CleanValuesAndValidity) {
  struct Case {
    int type;
    const char* text;
    const char* clean;
    bool notValid;
  };
  const Case cases[] = {
      {T::Free, "", "", false},
      {T::Free, "  ", "  ", false},
      {T::CardNumber, "6222 0000 1", "622200001", true},                // 9 digits
      {T::CardNumber, "6222 0000 12", "6222000012", false},
      {T::Amount, "", "0.00", true},
      {T::Amount, "0", "0.00", true},
      {T::Amount, "12", "12.00", false},
      {T::Amount, "0.01", "0.01", false},
      {T::Mobile, "138-0013-8000", "13800138000", false},
      {T::MobileNoClear, "238-0013-8000", "23800138000", true},
      {T::RequiredNumber, " \t", " \t", true},
      {T::RequiredText, " a ", " a ", false},
      {T::Password, "abc12", "abc12", true},
      {T::Password, "abc12!", "abc12!", true},
      {T::Password, "abc123", "abc123", false},
      {T::AnyPassword, "abc12!", "abc12!", false},
      {T::AnyPassword, "密码密码密码", "密码密码密码", false},
      {T::AnyPassword, "aaaaaaaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaaaaaaa", true},   // 21 characters
  };
  for (const Case& c : cases) {
    auto field = TextField::create();
    TextFieldExt::setType(*field, c.type);
    field->setText(c.text);
    EXPECT_EQ(TextFieldExt::isNotValid(*field), c.notValid) << c.type << " " << c.text;
    field->setText(c.text);
    EXPECT_EQ(TextFieldExt::realText(*field), c.clean) << c.type << " " << c.text;
  }
  // Asking an amount field for its value rewrites what it shows.
  auto amount = TextField::create();
  TextFieldExt::setType(*amount, T::Amount);
  amount->setText("7.5");
  EXPECT_EQ(TextFieldExt::realText(*amount), "7.50");
  EXPECT_EQ(amount->text(), "7.50");
}

TEST(TextFieldExtTest, FixMoneyInputEditingBegin) {
  const std::pair<const char*, const char*> cases[] = {
      {"12.00", "12"}, {".00", ""}, {"00", "00"}, {"12.50", "12.50"}, {"1.001", "1.001"}, {"100", "100"},
  };
  for (const auto& [before, after] : cases) {
    auto field = TextField::create();
    field->setText(before);
    TextFieldExt::fixMoneyInputEditingBegin(*field);
    EXPECT_EQ(field->text(), after) << before;
  }
}

}  // namespace
}  // namespace nvx
