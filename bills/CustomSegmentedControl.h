// A strip of picture tabs, 75 x 30 each, one selected (blue) at a time. A touch tells the
// delegate first, then selects the tab; selecting from code tells nobody.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Button.h"
#include "platform/ui/View.h"

namespace nvx {

class CustomSegmentedControl;

class CustomSegmentedControlDelegate {
 public:
  virtual ~CustomSegmentedControlDelegate() = default;
  virtual void customSegmentedControl(CustomSegmentedControl& control, int index) = 0;
};

class CustomSegmentedControl : public platform::ui::View {
 public:
  static constexpr double kTabWidth = 75;
  static constexpr double kTabHeight = 30;
  static constexpr int kTitleTag = 10031;

  // The frame's origin is used; the size follows from the number of titles. Tab 0 is selected.
  static std::shared_ptr<CustomSegmentedControl> initWithFrame(platform::ui::Rect frame,
                                                               const std::vector<std::string>& titles);

  void setSelectAtIndex(int index);
  void deSelectedAll();

  const std::vector<std::shared_ptr<platform::ui::Button>>& allItems() const { return allItems_; }
  std::shared_ptr<CustomSegmentedControlDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<CustomSegmentedControlDelegate> delegate) { delegate_ = std::move(delegate); }
  // The tab shown selected (its label white).
  int selectedIndex() const { return selected_; }

 private:
  using View::View;
  void tabTouched(int index);
  void paint(int index, bool selected);

  std::vector<std::shared_ptr<platform::ui::Button>> allItems_;
  std::weak_ptr<CustomSegmentedControlDelegate> delegate_;
  int selected_ = -1;
};

}  // namespace nvx
