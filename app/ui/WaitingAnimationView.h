// A plain view that screens place where a waiting picture goes; it has no behaviour of its own.
#pragma once
#include <memory>

#include "platform/ui/Geometry.h"
#include "platform/ui/View.h"

namespace nvx {

class WaitingAnimationView : public platform::ui::View {
 public:
  explicit WaitingAnimationView(platform::ui::Rect frame = {}) : View(frame) {}
  static std::shared_ptr<WaitingAnimationView> create(platform::ui::Rect frame = {}) {
    return std::make_shared<WaitingAnimationView>(frame);
  }
};

}  // namespace nvx
