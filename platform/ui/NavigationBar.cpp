#include "platform/ui/NavigationBar.h"

namespace platform::ui {

NavigationBar::NavigationBar(Rect frame) : View(frame) {}

void NavigationBar::setItemViews(std::shared_ptr<View> left, std::shared_ptr<View> right) {
  if (left_ && left_ != left && left_->superview().get() == this) left_->removeFromSuperview();
  if (right_ && right_ != right && right_->superview().get() == this) right_->removeFromSuperview();
  left_ = std::move(left);
  right_ = std::move(right);
  double h = frame().height;
  if (left_) {
    Rect f = left_->frame();
    f.x = kMargin;
    f.y = (h - f.height) / 2;
    left_->setFrame(f);
    addSubview(left_);
  }
  if (right_) {
    Rect f = right_->frame();
    f.x = frame().width - kMargin - f.width;
    f.y = (h - f.height) / 2;
    right_->setFrame(f);
    addSubview(right_);
  }
}

std::optional<std::string> NavigationBar::displayText() const {
  if (title_.empty()) return std::nullopt;
  return title_;
}

}  // namespace platform::ui
