// The buttons of the home bars: a picture pair "<name>_normal.png" / "<name>_selected.png", a tag
// and a tap handler, added to the bar.
#pragma once
#include <functional>
#include <initializer_list>
#include <memory>
#include <string_view>

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Button.h"

namespace nvx {

std::shared_ptr<platform::ui::Button> makeBarButton(platform::ui::View& bar, platform::ui::Rect frame, int tag,
                                                    std::string_view pictures,
                                                    std::function<void(platform::ui::Button&)> onTap);

// The one of the buttons with that tag, or nothing.
std::shared_ptr<platform::ui::Button> buttonOf(std::initializer_list<std::shared_ptr<platform::ui::Button>> buttons,
                                               int tag);

// Keeps a bar in step with its notification: every integer tag posted under the name goes to
// select (other objects are ignored).
[[nodiscard]] platform::NotificationCenter::Observation followSelectedTag(std::string_view name,
                                                                          std::function<void(int)> select);

}  // namespace nvx
