#include "platform/ui/Screen.h"

#include "platform/device/Device.h"
#include "platform/ui/Application.h"

namespace platform::ui {

Rect Screen::bounds() {
  const auto& s = Device::screen();
  return Rect{0, 0, s.bounds.width, s.bounds.height};
}

double Screen::scale() { return Device::screen().scale; }

Rect Screen::applicationFrame() {
  Rect r = bounds();
  if (!Application::shared().isStatusBarHidden()) {
    r.y += kStatusBarHeight;
    r.height -= kStatusBarHeight;
  }
  return r;
}

}  // namespace platform::ui
