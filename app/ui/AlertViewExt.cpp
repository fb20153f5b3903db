#include "app/ui/AlertViewExt.h"

#include "platform/foundation/Strings.h"
#include "platform/ui/Window.h"

namespace nvx {

namespace ui = platform::ui;

namespace {

// The alerts among the windows' direct subviews, window by window; with firstOnly, at most one
// per window. Collected before any is dismissed: dismissing changes the windows.
std::vector<std::shared_ptr<ui::AlertView>> windowAlerts(const std::function<bool(const ui::AlertView&)>& match,
                                                         bool firstOnly) {
  std::vector<std::shared_ptr<ui::AlertView>> found;
  for (const auto& window : ui::Window::all()) {
    for (const auto& sub : window->subviews()) {
      auto alert = std::dynamic_pointer_cast<ui::AlertView>(sub);
      if (!alert || !match(*alert)) continue;
      found.push_back(std::move(alert));
      if (firstOnly) break;
    }
  }
  return found;
}

}  // namespace

std::shared_ptr<ui::AlertView> AlertViewExt::alertTitle(std::string title, std::string msg,
                                                        std::optional<std::string> cancel) {
  return ui::AlertView::create(std::move(title), std::move(msg), std::move(cancel));
}

std::shared_ptr<ui::AlertView> AlertViewExt::alertTitle(std::string title, std::string msg,
                                                        std::optional<std::string> cancel,
                                                        std::vector<std::string> others) {
  return ui::AlertView::create(std::move(title), std::move(msg), std::move(cancel), std::move(others));
}

void AlertViewExt::show(ui::AlertView& alert, std::weak_ptr<ui::AlertViewDelegate> delegate) {
  alert.setDelegate(std::move(delegate));
  alert.show();
}

std::shared_ptr<ui::AlertView> AlertViewExt::alertWithDelegate(std::weak_ptr<ui::AlertViewDelegate> delegate,
                                                               std::string title, std::string message) {
  return alertWithDelegate(std::move(delegate), std::move(title), std::move(message),
                           platform::Strings::localized("Ok"), std::nullopt);
}

std::shared_ptr<ui::AlertView> AlertViewExt::alertWithDelegate(std::weak_ptr<ui::AlertViewDelegate> delegate,
                                                               std::string title, std::string message,
                                                               std::optional<std::string> cancel,
                                                               std::optional<std::string> other) {
  std::vector<std::string> others;
  if (other) others.push_back(std::move(*other));
  auto alert = ui::AlertView::create(std::move(title), std::move(message), std::move(cancel), std::move(others));
  show(*alert, std::move(delegate));
  return alert;
}

std::shared_ptr<ui::AlertView> AlertViewExt::alertWithTitle(std::string title, std::string message,
                                                            std::optional<AlertButtonItem> cancelButtonItem,
                                                            std::optional<AlertButtonItem> otherButtonItem) {
  std::optional<std::string> cancel;
  if (cancelButtonItem) cancel = cancelButtonItem->label;
  std::vector<std::string> others;
  if (otherButtonItem) others.push_back(otherButtonItem->label);
  auto alert = ui::AlertView::create(std::move(title), std::move(message), std::move(cancel), std::move(others));
  int index = 0;
  for (auto* item : {&cancelButtonItem, &otherButtonItem}) {
    if (!*item) continue;
    if ((*item)->action) alert->setButtonCallback(index, std::move((*item)->action));
    ++index;
  }
  alert->show();
  return alert;
}

std::shared_ptr<ui::AlertView> AlertViewExt::alertWithTitle(std::string title, std::string message,
                                                            std::function<void()> cancelAction,
                                                            std::function<void()> commitAction) {
  return alertWithTitle(std::move(title), std::move(message),
                        AlertButtonItem{platform::Strings::localized("Cancel"), std::move(cancelAction)},
                        AlertButtonItem{platform::Strings::localized("Ok"), std::move(commitAction)});
}

void AlertViewExt::dismissWithTag(int tag) {
  for (auto& alert : windowAlerts([tag](const ui::AlertView& a) { return a.tag() == tag; }, true)) {
    alert->dismissWithClickedButtonIndex(0, false);
  }
}

void AlertViewExt::dismissAll() {
  for (auto& alert : windowAlerts([](const ui::AlertView&) { return true; }, false)) {
    alert->dismissWithClickedButtonIndex(0, false);
  }
}

}  // namespace nvx
