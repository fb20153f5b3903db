#include "pay/CardSwipeStatusView.h"

#include "platform/ui/Color.h"
#include "platform/ui/Image.h"

namespace nvx {

using platform::ui::Color;
namespace ControlEvent = platform::ui::ControlEvent;
using platform::ui::ControlState;
using platform::ui::Font;
using platform::ui::Rect;

std::shared_ptr<CardSwipeStatusView> CardSwipeStatusView::create(Rect frame,
                                                                 std::weak_ptr<CardSwipeStatusViewDelegate> delegate) {
  auto view = std::make_shared<CardSwipeStatusView>(frame);
  view->delegate_ = std::move(delegate);
  view->build();
  return view;
}

void CardSwipeStatusView::build() {
  cardTextField_ = platform::ui::TextField::create(Rect{0, 0, frame().width, frame().height});
  cardTextField_->setFont(Font::system(16));
  cardTextField_->setBackgroundColor(Color::clear());
  cardTextField_->setTextAlignment(platform::ui::TextAlignment::Left);
  cardTextField_->setContentVerticalAlignment(platform::ui::ContentVerticalAlignment::Center);
  cardTextField_->setEnabled(false);
  addSubview(cardTextField_);

  afreshSwipeButton_ = platform::ui::Button::create(Rect{216, 3, 65, 33});
  afreshSwipeButton_->setBackgroundImage(platform::ui::Image::named("reswipe-btn.png"));
  afreshSwipeButton_->setTitle(std::string(kAfreshSwipeTitle));
  afreshSwipeButton_->setTitleFont(Font::boldSystem(14));
  afreshSwipeButton_->setTitleColor(Color::gray(0.2), ControlState::Normal);
  afreshSwipeButton_->setTitleColor(Color::gray(0.6), ControlState::Disabled);
  std::weak_ptr<CardSwipeStatusView> weak = std::static_pointer_cast<CardSwipeStatusView>(shared_from_this());
  afreshSwipeButton_->addTarget(this, ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto self = weak.lock()) self->afreshSwipe();
  });
  afreshSwipeButton_->setHidden(true);
  addSubview(afreshSwipeButton_);
}

void CardSwipeStatusView::setText(std::string_view text) {
  text_ = std::string(text);
  cardTextField_->setText(text_);
}

SwipeAnimationView& CardSwipeStatusView::animation() {
  if (!swipeAnimationView_) {
    swipeAnimationView_ = SwipeAnimationView::create(Rect{200, 3, 80, 36}, {});
    addSubview(swipeAnimationView_);
  }
  return *swipeAnimationView_;
}

platform::ui::ActivityIndicatorView& CardSwipeStatusView::spinner() {
  if (!cardActivityIndicator_) {
    cardActivityIndicator_ = platform::ui::ActivityIndicatorView::create(platform::ui::ActivityIndicatorStyle::Gray);
    cardActivityIndicator_->setCenter(platform::ui::Point{10, 20});
    cardActivityIndicator_->startAnimating();
    addSubview(cardActivityIndicator_);
  }
  return *cardActivityIndicator_;
}

platform::ui::ImageView& CardSwipeStatusView::icon() {
  if (!cardStatusImageView_) {
    cardStatusImageView_ = platform::ui::ImageView::create(Rect{0, 10, 20, 20});
    addSubview(cardStatusImageView_);
  }
  return *cardStatusImageView_;
}

void CardSwipeStatusView::stopAnimationAndSpinner() {
  if (swipeAnimationView_) {
    swipeAnimationView_->stopAnimating();
    swipeAnimationView_->setHidden(true);
  }
  if (cardActivityIndicator_) {
    cardActivityIndicator_->setHidden(true);
    cardActivityIndicator_->stopAnimating();
  }
}

void CardSwipeStatusView::showButton() {
  afreshSwipeButton_->setEnabled(true);
  afreshSwipeButton_->setHidden(false);
}

void CardSwipeStatusView::beginSwipeWithPrompt(std::string_view prompt) {
  auto& a = animation();
  a.startAnimating();
  a.setHidden(false);
  if (cardActivityIndicator_) {
    cardActivityIndicator_->setHidden(true);
    cardActivityIndicator_->stopAnimating();
  }
  if (cardStatusImageView_) cardStatusImageView_->setHidden(true);
  afreshSwipeButton_->setHidden(true);
  setText(prompt);
}

void CardSwipeStatusView::startProcessingWithPrompt(std::string_view prompt) {
  if (swipeAnimationView_) {
    swipeAnimationView_->stopAnimating();
    swipeAnimationView_->setHidden(true);
  }
  auto& s = spinner();
  s.startAnimating();
  s.setHidden(false);
  if (cardStatusImageView_) cardStatusImageView_->setHidden(true);
  afreshSwipeButton_->setHidden(true);
  setText(std::string(kIconRoom) + std::string(prompt));
}

void CardSwipeStatusView::showIcon(const char* picture, std::string_view message) {
  stopAnimationAndSpinner();
  auto& i = icon();
  i.setHidden(false);
  i.setImage(platform::ui::Image::named(picture));
  showButton();
  setText(std::string(kIconRoom) + std::string(message));
}

void CardSwipeStatusView::stopWithWarningInfo(std::string_view message) { showIcon(kWarningPicture, message); }

void CardSwipeStatusView::stopWithErrorInfo(std::string_view message) { showIcon(kErrorPicture, message); }

void CardSwipeStatusView::stopWithTimeout() {
  if (swipeAnimationView_) swipeAnimationView_->stopAnimating();
  if (cardActivityIndicator_) cardActivityIndicator_->stopAnimating();
}

void CardSwipeStatusView::scusessWithCardNumber(std::string_view cardNumber) {
  stopAnimationAndSpinner();
  if (cardStatusImageView_) cardStatusImageView_->setHidden(true);
  showButton();
  setText(cardNumber);
}

void CardSwipeStatusView::setAImage() { animation().setOneStartImage(); }

void CardSwipeStatusView::afreshSwipe() {
  afreshSwipeButton_->setEnabled(false);
  if (auto d = delegate()) d->cardSwiperStatusViewAfreshSwipeButtonPressed(*this);
}

}  // namespace nvx
