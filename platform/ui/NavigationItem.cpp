#include "platform/ui/NavigationItem.h"

namespace platform::ui {

void NavigationItem::setTitle(std::string title) {
  title_ = std::move(title);
  changed();
}

void NavigationItem::setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item, bool) {
  left_ = std::move(item);
  changed();
}

void NavigationItem::setRightBarButtonItem(std::shared_ptr<BarButtonItem> item, bool) {
  right_ = std::move(item);
  changed();
}

void NavigationItem::setHidesBackButton(bool hides, bool) {
  hidesBack_ = hides;
  changed();
}

}  // namespace platform::ui
