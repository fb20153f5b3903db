#include "pay/PayTableHeaderView.h"

#include "core/text/TextExt.h"
#include "platform/ui/Color.h"

namespace nvx {

using platform::ui::Color;
using platform::ui::Rect;

PayTableHeaderView::PayTableHeaderView() : platform::ui::Button(platform::ui::ButtonType::Custom, Rect{-1, -1, 302, 37.5}) {}

std::shared_ptr<PayTableHeaderView> PayTableHeaderView::initWithFlagImgName(
    std::string flagImgName, std::string titleName, std::weak_ptr<PayTableHeaderViewExpandDelegate> delegate,
    bool expand) {
  auto header = std::make_shared<PayTableHeaderView>();
  header->setBackgroundColor(Color::clear());
  header->flagImgName_ = std::move(flagImgName);
  header->payFlagImgView_ = platform::ui::ImageView::create(Rect{5, 10, 16, 16});
  header->addSubview(header->payFlagImgView_);
  header->payTitleLb_ = platform::ui::Label::create(Rect{26, 8, 100, 20}, std::move(titleName));
  header->payTitleLb_->setBackgroundColor(Color::clear());
  header->addSubview(header->payTitleLb_);
  for (double x : {1.0, 297.0}) {
    auto line = platform::ui::View::create(Rect{x, 36, 4, 1});
    line->setBackgroundColor(Color::white());
    header->addSubview(line);
    (x < 2 ? header->leftMaskView_ : header->rightMaskView_) = line;
  }
  std::weak_ptr<PayTableHeaderView> weak = header;
  header->addTarget(header.get(), platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto h = weak.lock()) h->onButtonPressed();
  });
  header->delegate_ = std::move(delegate);
  header->setIsExpand(expand);
  return header;
}

std::shared_ptr<PayTableHeaderView> PayTableHeaderView::walletPayTableHeaderView(
    std::weak_ptr<PayTableHeaderViewExpandDelegate> d, bool expand) {
  return initWithFlagImgName("w_payment_icon_bonus.png", kWalletTitle, std::move(d), expand);
}

std::shared_ptr<PayTableHeaderView> PayTableHeaderView::swipePayTableHeaderView(
    std::weak_ptr<PayTableHeaderViewExpandDelegate> d, bool expand) {
  return initWithFlagImgName("w_payment_icon_card.png", kSwipeTitle, std::move(d), expand);
}

std::shared_ptr<PayTableHeaderView> PayTableHeaderView::noCardRePayTableHeaderView(
    std::weak_ptr<PayTableHeaderViewExpandDelegate> d, bool expand) {
  return initWithFlagImgName("icon_no_card.png", kNoCardRePayTitle, std::move(d), expand);
}

std::shared_ptr<PayTableHeaderView> PayTableHeaderView::swipeRePayTableHeaderView(
    std::weak_ptr<PayTableHeaderViewExpandDelegate> d, bool expand) {
  auto header = swipePayTableHeaderView(std::move(d), expand);
  header->payTitleLb_->setText(kSwipeRePayTitle);
  return header;
}

void PayTableHeaderView::setIsExpand(bool expand) {
  isExpand_ = expand;
  payTitleLb_->setTextColor(expand ? Color::white() : Color::black());
  currentBackgroundName_ = expand ? "w_payment_wallet_arrow_selected.png" : "w_payment_wallet_arrow_normal.png";
  setBackgroundImage(platform::ui::Image::named(currentBackgroundName_));
  currentFlagImgName_ = expand ? text::pathAppendBeforeExtension(flagImgName_, "_selected") : flagImgName_;
  payFlagImgView_->setImage(platform::ui::Image::named(currentFlagImgName_));
  leftMaskView_->setHidden(!expand);
  rightMaskView_->setHidden(!expand);
}

void PayTableHeaderView::onButtonPressed() {
  setIsExpand(!isExpand_);
  if (auto d = delegate_.lock()) d->onExpandStatusChanged(*this);
}

}  // namespace nvx
