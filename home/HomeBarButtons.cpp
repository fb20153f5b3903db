#include "home/HomeBarButtons.h"

#include <string>

#include "platform/ui/Image.h"

namespace nvx {

std::shared_ptr<platform::ui::Button> makeBarButton(platform::ui::View& bar, platform::ui::Rect frame, int tag,
                                                    std::string_view pictures,
                                                    std::function<void(platform::ui::Button&)> onTap) {
  auto button = platform::ui::Button::create(frame);
  button->setTag(tag);
  const std::string base(pictures);
  button->setBackgroundImage(platform::ui::Image::named(base + "_normal.png"));
  button->setBackgroundImage(platform::ui::Image::named(base + "_selected.png"), platform::ui::ControlState::Selected);
  button->addTarget(&bar, platform::ui::ControlEvent::TouchUpInside,
                    [onTap = std::move(onTap)](platform::ui::Control& control) {
                      onTap(static_cast<platform::ui::Button&>(control));
                    });
  bar.addSubview(button);
  return button;
}

std::shared_ptr<platform::ui::Button> buttonOf(std::initializer_list<std::shared_ptr<platform::ui::Button>> buttons,
                                               int tag) {
  for (const auto& b : buttons) {
    if (b && b->tag() == tag) return b;
  }
  return nullptr;
}

platform::NotificationCenter::Observation followSelectedTag(std::string_view name, std::function<void(int)> select) {
  return platform::NotificationCenter::shared().observe(
      std::string(name), nullptr, [select = std::move(select)](const platform::Notification& note) {
        if (note.userInfo.is_number_integer()) select(note.userInfo.get<int>());
      });
}

}  // namespace nvx
