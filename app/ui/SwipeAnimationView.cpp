#include "app/ui/SwipeAnimationView.h"

#include <cstdio>
#include <vector>

#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Image.h"

namespace nvx {

using platform::ui::Button;
using platform::ui::ButtonType;
using platform::ui::Control;
using platform::ui::Image;
using platform::ui::ImageView;
using platform::ui::Rect;

std::shared_ptr<SwipeAnimationView> SwipeAnimationView::create(Rect frame,
                                                               std::weak_ptr<SwipeAnimationViewDelegate> delegate) {
  auto view = std::make_shared<SwipeAnimationView>(frame);
  view->delegate_ = std::move(delegate);
  view->build();
  return view;
}

void SwipeAnimationView::build() {
  imageView_ = ImageView::create(bounds());
  imageView_->setImage(Image::named("011.png"));
  std::vector<Image> frames;
  for (int i = 1; i <= 10; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "%03d.png", i);
    if (auto picture = Image::named(name)) frames.push_back(*picture);
  }
  imageView_->setAnimationImages(std::move(frames));
  imageView_->setAnimationDuration(kRunSeconds);
  imageView_->setAnimationRepeatCount(1);
  addSubview(imageView_);

  button_ = Button::create(bounds(), ButtonType::Custom);
  std::weak_ptr<SwipeAnimationView> weak = std::static_pointer_cast<SwipeAnimationView>(shared_from_this());
  button_->addTarget(this, platform::ui::ControlEvent::TouchDown, [weak](Control&) {
    if (auto self = weak.lock()) self->buttonPressed();
  });
  addSubview(button_);
}

void SwipeAnimationView::startAnimating() {
  // One cycle at a time: a second start replaces the pending restart.
  platform::RunLoop::main().cancelAllFor(this);
  if (imageView_) {
    imageView_->setAnimationDuration(kRunSeconds);
    imageView_->setAnimationRepeatCount(1);
    imageView_->startAnimating();
  }
  // The restart holds the view weakly: once the view is released it finds nothing to restart.
  std::weak_ptr<SwipeAnimationView> weak = std::static_pointer_cast<SwipeAnimationView>(shared_from_this());
  platform::dispatchAfter(platform::secs(kCycleSeconds), [weak] {
    if (auto self = weak.lock()) self->startAnimating();
  }, this);
}

void SwipeAnimationView::stopAnimating() {
  if (imageView_) imageView_->stopAnimating();
  platform::RunLoop::main().cancelAllFor(this);
}

bool SwipeAnimationView::isAnimating() const { return imageView_ && imageView_->isAnimating(); }

void SwipeAnimationView::setOneStartImage() {
  if (imageView_) imageView_->setImage(Image::named("001.png"));
}

void SwipeAnimationView::buttonPressed() {
  if (auto delegate = delegate_.lock()) delegate->swipeAnimationViewDidPressed(*this);
}

}  // namespace nvx
