#include "platform/ui/BarButtonItem.h"

namespace platform::ui {

std::shared_ptr<BarButtonItem> BarButtonItem::withTitle(std::string title, Action action) {
  auto item = std::make_shared<BarButtonItem>();
  item->title_ = std::move(title);
  item->action_ = std::move(action);
  return item;
}

std::shared_ptr<BarButtonItem> BarButtonItem::withCustomView(std::shared_ptr<View> view) {
  auto item = std::make_shared<BarButtonItem>();
  item->customView_ = std::move(view);
  return item;
}

void BarButtonItem::trigger() {
  if (!enabled_ || !action_) return;
  auto keep = weak_from_this().lock();
  auto action = action_;   // the action may replace itself
  action(*this);
}

}  // namespace platform::ui
