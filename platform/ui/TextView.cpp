#include "platform/ui/TextView.h"

#include <algorithm>

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/MainThread.h"
#include "platform/ui/TextEditing.h"

namespace platform::ui {
namespace {

bool takesTouches(const View& view) {
  if (!view.isEffectivelyVisible()) return false;
  const View* v = &view;
  std::shared_ptr<View> hold;
  while (v) {
    if (!v->isUserInteractionEnabled()) return false;
    hold = v->superview();
    v = hold.get();
  }
  return true;
}

}  // namespace

TextView::TextView(Rect frame) : ScrollView(frame) {}

std::shared_ptr<TextView> TextView::create(Rect frame) { return std::make_shared<TextView>(frame); }

void TextView::setText(std::string text) {
  assertMainThread();
  text_ = std::move(text);
  caret16_ = u16len(text_);
}

void TextView::setEditable(bool on) {
  editable_ = on;
  if (!on && isFirstResponder()) endEditing(true);
}

void TextView::setKeyboardType(KeyboardType type) {
  traits_.keyboardType = type;
  if (isEditing()) Keyboard::update();
}

void TextView::setInputView(std::shared_ptr<View> view) {
  inputView_ = std::move(view);
  if (isEditing()) Keyboard::update();
}

void TextView::setInputAccessoryView(std::shared_ptr<View> view) {
  accessoryView_ = std::move(view);
  if (isEditing()) Keyboard::update();
}

std::shared_ptr<View> TextView::activeInputView() const {
  if (!isEditing()) return nullptr;
  return Keyboard::inputViewFor(traits_, inputView_);
}

void TextView::setCaret16(size_t position) { caret16_ = std::min(position, u16len(text_)); }

bool TextView::willBecomeFirstResponder() {
  auto d = delegate_.lock();
  return !d || d->shouldBeginEditing(*this).value_or(true);
}

bool TextView::willResignFirstResponder() {
  auto d = delegate_.lock();
  return !d || d->shouldEndEditing(*this).value_or(true);
}

void TextView::didBecomeFirstResponder() {
  auto keep = weak_from_this().lock();
  caret16_ = u16len(text_);
  Keyboard::update();
  if (auto d = delegate_.lock()) d->didBeginEditing(*this);
  NotificationCenter::shared().post(kTextDidBeginEditingNotification, this);
}

void TextView::didResignFirstResponder() {
  auto keep = weak_from_this().lock();
  Keyboard::update();
  if (auto d = delegate_.lock()) d->didEndEditing(*this);
  NotificationCenter::shared().post(kTextDidEndEditingNotification, this);
}

bool TextView::change(Range16 range, std::string replacement) {
  assertMainThread();
  auto keep = weak_from_this().lock();
  if (auto d = delegate_.lock()) {
    if (!d->shouldChangeText(*this, range, replacement).value_or(true)) return false;
  }
  auto next = u16replace(text_, range, replacement);
  if (!next) return false;
  text_ = std::move(*next);
  caret16_ = range.location + u16len(replacement);
  if (auto d = delegate_.lock()) d->didChange(*this);
  NotificationCenter::shared().post(kTextDidChangeNotification, this);
  return true;
}

bool TextView::tap() {
  if (!takesTouches(*this)) return false;
  return becomeFirstResponder();
}

size_t TextView::typeText(std::string_view text) {
  auto keys = TextEditing::keystrokes(text);
  if (!keys) return 0;
  auto keep = weak_from_this().lock();
  if (!isEditing() && !becomeFirstResponder()) return 0;
  size_t delivered = 0;
  for (const auto& key : *keys) {
    if (!isEditing()) break;
    ++delivered;
    change(Range16{std::min(caret16_, u16len(text_)), 0}, key);
  }
  return delivered;
}

bool TextView::paste(std::string_view text) {
  if (!isEditing() || !isValidUtf8(text)) return false;
  return change(Range16{std::min(caret16_, u16len(text_)), 0}, std::string(text));
}

bool TextView::insertText(std::string_view text) {
  if (!isValidUtf8(text)) return false;
  return change(Range16{std::min(caret16_, u16len(text_)), 0}, std::string(text));
}

bool TextView::deleteBackward() {
  auto range = TextEditing::characterBefore(text_, std::min(caret16_, u16len(text_)));
  if (!range) return false;
  return change(*range, "");
}

void TextView::describeExtras(std::string& out) const {
  if (!editable_) out += " [readonly]";
  if (isEditing()) out += " [editing]";
}

}  // namespace platform::ui
