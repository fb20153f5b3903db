#include "home/HomeBoxItem.h"

#include "app/ui/ColorExt.h"
#include "core/session/ThemeUtil.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Animation.h"

namespace nvx {

using platform::ui::Button;
using platform::ui::ControlEvent::TouchUpInside;
using platform::ui::Font;
using platform::ui::ImageView;
using platform::ui::Label;
using platform::ui::Rect;

HomeBoxItem::HomeBoxItem() = default;

std::shared_ptr<HomeBoxItem> HomeBoxItem::initWithData(std::shared_ptr<HomeBoxData> data, int atIndex,
                                                       HomeItemState withState) {
  auto item = std::make_shared<HomeBoxItem>();
  const std::weak_ptr<HomeBoxItem> weak = item;
  item->homeData_ = std::move(data);
  item->index_ = atIndex;
  item->isRemovable_ = withState.isRemovable;
  item->isMoveable_ = withState.isMovable;
  item->isDoubleSize_ = withState.isDoubleSize;
  item->targetController_ = item->homeData_->targetCtr();
  item->setFrame(Rect{0, 0, item->isDoubleSize_ ? kDoubleWidth : kSize, kSize});
  item->setBackgroundColor(platform::ui::Color::clear());

  auto label = Label::create(Rect{-5, 61, 70, 20}, item->homeData_->title());
  label->setTextColor(ColorExt::colorFromHexRGB("333333"));
  label->setBackgroundColor(platform::ui::Color::clear());
  label->setTextAlignment(platform::ui::TextAlignment::Center);
  label->setFont(Font::boldSystem(12));
  item->titleLabel_ = label;
  item->addSubview(label);

  auto button = std::make_shared<HomeBoxButton>(item->homeData_->title());
  button->setFrame(Rect{0, 0, item->frame().width, item->frame().height});
  button->setBackgroundColor(platform::ui::Color::clear());
  button->setBackgroundImage(ThemeUtil::imageNamed(item->homeData_->iconImageName()));
  button->addTarget(item.get(), TouchUpInside, [weak](platform::ui::Control&) {
    auto self = weak.lock();
    if (!self) return;
    if (auto d = self->delegate()) d->HomeItemDidClicked(*self);
  });
  item->button_ = button;
  item->addSubview(button);

  if (item->isRemovable_) {
    auto remove = Button::create(Rect{-5, -5, 30, 30});
    remove->setBackgroundImage(platform::ui::Image::named("pay-error.png"));
    remove->setBackgroundColor(platform::ui::Color::clear());
    remove->setHidden(true);
    remove->addTarget(item.get(), TouchUpInside, [weak](platform::ui::Control&) {
      auto self = weak.lock();
      if (!self) return;
      if (auto d = self->delegate()) d->HomeItemDidDeleted(*self, self->index_);
    });
    item->removeButton_ = remove;
    item->addSubview(remove);
  }
  item->tipsBackground_ = ImageView::create(Rect{62, 0, 28, 28});
  return item;
}

void HomeBoxItem::handleLongPress(const HomeLongPress& press) {
  auto d = delegate();
  switch (press.state) {
    case HomeLongPress::State::Began:
      point_ = press.location;
      if (d) d->HomeItemDidEnterEditingMode(*this);
      break;
    case HomeLongPress::State::Changed:
      if (isMoveable_ && d) d->HomeItemDidMoved(*this, point_, press);
      break;
    case HomeLongPress::State::Ended:
      if (!isRemovable_) break;
      point_ = press.location;
      if (d) d->HomeItemDidEndMoved(*this, point_, press);
      setAlpha(1.0);
      break;
    case HomeLongPress::State::Cancelled:
      break;
  }
}

void HomeBoxItem::enableEditing() {
  if (isEditing_) return;
  isEditing_ = true;
  if (removeButton_) removeButton_->setHidden(false);
  button_->setEnabled(false);
}

void HomeBoxItem::disableEditing() {
  if (removeButton_) removeButton_->setHidden(true);
  button_->setEnabled(true);
  isEditing_ = false;
}

void HomeBoxItem::showTheNewTip() {
  if (platform::UserDefaults::standard().contains(kNewBusinessKey)) return;
  tipsBackground_->setHidden(false);
  tipsBackground_->setImage(platform::ui::Image::named("Home_icon_new.png"));
  addSubview(tipsBackground_);
}

void HomeBoxItem::hideTheNewTip() { tipsBackground_->setHidden(true); }

void HomeBoxItem::updateWithTips(const std::string& tips) {
  if (tips.empty()) return;
  auto background = ImageView::create(platform::ui::Image::named("tips-bg.png"));
  background->setFrame(Rect{-1, 4, 80, 15});
  auto label = Label::create(Rect{6, 4, 60, 15}, tips);
  label->setTextColor(platform::ui::Color::white());
  label->setBackgroundColor(platform::ui::Color::clear());
  label->setTextAlignment(platform::ui::TextAlignment::Left);
  label->setFont(Font::boldSystem(9));
  background->setAlpha(0);
  label->setAlpha(0);
  addSubview(background);
  addSubview(label);
  platform::ui::animate(0.4, [background, label] {
    background->setAlpha(1.0);
    label->setAlpha(1.0);
  });
}

}  // namespace nvx
