// A stack of screens with a navigation bar. The top screen's view fills the controller's view
// below the bar (all of it while the bar is hidden).
//
// push / pop / popTo / popToRoot change the stack at once. While the controller is on screen the
// old top gets viewWillDisappear and the new top viewWillAppear, then the willShow callback runs
// and the new top's view replaces the old one; viewDidDisappear and viewDidAppear follow after
// kTransitionSeconds on the main run loop when animated, at once otherwise. A transition that is
// still running when the next one starts ends first. Popped screens are let go when their
// transition has ended: they live on only if someone else holds them.
#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/NavigationBar.h"
#include "platform/ui/ViewController.h"

namespace platform::ui {

class NavigationController : public ViewController {
 public:
  using WillShow = std::function<void(NavigationController&, ViewController& shown, bool animated)>;

  NavigationController() = default;
  static std::shared_ptr<NavigationController> create(std::shared_ptr<ViewController> root);

  std::string className() const override { return "NavigationController"; }
  void loadView() override;

  // Replaces the whole stack (null and repeated screens are skipped).
  void setViewControllers(std::vector<std::shared_ptr<ViewController>> stack, bool animated);
  // Refused (logged) for a screen that already has a parent or is presented.
  void push(std::shared_ptr<ViewController> vc, bool animated);
  // The popped screen; nothing at the root.
  std::shared_ptr<ViewController> pop(bool animated);
  // Pops the screens above vc; nothing when vc is not in the stack.
  std::vector<std::shared_ptr<ViewController>> popTo(const ViewController& vc, bool animated);
  std::vector<std::shared_ptr<ViewController>> popToRoot(bool animated);

  const std::vector<std::shared_ptr<ViewController>>& stack() const { return stack_; }
  std::shared_ptr<ViewController> topViewController() const;
  // The screen presented by this controller, else the top screen.
  std::shared_ptr<ViewController> visibleViewController() const;
  // The animated flag of the last push or pop.
  bool lastTransitionAnimated() const { return lastAnimated_; }

  bool isNavigationBarHidden() const { return barHidden_; }
  void setNavigationBarHidden(bool hidden, bool animated = false);
  std::shared_ptr<NavigationBar> navigationBar();   // loads the view

  // Called before a screen is shown (after the appearance callbacks have begun).
  void setWillShow(WillShow callback) { willShow_ = std::move(callback); }

 protected:
  std::vector<std::shared_ptr<ViewController>> appearanceChildren() const override;
  void willBeginAppearanceTransition(bool appearing, bool animated) override;
  void didBeginAppearanceTransition(bool appearing, bool animated) override;

 private:
  std::weak_ptr<NavigationController> weakSelf();
  void adopt(const std::shared_ptr<ViewController>& vc);
  void transition(std::shared_ptr<ViewController> from, std::shared_ptr<ViewController> to, bool animated,
                  std::vector<std::shared_ptr<ViewController>> released);
  Rect contentFrame() const;
  void installTopView();
  void updateBar();

  std::vector<std::shared_ptr<ViewController>> stack_;
  std::shared_ptr<NavigationBar> bar_;
  // The screen view installTopView put in last; overlays others add beside it stay.
  std::weak_ptr<View> installedView_;
  std::shared_ptr<Transition> pending_;
  WillShow willShow_;
  bool barHidden_ = false;
  bool lastAnimated_ = false;
};

}  // namespace platform::ui
