// What a screen shows in the navigation bar while it is on top: a title, left and right items,
// and whether the standard back button is hidden.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/BarButtonItem.h"

namespace platform::ui {

class NavigationItem {
 public:
  NavigationItem() = default;
  NavigationItem(const NavigationItem&) = delete;
  NavigationItem& operator=(const NavigationItem&) = delete;

  // Empty: the bar shows the screen's title.
  const std::string& title() const { return title_; }
  void setTitle(std::string title);
  const std::shared_ptr<BarButtonItem>& leftBarButtonItem() const { return left_; }
  void setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item, bool animated = false);
  const std::shared_ptr<BarButtonItem>& rightBarButtonItem() const { return right_; }
  void setRightBarButtonItem(std::shared_ptr<BarButtonItem> item, bool animated = false);
  bool hidesBackButton() const { return hidesBack_; }
  void setHidesBackButton(bool hides, bool animated = false);

 private:
  friend class NavigationController;
  friend class ViewController;
  void changed() {
    if (auto f = onChange_) f();
  }

  std::string title_;
  std::shared_ptr<BarButtonItem> left_;
  std::shared_ptr<BarButtonItem> right_;
  bool hidesBack_ = false;
  std::function<void()> onChange_;   // set by the navigation controller that shows the item
};

}  // namespace platform::ui
