// The main screen in points (the device's screen, platform/device).
#pragma once
#include "platform/ui/Geometry.h"

namespace platform::ui {

class Screen {
 public:
  static constexpr double kStatusBarHeight = 20;

  static Rect bounds();   // (0, 0, 320, 568) on the product's phone
  static double scale();
  // The screen less the status bar at the top while it is shown: where a window's root screen
  // and full-screen modal screens are placed.
  static Rect applicationFrame();
};

}  // namespace platform::ui
