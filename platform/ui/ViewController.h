// A screen: it owns a view tree, loaded on first use, and hears when it appears and disappears.
//
// Loading: view() runs loadView() (default: a plain view of the screen's bounds), then every
// process-wide view-loaded hook, then viewDidLoad(). Appearance: viewWillAppear /
// viewDidAppear / viewWillDisappear / viewDidDisappear are called by the window (root screen),
// the navigation controller (pushes and pops) and modal presentation, in the platform's order:
// the old screen's will-disappear, the new screen's will-appear, then did-disappear and
// did-appear (after the transition's animation time on the run loop when animated).
// Screens are shared objects; a controller's parent and presenter are known weakly.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/NavigationItem.h"
#include "platform/ui/View.h"

namespace platform::ui {

class NavigationController;

// Interface orientations, and their masks (1 << orientation).
enum class Orientation { Portrait = 1, PortraitUpsideDown = 2, LandscapeRight = 3, LandscapeLeft = 4 };
namespace OrientationMask {
inline constexpr int Portrait = 1 << 1;
inline constexpr int PortraitUpsideDown = 1 << 2;
inline constexpr int LandscapeRight = 1 << 3;
inline constexpr int LandscapeLeft = 1 << 4;
inline constexpr int Landscape = LandscapeLeft | LandscapeRight;
inline constexpr int All = Portrait | PortraitUpsideDown | Landscape;
inline constexpr int AllButUpsideDown = Portrait | Landscape;
}  // namespace OrientationMask
constexpr int maskOf(Orientation o) { return 1 << static_cast<int>(o); }

class ViewController : public std::enable_shared_from_this<ViewController> {
 public:
  // Seconds a push, pop, modal presentation or dismissal takes when animated.
  static constexpr double kTransitionSeconds = 0.35;

  enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };

  ViewController();
  // Runs the process-wide released hooks.
  virtual ~ViewController();
  ViewController(const ViewController&) = delete;
  ViewController& operator=(const ViewController&) = delete;

  // The screen's class name, exactly as the system names it.
  virtual std::string className() const = 0;

  // --- the view ---
  std::shared_ptr<View> view();            // loads it on first use
  bool isViewLoaded() const { return view_ != nullptr; }
  std::shared_ptr<View> viewIfLoaded() const { return view_; }
  void setView(std::shared_ptr<View> view) { view_ = std::move(view); }

  virtual void loadView();
  virtual void viewDidLoad() {}
  virtual void viewWillAppear(bool animated) {}
  virtual void viewDidAppear(bool animated) {}
  virtual void viewWillDisappear(bool animated) {}
  virtual void viewDidDisappear(bool animated) {}

  // Hooks that run for every screen of the process: after loadView and before viewDidLoad, and
  // from the destructor. A released hook gets the address of the screen being destroyed, to
  // compare with; it must not call into it.
  static void addViewLoadedHook(std::function<void(ViewController&)> hook);
  static void addReleasedHook(std::function<void(const ViewController*)> hook);

  // --- titles and containers ---
  const std::string& title() const { return title_; }
  void setTitle(std::string title);
  NavigationItem& navigationItem() { return navigationItem_; }
  const NavigationItem& navigationItem() const { return navigationItem_; }
  // The nearest navigation controller among the ancestors, or nothing.
  std::shared_ptr<NavigationController> navigationController() const;
  std::shared_ptr<ViewController> parentViewController() const { return parent_.lock(); }

  // --- modal screens (full screen, one at a time per presenting screen) ---
  // The presentation belongs to the top-most ancestor (the navigation controller of a pushed
  // screen): it disappears, vc appears in the same window on top. completion runs when the
  // transition has ended. Refused (logged) while something is already presented there.
  void presentModal(std::shared_ptr<ViewController> vc, bool animated, std::function<void()> completion = {});
  // Dismisses what this screen presents or, when it presents nothing, the presentation it is
  // part of.
  void dismissModal(bool animated, std::function<void()> completion = {});
  std::shared_ptr<ViewController> presentedViewController() const;
  std::shared_ptr<ViewController> presentingViewController() const;

  // --- rotation ---
  virtual bool shouldAutorotateTo(Orientation o) const { return o == Orientation::Portrait; }
  virtual bool shouldAutorotate() const { return true; }
  virtual int supportedOrientations() const { return OrientationMask::AllButUpsideDown; }

  // --- appearance (containers, the window and modal presentation drive these) ---
  // appearing: viewWillAppear (loading the view first), else viewWillDisappear; nothing when
  // the screen is already on its way there. Children (a navigation controller's top) follow.
  void beginAppearanceTransition(bool appearing, bool animated);
  // viewDidAppear / viewDidDisappear for the transition begun; children follow.
  void endAppearanceTransition();
  Appearance appearance() const { return appearance_; }
  bool isOnScreen() const { return appearance_ == Appearance::Appearing || appearance_ == Appearance::Appeared; }

 protected:
  // The screens that appear and disappear with this one.
  virtual std::vector<std::shared_ptr<ViewController>> appearanceChildren() const { return {}; }
  virtual void willBeginAppearanceTransition(bool appearing, bool animated) {}
  virtual void didBeginAppearanceTransition(bool appearing, bool animated) {}

  // A transition whose end runs once: from the run loop after the animation, or at once when
  // another transition of the same owner starts first.
  struct Transition {
    std::function<void()> end;
    bool done = false;
    void finish() {
      if (done) return;
      done = true;
      auto f = std::move(end);
      if (f) f();
    }
  };
  // Ends the owner's pending transition now (call before a new one begins).
  static void finishPending(std::shared_ptr<Transition>& slot);
  // Ends at once, or after kTransitionSeconds on the main run loop when animated.
  static void runTransition(std::shared_ptr<Transition>& slot, std::function<void()> end, bool animated);

 private:
  friend class NavigationController;
  std::shared_ptr<ViewController> hostController();

  std::shared_ptr<View> view_;
  bool loading_ = false;
  std::string title_;
  NavigationItem navigationItem_;
  std::weak_ptr<ViewController> parent_;
  std::shared_ptr<ViewController> presented_;
  std::weak_ptr<ViewController> presenting_;
  std::shared_ptr<Transition> modalTransition_;
  Appearance appearance_ = Appearance::Disappeared;
  bool lastAnimated_ = false;
};

}  // namespace platform::ui
