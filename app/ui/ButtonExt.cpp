#include "app/ui/ButtonExt.h"

#include <string>

#include "platform/foundation/Strings.h"
#include "platform/ui/ImageView.h"

namespace nvx {

using platform::ui::Button;
using platform::ui::ButtonType;
using platform::ui::Color;
using platform::ui::ControlState;
using platform::ui::Font;
using platform::ui::Image;
using platform::ui::Rect;
namespace ControlEvent = platform::ui::ControlEvent;

namespace {

std::shared_ptr<Button> custom(Rect frame, const void* target, ButtonExt::Action action,
                               ButtonType type = ButtonType::Custom) {
  auto button = Button::create(frame, type);
  button->addTarget(target, ControlEvent::TouchUpInside, std::move(action));
  return button;
}

}  // namespace

void ButtonExt::setNormalImage(Button& button, std::string_view normal, std::string_view select) {
  button.setBackgroundImage(Image::named(normal), ControlState::Normal);
  auto down = Image::named(select);
  button.setBackgroundImage(down, ControlState::Highlighted);
  button.setBackgroundImage(down, ControlState::Selected);
}

std::shared_ptr<Button> ButtonExt::buttonWithImage(std::string_view normal, std::string_view select,
                                                   const void* target, Action action) {
  return buttonWithFrame(Rect{}, normal, select, target, std::move(action));
}

std::shared_ptr<Button> ButtonExt::buttonWithFrame(Rect frame, std::string_view normal, std::string_view select,
                                                   const void* target, Action action) {
  auto button = custom(frame, target, std::move(action));
  setNormalImage(*button, normal, select);
  return button;
}

std::shared_ptr<Button> ButtonExt::buttonWithFrame(Rect frame, std::optional<Image> image, const void* target,
                                                   Action action) {
  auto button = custom(frame, target, std::move(action));
  button->setBackgroundImage(std::move(image), ControlState::Normal);
  return button;
}

std::shared_ptr<Button> ButtonExt::imageButtonWithFrame(Rect frame, std::string_view imageName, const void* target,
                                                        Action action) {
  auto button = buttonWithFrame(frame, std::optional<Image>(), target, std::move(action));
  auto picture = Image::named(imageName);
  auto view = platform::ui::ImageView::create(picture);
  if (picture) {
    view->setFrame(Rect{(frame.width - picture->size.width) / 2, (frame.height - picture->size.height) / 2,
                        picture->size.width, picture->size.height});
  }
  button->addSubview(view);
  return button;
}

std::shared_ptr<Button> ButtonExt::buttonWithFrame(Rect frame, std::string_view title, Color titleColor,
                                                   const void* target, Action action) {
  return buttonWithFrame(frame, title, titleColor, titleColor, target, std::move(action));
}

std::shared_ptr<Button> ButtonExt::buttonWithFrame(Rect frame, std::string_view title, Color normalColor,
                                                   Color selectedColor, const void* target, Action action) {
  auto button = custom(frame, target, std::move(action));
  button->setTitle(std::string(title), ControlState::Normal);
  button->setTitleColor(normalColor, ControlState::Normal);
  button->setTitleColor(selectedColor, ControlState::Selected);
  return button;
}

std::shared_ptr<Button> ButtonExt::rectButtonWithFrame(Rect frame, std::string_view title, Color titleColor,
                                                       const void* target, Action action) {
  auto button = custom(frame, target, std::move(action), ButtonType::RoundedRect);
  button->setTitle(std::string(title), ControlState::Normal);
  button->setTitleColor(titleColor, ControlState::Normal);
  button->setTitleColor(titleColor, ControlState::Selected);
  return button;
}

std::shared_ptr<Button> ButtonExt::buttonWithFrame(Rect frame, std::string_view title, const void* target,
                                                   Action action) {
  auto button = custom(frame, target, std::move(action));
  button->setTitle(std::string(title), ControlState::Normal);
  button->setTitle(std::string(title), ControlState::Highlighted);
  return button;
}

std::shared_ptr<Button> ButtonExt::buttonWithFrameTextColor(Rect frame, std::string_view title, Color textColor,
                                                            const void* target, Action action) {
  auto button = buttonWithFrame(frame, title, target, std::move(action));
  button->setTitleColor(textColor, ControlState::Normal);
  button->setTitleColor(textColor, ControlState::Highlighted);
  return button;
}

std::shared_ptr<Button> ButtonExt::buttonWithFrame(Rect frame, std::string_view title, Color textColor,
                                                   double textSize, const void* target, Action action) {
  auto button = buttonWithFrameTextColor(frame, title, textColor, target, std::move(action));
  button->setTitleFont(Font::system(textSize));
  return button;
}

void ButtonExt::setNormalTitle(Button& button, std::string_view key) {
  button.setTitle(platform::Strings::localized(key), ControlState::Normal);
}

void ButtonExt::buttonReplaceActionFrom(Button& button, Action to, const void* target) {
  button.removeFirstTarget(target, ControlEvent::TouchUpInside);
  button.addTarget(target, ControlEvent::TouchUpInside, std::move(to));
}

}  // namespace nvx
