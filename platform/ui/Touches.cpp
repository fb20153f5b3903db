#include "platform/ui/Touches.h"

#include <memory>

#include "platform/ui/View.h"

namespace platform::ui {

bool Touches::reach(const View& view) {
  if (!view.isEffectivelyVisible()) return false;
  const View* v = &view;
  std::shared_ptr<View> hold;   // keeps the ancestor alive while it is looked at
  while (v) {
    if (!v->isUserInteractionEnabled()) return false;
    hold = v->superview();
    v = hold.get();
  }
  return true;
}

}  // namespace platform::ui
