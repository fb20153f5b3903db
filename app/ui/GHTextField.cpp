#include "app/ui/GHTextField.h"

#include <chrono>
#include <cstdint>

#include "core/text/StringsTool.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Text16.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/TextMetrics.h"
#include "platform/ui/Toolbar.h"

namespace nvx {

using platform::ui::BarButtonItem;
using platform::ui::BarButtonSystemItem;
using platform::ui::Font;
using platform::ui::Rect;
using platform::ui::TextField;

namespace {

// The platform's autoresizing flags.
constexpr int kFlexibleWidth = 1 << 1;
constexpr int kFlexibleHeight = 1 << 4;

// The platform's field font, which a field without a kept font shows.
constexpr Font kPlatformFieldFont = Font::system(12);

std::string withoutSeparators(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != ' ' && c != '-') out.push_back(c);
  }
  return out;
}

}  // namespace

GHTextField::GHTextField(Rect frame) : View(frame) {}

std::shared_ptr<GHTextField> GHTextField::create(Rect frame) {
  auto field = std::make_shared<GHTextField>(frame);
  field->build();
  return field;
}

GHTextField::~GHTextField() {
  // The inner field may outlive the wrapper (a screen may hold it through getTextFiled).
  if (internalTextField_) internalTextField_->removeTextObservers(this);
}

void GHTextField::build() {
  auto self = std::static_pointer_cast<GHTextField>(shared_from_this());
  std::weak_ptr<GHTextField> weak = self;

  internalTextField_ = TextField::create(bounds());
  internalTextField_->setAutoresizingMask(kFlexibleWidth | kFlexibleHeight);
  internalTextField_->setContentVerticalAlignment(platform::ui::ContentVerticalAlignment::Center);
  internalTextField_->setAutocapitalizationType(platform::ui::TextAutocapitalization::None);
  internalTextField_->setAutocorrectionType(platform::ui::TextAutocorrection::No);
  internalTextField_->setDelegate(std::weak_ptr<platform::ui::TextFieldDelegate>(self));

  auto bar = platform::ui::Toolbar::create(Rect{0, 0, frame().width, platform::ui::Toolbar::kHeight});
  bar->setBarStyle(platform::ui::BarStyle::BlackTranslucent);
  bar->setTranslucent(true);
  bar->setAutoresizingMask(kFlexibleWidth);
  bar->setItems({BarButtonItem::withSystemItem(BarButtonSystemItem::FlexibleSpace),
                 BarButtonItem::withSystemItem(BarButtonSystemItem::Done, [weak](BarButtonItem&) {
                   if (auto f = weak.lock()) f->done();
                 })});
  internalTextField_->setInputAccessoryView(bar);
  addSubview(internalTextField_);

  resignObservation_ = platform::NotificationCenter::shared().observe(
      kResignFirstResponderNotification, nullptr, [weak](const platform::Notification&) {
        if (auto f = weak.lock()) f->endEditing();
      });
  internalTextField_->addTextObserver(this, [weak](TextField&) {
    auto f = weak.lock();
    if (f && f->action_) f->textChanged();
  });
}

std::string GHTextField::text() const {
  const std::string& t = internalTextField_->text();
  if (inputType_ == kInputCardNumber || inputType_ == kInputCardGrouping || inputType_ == kInputMobileNumber) {
    return withoutSeparators(t);
  }
  return t;
}

void GHTextField::setText(const std::string& text) {
  internalTextField_->setText(text);
  handleText();
}

void GHTextField::setFont(Font font) {
  font_ = font;
  internalTextField_->setFont(font);
}

void GHTextField::setInputType(int type) {
  inputType_ = type;
  if (type == kInputCardNumber) internalTextField_->setClearButtonMode(platform::ui::TextFieldViewMode::WhileEditing);
}

void GHTextField::done() { internalTextField_->resignFirstResponder(); }

void GHTextField::endEditing() { internalTextField_->resignFirstResponder(); }

void GHTextField::handleText() {
  // Grouped from the plain text, so that grouping a text twice keeps it grouped.
  if (inputType_ == kInputCardNumber || inputType_ == kInputCardGrouping) {
    internalTextField_->setText(StringsTool::handleCardNumber(text()));
  } else if (inputType_ == kInputMobileNumber) {
    internalTextField_->setText(StringsTool::handlePhoneNumber(text()));
  } else {
    internalTextField_->setText(internalTextField_->text());
  }
}

void GHTextField::textChanged() { report(kEventTextChanged); }

void GHTextField::setFrame(Rect frame) {
  View::setFrame(frame);
  if (internalTextField_) internalTextField_->setFrame(bounds());
}

void GHTextField::report(int event) {
  auto keep = weak_from_this().lock();
  if (auto action = action_) action(*this, event);
}

void GHTextField::applyFont() { internalTextField_->setFont(font_.value_or(kPlatformFieldFont)); }

// --- the inner field's delegate ---

std::optional<bool> GHTextField::shouldBeginEditing(TextField&) {
  applyFont();
  internalTextField_->setText(text());
  report(kEventWillBeginEditing);
  return true;
}

void GHTextField::didBeginEditing(TextField&) { report(kEventDidBeginEditing); }

std::optional<bool> GHTextField::shouldEndEditing(TextField&) {
  report(kEventWillEndEditing);
  return true;
}

void GHTextField::didEndEditing(TextField&) {
  auto keep = weak_from_this().lock();
  handleText();
  applyFont();
  TextField& f = *internalTextField_;
  double size = StringsTool::handleCardNumberEndedEditField(
      f.text(), f.font().size, f.frame().width, [](std::string_view text, double fontSize) {
        return platform::ui::TextMetrics::measure(text, Font::system(fontSize), platform::ui::Size{1000, 20}).width;
      });
  if (size != f.font().size) f.setFont(Font::system(size));
  report(kEventDidEndEditing);
}

std::optional<bool> GHTextField::shouldChangeCharacters(TextField& field, platform::Range16 range,
                                                        const std::string& replacement) {
  auto keep = weak_from_this().lock();
  // The limit holds for every change, a paste included, and also for a text that a filter
  // would write into the field itself.
  const auto current = static_cast<int64_t>(platform::u16len(field.text()));
  const int64_t newLength =
      current - static_cast<int64_t>(range.length) + static_cast<int64_t>(platform::u16len(replacement));
  if (newLength > maxLength_) return false;

  switch (inputType_) {
    case kInputCardNumber:
      if (!StringsTool::isCardNumberField(field.text(), range, replacement)) return false;
      break;
    case kInputAmount:
      if (!StringsTool::isMoneyField(field.text(), range, replacement)) return false;
      break;
    case kInputMobileNumber: {
      auto edit = StringsTool::isPhoneNumberField(field.text(), range, replacement, true);
      if (edit.setText) field.setText(*edit.setText);
      if (edit.closeKeyboard) field.resignFirstResponder();
      if (!edit.shouldChange) return false;
      break;
    }
    default:
      break;
  }

  if (action_) {
    report(kEventWillChange);
    std::weak_ptr<GHTextField> weak = std::static_pointer_cast<GHTextField>(shared_from_this());
    platform::dispatchAfter(std::chrono::milliseconds(1), [weak] {
      if (auto f = weak.lock()) f->textChanged();
    });
  }
  return true;
}

std::optional<bool> GHTextField::shouldClear(TextField&) {
  report(kEventWillChange);
  return true;
}

std::optional<bool> GHTextField::shouldReturn(TextField& field) {
  auto keep = weak_from_this().lock();
  report(kEventWillChange);
  field.resignFirstResponder();
  return true;
}

}  // namespace nvx
