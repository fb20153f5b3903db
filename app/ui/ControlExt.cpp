#include "app/ui/ControlExt.h"

namespace nvx {

using platform::ui::Control;
namespace ControlEvent = platform::ui::ControlEvent;

void ControlExt::addTargetValueChangedAction(Control& control, const void* target, Control::Action action) {
  control.addTarget(target, ControlEvent::ValueChanged, std::move(action));
}

void ControlExt::addTargetDownAction(Control& control, const void* target, Control::Action action) {
  control.addTarget(target, ControlEvent::TouchUpInside, std::move(action));
}

}  // namespace nvx
