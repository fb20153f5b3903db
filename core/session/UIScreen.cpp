#include "core/session/UIScreen.h"

#include <cstdio>

#include "platform/device/Device.h"

namespace nvx {

using platform::Device;
using platform::ui::Size;

Size UIScreen::screenSize() {
  const auto& mode = Device::screen().currentMode;
  if (!mode) return Size{};
  return Size{mode->width / 2, mode->height / 2};
}

bool UIScreen::isFourInch() {
  const auto& mode = Device::screen().currentMode;
  return mode && ((mode->width == 640 && mode->height == 1136) || (mode->width == 320 && mode->height == 568));
}

bool UIScreen::isRetina() { return Device::screen().scale == 2.0; }

std::string UIScreen::themeResolution() {
  const auto& screen = Device::screen();
  if (isFourInch()) return "1136_640";
  double scale = isRetina() ? 2.0 : 1.0;
  char text[64];
  std::snprintf(text, sizeof text, "%.0f_%.0f", screen.bounds.height * scale, screen.bounds.width * scale);
  return text;
}

}  // namespace nvx
