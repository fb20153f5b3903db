// Facts about the main screen for layout code and for the requests that name the screen's
// resolution (theme and home pictures).
#pragma once
#include <string>

#include "platform/ui/Geometry.h"

namespace nvx {

class UIScreen {
 public:
  // Half the width and height of the main screen's current mode (its size in points on a
  // double-density screen); zero when the screen reports no current mode.
  static platform::ui::Size screenSize();
  // A 4-inch screen: the main screen's current mode measures 640 x 1136 or 320 x 568 (the
  // one tall-screen check of the client).
  static bool isFourInch();
  // The main screen's scale is 2.
  static bool isRetina();
  // "1136_640" when the current mode is 640 x 1136 or 320 x 568; otherwise the bounds'
  // height and width in pixels (x 2 on a retina screen) as "%.0f_%.0f", height first.
  static std::string themeResolution();
};

}  // namespace nvx
