#include "app/core/ThemeUtil.h"

#include "platform/device/Device.h"

namespace nvx {

std::optional<platform::ui::Image> ThemeUtil::homeSplashImage() {
  const auto& screen = platform::Device::screen();
  if (screen.bounds.height == 568) {
    if (auto tall = platform::ui::Image::named("app_splash-568h.png")) return tall;
  }
  return platform::ui::Image::named("app_splash.png");
}

}  // namespace nvx
