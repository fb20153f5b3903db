// Action sheets: a title and a column of buttons over a view. Button indexes follow the
// platform's order: the destructive button first (when there is one), then the others in order,
// the cancel button last (when there is one).
//
// showIn(view) covers the view's window (the view itself when it is in none) until a button is
// chosen; the sheet keeps itself alive while shown. Choosing a button tells the delegate and
// the callbacks once: clicked, then the sheet leaves, then did-dismiss.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/View.h"

namespace platform::ui {

class ActionSheet;

class ActionSheetDelegate {
 public:
  virtual ~ActionSheetDelegate() = default;
  virtual void actionSheetClickedButtonAtIndex(ActionSheet& sheet, int index) {}
  virtual void actionSheetDidDismissWithButtonIndex(ActionSheet& sheet, int index) {}
};

class ActionSheet : public View {
 public:
  using Callback = std::function<void(ActionSheet&, int index)>;

  ActionSheet(std::string title, std::optional<std::string> cancelTitle, std::optional<std::string> destructiveTitle,
              std::vector<std::string> otherTitles);
  static std::shared_ptr<ActionSheet> create(std::string title, std::optional<std::string> cancelTitle,
                                             std::optional<std::string> destructiveTitle = std::nullopt,
                                             std::vector<std::string> otherTitles = {});

  const std::string& title() const { return title_; }
  int numberOfButtons() const { return static_cast<int>(buttons_.size()); }
  std::string buttonTitleAtIndex(int index) const;   // empty out of range
  int cancelButtonIndex() const { return hasCancel_ ? numberOfButtons() - 1 : -1; }
  int destructiveButtonIndex() const { return hasDestructive_ ? 0 : -1; }
  std::optional<int> indexOfButton(std::string_view title) const;

  void setDelegate(std::weak_ptr<ActionSheetDelegate> delegate) { delegate_ = std::move(delegate); }
  void setOnClicked(Callback callback) { onClicked_ = std::move(callback); }
  void setOnDismissed(Callback callback) { onDismissed_ = std::move(callback); }

  void showIn(View& view);
  // The user chooses the button.
  void tap(int index) { dismissWithClickedButtonIndex(index, true); }
  // Nothing when the sheet is not shown. The animation is not modelled.
  void dismissWithClickedButtonIndex(int index, bool animated);
  bool isVisible() const { return visible_; }

  // The sheets shown now, oldest first.
  static std::vector<std::shared_ptr<ActionSheet>> visible();

  std::string kind() const override { return "ActionSheet"; }

 private:
  void layout(Rect hostBounds);

  std::string title_;
  std::vector<std::string> buttons_;
  bool hasCancel_ = false;
  bool hasDestructive_ = false;
  std::weak_ptr<ActionSheetDelegate> delegate_;
  Callback onClicked_;
  Callback onDismissed_;
  bool visible_ = false;
};

}  // namespace platform::ui
