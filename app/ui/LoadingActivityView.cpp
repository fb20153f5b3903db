#include "app/ui/LoadingActivityView.h"

#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

namespace nvx {

using platform::ui::ActivityIndicatorStyle;
using platform::ui::ActivityIndicatorView;
using platform::ui::Color;
using platform::ui::Label;
using platform::ui::Rect;

std::shared_ptr<LoadingActivityView> LoadingActivityView::create(Rect frame) {
  auto view = std::make_shared<LoadingActivityView>(frame);
  view->build();
  return view;
}

void LoadingActivityView::build() {
  setBackgroundColor(Color::clear());
  activityIndicatorView_ = ActivityIndicatorView::create(ActivityIndicatorStyle::Gray);
  activityIndicatorView_->setFrame(Rect{80, 10, 20, 20});
  activityIndicatorView_->startAnimating();
  addSubview(activityIndicatorView_);

  auto label = Label::create(Rect{110, 10, 100, 20}, "加载更多...");
  label->setTextAlignment(platform::ui::TextAlignment::Center);
  label->setFont(platform::ui::Font::boldSystem(18));
  label->setBackgroundColor(Color::clear());
  addSubview(label);
}

void LoadingActivityView::setLoading(bool loading) {
  loading_ = loading;
  if (activityIndicatorView_) activityIndicatorView_->setHidden(!loading);
}

}  // namespace nvx
