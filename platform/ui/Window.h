// Windows: the roots of view trees on the screen. A window starts hidden; makeKeyAndVisible
// shows it and makes it the key window. Its root screen's view fills the application frame
// (the screen less the status bar) at the back of the window. Windows of a higher level (alerts)
// lie above the others; among one level, the window shown last is on top.
#pragma once
#include <memory>
#include <vector>

#include "platform/ui/View.h"

namespace platform::ui {

class ViewController;

namespace WindowLevel {
inline constexpr int Normal = 0;
inline constexpr int Keyboard = 1000;   // the keyboard window (Keyboard.h)
inline constexpr int Alert = 2000;
}  // namespace WindowLevel

class Window : public View {
 public:
  // Registers the window with the process (see all()).
  explicit Window(Rect frame);
  // A window of the screen's bounds.
  static std::shared_ptr<Window> create();
  static std::shared_ptr<Window> create(Rect frame);
  ~Window() override;

  // The old root's view leaves, the new one's view goes in at the back; while the window is
  // visible the screens disappear and appear (not animated).
  void setRootViewController(std::shared_ptr<ViewController> vc);
  const std::shared_ptr<ViewController>& rootViewController() const { return root_; }

  void makeKeyAndVisible();
  void makeKeyWindow();
  bool isKeyWindow() const;
  bool isVisible() const { return !isHidden(); }
  // Showing a window puts it on top of its level and lets its root screen appear; hiding it
  // makes the root screen disappear.
  void setHidden(bool hidden) override;

  int windowLevel() const { return level_; }
  void setWindowLevel(int level) { level_ = level; }

  std::shared_ptr<View> firstResponder() const { return firstResponder_.lock(); }

  // The windows of the process in creation order.
  static std::vector<std::shared_ptr<Window>> all();
  static std::shared_ptr<Window> keyWindow();
  // Visible windows, bottom first.
  static std::vector<std::shared_ptr<Window>> visibleInOrder();
  // The view that takes a touch at a point of the screen: the top-most visible window that
  // contains the point answers.
  static std::shared_ptr<View> hitTestScreen(Point p);

  std::string kind() const override { return "Window"; }

 protected:
  void describeExtras(std::string& out) const override;

 private:
  friend class View;
  std::shared_ptr<ViewController> root_;
  std::weak_ptr<View> firstResponder_;
  int level_ = WindowLevel::Normal;
  uint64_t shownOrder_ = 0;
};

}  // namespace platform::ui
