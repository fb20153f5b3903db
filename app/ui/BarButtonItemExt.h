// Navigation-bar items of the client's look: text buttons, picture buttons and two-picture
// buttons as the items' custom views. Actions run on a finished tap.
#pragma once
#include <memory>
#include <string_view>

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Geometry.h"

namespace nvx {

class BarButtonItemExt {
 public:
  using Action = platform::ui::Control::Action;

  // An item whose custom view is defaultNavBarItemButton of the key.
  static std::shared_ptr<platform::ui::BarButtonItem> defaultNavBarButtonItem(std::string_view key,
                                                                              const void* target, Action action);
  // An item whose custom view is defaultNavBarItemButton without a title, resized to the size,
  // with an image view of the named picture covering it.
  static std::shared_ptr<platform::ui::BarButtonItem> navBarButtonItemWithImage(std::string_view imageName,
                                                                                platform::ui::Size size,
                                                                                const void* target, Action action);
  // An item whose custom view is ButtonExt::buttonWithFrame of the two pictures at (0, 0, size).
  static std::shared_ptr<platform::ui::BarButtonItem> barButtonItemWithSize(platform::ui::Size size,
                                                                            std::string_view normal,
                                                                            std::string_view select,
                                                                            const void* target, Action action);
  // ButtonCreater::barButtonWithText of the localized text of the key, titled in the disabled
  // grey while disabled, exclusive touch, the action on a tap.
  static std::shared_ptr<platform::ui::Button> defaultNavBarItemButton(std::string_view key, const void* target,
                                                                       Action action);
};

}  // namespace nvx
