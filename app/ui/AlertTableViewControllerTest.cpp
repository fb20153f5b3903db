// AlertTableViewController: the box's layout with two, one or no buttons, and its life on screen
// from showAlert to the end of dismiss.
#include "app/ui/AlertTableViewController.h"

#include <gtest/gtest.h>

#include "core/shell/AppServices.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::ui::Button;
using platform::ui::Rect;
using platform::ui::View;

std::shared_ptr<Button> button(const std::string& title) {
  auto b = Button::create(Rect{0, 0, 120, 40});
  b->setTitle(title);
  return b;
}

TEST(AlertTableViewControllerTest, ButtonsSitFivePointsAboveTheBottomEdge) {
  struct Case {
    const char* what;
    bool cancel;
    bool other;
    std::vector<Rect> frames;   // of the buttons given, in order
  };
  // A 280 x 150 content: the box is (20, 80, 280, 245); buttons 40 high end at 240.
  const Case cases[] = {
      {"both", true, true, {{10, 200, 120, 40}, {150, 200, 120, 40}}},
      {"cancel alone", true, false, {{80, 200, 120, 40}}},
      {"other alone", false, true, {{80, 200, 120, 40}}},
      {"none", false, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto content = View::create(Rect{0, 0, 280, 150});
    auto cancel = c.cancel ? button("取消") : nullptr;
    auto other = c.other ? button("确定") : nullptr;
    auto box = AlertTableViewController::initWithView(content, "选择", cancel, other);
    EXPECT_EQ(box->frame(), (Rect{20, 80, 280, 245}));
    EXPECT_EQ(content->frame(), (Rect{0, 41, 280, 150}));
    EXPECT_EQ(content->superview(), box);
    EXPECT_TRUE(box->clipsToBounds());
    EXPECT_EQ(box->layer().cornerRadius, 7);
    EXPECT_EQ(box->backgroundColor(), platform::ui::Color::white());
    std::vector<Rect> frames;
    for (const auto& sub : box->subviews()) {
      if (auto b = std::dynamic_pointer_cast<Button>(sub)) frames.push_back(b->frame());
    }
    EXPECT_EQ(frames, c.frames);

    auto bar = std::dynamic_pointer_cast<platform::ui::ImageView>(box->subviews().front());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->frame(), (Rect{0, 0, 280, 41}));
    auto label = bar->findSubview<platform::ui::Label>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "选择");
    EXPECT_EQ(label->frame(), (Rect{0, 0, 280, 41}));
    EXPECT_EQ(label->font(), platform::ui::Font::boldSystem(20));
    EXPECT_EQ(label->textColor(), platform::ui::Color::white());
    EXPECT_EQ(label->textAlignment(), platform::ui::TextAlignment::Center);
  }
}

class Stack : public AppServices {
 public:
  std::shared_ptr<platform::ui::NavigationController> navigationController() override { return nav; }
  std::shared_ptr<platform::ui::NavigationController> nav;
};

class Root : public platform::ui::ViewController {
 public:
  std::string className() const override { return "Root"; }
};

TEST(AlertTableViewControllerTest, ShownOverTheNavigationStackUntilDismissed) {
  auto window = platform::ui::Window::create();
  auto services = std::make_shared<Stack>();
  services->nav = platform::ui::NavigationController::create(std::make_shared<Root>());
  window->setRootViewController(services->nav);
  window->makeKeyAndVisible();
  AppServices::install(services);

  // A platform alert on screen goes when the box is made.
  auto alert = platform::ui::AlertView::create("提示", "旧的", std::string("知道了"));
  int dismissedWith = -1;
  alert->setOnDismissed([&](platform::ui::AlertView&, int index) { dismissedWith = index; });
  alert->show();

  auto cancel = button("取消");
  auto box = AlertTableViewController::initWithView(View::create(Rect{0, 0, 280, 100}), "标题", cancel, button("确定"));
  EXPECT_FALSE(alert->isVisible());
  EXPECT_EQ(dismissedWith, 0);

  std::weak_ptr<AlertTableViewController> weak = box;
  cancel->addTarget(nullptr, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto b = weak.lock()) b->dismiss();
  });
  box->showAlert();
  auto navView = services->nav->view();
  ASSERT_NE(box->maskView(), nullptr);
  EXPECT_EQ(box->maskView()->superview(), navView);
  EXPECT_EQ(box->superview(), navView);
  EXPECT_EQ(navView->subviews().back(), box);   // on top of the cover
  EXPECT_EQ(box->maskView()->frame(), (Rect{0, 0, 320, 568}));
  EXPECT_EQ(box->maskView()->backgroundColor(), platform::ui::Color::black().withAlpha(0.1));
  box.reset();   // the screen keeps it while it is up

  platform::ui::Inspector inspector;
  ASSERT_TRUE(inspector.tap("取消").isOk()) << inspector.render();
  ASSERT_FALSE(weak.expired());
  platform::RunLoop::main().advance(0.3);
  EXPECT_TRUE(weak.expired());
  EXPECT_EQ(inspector.byText("标题"), nullptr);
  for (const auto& sub : navView->subviews()) EXPECT_NE(sub->backgroundColor(), platform::ui::Color::black().withAlpha(0.1));
}

}  // namespace
}  // namespace nvx
