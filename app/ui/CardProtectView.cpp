#include "app/ui/CardProtectView.h"

#include "platform/ui/Screen.h"

namespace nvx {

using platform::ui::ActivityIndicatorStyle;
using platform::ui::ActivityIndicatorView;

std::shared_ptr<CardProtectView> CardProtectView::create(platform::ui::Rect frame) {
  auto view = std::make_shared<CardProtectView>(frame);
  view->activityView_ = ActivityIndicatorView::create(ActivityIndicatorStyle::Gray);
  view->activityView_->setCenter(platform::ui::Point{160, (platform::ui::Screen::bounds().height - 64) / 2});
  view->activityView_->startAnimating();
  view->addSubview(view->activityView_);
  return view;
}

}  // namespace nvx
