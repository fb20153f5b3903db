// Segmented controls of the client's look.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/SegmentedControl.h"

namespace nvx {

class SegmentedControlExt {
 public:
  // The titles in order, plain style, the frame, segment 0 selected, the action on every value
  // change.
  static std::shared_ptr<platform::ui::SegmentedControl> plainStyleSegmentedControl(
      platform::ui::Rect frame, const void* target, platform::ui::Control::Action action,
      std::vector<std::string> titles);
};

}  // namespace nvx
