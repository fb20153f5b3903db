#include "platform/ui/BarButtonItem.h"

namespace platform::ui {

std::shared_ptr<BarButtonItem> BarButtonItem::withTitle(std::string title, Action action) {
  auto item = std::make_shared<BarButtonItem>();
  item->title_ = std::move(title);
  item->action_ = std::move(action);
  return item;
}

std::shared_ptr<BarButtonItem> BarButtonItem::withTitle(std::string title, BarButtonItemStyle style, Action action) {
  auto item = withTitle(std::move(title), std::move(action));
  item->style_ = style;
  return item;
}

std::shared_ptr<BarButtonItem> BarButtonItem::withCustomView(std::shared_ptr<View> view) {
  auto item = std::make_shared<BarButtonItem>();
  item->customView_ = std::move(view);
  return item;
}

std::shared_ptr<BarButtonItem> BarButtonItem::withSystemItem(BarButtonSystemItem system, Action action) {
  auto item = std::make_shared<BarButtonItem>();
  item->systemItem_ = system;
  switch (system) {
    case BarButtonSystemItem::Done:
      item->title_ = "完成";
      item->style_ = BarButtonItemStyle::Done;
      break;
    case BarButtonSystemItem::Cancel:
      item->title_ = "取消";
      item->style_ = BarButtonItemStyle::Bordered;
      break;
    case BarButtonSystemItem::FlexibleSpace:
    case BarButtonSystemItem::FixedSpace:
      return item;   // spaces take no action
  }
  item->action_ = std::move(action);
  return item;
}

void BarButtonItem::setTitle(std::string title) {
  title_ = std::move(title);
  changed();
}

void BarButtonItem::setCustomView(std::shared_ptr<View> view) {
  customView_ = std::move(view);
  changed();
}

void BarButtonItem::setEnabled(bool on) {
  enabled_ = on;
  changed();
}

void BarButtonItem::setWidth(double width) {
  width_ = width < 0 ? 0 : width;
  changed();
}

void BarButtonItem::changed() {
  if (auto c = container_.lock()) c->setNeedsLayout();
}

void BarButtonItem::trigger() {
  if (!enabled_ || !action_) return;
  auto keep = weak_from_this().lock();
  auto action = action_;   // the action may replace itself
  action(*this);
}

}  // namespace platform::ui
