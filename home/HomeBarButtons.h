// The buttons of the home bars: a picture pair "<name>_normal.png" / "<name>_selected.png", a tag
// and a tap handler, added to the bar.
#pragma once
#include <functional>
#include <memory>
#include <string_view>

#include "platform/ui/Button.h"

namespace nvx {

std::shared_ptr<platform::ui::Button> makeBarButton(platform::ui::View& bar, platform::ui::Rect frame, int tag,
                                                    std::string_view pictures,
                                                    std::function<void(platform::ui::Button&)> onTap);

}  // namespace nvx
