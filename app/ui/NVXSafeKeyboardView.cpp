#include "app/ui/NVXSafeKeyboardView.h"

#include <cstdio>
#include <string_view>

#include "core/text/StringsTool.h"
#include "core/text/TextNumber.h"
#include "platform/foundation/Text16.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/TextEditing.h"

namespace nvx {

using platform::ui::Button;
using platform::ui::ButtonType;
using platform::ui::Control;
using platform::ui::ControlState;
using platform::ui::Image;
using platform::ui::ImageView;
using platform::ui::Rect;
using platform::ui::TextField;
namespace ControlEvent = platform::ui::ControlEvent;

namespace {

struct Key {
  int tag;
  Rect frame;
  const char* normal;
  const char* highlighted;
  const char* disabled;   // only keys that the card-number style switches off
};

Rect gridKey(int k) { return Rect{((k - 1) % 3) * 79.0 + 15, ((k - 1) / 3) * 50.0 + 13, 64, 40}; }

const Key kKeys[15] = {
    {1, gridKey(1), "s_keyboard_1.png", "s_keyboard_1_hover.png", nullptr},
    {2, gridKey(2), "s_keyboard_2.png", "s_keyboard_2_hover.png", nullptr},
    {3, gridKey(3), "s_keyboard_3.png", "s_keyboard_3_hover.png", nullptr},
    {4, gridKey(4), "s_keyboard_4.png", "s_keyboard_4_hover.png", nullptr},
    {5, gridKey(5), "s_keyboard_5.png", "s_keyboard_5_hover.png", nullptr},
    {6, gridKey(6), "s_keyboard_6.png", "s_keyboard_6_hover.png", nullptr},
    {7, gridKey(7), "s_keyboard_7.png", "s_keyboard_7_hover.png", nullptr},
    {8, gridKey(8), "s_keyboard_8.png", "s_keyboard_8_hover.png", nullptr},
    {9, gridKey(9), "s_keyboard_9.png", "s_keyboard_9_hover.png", nullptr},
    {NVXSafeKeyboardView::kDotTag, gridKey(10), "s_keyboard_dot.png", "s_keyboard_dot_hover.png",
     "s_keyboard_dot_disable.png"},
    {0, gridKey(11), "s_keyboard_0.png", "s_keyboard_0_hover.png", nullptr},
    {NVXSafeKeyboardView::kDoubleZeroTag, gridKey(12), "s_keyboard_00.png", "s_keyboard_00_hover.png",
     "s_keyboard_00_disable.png"},
    {NVXSafeKeyboardView::kDeleteTag, Rect{252, 13, 64, 40}, "s_keyboard_x.png", "s_keyboard_x_hover.png", nullptr},
    {NVXSafeKeyboardView::kClearTag, Rect{252, 63, 64, 40}, "s_keyboard_c.png", "s_keyboard_c_hover.png", nullptr},
    {NVXSafeKeyboardView::kHideTag, Rect{252, 113, 64, 90}, "s_keyboard_hide.png", "s_keyboard_hide_hover.png",
     nullptr},
};

// The most an amount field may hold, as the integer part of its "%.2f" print.
constexpr std::string_view kMaxAmountYuan = "100000000";

bool startsWith(std::u16string_view text, std::u16string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// "%.2f" print of an amount compared with the limit as decimal text (digits, not binary
// floating point): above 100000000.00?
bool printAboveLimit(std::string_view printed) {
  if (printed.empty() || printed.front() == '-') return false;
  size_t point = printed.find('.');
  std::string_view whole = printed.substr(0, point);
  std::string_view fraction = point == std::string_view::npos ? std::string_view() : printed.substr(point + 1);
  for (char c : whole) {
    if (c < '0' || c > '9') return false;
  }
  if (whole.size() != kMaxAmountYuan.size()) return whole.size() > kMaxAmountYuan.size();
  if (whole != kMaxAmountYuan) return whole > kMaxAmountYuan;
  return fraction.find_first_not_of('0') != std::string_view::npos;
}

std::string amountRules(const std::string& text) {
  std::u16string t = platform::toUtf16(text);
  // 1. At most two decimals.
  size_t point = t.find(u'.');
  if (point != std::u16string::npos && t.size() - point - 1 >= 3) t = t.substr(0, point + 3);
  // 2. A lone point is no amount.
  if (t == u".") t.clear();
  // 3. Leading zeros: every test looks at the same text and the last one that applies wins,
  //    so "005" keeps one zero until the next event.
  std::u16string r = t;
  if (startsWith(t, u"00.") && t.size() >= 3) r = t.substr(1);
  if (startsWith(t, u"00") && t.size() >= 3) r = t.substr(2);
  if (startsWith(t, u"0") && !startsWith(t, u"0.") && t.size() >= 2) r = t.substr(1);
  std::string out = platform::fromUtf16(r);
  // 4. Above the most an amount may be: the first 8 characters of the print.
  char printed[512];
  std::snprintf(printed, sizeof printed, "%.2f", text::doubleValue(out));
  if (printAboveLimit(printed)) out = std::string(printed).substr(0, 8);
  return out;
}

}  // namespace

std::shared_ptr<NVXSafeKeyboardView> NVXSafeKeyboardView::numberPadWithInputField(
    const std::shared_ptr<TextField>& field, int keyBoardStly) {
  return create(Rect{0, 0, 320, 216}, field, keyBoardStly);
}

std::shared_ptr<NVXSafeKeyboardView> NVXSafeKeyboardView::create(Rect frame, const std::shared_ptr<TextField>& field,
                                                                 int keyBoardStly) {
  auto keyboard = std::make_shared<NVXSafeKeyboardView>(frame);
  keyboard->skeyStly_ = keyBoardStly;
  keyboard->build(field);
  return keyboard;
}

void NVXSafeKeyboardView::build(const std::shared_ptr<TextField>& field) {
  std::weak_ptr<NVXSafeKeyboardView> weak = std::static_pointer_cast<NVXSafeKeyboardView>(shared_from_this());
  setTextField(field);
  if (field) {
    field->addTarget(this, ControlEvent::AllEvents, [weak](Control&) {
      if (auto self = weak.lock()) self->valuechange();
    });
    delegate_ = field->delegate();
    field->setDelegate(weak);
  }

  auto background = ImageView::create(frame());
  background->setImage(Image::named("n_keyboard_bg.png"));
  addSubview(background);

  for (const Key& key : kKeys) {
    auto button = Button::create(key.frame, ButtonType::Custom);
    button->setTag(key.tag);
    button->setBackgroundImage(Image::named(key.normal), ControlState::Normal);
    button->setBackgroundImage(Image::named(key.highlighted), ControlState::Highlighted);
    if (key.disabled) {
      button->setBackgroundImage(Image::named(key.disabled), ControlState::Disabled);
      if (skeyStly_ == kCardNumberStyle) button->setEnabled(false);
    }
    button->addTarget(this, ControlEvent::TouchUpInside, [weak](Control& sender) {
      if (auto self = weak.lock()) self->buttonPressed(sender);
    });
    addSubview(button);
  }
}

void NVXSafeKeyboardView::setTextField(const std::shared_ptr<TextField>& field) {
  textField_ = field;
  if (field) field->setInputView(shared_from_this());
}

void NVXSafeKeyboardView::buttonPressed(const Control& key) {
  auto field = textField();
  if (!field) return;
  const int tag = key.tag();
  if (tag >= 0 && tag <= 9) {
    insert(std::to_string(tag));
  } else if (tag == kDeleteTag) {
    field->deleteBackward();
  } else if (tag == kHideTag) {
    done();
  } else if (tag == kDoubleZeroTag) {
    insert("00");
  } else if (tag == kDotTag) {
    insertDot();
  } else if (tag == kClearTag) {
    field->setText("");
  }
}

void NVXSafeKeyboardView::insert(const std::string& text) {
  if (auto field = textField()) field->insertText(text);
}

bool NVXSafeKeyboardView::isExistDot() const {
  auto field = textField();
  return field && field->text().find('.') != std::string::npos;
}

void NVXSafeKeyboardView::insertDot() {
  auto field = textField();
  if (!field || isExistDot()) return;
  field->insertText(".");
  // The money filter may refuse the point (it would leave three decimals): then nothing changes.
  if (!isExistDot()) return;
  const std::string& text = field->text();
  if (text.back() != '.') field->setText(StringsTool::handleInputMoneysEndEditField(text));
}

void NVXSafeKeyboardView::deleteBack() {
  auto field = textField();
  if (!field) return;
  const std::string text = field->text();
  auto before = platform::ui::TextEditing::characterBefore(text, field->caret16());
  if (!before) {
    field->setText(text);
    return;
  }
  field->setText(platform::u16replace(text, *before, "").value_or(text));
}

void NVXSafeKeyboardView::done() {
  auto field = textField();
  if (field && textFieldShouldReturn(*field)) field->resignFirstResponder();
}

void NVXSafeKeyboardView::valuechange() {
  auto field = textField();
  if (!field) return;
  const std::string text = field->text();
  std::string out;
  if (skeyStly_ != kAmountStyle) {
    out = platform::u16len(text) > 32 ? platform::u16substr(text, 0, 32) : text;
  } else {
    out = amountRules(text);
  }
  if (out != text) field->setText(out);
}

bool NVXSafeKeyboardView::textFieldShouldBeginEditing(TextField& field) {
  auto earlier = delegate();
  return earlier ? earlier->shouldBeginEditing(field).value_or(true) : true;
}

void NVXSafeKeyboardView::textFieldDidBeginEditing(TextField& field) {
  if (auto earlier = delegate()) earlier->didBeginEditing(field);
}

bool NVXSafeKeyboardView::textFieldShouldEndEditing(TextField& field) {
  auto earlier = delegate();
  return earlier ? earlier->shouldEndEditing(field).value_or(true) : true;
}

void NVXSafeKeyboardView::textFieldDidEndEditing(TextField& field) {
  if (skeyStly_ == kAmountStyle) field.setText(StringsTool::handleInputMoneysEndEditField(field.text()));
  if (auto earlier = delegate()) earlier->didEndEditing(field);
}

bool NVXSafeKeyboardView::textFieldShouldReturn(TextField& field) {
  auto earlier = delegate();
  return earlier ? earlier->shouldReturn(field).value_or(true) : true;
}

bool NVXSafeKeyboardView::textFieldShouldClear(TextField& field) {
  auto earlier = delegate();
  return earlier ? earlier->shouldClear(field).value_or(true) : true;
}

bool NVXSafeKeyboardView::textFieldShouldChangeCharacters(TextField& field, platform::Range16 range,
                                                          const std::string& replacement) {
  if (skeyStly_ != kAmountStyle) return StringsTool::isCardNumberField(field.text(), range, replacement);
  return StringsTool::isMoneyField(field.text(), range, replacement);
}

}  // namespace nvx
