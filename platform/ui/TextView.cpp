#include "platform/ui/TextView.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Touches.h"

namespace platform::ui {

TextView::TextView(Rect frame) : ScrollView(frame), EditableText(*this, Font::system(12)) {}

std::shared_ptr<TextView> TextView::create(Rect frame) { return std::make_shared<TextView>(frame); }

void TextView::setEditable(bool on) {
  editable_ = on;
  if (!on && isFirstResponder()) endEditing(true);
}

bool TextView::willBecomeFirstResponder() {
  return delegateAgrees(delegate_, &TextViewDelegate::shouldBeginEditing, *this);
}

bool TextView::willResignFirstResponder() {
  return delegateAgrees(delegate_, &TextViewDelegate::shouldEndEditing, *this);
}

void TextView::didBecomeFirstResponder() {
  auto keep = weak_from_this().lock();
  beginEditingText(false);
  Keyboard::update();
  if (auto d = delegate_.lock()) d->didBeginEditing(*this);
  NotificationCenter::shared().post(kTextDidBeginEditingNotification, this);
}

void TextView::didResignFirstResponder() {
  auto keep = weak_from_this().lock();
  endEditingText();
  Keyboard::update();
  if (auto d = delegate_.lock()) d->didEndEditing(*this);
  NotificationCenter::shared().post(kTextDidEndEditingNotification, this);
}

bool TextView::allowsChange(Range16 range, const std::string& replacement) {
  return delegateAgrees(delegate_, &TextViewDelegate::shouldChangeText, *this, range, replacement);
}

void TextView::textDidChange() {
  if (auto d = delegate_.lock()) d->didChange(*this);
  NotificationCenter::shared().post(kTextDidChangeNotification, this);
}

bool TextView::tap() {
  if (!Touches::reach(*this)) return false;
  return becomeFirstResponder();
}

void TextView::describeExtras(std::string& out) const {
  if (!editable_) out += " [readonly]";
  if (isEditing()) out += " [editing]";
}

}  // namespace platform::ui
