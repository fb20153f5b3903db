// The navigation buttons' pictures, looked up through the active theme.
#pragma once
#include <optional>
#include <string_view>

#include "platform/ui/Image.h"

namespace nvx {

class NVXImage {
 public:
  // The theme's picture of that name (ThemeUtil::imageNamed).
  static std::optional<platform::ui::Image> imageNamed(std::string_view name);
  static std::optional<platform::ui::Image> navBackImage();       // "back_btn_normal.png"
  static std::optional<platform::ui::Image> navBackDownImage();   // "back_btn_selected.png"
  static std::optional<platform::ui::Image> navDealImage();       // "action_btn_normal.png"
  static std::optional<platform::ui::Image> navDealDownImage();   // "action_btn_selected.png"
};

}  // namespace nvx
