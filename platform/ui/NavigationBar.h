// The bar at the top of a navigation controller's view: the top screen's title, its left item
// (or the standard back button) and its right item.
#pragma once
#include <memory>
#include <string>

#include "platform/ui/View.h"

namespace platform::ui {

class NavigationBar : public View {
 public:
  static constexpr double kHeight = 44;
  static constexpr double kMargin = 5;

  explicit NavigationBar(Rect frame = {});

  const std::string& title() const { return title_; }
  void setTitle(std::string title) { title_ = std::move(title); }
  const std::shared_ptr<View>& leftView() const { return left_; }
  const std::shared_ptr<View>& rightView() const { return right_; }
  // Replaces the item views (nothing for none) and lays them out: the left one at the left
  // margin, the right one at the right margin, both centred vertically, sizes kept.
  void setItemViews(std::shared_ptr<View> left, std::shared_ptr<View> right);

  std::string kind() const override { return "NavigationBar"; }
  std::optional<std::string> displayText() const override;

 private:
  std::string title_;
  std::shared_ptr<View> left_;
  std::shared_ptr<View> right_;
};

}  // namespace platform::ui
