// A view that shows part of a larger content: subviews are placed in content coordinates and
// the content offset is the bounds origin (a subview at y 600 is on screen once the offset is
// at least 600 - the view's height). It clips to its bounds, so touches reach only what shows.
//
// A program sets the offset at once (setContentOffset, not clamped, as on the phone); a
// simulated user scrolls with scrollTo / scrollBy: the offset is clamped to the content (the
// bounce comes back), snapped to whole pages when pagingEnabled, and the callbacks run in the
// platform's order: willBeginDragging, didScroll (when the offset moved), didEndDragging
// (decelerate = true), didEndDecelerating.
#pragma once
#include <functional>
#include <memory>

#include "platform/ui/View.h"

namespace platform::ui {

class ScrollView : public View {
 public:
  // Seconds an animated setContentOffset takes before didEndScrollingAnimation.
  static constexpr double kScrollAnimationSeconds = 0.3;

  explicit ScrollView(Rect frame = {});
  static std::shared_ptr<ScrollView> create(Rect frame = {});

  Size contentSize() const { return contentSize_; }
  void setContentSize(Size size) { contentSize_ = size; }
  Point contentOffset() const { return contentOffset_; }
  // Runs didScroll when the offset changes; animated: didEndScrollingAnimation follows after
  // kScrollAnimationSeconds of run-loop time.
  void setContentOffset(Point offset, bool animated = false);
  EdgeInsets contentInset() const { return contentInset_; }
  void setContentInset(EdgeInsets insets) { contentInset_ = insets; }
  // The offsets a user can reach: from (-left inset, -top inset) to the content's far edge
  // (content size + insets - view size), never below the near edge.
  Point minContentOffset() const;
  Point maxContentOffset() const;
  // Moves the offset the least so that the rectangle (content coordinates) shows, within the
  // reachable offsets.
  void scrollRectToVisible(Rect rect, bool animated);
  // The offset scrollRectToVisible would move to.
  Point offsetRevealing(Rect rect) const;

  bool isScrollEnabled() const { return scrollEnabled_; }
  void setScrollEnabled(bool on) { scrollEnabled_ = on; }
  bool isPagingEnabled() const { return pagingEnabled_; }
  void setPagingEnabled(bool on) { pagingEnabled_ = on; }
  // Stored only.
  bool bounces() const { return bounces_; }
  void setBounces(bool on) { bounces_ = on; }
  bool showsHorizontalScrollIndicator() const { return showsHorizontal_; }
  void setShowsHorizontalScrollIndicator(bool on) { showsHorizontal_ = on; }
  bool showsVerticalScrollIndicator() const { return showsVertical_; }
  void setShowsVerticalScrollIndicator(bool on) { showsVertical_ = on; }
  bool scrollsToTop() const { return scrollsToTop_; }
  void setScrollsToTop(bool on) { scrollsToTop_ = on; }

  // The delegate's events (each may be empty).
  std::function<void(ScrollView&)> didScroll;
  std::function<void(ScrollView&)> willBeginDragging;
  std::function<void(ScrollView&, bool decelerate)> didEndDragging;
  std::function<void(ScrollView&)> didEndDecelerating;
  std::function<void(ScrollView&)> didEndScrollingAnimation;

  // --- a simulated user ---
  // A drag that comes to rest at offset (clamped, snapped to pages). False when scrolling is
  // off or the view takes no touches.
  bool scrollTo(Point offset);
  bool scrollBy(double dx, double dy);

  Point boundsOrigin() const override { return contentOffset_; }
  std::string kind() const override { return "ScrollView"; }

 protected:
  // " content=WxH" and " offset=x,y" unless zero.
  void describeExtras(std::string& out) const override;
  Point clamp(Point offset) const;

 private:
  Size contentSize_;
  Point contentOffset_;
  EdgeInsets contentInset_;
  bool scrollEnabled_ = true;
  bool pagingEnabled_ = false;
  bool bounces_ = true;
  bool showsHorizontal_ = true;
  bool showsVertical_ = true;
  bool scrollsToTop_ = true;
  uint64_t animation_ = 0;
};

}  // namespace platform::ui
