#include "app/ui/BarButtonItemExt.h"

#include "app/ui/ColorExt.h"
#include "app/ui/ButtonCreater.h"
#include "app/ui/ButtonExt.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/ImageView.h"

namespace nvx {

using platform::ui::BarButtonItem;
using platform::ui::Button;
using platform::ui::ControlState;
using platform::ui::Rect;
using platform::ui::Size;
namespace ControlEvent = platform::ui::ControlEvent;

namespace {

std::shared_ptr<Button> navItemButton(std::string_view text, const void* target, BarButtonItemExt::Action action) {
  auto button = ButtonCreater::barButtonWithText(text);
  button->setTitleColor(ColorExt::defaultNavItemDisableTitleColor(), ControlState::Disabled);
  button->setExclusiveTouch(true);
  button->addTarget(target, ControlEvent::TouchUpInside, std::move(action));
  return button;
}

}  // namespace

std::shared_ptr<Button> BarButtonItemExt::defaultNavBarItemButton(std::string_view key, const void* target,
                                                                  Action action) {
  return navItemButton(platform::Strings::localized(key), target, std::move(action));
}

std::shared_ptr<BarButtonItem> BarButtonItemExt::defaultNavBarButtonItem(std::string_view key, const void* target,
                                                                         Action action) {
  return BarButtonItem::withCustomView(defaultNavBarItemButton(key, target, std::move(action)));
}

std::shared_ptr<BarButtonItem> BarButtonItemExt::navBarButtonItemWithImage(std::string_view imageName, Size size,
                                                                           const void* target, Action action) {
  auto button = navItemButton("", target, std::move(action));
  button->setTitle(std::nullopt, ControlState::Normal);
  Rect frame = button->frame();
  frame.width = size.width;
  frame.height = size.height;
  button->setFrame(frame);
  auto picture = platform::ui::ImageView::create(Rect{0, 0, size.width, size.height});
  picture->setImage(platform::ui::Image::named(imageName));
  button->addSubview(picture);
  return BarButtonItem::withCustomView(button);
}

std::shared_ptr<BarButtonItem> BarButtonItemExt::barButtonItemWithSize(Size size, std::string_view normal,
                                                                       std::string_view select, const void* target,
                                                                       Action action) {
  return BarButtonItem::withCustomView(
      ButtonExt::buttonWithFrame(Rect{0, 0, size.width, size.height}, normal, select, target, std::move(action)));
}

}  // namespace nvx
