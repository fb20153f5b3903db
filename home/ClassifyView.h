// The tab bar of the applications list: one tab per group title across the width, the selected
// tab raised and white. A tap on another tab selects it and tells the delegate its number; the
// selected tab takes no taps.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Button.h"
#include "platform/ui/View.h"

namespace nvx {

class ClassifyView : public platform::ui::View {
 public:
  static constexpr double kWidth = 320;
  static constexpr double kTabHeight = 43;

  explicit ClassifyView(platform::ui::Rect frame);
  static std::shared_ptr<ClassifyView> initWithFrame(platform::ui::Rect frame, const std::vector<std::string>& titles);

  // selectTheClassify: the tab's number.
  std::function<void(unsigned tab)> delegate;

  const std::vector<std::shared_ptr<platform::ui::Button>>& btArray() const { return btArray_; }
  // A tap on a tab button.
  void selectClassify(platform::ui::Button& button);

 private:
  std::vector<std::shared_ptr<platform::ui::Button>> btArray_;
};

}  // namespace nvx
