// Alert constructors and dismissal shared by the client's screens. An alert that is shown keeps
// itself alive until dismissed; callers may drop what is returned.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/AlertView.h"

namespace nvx {

// A button that carries its own callback (which may be empty).
struct AlertButtonItem {
  std::string label;
  std::function<void()> action;
};

class AlertViewExt {
 public:
  // Not shown, no delegate: title, message, the cancel button and, in order, the other buttons.
  static std::shared_ptr<platform::ui::AlertView> alertTitle(std::string title, std::string msg,
                                                             std::optional<std::string> cancel);
  static std::shared_ptr<platform::ui::AlertView> alertTitle(std::string title, std::string msg,
                                                             std::optional<std::string> cancel,
                                                             std::vector<std::string> others);
  // Sets the delegate (not owned) and shows the alert.
  static void show(platform::ui::AlertView& alert, std::weak_ptr<platform::ui::AlertViewDelegate> delegate);

  // Shown: title, message and one button, the localized "Ok".
  static std::shared_ptr<platform::ui::AlertView> alertWithDelegate(std::weak_ptr<platform::ui::AlertViewDelegate> delegate,
                                                                    std::string title, std::string message);
  // Shown: title, message, a cancel button and one further button (either may be missing).
  static std::shared_ptr<platform::ui::AlertView> alertWithDelegate(std::weak_ptr<platform::ui::AlertViewDelegate> delegate,
                                                                    std::string title, std::string message,
                                                                    std::optional<std::string> cancel,
                                                                    std::optional<std::string> other);
  // Shown: buttons that run their own callbacks when tapped.
  static std::shared_ptr<platform::ui::AlertView> alertWithTitle(std::string title, std::string message,
                                                                 std::optional<AlertButtonItem> cancelButtonItem,
                                                                 std::optional<AlertButtonItem> otherButtonItem);
  // Shown: the localized "Cancel" runs cancelAction, the localized "Ok" runs commitAction.
  static std::shared_ptr<platform::ui::AlertView> alertWithTitle(std::string title, std::string message,
                                                                 std::function<void()> cancelAction,
                                                                 std::function<void()> commitAction);

  // In every window, the first alert among the window's direct subviews that carries the tag is
  // dismissed as if its button 0 had been tapped, without animation.
  static void dismissWithTag(int tag);
  // Every alert among the direct subviews of every window is dismissed the same way.
  static void dismissAll();
};

}  // namespace nvx
