#include "app/ui/NVXKeyboardView.h"

#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"

namespace nvx {

using platform::ui::Button;
using platform::ui::ButtonType;
using platform::ui::Control;
using platform::ui::ControlEvent::TouchUpInside;
using platform::ui::ControlState;
using platform::ui::Image;
using platform::ui::ImageView;
using platform::ui::Rect;

namespace {

struct Key {
  int tag;
  const char* normal;
  const char* highlighted;
};

// Left to right, top to bottom. The normal 0 picture really is spelled "keyborad".
constexpr Key kKeys[12] = {
    {1, "n_keyboard_1.png", "n_keyboard_1_hover.png"},
    {2, "n_keyboard_2.png", "n_keyboard_2_hover.png"},
    {3, "n_keyboard_3.png", "n_keyboard_3_hover.png"},
    {4, "n_keyboard_4.png", "n_keyboard_4_hover.png"},
    {5, "n_keyboard_5.png", "n_keyboard_5_hover.png"},
    {6, "n_keyboard_6.png", "n_keyboard_6_hover.png"},
    {7, "n_keyboard_7.png", "n_keyboard_7_hover.png"},
    {8, "n_keyboard_8.png", "n_keyboard_8_hover.png"},
    {9, "n_keyboard_9.png", "n_keyboard_9_hover.png"},
    {NVXKeyboardView::kDoneTag, "n_keyboard_over.png", "n_keyboard_over_hover.png"},
    {0, "n_keyborad_0.png", "n_keyboard_0_hover.png"},
    {NVXKeyboardView::kDeleteTag, "n_keyboard_x.png", "n_keyboard_x_hover.png"},
};

}  // namespace

std::shared_ptr<NVXKeyboardView> NVXKeyboardView::numberPadWithDelegate(
    std::weak_ptr<NVXKeyboardViewDelegate> delegate) {
  return create(Rect{0, 0, 320, 216}, std::move(delegate));
}

std::shared_ptr<NVXKeyboardView> NVXKeyboardView::create(Rect frame, std::weak_ptr<NVXKeyboardViewDelegate> delegate) {
  auto keyboard = std::make_shared<NVXKeyboardView>(frame);
  keyboard->delegate_ = std::move(delegate);
  keyboard->build();
  return keyboard;
}

void NVXKeyboardView::build() {
  auto background = ImageView::create(frame());
  background->setImage(Image::named("n_keyboard_bg.png"));
  addSubview(background);

  std::weak_ptr<NVXKeyboardView> weak = std::static_pointer_cast<NVXKeyboardView>(shared_from_this());
  for (int k = 1; k <= 12; ++k) {
    const Key& key = kKeys[k - 1];
    auto button = Button::create(Rect{((k - 1) % 3) * 108.0, ((k - 1) / 3) * 50.0 + 13, 106, 40}, ButtonType::Custom);
    button->setTag(key.tag);
    button->setBackgroundImage(Image::named(key.normal), ControlState::Normal);
    button->setBackgroundImage(Image::named(key.highlighted), ControlState::Highlighted);
    button->addTarget(this, TouchUpInside, [weak](Control& sender) {
      if (auto self = weak.lock()) self->buttonPressed(sender);
    });
    addSubview(button);
  }
}

void NVXKeyboardView::buttonPressed(const Control& key) {
  auto delegate = delegate_.lock();
  if (!delegate) return;
  const int tag = key.tag();
  if (tag == kDeleteTag) {
    delegate->keyboadViewdeleteButtonPressed(*this);
  } else if (tag == kDoneTag) {
    delegate->keyboadViewdoneButtonPressed(*this);
  } else if (tag >= 0 && tag <= 9) {
    delegate->keyboadView(*this, tag);
  }
}

}  // namespace nvx
