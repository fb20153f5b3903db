// The look of every navigation bar of the client: the theme's bar picture "top_bg.png"
// (ThemeUtil::imageNamed) drawn over the bar's own background at (0, 0, 320, 44), under its
// title and items.
#pragma once
#include "platform/ui/NavigationBar.h"

namespace nvx {

class NavigationBarExt {
 public:
  // Gives every navigation controller's bar that look when its view loads; the start-up
  // calls it once (further calls change nothing).
  static void installDefaultLook();
  // Gives one bar that look (once: a bar that has it keeps its picture).
  static void applyDefaultLook(platform::ui::NavigationBar& bar);
};

}  // namespace nvx
