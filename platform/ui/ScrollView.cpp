#include "platform/ui/ScrollView.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/RunLoop.h"
#include "platform/ui/MainThread.h"
#include "platform/ui/Touches.h"

namespace platform::ui {

ScrollView::ScrollView(Rect frame) : View(frame) { setClipsToBounds(true); }

std::shared_ptr<ScrollView> ScrollView::create(Rect frame) { return std::make_shared<ScrollView>(frame); }

Point ScrollView::minContentOffset() const { return Point{-contentInset_.left, -contentInset_.top}; }

Point ScrollView::maxContentOffset() const {
  Point lo = minContentOffset();
  return Point{std::max(lo.x, contentSize_.width + contentInset_.right - frame().width),
               std::max(lo.y, contentSize_.height + contentInset_.bottom - frame().height)};
}

Point ScrollView::clamp(Point offset) const {
  Point lo = minContentOffset();
  Point hi = maxContentOffset();
  return Point{std::clamp(offset.x, lo.x, hi.x), std::clamp(offset.y, lo.y, hi.y)};
}

void ScrollView::setContentOffset(Point offset, bool animated) {
  assertMainThread();
  auto keep = weak_from_this().lock();
  bool moved = offset != contentOffset_;
  contentOffset_ = offset;
  if (moved && didScroll) didScroll(*this);
  if (!animated) return;
  uint64_t run = ++animation_;
  std::weak_ptr<View> weak = weak_from_this();
  dispatchAfter(secs(kScrollAnimationSeconds), [weak, run] {
    auto self = std::static_pointer_cast<ScrollView>(weak.lock());
    if (!self || self->animation_ != run || !self->didEndScrollingAnimation) return;
    auto f = self->didEndScrollingAnimation;
    f(*self);
  });
}

void ScrollView::scrollRectToVisible(Rect rect, bool animated) {
  Point o = offsetRevealing(rect);
  if (o != contentOffset_) setContentOffset(o, animated);
}

Point ScrollView::offsetRevealing(Rect rect) const {
  Point o = contentOffset_;
  double w = frame().width;
  double h = frame().height;
  if (rect.maxX() > o.x + w) o.x = rect.maxX() - w;
  if (rect.x < o.x) o.x = rect.x;
  if (rect.maxY() > o.y + h) o.y = rect.maxY() - h;
  if (rect.y < o.y) o.y = rect.y;
  return clamp(o);
}

bool ScrollView::scrollTo(Point offset) {
  assertMainThread();
  if (!scrollEnabled_ || !Touches::reach(*this)) return false;
  auto keep = weak_from_this().lock();
  if (pagingEnabled_) {
    if (frame().width > 0) offset.x = std::round(offset.x / frame().width) * frame().width;
    if (frame().height > 0) offset.y = std::round(offset.y / frame().height) * frame().height;
  }
  offset = clamp(offset);
  if (willBeginDragging) willBeginDragging(*this);
  bool moved = offset != contentOffset_;
  contentOffset_ = offset;
  if (moved && didScroll) didScroll(*this);
  if (didEndDragging) didEndDragging(*this, true);
  if (didEndDecelerating) didEndDecelerating(*this);
  return true;
}

bool ScrollView::scrollBy(double dx, double dy) { return scrollTo(Point{contentOffset_.x + dx, contentOffset_.y + dy}); }

void ScrollView::describeExtras(std::string& out) const {
  out += " content=" + formatNumber(contentSize_.width) + "x" + formatNumber(contentSize_.height);
  if (contentOffset_ != Point{}) out += " offset=" + formatNumber(contentOffset_.x) + "," + formatNumber(contentOffset_.y);
}

}  // namespace platform::ui
