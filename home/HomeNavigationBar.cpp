#include "home/HomeNavigationBar.h"

#include <string>

#include "home/HomeBarButtons.h"
#include "platform/ui/Image.h"

namespace nvx {

using platform::ui::Rect;

HomeNavigationBar::HomeNavigationBar() = default;

std::shared_ptr<HomeNavigationBar> HomeNavigationBar::initWithDelegate(std::weak_ptr<HomeNavigationBarDelegate> delegate) {
  auto bar = std::make_shared<HomeNavigationBar>();
  bar->setFrame(Rect{0, -3, 320, 40});
  bar->customDelegate_ = std::move(delegate);
  bar->maskView_ = platform::ui::View::create(Rect{0, 0, 80, 40});
  bar->maskView_->setHidden(true);
  bar->addSubview(bar->maskView_);
  const std::weak_ptr<HomeNavigationBar> weak = bar;
  auto tap = [weak](platform::ui::Button& button) {
    if (auto self = weak.lock()) self->didSelectedItem(button);
  };
  bar->likeBtn_ = makeBarButton(*bar, Rect{0, 0, 80, 40}, kCommonTag, "my_favorite", tap);
  bar->mallBtn_ = makeBarButton(*bar, Rect{80, 0, 80, 40}, kMallTag, "nuvexa_mall", tap);
  bar->noticeBtn_ = makeBarButton(*bar, Rect{160, 0, 80, 40}, kMessageTag, "message", tap);
  bar->moreBtn_ = makeBarButton(*bar, Rect{240, 0, 80, 40}, kMoreTag, "more", tap);
  bar->noticeNumView_ = platform::ui::ImageView::create(platform::ui::Image::named("point_out.png"));
  bar->noticeNumView_->setFrame(Rect{160, 5, 15, 15});
  bar->noticeNumView_->setHidden(true);
  bar->numLabel_ = platform::ui::Label::create(Rect{0, 1.5, 14, 12});
  bar->numLabel_->setFont(platform::ui::Font::system(10));
  bar->numLabel_->setTextColor(platform::ui::Color::white());
  bar->numLabel_->setTextAlignment(platform::ui::TextAlignment::Center);
  bar->noticeNumView_->addSubview(bar->numLabel_);
  bar->addSubview(bar->noticeNumView_);
  bar->observation_ = followSelectedTag(kNotification, [weak](int tag) {
    if (auto self = weak.lock()) self->setSelectedIndex(tag);
  });
  return bar;
}

std::shared_ptr<platform::ui::Button> HomeNavigationBar::buttonWithTag(int tag) const {
  return buttonOf({likeBtn_, mallBtn_, noticeBtn_, moreBtn_}, tag);
}

void HomeNavigationBar::setSelectedIndex(int tag) {
  selectedIndex_ = tag;
  maskView_->setHidden(false);
  if (auto button = buttonWithTag(tag)) {
    setDeSelectedItem(tag);
    maskView_->setFrame(button->frame());
  }
}

void HomeNavigationBar::setDeSelectedItem(int tag) {
  for (const auto& b : {likeBtn_, mallBtn_, noticeBtn_, moreBtn_}) b->setSelected(b->tag() == tag);
}

void HomeNavigationBar::deSelected() {
  maskView_->setHidden(true);
  for (const auto& b : {likeBtn_, mallBtn_, noticeBtn_, moreBtn_}) b->setSelected(false);
}

void HomeNavigationBar::showNoticeNum(int64_t n) {
  if (n <= 0) {
    noticeNumView_->setHidden(true);
    return;
  }
  noticeNumView_->setHidden(false);
  numLabel_->setText(n >= kBadgeOverflow ? std::string("...") : std::to_string(n));
}

void HomeNavigationBar::didSelectedItem(platform::ui::Button& button) {
  if (auto d = customDelegate_.lock()) d->tabBar(*this, button);
}

void HomeNavigationBar::notifyTabBarSelected(int tag) {
  platform::NotificationCenter::shared().post(kNotification, nullptr, platform::Json(tag));
}

}  // namespace nvx
