// Alerts: a title, a message and buttons. Button indexes: the cancel button (when there is one)
// is 0 and the other buttons follow in order; without a cancel button the others start at 0.
//
// show() puts the alert in the alert window, a window above the application's windows that
// exists while any alert is shown (so Window::all() counts it then), and keeps the alert alive
// until it is dismissed: the caller need not hold it. A newer alert covers the older ones; they
// come back when it goes. Tapping a button, or dismissWithClickedButtonIndex, tells the
// delegate and the callbacks once: clicked (delegate, onClicked, the button's own callback),
// then the alert leaves, then did-dismiss (delegate, onDismissed).
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/View.h"

namespace platform::ui {

class AlertView;

class AlertViewDelegate {
 public:
  virtual ~AlertViewDelegate() = default;
  virtual void alertViewClickedButtonAtIndex(AlertView& alert, int index) {}
  virtual void alertViewDidDismissWithButtonIndex(AlertView& alert, int index) {}
};

class AlertView : public View {
 public:
  using Callback = std::function<void(AlertView&, int index)>;

  static constexpr double kWidth = 284;

  AlertView(std::string title, std::string message, std::optional<std::string> cancelTitle,
            std::vector<std::string> otherTitles);
  static std::shared_ptr<AlertView> create(std::string title, std::string message,
                                           std::optional<std::string> cancelTitle = std::nullopt,
                                           std::vector<std::string> otherTitles = {});

  const std::string& title() const { return title_; }
  void setTitle(std::string title) { title_ = std::move(title); }
  const std::string& message() const { return message_; }
  void setMessage(std::string message) { message_ = std::move(message); }
  // Adds a button after the others; its index.
  int addButton(std::string title);
  int numberOfButtons() const { return static_cast<int>(buttons_.size()); }
  // Empty for an index out of range.
  std::string buttonTitleAtIndex(int index) const;
  int cancelButtonIndex() const { return hasCancel_ ? 0 : -1; }
  // The index of the first button with this title.
  std::optional<int> indexOfButton(std::string_view title) const;

  // The delegate is not owned.
  void setDelegate(std::weak_ptr<AlertViewDelegate> delegate) { delegate_ = std::move(delegate); }
  void setOnClicked(Callback callback) { onClicked_ = std::move(callback); }
  void setOnDismissed(Callback callback) { onDismissed_ = std::move(callback); }
  // A callback of its own for one button (runs after the clicked callbacks).
  void setButtonCallback(int index, std::function<void()> callback);

  // Shows the alert (nothing when it is already shown).
  void show();
  // As if the button had been tapped: clicked, the alert leaves, did-dismiss. Nothing when the
  // alert is not shown. The animation is not modelled: the alert leaves at once.
  void dismissWithClickedButtonIndex(int index, bool animated);
  bool isVisible() const { return visible_; }

  // The alerts shown now, oldest first.
  static std::vector<std::shared_ptr<AlertView>> visible();
  // The newest alert shown, or nothing.
  static std::shared_ptr<AlertView> top();
  // Dismisses every alert shown as if its button 0 had been tapped, not animated.
  static void dismissAll();

  std::string kind() const override { return "AlertView"; }

 private:
  void layout();

  std::string title_;
  std::string message_;
  std::vector<std::string> buttons_;
  bool hasCancel_ = false;
  std::weak_ptr<AlertViewDelegate> delegate_;
  Callback onClicked_;
  Callback onDismissed_;
  std::map<int, std::function<void()>> buttonCallbacks_;
  bool visible_ = false;
};

}  // namespace platform::ui
