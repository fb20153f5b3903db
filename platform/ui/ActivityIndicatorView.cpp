#include "platform/ui/ActivityIndicatorView.h"

namespace platform::ui {
namespace {

double sideOf(ActivityIndicatorStyle style) { return style == ActivityIndicatorStyle::WhiteLarge ? 37 : 20; }

}  // namespace

ActivityIndicatorView::ActivityIndicatorView(ActivityIndicatorStyle style)
    : View(Rect{0, 0, sideOf(style), sideOf(style)}), style_(style) {
  View::setHidden(true);
}

std::shared_ptr<ActivityIndicatorView> ActivityIndicatorView::create(ActivityIndicatorStyle style) {
  return std::make_shared<ActivityIndicatorView>(style);
}

void ActivityIndicatorView::setStyle(ActivityIndicatorStyle style) {
  style_ = style;
  Rect f = frame();
  f.width = f.height = sideOf(style);
  setFrame(f);
}

void ActivityIndicatorView::setHidesWhenStopped(bool on) {
  hidesWhenStopped_ = on;
  if (!animating_) setHidden(on);
}

void ActivityIndicatorView::startAnimating() {
  animating_ = true;
  setHidden(false);
}

void ActivityIndicatorView::stopAnimating() {
  animating_ = false;
  if (hidesWhenStopped_) setHidden(true);
}

void ActivityIndicatorView::describeExtras(std::string& out) const {
  if (animating_) out += " [animating]";
}

}  // namespace platform::ui
