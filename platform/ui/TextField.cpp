#include "platform/ui/TextField.h"

#include <algorithm>

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/MainThread.h"
#include "platform/ui/TextEditing.h"

namespace platform::ui {
namespace {

bool modeShows(TextFieldViewMode mode, bool editing) {
  switch (mode) {
    case TextFieldViewMode::Never: return false;
    case TextFieldViewMode::WhileEditing: return editing;
    case TextFieldViewMode::UnlessEditing: return !editing;
    case TextFieldViewMode::Always: return true;
  }
  return false;
}

}  // namespace

TextField::TextField(Rect frame) : Control(frame) {}

std::shared_ptr<TextField> TextField::create(Rect frame) { return std::make_shared<TextField>(frame); }

void TextField::setText(std::string text) {
  assertMainThread();
  text_ = std::move(text);
  caret16_ = u16len(text_);
  replacesOnNextChange_ = false;
  runTextObservers();
}

void TextField::runTextObservers() {
  if (observers_.empty()) return;
  auto keep = weak_from_this().lock();
  std::vector<std::shared_ptr<TextObserver>> run;
  for (const auto& o : observers_) run.push_back(o.callback);
  for (const auto& f : run) (*f)(*this);
}

void TextField::addTextObserver(const void* owner, TextObserver observer) {
  if (observer) observers_.push_back(Observer{owner, std::make_shared<TextObserver>(std::move(observer))});
}

void TextField::removeTextObservers(const void* owner) {
  std::erase_if(observers_, [owner](const Observer& o) { return o.owner == owner; });
}

bool TextField::isClearButtonShown() const { return !text_.empty() && modeShows(clearMode_, isEditing()); }

void TextField::setLeftView(std::shared_ptr<View> view) {
  if (leftView_ && leftView_ != view && leftView_->superview().get() == this) leftView_->removeFromSuperview();
  leftView_ = std::move(view);
  layoutSideViews();
}

void TextField::setLeftViewMode(TextFieldViewMode mode) {
  leftMode_ = mode;
  layoutSideViews();
}

void TextField::setRightView(std::shared_ptr<View> view) {
  if (rightView_ && rightView_ != view && rightView_->superview().get() == this) rightView_->removeFromSuperview();
  rightView_ = std::move(view);
  layoutSideViews();
}

void TextField::setRightViewMode(TextFieldViewMode mode) {
  rightMode_ = mode;
  layoutSideViews();
}

void TextField::setFrame(Rect frame) {
  Control::setFrame(frame);
  layoutSideViews();
}

void TextField::layoutSideViews() {
  bool editing = isEditing();
  auto place = [&](const std::shared_ptr<View>& v, TextFieldViewMode mode, bool left) {
    if (!v) return;
    if (!modeShows(mode, editing)) {
      if (v->superview().get() == this) v->removeFromSuperview();
      return;
    }
    Rect f = v->frame();
    f.x = left ? 0 : frame().width - f.width;
    f.y = (frame().height - f.height) / 2;
    v->setFrame(f);
    if (v->superview().get() != this) addSubview(v);
  };
  place(leftView_, leftMode_, true);
  place(rightView_, rightMode_, false);
}

void TextField::setKeyboardType(KeyboardType type) {
  traits_.keyboardType = type;
  if (isEditing()) Keyboard::update();
}

void TextField::setReturnKeyType(ReturnKeyType type) {
  traits_.returnKeyType = type;
  if (isEditing()) Keyboard::update();
}

void TextField::setInputView(std::shared_ptr<View> view) {
  inputView_ = std::move(view);
  if (isEditing()) Keyboard::update();
}

void TextField::setInputAccessoryView(std::shared_ptr<View> view) {
  accessoryView_ = std::move(view);
  if (isEditing()) Keyboard::update();
}

std::shared_ptr<View> TextField::activeInputView() const {
  if (!isEditing()) return nullptr;
  return Keyboard::inputViewFor(traits_, inputView_);
}

void TextField::setCaret16(size_t position) {
  caret16_ = std::min(position, u16len(text_));
  replacesOnNextChange_ = false;   // the user moved the caret into the text
}

bool TextField::willBecomeFirstResponder() {
  auto d = delegate_.lock();
  return !d || d->shouldBeginEditing(*this).value_or(true);
}

bool TextField::willResignFirstResponder() {
  auto d = delegate_.lock();
  return !d || d->shouldEndEditing(*this).value_or(true);
}

void TextField::didBecomeFirstResponder() {
  auto keep = weak_from_this().lock();
  if (clearsOnBegin_ && !text_.empty()) text_.clear();
  caret16_ = u16len(text_);
  replacesOnNextChange_ = traits_.secureTextEntry && !text_.empty();
  layoutSideViews();
  Keyboard::update();   // the keyboard is up before the delegate hears of the beginning
  if (auto d = delegate_.lock()) d->didBeginEditing(*this);
  sendActions(ControlEvent::EditingDidBegin);
  NotificationCenter::shared().post(kTextDidBeginEditingNotification, this);
}

void TextField::didResignFirstResponder() {
  auto keep = weak_from_this().lock();
  replacesOnNextChange_ = false;
  layoutSideViews();
  Keyboard::update();
  if (auto d = delegate_.lock()) d->didEndEditing(*this);
  sendActions(ControlEvent::EditingDidEnd);
  NotificationCenter::shared().post(kTextDidEndEditingNotification, this);
}

Range16 TextField::insertionRange() const {
  if (replacesOnNextChange_) return Range16{0, u16len(text_)};
  return Range16{std::min(caret16_, u16len(text_)), 0};
}

bool TextField::change(Range16 range, std::string replacement) {
  assertMainThread();
  auto keep = weak_from_this().lock();
  if (auto d = delegate_.lock()) {
    if (!d->shouldChangeCharacters(*this, range, replacement).value_or(true)) return false;
  }
  // The delegate may have changed the text while it was asked: the range then no longer fits.
  auto next = u16replace(text_, range, replacement);
  if (!next) return false;
  text_ = std::move(*next);
  caret16_ = range.location + u16len(replacement);
  replacesOnNextChange_ = false;
  layoutSideViews();
  sendActions(ControlEvent::EditingChanged);
  NotificationCenter::shared().post(kTextDidChangeNotification, this);
  return true;
}

bool TextField::tap() {
  assertMainThread();
  if (!acceptsTouches()) return false;
  auto keep = weak_from_this().lock();
  setHighlighted(true);
  sendActions(ControlEvent::TouchDown);
  setHighlighted(false);
  bool editing = becomeFirstResponder();
  sendActions(ControlEvent::TouchUpInside);
  return editing;
}

size_t TextField::typeText(std::string_view text) {
  assertMainThread();
  auto keys = TextEditing::keystrokes(text);
  if (!keys) return 0;
  auto keep = weak_from_this().lock();
  if (!isEditing() && !becomeFirstResponder()) return 0;
  size_t delivered = 0;
  for (const auto& key : *keys) {
    if (!isEditing()) break;   // the keyboard went away
    ++delivered;
    if (key == "\n") {
      tapReturn();
    } else {
      change(insertionRange(), key);
    }
  }
  return delivered;
}

bool TextField::paste(std::string_view text) {
  if (!isEditing() || !isValidUtf8(text)) return false;
  return change(insertionRange(), std::string(text));
}

bool TextField::insertText(std::string_view text) {
  if (!isValidUtf8(text)) return false;
  if (text == "\n") return tapReturn();
  return change(insertionRange(), std::string(text));
}

bool TextField::deleteBackward() {
  if (replacesOnNextChange_) return change(Range16{0, u16len(text_)}, "");
  auto range = TextEditing::characterBefore(text_, std::min(caret16_, u16len(text_)));
  if (!range) return false;
  return change(*range, "");
}

bool TextField::tapClear() {
  assertMainThread();
  if (!isClearButtonShown() || !acceptsTouches()) return false;
  auto keep = weak_from_this().lock();
  if (!isEditing() && !becomeFirstResponder()) return false;
  if (auto d = delegate_.lock()) {
    if (!d->shouldClear(*this).value_or(true)) return false;
  }
  text_.clear();
  caret16_ = 0;
  replacesOnNextChange_ = false;
  layoutSideViews();
  sendActions(ControlEvent::EditingChanged);
  NotificationCenter::shared().post(kTextDidChangeNotification, this);
  return true;
}

bool TextField::tapReturn() {
  assertMainThread();
  if (!isEditing()) return false;
  auto keep = weak_from_this().lock();
  if (auto d = delegate_.lock()) {
    if (!d->shouldReturn(*this).value_or(true)) return false;
  }
  if (actionCount(ControlEvent::EditingDidEndOnExit) > 0) {
    sendActions(ControlEvent::EditingDidEndOnExit);
    resignFirstResponder();
  }
  return true;
}

std::optional<std::string> TextField::displayText() const {
  if (text_.empty()) return std::nullopt;
  return traits_.secureTextEntry ? TextEditing::bullets(text_) : text_;
}

void TextField::describeExtras(std::string& out) const {
  if (text_.empty() && !placeholder_.empty()) out += " placeholder=" + quote(placeholder_);
  Control::describeExtras(out);
  if (isEditing()) out += " [editing]";
}

}  // namespace platform::ui
