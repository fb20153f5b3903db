#include "app/ui/NavigationBarExt.h"

#include <gtest/gtest.h>

#include "app/ui/BarButtonItemExt.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::ui::Button;
using platform::ui::Color;
using platform::ui::ControlState;
using platform::ui::ImageView;
using platform::ui::Inspector;
using platform::ui::NavigationController;
using platform::ui::Rect;
using platform::ui::Size;

class Page : public platform::ui::ViewController {
 public:
  explicit Page(std::string title) { setTitle(std::move(title)); }
  std::string className() const override { return "Page"; }
};

class NavigationBarExtTest : public ::testing::Test {
 protected:
  void show(std::shared_ptr<Page> root) {
    window = platform::ui::Window::create();
    nav = NavigationController::create(std::move(root));
    window->setRootViewController(nav);
    window->makeKeyAndVisible();
  }
  std::shared_ptr<platform::ui::Window> window;
  std::shared_ptr<NavigationController> nav;
  Inspector inspector;
};

TEST_F(NavigationBarExtTest, EveryBarShowsTheThemePictureBehindItsItems) {
  NavigationBarExt::installDefaultLook();
  NavigationBarExt::installDefaultLook();   // once is enough
  auto root = std::make_shared<Page>("首页");
  int taps = 0;
  root->navigationItem().setRightBarButtonItem(
      BarButtonItemExt::defaultNavBarButtonItem("Next", this, [&](platform::ui::Control&) { ++taps; }));
  show(root);

  auto bar = nav->navigationBar();
  ASSERT_FALSE(bar->subviews().empty());
  auto picture = std::dynamic_pointer_cast<ImageView>(bar->subviews().front());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->frame(), (Rect{0, 0, 320, 44}));
  EXPECT_EQ(picture->image()->name, "top_bg.png");
  EXPECT_EQ(inspector.findAll([](const platform::ui::View& v) {
              auto* iv = dynamic_cast<const ImageView*>(&v);
              return iv && iv->image() && iv->image()->name == "top_bg.png";
            }).size(),
            1u);

  // The item over the picture still takes the tap.
  ASSERT_TRUE(inspector.tap(platform::Strings::localized("Next")).isOk());
  EXPECT_EQ(taps, 1);

  NavigationBarExt::applyDefaultLook(*bar);
  EXPECT_EQ(std::count_if(bar->subviews().begin(), bar->subviews().end(),
                          [](const auto& v) { return std::dynamic_pointer_cast<ImageView>(v) != nullptr; }),
            1);
}

TEST_F(NavigationBarExtTest, BarsKeepThePlatformLookUntilInstalled) {
  show(std::make_shared<Page>("首页"));
  EXPECT_EQ(nav->navigationBar()->subviews().size(), 0u);
}

TEST(BarButtonItemExtTest, ItemsOfTheLook) {
  int taps = 0;
  auto count = [&](platform::ui::Control&) { ++taps; };
  auto button = BarButtonItemExt::defaultNavBarItemButton("Next", &taps, count);
  EXPECT_EQ(button->title(ControlState::Normal), platform::Strings::localized("Next"));
  EXPECT_EQ(button->titleColor(ControlState::Disabled), Color::gray(0.5));
  EXPECT_EQ(button->frame().height, 30);
  EXPECT_TRUE(button->isExclusiveTouch());
  EXPECT_TRUE(button->tap());
  EXPECT_EQ(taps, 1);

  auto pictured = BarButtonItemExt::navBarButtonItemWithImage("add.png", Size{36, 28}, &taps, count);
  auto view = std::dynamic_pointer_cast<Button>(pictured->customView());
  ASSERT_TRUE(view);
  EXPECT_EQ(view->frame(), (Rect{0, 0, 36, 28}));
  EXPECT_FALSE(view->title(ControlState::Normal));
  auto cover = std::dynamic_pointer_cast<ImageView>(view->subviews().at(0));
  ASSERT_TRUE(cover);
  EXPECT_EQ(cover->frame(), (Rect{0, 0, 36, 28}));
  EXPECT_EQ(cover->image()->name, "add.png");
  EXPECT_TRUE(view->tap());
  EXPECT_EQ(taps, 2);

  auto twoPictures = BarButtonItemExt::barButtonItemWithSize(Size{40, 30}, "btn-1.png", "btn-2.png", &taps, count);
  auto two = std::dynamic_pointer_cast<Button>(twoPictures->customView());
  ASSERT_TRUE(two);
  EXPECT_EQ(two->frame(), (Rect{0, 0, 40, 30}));
  EXPECT_EQ(two->backgroundImage(ControlState::Normal)->name, "btn-1.png");
  EXPECT_EQ(two->backgroundImage(ControlState::Selected)->name, "btn-2.png");
}

}  // namespace
}  // namespace nvx
