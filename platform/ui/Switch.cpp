#include "platform/ui/Switch.h"

#include "platform/ui/MainThread.h"

namespace platform::ui {

Switch::Switch(Rect frame) : Control(Rect{frame.x, frame.y, kWidth, kHeight}) {}

std::shared_ptr<Switch> Switch::create(Rect frame) { return std::make_shared<Switch>(frame); }

void Switch::setOn(bool on, bool /*animated*/) { on_ = on; }

bool Switch::tap() {
  assertMainThread();
  if (!acceptsTouches()) return false;
  auto keep = weak_from_this().lock();
  sendActions(ControlEvent::TouchDown);
  on_ = !on_;
  sendActions(ControlEvent::ValueChanged);
  sendActions(ControlEvent::TouchUpInside);
  return true;
}

void Switch::describeExtras(std::string& out) const {
  out += on_ ? " [on]" : " [off]";
  Control::describeExtras(out);
}

}  // namespace platform::ui
