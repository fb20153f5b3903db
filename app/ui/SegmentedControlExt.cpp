#include "app/ui/SegmentedControlExt.h"

namespace nvx {

using platform::ui::SegmentedControl;

std::shared_ptr<SegmentedControl> SegmentedControlExt::plainStyleSegmentedControl(platform::ui::Rect frame, const void* target,
                                                                                 platform::ui::Control::Action action,
                                                                                 std::vector<std::string> titles) {
  auto control = SegmentedControl::create(frame, std::move(titles));
  control->setSegmentedControlStyle(platform::ui::SegmentedControlStyle::Plain);
  control->setSelectedSegmentIndex(0);
  control->addTarget(target, platform::ui::ControlEvent::ValueChanged, std::move(action));
  return control;
}

}  // namespace nvx
