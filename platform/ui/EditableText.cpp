#include "platform/ui/EditableText.h"

#include <algorithm>

#include "platform/ui/Keyboard.h"
#include "platform/ui/MainThread.h"
#include "platform/ui/TextEditing.h"
#include "platform/ui/View.h"

namespace platform::ui {

EditableText::EditableText(View& owner, Font font) : TextAppearance(font), owner_(owner) {}

void EditableText::setText(std::string text) {
  assertMainThread();
  text_ = std::move(text);
  caret16_ = u16len(text_);
  replacesOnNextChange_ = false;
  textWasSet();
}

void EditableText::setKeyboardType(KeyboardType type) {
  traits_.keyboardType = type;
  if (isEditing()) Keyboard::update();
}

void EditableText::setReturnKeyType(ReturnKeyType type) {
  traits_.returnKeyType = type;
  if (isEditing()) Keyboard::update();
}

void EditableText::setInputView(std::shared_ptr<View> view) {
  inputView_ = std::move(view);
  if (isEditing()) Keyboard::update();
}

void EditableText::setInputAccessoryView(std::shared_ptr<View> view) {
  accessoryView_ = std::move(view);
  if (isEditing()) Keyboard::update();
}

std::shared_ptr<View> EditableText::activeInputView() const {
  if (!isEditing()) return nullptr;
  return Keyboard::inputViewFor(traits_, inputView_);
}

bool EditableText::isEditing() const { return owner_.isFirstResponder(); }

void EditableText::setCaret16(size_t position) {
  caret16_ = std::min(position, u16len(text_));
  replacesOnNextChange_ = false;   // the user moved the caret into the text
}

void EditableText::beginEditingText(bool clearFirst) {
  if (clearFirst) text_.clear();
  caret16_ = u16len(text_);
  replacesOnNextChange_ = traits_.secureTextEntry && !text_.empty();
}

void EditableText::clearText() {
  text_.clear();
  caret16_ = 0;
  replacesOnNextChange_ = false;
}

Range16 EditableText::insertionRange() const {
  if (replacesOnNextChange_) return Range16{0, u16len(text_)};
  return Range16{std::min(caret16_, u16len(text_)), 0};
}

bool EditableText::change(Range16 range, std::string replacement) {
  assertMainThread();
  auto keep = owner_.weak_from_this().lock();
  if (!allowsChange(range, replacement)) return false;
  // The delegate may have changed the text while it was asked: the range then no longer fits.
  auto next = u16replace(text_, range, replacement);
  if (!next) return false;
  text_ = std::move(*next);
  caret16_ = range.location + u16len(replacement);
  replacesOnNextChange_ = false;
  textDidChange();
  return true;
}

size_t EditableText::typeText(std::string_view text) {
  assertMainThread();
  auto keys = TextEditing::keystrokes(text);
  if (!keys) return 0;
  auto keep = owner_.weak_from_this().lock();
  if (!isEditing() && !owner_.becomeFirstResponder()) return 0;
  size_t delivered = 0;
  for (const auto& key : *keys) {
    if (!isEditing()) break;   // the keyboard went away
    ++delivered;
    if (key == "\n" && pressReturnKey().has_value()) continue;
    change(insertionRange(), key);
  }
  return delivered;
}

bool EditableText::paste(std::string_view text) {
  if (!isEditing() || !isValidUtf8(text)) return false;
  return change(insertionRange(), std::string(text));
}

bool EditableText::insertText(std::string_view text) {
  if (!isValidUtf8(text)) return false;
  if (text == "\n") {
    if (auto answer = pressReturnKey()) return *answer;
  }
  return change(insertionRange(), std::string(text));
}

bool EditableText::deleteBackward() {
  if (replacesOnNextChange_) return change(Range16{0, u16len(text_)}, "");
  auto range = TextEditing::characterBefore(text_, std::min(caret16_, u16len(text_)));
  if (!range) return false;
  return change(*range, "");
}

}  // namespace platform::ui
