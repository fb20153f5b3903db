// The load-more footer of paged lists: a grey spinner at (80, 10) and "加载更多..." beside it.
// While not loading only the spinner hides; the text stays.
#pragma once
#include <memory>

#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/View.h"

namespace nvx {

class LoadingActivityView : public platform::ui::View {
 public:
  explicit LoadingActivityView(platform::ui::Rect frame) : View(frame) {}
  static std::shared_ptr<LoadingActivityView> create(platform::ui::Rect frame);

  bool loading() const { return loading_; }
  // Shows the spinner while loading, hides it otherwise.
  void setLoading(bool loading);
  const std::shared_ptr<platform::ui::ActivityIndicatorView>& activityIndicatorView() const {
    return activityIndicatorView_;
  }

 private:
  void build();

  std::shared_ptr<platform::ui::ActivityIndicatorView> activityIndicatorView_;
  bool loading_ = false;
};

}  // namespace nvx
