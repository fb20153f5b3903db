// The client's default colours, and colours read from hexadecimal texts.
#pragma once
#include <optional>
#include <string_view>

#include "platform/ui/Color.h"

namespace nvx {

class ColorExt {
 public:
  static platform::ui::Color defaultPageViewBgColor();           // white
  static platform::ui::Color defaultSimpleTableViewBgColor();    // the page colour
  static platform::ui::Color defaultGroupTableViewBgColor();     // clear
  static platform::ui::Color defaultLabelBgColor();              // clear
  static platform::ui::Color defaultSimpleCellBgColor();         // white
  static platform::ui::Color defaultGroupCellBgColor();          // white
  static platform::ui::Color defaultButtonDisableTitleColor();   // 50 % grey
  static platform::ui::Color defaultNavItemDisableTitleColor();  // the button-disabled grey
  static platform::ui::Color defaultPromptBgColor();             // 248, 248, 193
  // Table separators and the border of information panels: 202, 204, 204.
  static platform::ui::Color separatorColor();
  // The description text of function cells: 51, 51, 51.
  static platform::ui::Color functionDescColor();

  // The text read as one hexadecimal number 0xRRGGBB, opaque. Leading white space and a "0x"
  // are skipped; reading stops at the first character that is not a hexadecimal digit (so
  // "#FF0000" reads nothing); nothing read, and no text, give black. A number too large for 32
  // bits reads as 0xFFFFFFFF.
  static platform::ui::Color colorFromHexRGB(std::optional<std::string_view> text);
};

}  // namespace nvx
