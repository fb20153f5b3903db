#include "platform/ui/NavigationController.h"

#include <gtest/gtest.h>

#include "platform/foundation/RunLoop.h"
#include "platform/ui/Button.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

using Log = std::vector<std::string>;

class Page : public ViewController {
 public:
  Page(std::string name, Log& log) : name_(std::move(name)), log_(log) { setTitle(name_); }
  std::string className() const override { return "Page"; }
  void viewDidLoad() override { log_.push_back(name_ + ".viewDidLoad"); }
  void viewWillAppear(bool a) override { log_.push_back(name_ + ".willAppear" + (a ? "(a)" : "")); }
  void viewDidAppear(bool a) override { log_.push_back(name_ + ".didAppear" + (a ? "(a)" : "")); }
  void viewWillDisappear(bool a) override { log_.push_back(name_ + ".willDisappear" + (a ? "(a)" : "")); }
  void viewDidDisappear(bool a) override { log_.push_back(name_ + ".didDisappear" + (a ? "(a)" : "")); }

 private:
  std::string name_;
  Log& log_;
};

class NavigationControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = Window::create();
    root = std::make_shared<Page>("R", log);
    nav = NavigationController::create(root);
    nav->setWillShow([this](NavigationController&, ViewController& vc, bool) { log.push_back("willShow:" + vc.title()); });
    window->setRootViewController(nav);
    window->makeKeyAndVisible();
  }
  std::shared_ptr<Page> page(const std::string& name) { return std::make_shared<Page>(name, log); }

  Log log;
  std::shared_ptr<Window> window;
  std::shared_ptr<Page> root;
  std::shared_ptr<NavigationController> nav;
};

TEST_F(NavigationControllerTest, TheRootAppearsWithTheNavigationController) {
  EXPECT_EQ(log, (Log{"R.viewDidLoad", "R.willAppear", "willShow:R", "R.didAppear"}));
  EXPECT_EQ(nav->topViewController(), root);
  EXPECT_EQ(root->navigationController(), nav);
  EXPECT_EQ(root->view()->superview(), nav->view());
  EXPECT_EQ(root->view()->frame(), (Rect{0, 44, 320, 504}));
}

// A screen that covers the navigation view with a progress overlay while it loads: the overlay
// outlives the screen change it was shown in; the screens' own views come and go under it.
class CoveringPage : public ViewController {
 public:
  std::string className() const override { return "CoveringPage"; }
  void viewDidLoad() override {
    overlay = std::make_shared<View>(Rect{0, 0, 320, 568});
    navigationController()->view()->addSubview(overlay);
  }
  std::shared_ptr<View> overlay;
};

TEST_F(NavigationControllerTest, AnOverlayPutOverTheNavigationViewWhileAScreenLoadsStaysAboveIt) {
  for (bool animated : {false, true}) {
    auto covering = std::make_shared<CoveringPage>();
    nav->push(covering, animated);
    RunLoop::main().advance(1.0);
    ASSERT_TRUE(covering->overlay);
    const auto& subviews = nav->view()->subviews();
    const auto at = [&](const std::shared_ptr<View>& v) { return std::find(subviews.begin(), subviews.end(), v); };
    ASSERT_NE(at(covering->overlay), subviews.end()) << animated;
    EXPECT_LT(at(covering->view()), at(covering->overlay)) << animated;
    EXPECT_EQ(at(root->view()), subviews.end()) << "the screen underneath leaves";
    covering->overlay->removeFromSuperview();
    nav->pop(false);
    EXPECT_EQ(covering->view()->superview(), nullptr);
    EXPECT_EQ(root->view()->superview(), nav->view());
  }
}

TEST_F(NavigationControllerTest, PushAndPopWithoutAnimationCallEverythingAtOnce) {
  log.clear();
  auto a = page("A");
  nav->push(a, false);
  EXPECT_EQ(log, (Log{"R.willDisappear", "A.viewDidLoad", "A.willAppear", "willShow:A", "R.didDisappear",
                      "A.didAppear"}));
  EXPECT_EQ(nav->stack().size(), 2u);
  EXPECT_FALSE(nav->lastTransitionAnimated());
  EXPECT_EQ(a->view()->superview(), nav->view());
  EXPECT_EQ(root->view()->superview(), nullptr);

  log.clear();
  EXPECT_EQ(nav->pop(false), a);
  EXPECT_EQ(log, (Log{"A.willDisappear", "R.willAppear", "willShow:R", "A.didDisappear", "R.didAppear"}));
  EXPECT_EQ(a->navigationController(), nullptr);
  EXPECT_EQ(nav->pop(false), nullptr);   // the root stays
  EXPECT_EQ(nav->stack().size(), 1u);
}

