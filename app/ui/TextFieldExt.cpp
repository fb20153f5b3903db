#include "app/ui/TextFieldExt.h"

#include <cstdio>

#include "app/ui/FontExt.h"
#include "core/text/MoneyFormat.h"
#include "core/text/StringsTool.h"
#include "core/text/TextExt.h"
#include "core/text/TextNumber.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/TextMetrics.h"
#include "platform/ui/Toolbar.h"

namespace nvx {

using platform::ui::BarButtonItem;
using platform::ui::BarButtonSystemItem;
using platform::ui::BarStyle;
using platform::ui::Font;
using platform::ui::KeyboardType;
using platform::ui::Rect;
using platform::ui::TextField;
using platform::ui::TextFieldViewMode;
using platform::ui::Toolbar;

namespace {

// The platform's autoresizing flag for a flexible width.
constexpr int kFlexibleWidth = 1 << 1;

bool isMobileType(int type) { return type == TextFieldType::Mobile || type == TextFieldType::MobileNoClear; }

// "%.2f" of the text's value. An amount typed through the amount filter has at most two decimals
// and is at most 100,000,000, so the double holds it closely enough that the printed cents are
// exactly the typed ones.
std::string amountText(std::string_view text) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", text::doubleValue(text));
  return buf;
}

// Puts a Done bar above the keyboard whose Done item runs done.
void installDoneBar(TextField& field, std::function<void()> done) {
  auto bar = Toolbar::create(Rect{0, 0, 320, Toolbar::kHeight});
  bar->setBarStyle(BarStyle::BlackTranslucent);
  bar->setTranslucent(true);
  bar->setAutoresizingMask(kFlexibleWidth);
  auto doneItem = BarButtonItem::withSystemItem(BarButtonSystemItem::Done, [done = std::move(done)](BarButtonItem&) {
    if (done) done();
  });
  bar->setItems({BarButtonItem::withSystemItem(BarButtonSystemItem::FlexibleSpace), doneItem});
  field.setInputAccessoryView(bar);
  field.setInputView(nullptr);
}

// The field the bar belongs to, known weakly: the bar is the field's own accessory.
std::weak_ptr<TextField> weakField(TextField& field) {
  return std::static_pointer_cast<TextField>(field.weak_from_this().lock());
}

// The look every typed field shares, for the type.
void applyTypeLook(TextField& field, int type) {
  switch (type) {
    case TextFieldType::MobileNoClear:
      field.setClearButtonMode(TextFieldViewMode::Never);
      break;
    case TextFieldType::RequiredText:
      field.setKeyboardType(KeyboardType::Default);
      break;
    case TextFieldType::Password:
    case TextFieldType::AnyPassword:
      field.setKeyboardType(KeyboardType::Default);
      field.setSecureTextEntry(true);
      break;
    default:
      break;
  }
}

std::shared_ptr<TextField> typedField(Rect frame, int type, std::string_view placeholder, bool actionReturn) {
  auto field = TextFieldExt::textFieldWithFrame(frame, placeholder);
  if (actionReturn) {
    TextFieldExt::addDoneButtonToolBarActionReturn(*field);
  } else {
    TextFieldExt::addDoneButtonToolBar(*field);
  }
  TextFieldExt::setType(*field, type);
  if (type == TextFieldType::Amount) field->setKeyboardType(KeyboardType::DecimalPad);
  applyTypeLook(*field, type);
  return field;
}

std::shared_ptr<TextField> groupField(int type, std::string_view placeholderKey, bool actionReturn) {
  std::string placeholder = placeholderKey.empty() ? std::string() : platform::Strings::localized(placeholderKey);
  auto field = TextFieldExt::textFieldWithFrame(TextFieldExt::kGroupCellFieldFrame, placeholder);
  if (actionReturn) {
    TextFieldExt::addDoneButtonToolBarActionReturn(*field);
  } else {
    TextFieldExt::addDoneButtonToolBar(*field);
  }
  TextFieldExt::setType(*field, type);
  if (isMobileType(type)) {
    Rect f = field->frame();
    f.width = 160;
    field->setFrame(f);
  }
  applyTypeLook(*field, type);
  return field;
}

// Shrinks the font one point at a time while the text is wider than the field.
void fitFont(TextField& field) {
  double size = StringsTool::handleCardNumberEndedEditField(
      field.text(), field.font().size, field.frame().width, [](std::string_view text, double fontSize) {
        return platform::ui::TextMetrics::measure(text, Font::system(fontSize)).width;
      });
  if (size != field.font().size) field.setFont(Font::system(size));
}

}  // namespace

// --- factories ---

std::shared_ptr<TextField> TextFieldExt::textFieldWithFrame(Rect frame, std::string_view placeholder) {
  auto field = TextField::create(frame);
  field->setPlaceholder(std::string(placeholder));
  field->setFont(FontExt::defaultTextFieldFont());
  field->setContentVerticalAlignment(platform::ui::ContentVerticalAlignment::Center);
  field->setTextAlignment(platform::ui::TextAlignment::Left);
  field->setKeyboardType(KeyboardType::NumberPad);
  field->setAutocapitalizationType(platform::ui::TextAutocapitalization::None);
  field->setClearButtonMode(TextFieldViewMode::WhileEditing);
  return field;
}

