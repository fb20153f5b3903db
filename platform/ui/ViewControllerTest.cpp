#include "platform/ui/ViewController.h"

#include <gtest/gtest.h>

#include "platform/foundation/RunLoop.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "platform/testing/Testing.h"

namespace platform::ui {
namespace {

// A screen that writes what happens to it into a shared log.
class Screen1 : public ViewController {
 public:
  Screen1(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
  std::string className() const override { return "Screen1"; }
  void loadView() override {
    log_.push_back(name_ + ".loadView");
    ViewController::loadView();
  }
  void viewDidLoad() override {
    log_.push_back(name_ + ".viewDidLoad");
    view()->addSubview(Label::create({0, 0, 100, 20}, name_));
  }
  void viewWillAppear(bool a) override { log_.push_back(name_ + ".willAppear" + (a ? "(a)" : "")); }
  void viewDidAppear(bool a) override { log_.push_back(name_ + ".didAppear" + (a ? "(a)" : "")); }
  void viewWillDisappear(bool a) override { log_.push_back(name_ + ".willDisappear" + (a ? "(a)" : "")); }
  void viewDidDisappear(bool a) override { log_.push_back(name_ + ".didDisappear" + (a ? "(a)" : "")); }

 private:
  std::string name_;
  std::vector<std::string>& log_;
};

using Log = std::vector<std::string>;

TEST(ViewController, ViewLoadsOnceOnFirstUseWithTheHooksBeforeViewDidLoad) {
  Log log;
  ViewController::addViewLoadedHook([&](ViewController& vc) { log.push_back("hook:" + vc.className()); });
  auto s = std::make_shared<Screen1>("A", log);
  EXPECT_FALSE(s->isViewLoaded());
  EXPECT_TRUE(log.empty());
  auto v = s->view();
  EXPECT_TRUE(s->isViewLoaded());
  EXPECT_EQ(s->view(), v);
  EXPECT_EQ(v->frame(), Screen::bounds());   // the default view
  EXPECT_EQ(log, (Log{"A.loadView", "hook:Screen1", "A.viewDidLoad"}));
}

TEST(ViewController, ReleasedHooksRunWhenTheScreenGoes) {
  Log log;
  std::vector<const ViewController*> released;
  ViewController::addReleasedHook([&](const ViewController* vc) { released.push_back(vc); });
  auto s = std::make_shared<Screen1>("A", log);
  const ViewController* address = s.get();
  s.reset();
  EXPECT_EQ(released, (std::vector<const ViewController*>{address}));
}

TEST(ViewController, RootScreenAppearsWhenTheWindowIsShown) {
  Log log;
  auto window = Window::create();
  auto s = std::make_shared<Screen1>("A", log);
  window->setRootViewController(s);
  EXPECT_EQ(log, (Log{"A.loadView", "A.viewDidLoad"}));   // not yet visible
  window->makeKeyAndVisible();
  EXPECT_EQ(log, (Log{"A.loadView", "A.viewDidLoad", "A.willAppear", "A.didAppear"}));
  ASSERT_EQ(window->subviews().size(), 1u);
  EXPECT_EQ(window->subviews()[0], s->view());
  EXPECT_EQ(s->view()->frame(), (Rect{0, 20, 320, 548}));   // below the status bar
}

TEST(ViewController, RootViewGoesBehindWhatTheWindowAlreadyHolds) {
  Log log;
  auto window = Window::create();
  auto splash = View::create(Screen::bounds());
  splash->setTag(50785);
  window->addSubview(splash);
  window->makeKeyAndVisible();
  window->setRootViewController(std::make_shared<Screen1>("A", log));
  ASSERT_EQ(window->subviews().size(), 2u);
  EXPECT_EQ(window->subviews().back(), splash);
}

TEST(ViewController, ModalPresentationAndDismissal) {
  Log log;
  auto window = Window::create();
  auto root = std::make_shared<Screen1>("A", log);
  window->setRootViewController(root);
  window->makeKeyAndVisible();
  log.clear();
  std::weak_ptr<ViewController> weakModal;
  int presented = 0;
  {
    auto modal = std::make_shared<Screen1>("M", log);
    weakModal = modal;
    root->presentModal(modal, true, [&] { ++presented; });
  }
  EXPECT_EQ(log, (Log{"A.willDisappear(a)", "M.loadView", "M.viewDidLoad", "M.willAppear(a)"}));
  EXPECT_EQ(root->presentedViewController(), weakModal.lock());
  EXPECT_EQ(weakModal.lock()->presentingViewController(), root);
  RunLoop::main().advance(ViewController::kTransitionSeconds - 0.01);
  EXPECT_EQ(presented, 0);
  RunLoop::main().advance(0.01);
  EXPECT_EQ(presented, 1);
  EXPECT_EQ(log.back(), "M.didAppear(a)");
  ASSERT_EQ(window->subviews().size(), 1u);   // the covered screen's view left the window
  EXPECT_EQ(window->subviews()[0], weakModal.lock()->view());

  // A second presentation over the first is refused.
  auto other = std::make_shared<Screen1>("X", log);
  root->presentModal(other, false);
  EXPECT_EQ(root->presentedViewController(), weakModal.lock());

  log.clear();
  weakModal.lock()->dismissModal(false);
  EXPECT_EQ(log, (Log{"M.willDisappear", "A.willAppear", "M.didDisappear", "A.didAppear"}));
  EXPECT_EQ(root->presentedViewController(), nullptr);
  ASSERT_EQ(window->subviews().size(), 1u);
  EXPECT_EQ(window->subviews()[0], root->view());
  EXPECT_TRUE(weakModal.expired());
}

TEST(ViewControllerRelease, ScreensInATransitionThatNeverEndsAreStillReleased) {
  Log log;
  std::weak_ptr<ViewController> weakRoot, weakModal, weakNav, weakPushed;
  {
    auto window = Window::create();
    auto root = std::make_shared<Screen1>("A", log);
    window->setRootViewController(root);
    window->makeKeyAndVisible();
    auto modal = std::make_shared<Screen1>("M", log);
    auto nav = NavigationController::create(std::make_shared<Screen1>("N", log));
    root->presentModal(nav, true);
    RunLoop::main().advance(1.0);
    auto pushed = std::make_shared<Screen1>("P", log);
    nav->push(pushed, true);   // both transitions are still running when the run ends
    nav->presentModal(modal, true);
    weakRoot = root;
    weakModal = modal;
    weakNav = nav;
    weakPushed = pushed;
  }
  platform::testing::restart();   // the run loop goes with its timers
  EXPECT_TRUE(weakRoot.expired());
  EXPECT_TRUE(weakModal.expired());
  EXPECT_TRUE(weakNav.expired());
  EXPECT_TRUE(weakPushed.expired());
}

}  // namespace
}  // namespace platform::ui
