// Target-action registration for the two events the client's screens listen to.
#pragma once
#include "platform/ui/Control.h"

namespace nvx {

class ControlExt {
 public:
  // The action runs on every value change.
  static void addTargetValueChangedAction(platform::ui::Control& control, const void* target,
                                          platform::ui::Control::Action action);
  // The action runs on a finished tap (touch-up-inside), not when the finger goes down.
  static void addTargetDownAction(platform::ui::Control& control, const void* target,
                                  platform::ui::Control::Action action);
};

}  // namespace nvx
