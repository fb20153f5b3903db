// Button factories from pictures and titles, and operations on buttons. A target is whoever
// registers the action (used only to remove it again); actions run on a finished tap
// (touch-up-inside). Picture names are the bundle's.
#pragma once
#include <memory>
#include <optional>
#include <string_view>

#include "platform/ui/Button.h"
#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"

namespace nvx {

class ButtonExt {
 public:
  using Action = platform::ui::Control::Action;

  // Background: the first picture for normal, the second for highlighted and selected.
  static void setNormalImage(platform::ui::Button& button, std::string_view normal, std::string_view select);
  // A custom button at an empty frame with those backgrounds.
  static std::shared_ptr<platform::ui::Button> buttonWithImage(std::string_view normal, std::string_view select,
                                                               const void* target, Action action);
  // A custom button at the frame with those backgrounds.
  static std::shared_ptr<platform::ui::Button> buttonWithFrame(platform::ui::Rect frame, std::string_view normal,
                                                               std::string_view select, const void* target,
                                                               Action action);
  // A custom button at the frame with the picture as background for normal.
  static std::shared_ptr<platform::ui::Button> buttonWithFrame(platform::ui::Rect frame,
                                                               std::optional<platform::ui::Image> image,
                                                               const void* target, Action action);
  // A custom button without background holding an image view of the picture at its own size,
  // centred in the button.
  static std::shared_ptr<platform::ui::Button> imageButtonWithFrame(platform::ui::Rect frame,
                                                                    std::string_view imageName, const void* target,
                                                                    Action action);
  // A custom button, the title for normal, the colour for normal and selected.
  static std::shared_ptr<platform::ui::Button> buttonWithFrame(platform::ui::Rect frame, std::string_view title,
                                                               platform::ui::Color titleColor, const void* target,
                                                               Action action);
  // The same with one colour for normal and another for selected.
  static std::shared_ptr<platform::ui::Button> buttonWithFrame(platform::ui::Rect frame, std::string_view title,
                                                               platform::ui::Color normalColor,
                                                               platform::ui::Color selectedColor, const void* target,
                                                               Action action);
  // The same as the title-colour button, as the platform's rounded-rectangle button.
  static std::shared_ptr<platform::ui::Button> rectButtonWithFrame(platform::ui::Rect frame, std::string_view title,
                                                                   platform::ui::Color titleColor,
                                                                   const void* target, Action action);
  // A custom button, the title for normal and highlighted.
  static std::shared_ptr<platform::ui::Button> buttonWithFrame(platform::ui::Rect frame, std::string_view title,
                                                               const void* target, Action action);
  // The same with the text colour for normal and highlighted (buttonWithFrame:title:textColor:
  // of the look; the title-colour button above colours normal and selected instead).
  static std::shared_ptr<platform::ui::Button> buttonWithFrameTextColor(platform::ui::Rect frame,
                                                                        std::string_view title,
                                                                        platform::ui::Color textColor,
                                                                        const void* target, Action action);
  // The same with the title in the system font of the size.
  static std::shared_ptr<platform::ui::Button> buttonWithFrame(platform::ui::Rect frame, std::string_view title,
                                                               platform::ui::Color textColor, double textSize,
                                                               const void* target, Action action);

  // The normal title becomes the localized text of the key.
  static void setNormalTitle(platform::ui::Button& button, std::string_view key);
  // Removes the target's first touch-up-inside action and adds `to` for the target.
  static void buttonReplaceActionFrom(platform::ui::Button& button, Action to, const void* target);
};

}  // namespace nvx
