// A button that offers the address of a page in the shared edit menu: "手机浏览器打开" and
// "复制链接", each passed on to its delegate when the delegate answers it.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Button.h"

namespace nvx {

// The receiver of a PopMenuButton's menu. An operation left empty is one it does not answer.
class PopMenuButtonDelegate {
 public:
  virtual ~PopMenuButtonDelegate() = default;
  std::function<void()> onOpenUrlInSafari;
  std::function<void()> onCopyUrlToPasteboard;
};

// The process's one edit menu (the callout shown over a selected control): its items and
// whether it shows.
class EditMenuController {
 public:
  struct Item {
    std::string title;
    std::function<void()> action;
  };

  static EditMenuController& shared();

  const std::vector<std::shared_ptr<Item>>& menuItems() const { return items_; }
  void setMenuItems(std::vector<std::shared_ptr<Item>> items) { items_ = std::move(items); }
  bool isMenuVisible() const { return visible_; }
  void setMenuVisible(bool visible) { visible_ = visible; }

 private:
  std::vector<std::shared_ptr<Item>> items_;
  bool visible_ = false;
};

class PopMenuButton : public platform::ui::Button {
 public:
  static constexpr const char* kOpenInBrowserTitle = "手机浏览器打开";
  static constexpr const char* kCopyLinkTitle = "复制链接";

  explicit PopMenuButton(platform::ui::Rect frame = {});
  // initWithFrame: a button of the frame, then initilazied.
  static std::shared_ptr<PopMenuButton> create(platform::ui::Rect frame = {});
  // Hides the menu and forgets the delegate.
  ~PopMenuButton() override;

  // Makes the two menu items and installs them in the shared edit menu.
  void initilazied();
  bool canBecomeFirstResponder() const override { return true; }

  void onOpenUrlInSafari();
  void onCopyUrlToPasteboard();

  EditMenuController& popMenuController() const { return EditMenuController::shared(); }
  const std::shared_ptr<EditMenuController::Item>& openSafariItem() const { return openSafariItem_; }
  const std::shared_ptr<EditMenuController::Item>& urlCopyItem() const { return urlCopyItem_; }
  std::shared_ptr<PopMenuButtonDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<PopMenuButtonDelegate> delegate) { delegate_ = std::move(delegate); }

  std::string kind() const override { return "PopMenuButton"; }

 private:
  std::shared_ptr<EditMenuController::Item> openSafariItem_;
  std::shared_ptr<EditMenuController::Item> urlCopyItem_;
  std::weak_ptr<PopMenuButtonDelegate> delegate_;
};

}  // namespace nvx
