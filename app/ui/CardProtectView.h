// A busy cover: a grey spinner, started, centred at (160, (screen height - 64) / 2). The host
// gives the frame and the colour.
#pragma once
#include <memory>

#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/View.h"

namespace nvx {

class CardProtectView : public platform::ui::View {
 public:
  explicit CardProtectView(platform::ui::Rect frame) : View(frame) {}
  static std::shared_ptr<CardProtectView> create(platform::ui::Rect frame);

  const std::shared_ptr<platform::ui::ActivityIndicatorView>& activityView() const { return activityView_; }
  void setActivityView(std::shared_ptr<platform::ui::ActivityIndicatorView> view) { activityView_ = std::move(view); }

 private:
  std::shared_ptr<platform::ui::ActivityIndicatorView> activityView_;
};

}  // namespace nvx
