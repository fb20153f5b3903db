#include "app/ui/ButtonCreater.h"

#include "app/ui/NVXImage.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextMetrics.h"

namespace nvx {

using platform::ui::Button;
using platform::ui::Color;
using platform::ui::ControlState;
using platform::ui::Font;
using platform::ui::Image;
using platform::ui::Label;
using platform::ui::Rect;
namespace ControlEvent = platform::ui::ControlEvent;

namespace {

std::optional<Image> stretched(std::optional<Image> picture) {
  if (!picture) return std::nullopt;
  return picture->stretchable(10, 0);
}

std::shared_ptr<Button> exclusive(Rect frame) {
  auto button = Button::create(frame);
  button->setExclusiveTouch(true);
  return button;
}

// The navigation text button's layout with the given normal background.
std::shared_ptr<Button> barButton(std::string_view text, std::optional<Image> normal) {
  Font font = Font::boldSystem(12);
  double width = platform::ui::TextMetrics::measure(text, font).width + 26;
  auto button = exclusive(Rect{0, 0, width, 30});
  button->setBackgroundImage(stretched(std::move(normal)), ControlState::Normal);
  button->setTitle(std::string(text), ControlState::Normal);
  button->setTitleFont(font);
  return button;
}

std::shared_ptr<Button> bigButton(std::string_view text) {
  auto button = exclusive(Rect{0, 0, 302, 44});
  button->setTitle(std::string(text), ControlState::Normal);
  button->setTitleFont(Font::boldSystem(16));
  return button;
}

}  // namespace

std::shared_ptr<Button> ButtonCreater::barButtonWithText(std::string_view text) {
  auto button = barButton(text, NVXImage::navDealImage());
  button->setBackgroundImage(stretched(NVXImage::navDealDownImage()), ControlState::Highlighted);
  return button;
}

std::shared_ptr<Button> ButtonCreater::receivableBarButtonWithText(std::string_view text) {
  return barButton(text, Image::named("btn-1.png"));
}

std::shared_ptr<Button> ButtonCreater::bigReceivableBarButtonWithText(std::string_view text) {
  return barButton(text, Image::named("btn-2.png"));
}

std::shared_ptr<Button> ButtonCreater::backBarButton() {
  return backBarButtonWithText(platform::Strings::localized("Back"));
}

std::shared_ptr<Button> ButtonCreater::backBarButtonWithText(std::string_view text) {
  auto button = exclusive(Rect{0, 0, 60, 30});
  button->setBackgroundImage(NVXImage::navBackImage(), ControlState::Normal);
  button->setBackgroundImage(NVXImage::navBackDownImage(), ControlState::Highlighted);
  auto label = Label::create(Rect{15, 0, 35, 30}, std::string(text));
  label->setBackgroundColor(Color::clear());
  label->setTextColor(Color::white());
  label->setTextAlignment(platform::ui::TextAlignment::Center);
  label->setFont(Font::boldSystem(12));
  label->setTag(kBackLabelTag);
  button->addSubview(label);
  return button;
}

std::shared_ptr<Button> ButtonCreater::bigButtonWithText(std::string_view text) {
  auto button = bigButton(text);
  button->setBackgroundImage(Image::named("big-btn-bg.png"), ControlState::Normal);
  button->setBackgroundImage(Image::named("big-btn-down-bg.png"), ControlState::Highlighted);
  button->setBackgroundImage(Image::named("big-btn-bg-disable.png"), ControlState::Disabled);
  return button;
}

std::shared_ptr<Button> ButtonCreater::bigBlueButtonWithText(std::string_view text) {
  auto button = bigButton(text);
  button->setBackgroundImage(Image::named("big_blue_btn_nor_bg.png"), ControlState::Normal);
  button->setBackgroundImage(Image::named("big_blue_btn_pre_bg.png"), ControlState::Highlighted);
  return button;
}

std::shared_ptr<Button> ButtonCreater::halfButtonWithText(std::string_view text, int buttonColor) {
  auto button = exclusive(Rect{0, 0, 148, 44});
  button->setTitle(std::string(text), ControlState::Normal);
  if (buttonColor == 1) {
    button->setBackgroundImage(Image::named("half-btn-bg.png"), ControlState::Normal);
    button->setBackgroundImage(Image::named("half-btn-down-bg.png"), ControlState::Highlighted);
  } else if (buttonColor == 0) {
    button->setBackgroundImage(Image::named("half-blue-btn-bg.png"), ControlState::Normal);
    button->setBackgroundImage(Image::named("half-blue-btn-down-bg.png"), ControlState::Highlighted);
  }
  button->setBackgroundImage(Image::named("half-btn-bg-disable.png"), ControlState::Disabled);
  return button;
}

std::shared_ptr<Button> ButtonCreater::addPhoneNumberFrame(Rect frame, platform::ui::Control::Action action,
                                                           const void* target) {
  auto button = Button::create(frame);
  button->addTarget(target, ControlEvent::TouchUpInside, std::move(action));
  button->setBackgroundImage(Image::named("add.png"), ControlState::Normal);
  return button;
}

}  // namespace nvx
