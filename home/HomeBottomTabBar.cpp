#include "home/HomeBottomTabBar.h"

#include "home/HomeBarButtons.h"
#include "platform/ui/Screen.h"

namespace nvx {

using platform::ui::Rect;

HomeBottomTabBar::HomeBottomTabBar() = default;

std::shared_ptr<HomeBottomTabBar> HomeBottomTabBar::initWithDelegate(std::weak_ptr<HomeBottomTabBarDelegate> delegate) {
  auto bar = std::make_shared<HomeBottomTabBar>();
  bar->setFrame(Rect{0, platform::ui::Screen::bounds().height - 20 - kHeight, 320, kHeight});
  bar->customDelegate_ = std::move(delegate);
  const std::weak_ptr<HomeBottomTabBar> weak = bar;
  auto tap = [weak](platform::ui::Button& button) {
    if (auto self = weak.lock()) self->didSelectedItem(button);
  };
  bar->homeBtn_ = makeBarButton(*bar, Rect{0, 0, 80, kHeight}, kCardTag, "my_card", tap);
  bar->tradeBtn_ = makeBarButton(*bar, Rect{80, 0, 80, kHeight}, kMobileBankTag, "tel_bank", tap);
  bar->mapBtn_ = makeBarButton(*bar, Rect{160, 0, 80, kHeight}, kLifeTag, "life_assistant", tap);
  bar->moreBtn_ = makeBarButton(*bar, Rect{240, 0, 80, kHeight}, kWalletTag, "my_wallet", tap);
  bar->observation_ = followSelectedTag(kNotification, [weak](int tag) {
    if (auto self = weak.lock()) self->selectedIndexChange(tag);
  });
  return bar;
}

std::shared_ptr<platform::ui::Button> HomeBottomTabBar::buttonWithTag(int tag) const {
  return buttonOf({homeBtn_, tradeBtn_, mapBtn_, moreBtn_}, tag);
}

void HomeBottomTabBar::setSelectedIndex(int tag) {
  selectedIndex_ = tag;
  if (tag >= kCardTag && tag <= kWalletTag) setDeSelectedItem(tag);
}

void HomeBottomTabBar::setDeSelectedItem(int tag) {
  for (const auto& b : {homeBtn_, tradeBtn_, mapBtn_, moreBtn_}) b->setSelected(tag != kNoneSelected && b->tag() == tag);
}

void HomeBottomTabBar::didSelectedItem(platform::ui::Button& button) {
  if (auto d = customDelegate_.lock()) d->tabBar(*this, button);
}

void HomeBottomTabBar::notifyTabBarSelected(int tag) {
  platform::NotificationCenter::shared().post(kNotification, nullptr, platform::Json(tag));
}

}  // namespace nvx
