// Callbacks attached to controls: addBlock registers a callback for a mask of control events and
// keeps it in the control's callback list, which lives as long as the control.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/Control.h"

namespace nvx {

class UIControlTarget {
 public:
  using Block = std::function<void(platform::ui::Control& sender)>;

  explicit UIControlTarget(Block block) : block_(std::move(block)) {}
  static std::shared_ptr<UIControlTarget> targetWithAction(Block block);
  static std::shared_ptr<UIControlTarget> initWithAction(Block block) { return targetWithAction(std::move(block)); }

  const Block& block() const { return block_; }
  void setBlock(Block block) { block_ = std::move(block); }
  // Calls the callback, when there is one, with the sending control.
  void eventReceiver(platform::ui::Control& sender) const;

 private:
  Block block_;
};

using UIControlTargetList = std::vector<std::shared_ptr<UIControlTarget>>;

// A new target with the callback, registered with the control for the events and appended to
// the control's callback list.
void addBlock(platform::ui::Control& control, UIControlTarget::Block block, uint32_t controlEvents);
// The control's callback list (empty when none was made yet).
UIControlTargetList blocks(const platform::ui::Control& control);
// Replaces the list (the registrations for events stay as they are).
void setBlocks(platform::ui::Control& control, UIControlTargetList list);
// Calls every callback of the list with the control.
void blockControlEvent(platform::ui::Control& control);

}  // namespace nvx
