#include "app/ui/PopMenuButton.h"

#include "platform/foundation/Process.h"

namespace nvx {

EditMenuController& EditMenuController::shared() { return platform::Process::current().shared<EditMenuController>(); }

PopMenuButton::PopMenuButton(platform::ui::Rect frame) : Button(platform::ui::ButtonType::Custom, frame) {}

std::shared_ptr<PopMenuButton> PopMenuButton::create(platform::ui::Rect frame) {
  auto button = std::make_shared<PopMenuButton>(frame);
  button->initilazied();
  return button;
}

PopMenuButton::~PopMenuButton() {
  if (auto* menu = platform::Process::current().sharedIfExists<EditMenuController>()) menu->setMenuVisible(false);
  delegate_.reset();
}

void PopMenuButton::initilazied() {
  std::weak_ptr<PopMenuButton> weak = std::static_pointer_cast<PopMenuButton>(shared_from_this());
  openSafariItem_ = std::make_shared<EditMenuController::Item>(EditMenuController::Item{kOpenInBrowserTitle, [weak] {
    if (auto button = weak.lock()) button->onOpenUrlInSafari();
  }});
  urlCopyItem_ = std::make_shared<EditMenuController::Item>(EditMenuController::Item{kCopyLinkTitle, [weak] {
    if (auto button = weak.lock()) button->onCopyUrlToPasteboard();
  }});
  popMenuController().setMenuItems({openSafariItem_, urlCopyItem_});
}

void PopMenuButton::onOpenUrlInSafari() {
  auto d = delegate_.lock();
  if (d && d->onOpenUrlInSafari) d->onOpenUrlInSafari();
}

void PopMenuButton::onCopyUrlToPasteboard() {
  auto d = delegate_.lock();
  if (d && d->onCopyUrlToPasteboard) d->onCopyUrlToPasteboard();
}

}  // namespace nvx