std::shared_ptr<TextField> TextFieldExt::textFieldWithFrame(Rect frame, int type, std::string_view placeholder) {
  return typedField(frame, type, placeholder, false);
}

std::shared_ptr<TextField> TextFieldExt::textFieldActionReturnWithFrame(Rect frame, int type,
                                                                        std::string_view placeholder) {
  return typedField(frame, type, placeholder, true);
}

std::shared_ptr<TextField> TextFieldExt::groupCellTextFieldWithType(int type, std::string_view placeholderKey) {
  return groupField(type, placeholderKey, false);
}

std::shared_ptr<TextField> TextFieldExt::groupCellTextFieldActionReturnWithType(int type,
                                                                                std::string_view placeholderKey) {
  return groupField(type, placeholderKey, true);
}

std::shared_ptr<TextField> TextFieldExt::chineseNameTextField() { return TextField::create(); }

// --- Done bars ---

void TextFieldExt::addDoneButtonToolBar(TextField& field) {
  installDoneBar(field, [weak = weakField(field)] {
    if (auto f = weak.lock()) f->resignFirstResponder();
  });
}

void TextFieldExt::addDoneButtonToolBarActionReturn(TextField& field) {
  // The delegate is asked about the field itself, as the return key would ask it.
  installDoneBar(field, [weak = weakField(field)] {
    if (auto f = weak.lock()) (void)textFieldShouldReturn(*f);
  });
}

void TextFieldExt::addDoneButtonToolBar(TextField& field, std::function<void()> action) {
  installDoneBar(field, std::move(action));
}

std::optional<bool> TextFieldExt::textFieldShouldReturn(TextField& field) {
  auto delegate = field.delegate();
  if (!delegate) return std::nullopt;
  return delegate->shouldReturn(field);
}

// --- editing ---

bool TextFieldExt::shouldChangeCharactersInRange(TextField& field, platform::Range16 range,
                                                 std::string_view replacementString) {
  const int t = type(field);
  if (t == TextFieldType::CardNumber) return StringsTool::isCardNumberField(field.text(), range, replacementString);
  if (t == TextFieldType::Amount) return StringsTool::isMoneyField(field.text(), range, replacementString);
  if (isMobileType(t)) {
    auto edit = StringsTool::isPhoneNumberField(field.text(), range, replacementString, true);
    if (edit.setText) field.setText(*edit.setText);
    if (edit.closeKeyboard) field.resignFirstResponder();
    return edit.shouldChange;
  }
  return true;
}

void TextFieldExt::textFieldShouldBeginEditing(TextField& field) {
  field.setFont(FontExt::defaultTextFieldFont());
  const int t = type(field);
  if (t == TextFieldType::CardNumber) {
    field.setText(StringsTool::cardNumberFieldBeginEditing(field.text()));
  } else if (t == TextFieldType::Amount) {
    fixMoneyInputEditingBegin(field);
  } else if (isMobileType(t)) {
    field.setText(StringsTool::phoneNumberFieldBeginEditing(field.text()));
  }
}

std::string TextFieldExt::textFieldDidEndEditing(TextField& field) {
  const int t = type(field);
  if (t == TextFieldType::CardNumber) {
    std::string clean = StringsTool::clearCardNumber(field.text());
    // Grouped from the clean digits, so a text that still holds spaces comes out grouped too.
    field.setText(StringsTool::handleCardNumber(clean));
    fitFont(field);
    return clean;
  }
  if (t == TextFieldType::Amount) {
    field.setText(StringsTool::handleInputMoneysEndEditField(field.text()));
    return field.text();
  }
  if (isMobileType(t)) {
    std::string clean = StringsTool::clearPhoneNumber(field.text());
    field.setText(StringsTool::handlePhoneNumber(clean));
    return clean;
  }
  return field.text();
}

std::string TextFieldExt::realText(TextField& field) {
  const int t = type(field);
  if (t == TextFieldType::CardNumber) return StringsTool::clearCardNumber(field.text());
  if (t == TextFieldType::Amount) {
    field.setText(amountText(field.text()));
    return field.text();
  }
  if (isMobileType(t)) return StringsTool::clearPhoneNumber(field.text());
  return field.text();
}

bool TextFieldExt::isNotValid(TextField& field) {
  switch (type(field)) {
    case TextFieldType::CardNumber:
      return !text::isCardNumValid(realText(field));
    case TextFieldType::Amount:
      return !text::isMoneyValid(realText(field));
    case TextFieldType::Mobile:
    case TextFieldType::MobileNoClear:
      return !StringsTool::isPhoneNumber(realText(field));
    case TextFieldType::RequiredNumber:
    case TextFieldType::RequiredText:
      return text::isEmpty(field.text());
    case TextFieldType::Password:
      return !StringsTool::isPassword(field.text());
    case TextFieldType::AnyPassword:
      return !StringsTool::string(field.text(), 6, 20);
    default:
      return false;
  }
}

void TextFieldExt::fixMoneyInputEditingBegin(TextField& field) {
  const std::string& t = field.text();
  if (platform::u16len(t) >= 3 && t.ends_with(".00")) field.setText(t.substr(0, t.size() - 3));
}

void TextFieldExt::setType(TextField& field, int type) { field.setInputType(type); }

int TextFieldExt::type(const TextField& field) { return field.inputType(); }

}  // namespace nvx
