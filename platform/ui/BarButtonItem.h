// An item of a navigation bar: a title with an action, or a custom view (usually a button with
// its own target-action).
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/View.h"

namespace platform::ui {

class BarButtonItem : public std::enable_shared_from_this<BarButtonItem> {
 public:
  using Action = std::function<void(BarButtonItem&)>;

  BarButtonItem() = default;
  static std::shared_ptr<BarButtonItem> withTitle(std::string title, Action action);
  static std::shared_ptr<BarButtonItem> withCustomView(std::shared_ptr<View> view);

  const std::string& title() const { return title_; }
  void setTitle(std::string title) { title_ = std::move(title); }
  const std::shared_ptr<View>& customView() const { return customView_; }
  void setCustomView(std::shared_ptr<View> view) { customView_ = std::move(view); }
  void setAction(Action action) { action_ = std::move(action); }
  bool isEnabled() const { return enabled_; }
  void setEnabled(bool on) { enabled_ = on; }
  int tag() const { return tag_; }
  void setTag(int tag) { tag_ = tag; }

  // Runs the action (a title item's tap); nothing when disabled or without an action.
  void trigger();

 private:
  std::string title_;
  std::shared_ptr<View> customView_;
  Action action_;
  bool enabled_ = true;
  int tag_ = 0;
};

}  // namespace platform::ui
