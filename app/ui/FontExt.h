// The client's default fonts (all the system font).
#pragma once
#include "platform/ui/Font.h"

namespace nvx {

class FontExt {
 public:
  static platform::ui::Font defaultDescFont() { return platform::ui::Font::system(14); }
  static platform::ui::Font defaultButtonFont() { return platform::ui::Font::system(16); }
  static platform::ui::Font defaultLabelFont() { return platform::ui::Font::system(16); }
  static platform::ui::Font strongLabelFont() { return platform::ui::Font::system(18); }
  static platform::ui::Font defaultNavTitleFont() { return strongLabelFont(); }
  static platform::ui::Font defaultNavItemFont() { return platform::ui::Font::system(12); }
  static platform::ui::Font groupCellLeftLabelFont() { return defaultLabelFont(); }
  static platform::ui::Font defaultTextFieldFont() { return platform::ui::Font::system(16); }
  static platform::ui::Font groupCellTextFieldFont() { return defaultTextFieldFont(); }
};

}  // namespace nvx
