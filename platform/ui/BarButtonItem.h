// An item of a navigation bar or a toolbar: a title with an action, a custom view (usually a
// button with its own target-action), or one of the system's items (Done, Cancel, and the
// flexible and fixed spaces of a toolbar).
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/View.h"

namespace platform::ui {

enum class BarButtonSystemItem { Done, Cancel, FlexibleSpace, FixedSpace };
enum class BarButtonItemStyle { Plain, Bordered, Done };

class BarButtonItem : public std::enable_shared_from_this<BarButtonItem> {
 public:
  using Action = std::function<void(BarButtonItem&)>;

  BarButtonItem() = default;
  static std::shared_ptr<BarButtonItem> withTitle(std::string title, Action action);
  static std::shared_ptr<BarButtonItem> withTitle(std::string title, BarButtonItemStyle style, Action action);
  static std::shared_ptr<BarButtonItem> withCustomView(std::shared_ptr<View> view);
  // A system item: Done ("完成", Done style) and Cancel ("取消") carry the system's own titles
  // on the phone's Chinese system; a space carries no title and no action (a fixed space is
  // width points wide; 0 until set).
  static std::shared_ptr<BarButtonItem> withSystemItem(BarButtonSystemItem item, Action action = {});

  const std::string& title() const { return title_; }
  void setTitle(std::string title);
  const std::shared_ptr<View>& customView() const { return customView_; }
  void setCustomView(std::shared_ptr<View> view);
  void setAction(Action action) { action_ = std::move(action); }
  bool hasAction() const { return static_cast<bool>(action_); }
  bool isEnabled() const { return enabled_; }
  void setEnabled(bool on);
  int tag() const { return tag_; }
  void setTag(int tag) { tag_ = tag; }
  BarButtonItemStyle style() const { return style_; }
  void setStyle(BarButtonItemStyle style) { style_ = style; }
  const std::optional<BarButtonSystemItem>& systemItem() const { return systemItem_; }
  bool isSpace() const {
    return systemItem_ == BarButtonSystemItem::FlexibleSpace || systemItem_ == BarButtonSystemItem::FixedSpace;
  }
  // A fixed space's width, or a width a title item keeps at least (0 = its title's).
  double width() const { return width_; }
  void setWidth(double width);

  // Runs the action (a title item's tap); nothing when disabled or without an action.
  void trigger();

  // The bar showing the item is told to lay out again when the item changes (set by Toolbar).
  void setContainer(std::weak_ptr<View> container) { container_ = std::move(container); }

 private:
  void changed();

  std::string title_;
  std::shared_ptr<View> customView_;
  Action action_;
  bool enabled_ = true;
  int tag_ = 0;
  BarButtonItemStyle style_ = BarButtonItemStyle::Plain;
  std::optional<BarButtonSystemItem> systemItem_;
  double width_ = 0;
  std::weak_ptr<View> container_;
};

}  // namespace platform::ui
