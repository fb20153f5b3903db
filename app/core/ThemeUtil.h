// Theme pictures. For now only what the launch needs: the splash picture.
#pragma once
#include <optional>

#include "platform/ui/Image.h"

namespace nvx {

class ThemeUtil {
 public:
  // The current splash picture: the application's "app_splash.png", its tall-screen variant
  // ("app_splash-568h") on 4-inch screens.
  static std::optional<platform::ui::Image> homeSplashImage();
};

}  // namespace nvx