TEST_F(NavigationControllerTest, AnimatedTransitionsCallTheDidCallbacksAfterTheAnimation) {
  log.clear();
  nav->push(page("A"), true);
  EXPECT_EQ(log, (Log{"R.willDisappear(a)", "A.viewDidLoad", "A.willAppear(a)", "willShow:A"}));
  EXPECT_TRUE(nav->lastTransitionAnimated());
  RunLoop::main().advance(ViewController::kTransitionSeconds - 0.001);
  EXPECT_EQ(log.size(), 4u);
  RunLoop::main().advance(0.001);
  EXPECT_EQ(log, (Log{"R.willDisappear(a)", "A.viewDidLoad", "A.willAppear(a)", "willShow:A", "R.didDisappear(a)",
                      "A.didAppear(a)"}));

  // A transition that starts while another runs ends the running one first.
  log.clear();
  nav->push(page("B"), true);
  nav->pop(true);
  EXPECT_EQ(log, (Log{"A.willDisappear(a)", "B.viewDidLoad", "B.willAppear(a)", "willShow:B", "A.didDisappear(a)",
                      "B.didAppear(a)", "B.willDisappear(a)", "A.willAppear(a)", "willShow:A"}));
  RunLoop::main().advance(ViewController::kTransitionSeconds);
  EXPECT_EQ(log.back(), "A.didAppear(a)");
  EXPECT_EQ(log[log.size() - 2], "B.didDisappear(a)");
}

TEST_F(NavigationControllerTest, PoppedScreensAreReleasedAfterTheirTransition) {
  std::weak_ptr<ViewController> weakA, weakB;
  {
    auto a = page("A");
    auto b = page("B");
    weakA = a;
    weakB = b;
    nav->push(a, false);
    nav->push(b, true);
    RunLoop::main().advance(1.0);
  }
  ASSERT_FALSE(weakB.expired());
  nav->pop(true);   // the result is dropped at once
  EXPECT_FALSE(weakB.expired());   // held until its did-disappear
  RunLoop::main().advance(ViewController::kTransitionSeconds);
  EXPECT_TRUE(weakB.expired());
  EXPECT_FALSE(weakA.expired());
  (void)nav->popToRoot(false);
  EXPECT_TRUE(weakA.expired());
}

TEST_F(NavigationControllerTest, PopToSkipsTheScreensBetween) {
  auto a = page("A"), b = page("B"), c = page("C");
  nav->push(a, false);
  nav->push(b, false);
  nav->push(c, false);
  log.clear();
  auto popped = nav->popTo(*a, false);
  EXPECT_EQ(popped, (std::vector<std::shared_ptr<ViewController>>{b, c}));
  EXPECT_EQ(log, (Log{"C.willDisappear", "A.willAppear", "willShow:A", "C.didDisappear", "A.didAppear"}));
  EXPECT_EQ(b->navigationController(), nullptr);
  EXPECT_TRUE(nav->popTo(*a, false).empty());   // already on top
  EXPECT_TRUE(nav->popTo(*c, false).empty());   // not in the stack
  nav->push(a, false);   // already in the stack: refused
  EXPECT_EQ(nav->stack().size(), 2u);
  EXPECT_EQ(nav->popToRoot(false), (std::vector<std::shared_ptr<ViewController>>{a}));
}

TEST_F(NavigationControllerTest, TheBarShowsTheTopScreensItemsAndItsBackButtonPops) {
  auto bar = nav->navigationBar();
  EXPECT_EQ(bar->title(), "R");
  EXPECT_EQ(bar->leftView(), nullptr);   // no back button at the root
  auto a = page("A");
  nav->push(a, false);
  EXPECT_EQ(bar->title(), "A");
  auto back = std::dynamic_pointer_cast<Button>(bar->leftView());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->currentTitle(), "R");   // the previous screen's title

  a->navigationItem().setTitle("Details");
  EXPECT_EQ(bar->title(), "Details");
  auto done = Button::create(Rect{0, 0, 50, 30});
  done->setTitle("Done");
  a->navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(done));
  EXPECT_EQ(bar->rightView(), done);
  EXPECT_EQ(done->frame(), (Rect{265, 7, 50, 30}));
  a->navigationItem().setHidesBackButton(true);
  EXPECT_EQ(bar->leftView(), nullptr);
  a->navigationItem().setHidesBackButton(false);

  Inspector inspector;
  ASSERT_TRUE(inspector.tap("R").isOk());
  RunLoop::main().advance(ViewController::kTransitionSeconds);
  EXPECT_EQ(nav->topViewController(), root);
  EXPECT_EQ(bar->rightView(), nullptr);

  nav->setNavigationBarHidden(true);
  EXPECT_TRUE(bar->isHidden());
  EXPECT_EQ(root->view()->frame(), (Rect{0, 0, 320, 548}));
}

TEST_F(NavigationControllerTest, TitleItemsRunTheirAction) {
  auto a = page("A");
  int taps = 0;
  a->navigationItem().setLeftBarButtonItem(BarButtonItem::withTitle("取消", [&](BarButtonItem&) { ++taps; }));
  nav->push(a, false);
  Inspector inspector;
  ASSERT_TRUE(inspector.tap("取消").isOk());
  EXPECT_EQ(taps, 1);
  EXPECT_EQ(nav->topViewController(), a);   // the custom left item replaced the back button
}

}  // namespace
}  // namespace platform::ui
