#include "platform/ui/ImageView.h"

#include "platform/foundation/RunLoop.h"
#include "platform/ui/MainThread.h"

namespace platform::ui {

ImageView::ImageView(Rect frame) : View(frame) { setUserInteractionEnabled(false); }

std::shared_ptr<ImageView> ImageView::create(Rect frame) { return std::make_shared<ImageView>(frame); }

std::shared_ptr<ImageView> ImageView::create(std::optional<Image> image) {
  Rect frame;
  if (image) frame = Rect{0, 0, image->size.width, image->size.height};
  auto view = std::make_shared<ImageView>(frame);
  view->setImage(std::move(image));
  return view;
}

void ImageView::startAnimating() {
  assertMainThread();
  if (frames_.empty() || animating_) return;
  animating_ = true;
  uint64_t run = ++run_;
  if (repeatCount_ == 0) return;
  double pass = duration_ > 0 ? duration_ : static_cast<double>(frames_.size()) / 30.0;
  std::weak_ptr<View> weak = weak_from_this();
  dispatchAfter(secs(pass * repeatCount_), [weak, run] {
    auto self = std::static_pointer_cast<ImageView>(weak.lock());
    if (self && self->run_ == run) self->animating_ = false;
  });
}

void ImageView::stopAnimating() {
  animating_ = false;
  ++run_;
}

void ImageView::describeExtras(std::string& out) const {
  if (image_) {
    if (!image_->name.empty()) {
      out += " image=" + image_->name;
    } else {
      out += " image=" + formatNumber(image_->size.width) + "x" + formatNumber(image_->size.height);
    }
  }
  if (animating_) out += " [animating]";
}

}  // namespace platform::ui
