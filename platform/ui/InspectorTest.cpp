#include "platform/ui/Inspector.h"

#include <gtest/gtest.h>

#include "platform/ui/Button.h"
#include "platform/ui/Hud.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"

namespace platform::ui {
namespace {

class Plain : public ViewController {
 public:
  explicit Plain(std::string name) : name_(std::move(name)) {}
  std::string className() const override { return name_; }

 private:
  std::string name_;
};

class InspectorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = Window::create();
    window->makeKeyAndVisible();
    form = View::create({0, 20, 320, 548});
    window->addSubview(form);
    auto title = Label::create({20, 10, 280, 21}, "金额");
    title->setTag(7);
    form->addSubview(title);
    ok = Button::create({20, 40, 280, 44});
    ok->setTag(3);
    ok->setTitle("确定");
    ok->addTarget(nullptr, ControlEvent::TouchUpInside, [this](Control&) { ++okTaps; });
    form->addSubview(ok);
    auto hidden = Label::create({0, 0, 10, 10}, "secret");
    hidden->setHidden(true);
    hidden->addSubview(Label::create({0, 0, 5, 5}, "inside hidden"));
    form->addSubview(hidden);
    auto icon = ImageView::create(Image::withPixels(2, 2, std::vector<uint8_t>(16)));
    icon->setFrame({300, 0, 20, 20});
    form->addSubview(icon);
  }

  std::shared_ptr<Window> window;
  std::shared_ptr<View> form;
  std::shared_ptr<Button> ok;
  int okTaps = 0;
  Inspector inspector;
};

TEST_F(InspectorTest, RenderGolden) {
  ok->setEnabled(false);
  auto alert = AlertView::create("提示", "余额不足", "知道了");
  alert->setTag(900);
  alert->show();
  EXPECT_EQ(inspector.render(),
            "Window (0,0,320,568) [key]\n"
            "  View (0,20,320,548)\n"
            "    Label tag=7 (20,10,280,21) \"金额\"\n"
            "    Button tag=3 (20,40,280,44) \"确定\" [disabled]\n"
            "    ImageView (300,0,20,20) image=2x2\n"
            "Window (0,0,320,568) level=2000\n"
            "  AlertView tag=900 (18,213,284,142)\n"
            "    Label (16,16,252,22) \"提示\"\n"
            "    Label (16,46,252,20) \"余额不足\"\n"
            "    Button (16,82,252,44) \"知道了\"\n");
}

TEST_F(InspectorTest, FindsVisibleViewsByTextTagAndKind) {
  EXPECT_EQ(inspector.byText("确定"), ok);
  EXPECT_EQ(inspector.byText("确"), nullptr);
  EXPECT_EQ(inspector.containingText("额")->tag(), 7);
  EXPECT_EQ(inspector.byTag(3), ok);
  EXPECT_EQ(inspector.byText("secret"), nullptr);          // hidden
  EXPECT_EQ(inspector.byText("inside hidden"), nullptr);   // inside a hidden view
  EXPECT_EQ(inspector.byKind("Label").size(), 1u);
  EXPECT_EQ(inspector.first<Button>(), ok);
}

TEST_F(InspectorTest, TapsOnlyWhatAUserCouldTap) {
  ASSERT_TRUE(inspector.tap("确定").isOk());
  ASSERT_TRUE(inspector.tapTag(3).isOk());
  EXPECT_EQ(okTaps, 2);

  auto missing = inspector.tap("取消");
  EXPECT_FALSE(missing.isOk());
  EXPECT_EQ(missing.message(), "no button \"取消\" on the screen");
  EXPECT_EQ(inspector.tapTag(7).message(), "the view with tag 7 is a Label, not a control");
  EXPECT_FALSE(inspector.tapTag(99).isOk());

  ok->setEnabled(false);
  EXPECT_EQ(inspector.tap("确定").message(), "button \"确定\" is disabled");
  ok->setEnabled(true);

  auto cover = View::create({0, 0, 320, 200});
  form->addSubview(cover);
  auto covered = inspector.tap("确定");
  EXPECT_FALSE(covered.isOk());
  EXPECT_EQ(covered.message(), "button \"确定\" is covered: a touch at its centre reaches View (0,0,320,200)");
  cover->removeFromSuperview();

  auto twin = Button::create({20, 100, 280, 44});
  twin->setTitle("确定");
  form->addSubview(twin);
  EXPECT_EQ(inspector.tap("确定").message(), "2 buttons \"确定\" could be meant");
  twin->setHidden(true);
  EXPECT_TRUE(inspector.tap("确定").isOk());
  EXPECT_EQ(okTaps, 3);
}

TEST_F(InspectorTest, TopScreenFollowsNavigationAndModalScreens) {
  auto second = Window::create();
  second->makeKeyAndVisible();
  auto nav = NavigationController::create(std::make_shared<Plain>("Home"));
  second->setRootViewController(nav);
  ASSERT_TRUE(inspector.topScreen());
  EXPECT_EQ(inspector.topScreen()->className(), "Home");
  nav->push(std::make_shared<Plain>("Detail"), false);
  EXPECT_EQ(inspector.topScreen()->className(), "Detail");
  auto picker = NavigationController::create(std::make_shared<Plain>("Picker"));
  nav->topViewController()->presentModal(picker, false);
  EXPECT_EQ(inspector.topScreen()->className(), "Picker");
  EXPECT_EQ(Inspector(window).topScreen(), nullptr);   // the first window has no screen
}

TEST_F(InspectorTest, OverlaysRenderWithTheirMode) {
  auto hud = Hud::showOn(*window, false);
  hud->setMode(Hud::Mode::Text);
  hud->setLabel("请稍候");
  hud->setYOffset(-32);
  EXPECT_NE(inspector.render().find("\n  Hud (0,0,320,568) \"请稍候\" mode=text yOffset=-32\n"), std::string::npos);
}

}  // namespace
}  // namespace platform::ui
