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

TextField::TextField(Rect frame) : Control(frame), EditableText(*this, Font::system(12)) {}

std::shared_ptr<TextField> TextField::create(Rect frame) { return std::make_shared<TextField>(frame); }

void TextField::textWasSet() {
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

bool TextField::isClearButtonShown() const { return hasText() && modeShows(clearMode_, isEditing()); }

void TextField::setLeftView(std::shared_ptr<View> view) { replaceSideView(leftView_, std::move(view)); }

void TextField::setLeftViewMode(TextFieldViewMode mode) {
  leftMode_ = mode;
  layoutSideViews();
}

void TextField::setRightView(std::shared_ptr<View> view) { replaceSideView(rightView_, std::move(view)); }

void TextField::setRightViewMode(TextFieldViewMode mode) {
  rightMode_ = mode;
  layoutSideViews();
}

void TextField::replaceSideView(std::shared_ptr<View>& side, std::shared_ptr<View> view) {
  if (side && side != view && side->superview().get() == this) side->removeFromSuperview();
  side = std::move(view);
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

bool TextField::willBecomeFirstResponder() {
  return delegateAgrees(delegate_, &TextFieldDelegate::shouldBeginEditing, *this);
}

bool TextField::willResignFirstResponder() {
  return delegateAgrees(delegate_, &TextFieldDelegate::shouldEndEditing, *this);
}

void TextField::didBecomeFirstResponder() {
  auto keep = weak_from_this().lock();
  beginEditingText(clearsOnBegin_);
  layoutSideViews();
  Keyboard::update();   // the keyboard is up before the delegate hears of the beginning
  if (auto d = delegate_.lock()) d->didBeginEditing(*this);
  sendActions(ControlEvent::EditingDidBegin);
  NotificationCenter::shared().post(kTextDidBeginEditingNotification, this);
}

void TextField::didResignFirstResponder() {
  auto keep = weak_from_this().lock();
  endEditingText();
  layoutSideViews();
  Keyboard::update();
  if (auto d = delegate_.lock()) d->didEndEditing(*this);
  sendActions(ControlEvent::EditingDidEnd);
  NotificationCenter::shared().post(kTextDidEndEditingNotification, this);
}

bool TextField::allowsChange(Range16 range, const std::string& replacement) {
  return delegateAgrees(delegate_, &TextFieldDelegate::shouldChangeCharacters, *this, range, replacement);
}

void TextField::textDidChange() {
  layoutSideViews();
  sendActions(ControlEvent::EditingChanged);
  NotificationCenter::shared().post(kTextDidChangeNotification, this);
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

bool TextField::tapClear() {
  assertMainThread();
  if (!isClearButtonShown() || !acceptsTouches()) return false;
  auto keep = weak_from_this().lock();
  if (!isEditing() && !becomeFirstResponder()) return false;
  if (!delegateAgrees(delegate_, &TextFieldDelegate::shouldClear, *this)) return false;
  clearText();
  textDidChange();
  return true;
}

bool TextField::tapReturn() {
  assertMainThread();
  if (!isEditing()) return false;
  auto keep = weak_from_this().lock();
  if (!delegateAgrees(delegate_, &TextFieldDelegate::shouldReturn, *this)) return false;
  if (actionCount(ControlEvent::EditingDidEndOnExit) > 0) {
    sendActions(ControlEvent::EditingDidEndOnExit);
    resignFirstResponder();
  }
  return true;
}

std::optional<std::string> TextField::displayText() const {
  if (!hasText()) return std::nullopt;
  return isSecureTextEntry() ? TextEditing::bullets(text()) : text();
}

void TextField::describeExtras(std::string& out) const {
  if (!hasText() && !placeholder_.empty()) out += " placeholder=" + quote(placeholder_);
  Control::describeExtras(out);
  if (isEditing()) out += " [editing]";
}

}  // namespace platform::ui
