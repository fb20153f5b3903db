#include "app/ui/ButtonCreater.h"

#include <gtest/gtest.h>

#include "platform/foundation/Strings.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::ui::Button;
using platform::ui::Color;
using platform::ui::ControlState;
using platform::ui::EdgeInsets;
using platform::ui::Font;
using platform::ui::Label;
using platform::ui::Rect;

// The background's name per state: normal, highlighted, selected, disabled ("" for none).
struct Backgrounds {
  std::string normal, highlighted, selected, disabled;
  bool operator==(const Backgrounds&) const = default;
};

std::string nameOf(const Button& b, ControlState s) {
  const auto& image = b.backgroundImage(s);
  return image ? image->name : std::string();
}

Backgrounds backgrounds(const Button& b) {
  return {nameOf(b, ControlState::Normal), nameOf(b, ControlState::Highlighted), nameOf(b, ControlState::Selected),
          nameOf(b, ControlState::Disabled)};
}

TEST(ButtonCreaterTest, SizesPicturesAndFonts) {
  struct Case {
    const char* what;
    std::shared_ptr<Button> button;
    Rect frame;
    Backgrounds pictures;
    Font font;
  };
  const Font standard = Button().titleFont();
  const Case cases[] = {
      // Bold 12: a Latin character is 6.6 points, a Chinese one 12; the width is rounded up.
      {"bar, empty text", ButtonCreater::barButtonWithText(""), {0, 0, 26, 30},
       {"action_btn_normal.png", "action_btn_selected.png", "", ""}, Font::boldSystem(12)},
      {"bar, two Latin", ButtonCreater::barButtonWithText("OK"), {0, 0, 40, 30},
       {"action_btn_normal.png", "action_btn_selected.png", "", ""}, Font::boldSystem(12)},
      {"bar, four Chinese", ButtonCreater::barButtonWithText("完成付款"), {0, 0, 74, 30},
       {"action_btn_normal.png", "action_btn_selected.png", "", ""}, Font::boldSystem(12)},
      {"receivable", ButtonCreater::receivableBarButtonWithText("收款"), {0, 0, 50, 30}, {"btn-1.png", "", "", ""},
       Font::boldSystem(12)},
      {"big receivable", ButtonCreater::bigReceivableBarButtonWithText("收款"), {0, 0, 50, 30},
       {"btn-2.png", "", "", ""}, Font::boldSystem(12)},
      {"back", ButtonCreater::backBarButtonWithText("返回"), {0, 0, 60, 30},
       {"back_btn_normal.png", "back_btn_selected.png", "", ""}, standard},
      {"big", ButtonCreater::bigButtonWithText("确定"), {0, 0, 302, 44},
       {"big-btn-bg.png", "big-btn-down-bg.png", "", "big-btn-bg-disable.png"}, Font::boldSystem(16)},
      {"big blue", ButtonCreater::bigBlueButtonWithText("确定"), {0, 0, 302, 44},
       {"big_blue_btn_nor_bg.png", "big_blue_btn_pre_bg.png", "", ""}, Font::boldSystem(16)},
      {"half grey", ButtonCreater::halfButtonWithText("取消", 1), {0, 0, 148, 44},
       {"half-btn-bg.png", "half-btn-down-bg.png", "", "half-btn-bg-disable.png"}, standard},
      {"half blue", ButtonCreater::halfButtonWithText("确定", 0), {0, 0, 148, 44},
       {"half-blue-btn-bg.png", "half-blue-btn-down-bg.png", "", "half-btn-bg-disable.png"}, standard},
      {"half, other colour", ButtonCreater::halfButtonWithText("确定", 2), {0, 0, 148, 44},
       {"", "", "", "half-btn-bg-disable.png"}, standard},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.button->frame(), c.frame) << c.what;
    EXPECT_EQ(backgrounds(*c.button), c.pictures) << c.what;
    EXPECT_EQ(c.button->titleFont(), c.font) << c.what;
    EXPECT_TRUE(c.button->isExclusiveTouch()) << c.what;
  }
}

TEST(ButtonCreaterTest, BarButtonPicturesStretchAfterALeftCapOfTen) {
  auto bar = ButtonCreater::barButtonWithText("OK");
  EXPECT_EQ(bar->title(ControlState::Normal), "OK");
  for (ControlState s : {ControlState::Normal, ControlState::Highlighted}) {
    const auto& picture = bar->backgroundImage(s);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->capInsets.left, 10);
    EXPECT_EQ(picture->capInsets.top, 0);
    EXPECT_TRUE(picture->isStretchable());
  }
  EXPECT_EQ(ButtonCreater::receivableBarButtonWithText("x")->backgroundImage(ControlState::Normal)->capInsets.left, 10);
}

TEST(ButtonCreaterTest, BackButtonShowsItsTextInALabel) {
  auto back = ButtonCreater::backBarButton();
  EXPECT_FALSE(back->title(ControlState::Normal));
  auto label = std::dynamic_pointer_cast<Label>(back->viewWithTag(ButtonCreater::kBackLabelTag));
  ASSERT_TRUE(label);
  EXPECT_EQ(label->tag(), 999);
  EXPECT_EQ(label->text(), platform::Strings::localized("Back"));
  EXPECT_EQ(label->frame(), (Rect{15, 0, 35, 30}));
  EXPECT_EQ(label->textColor(), Color::white());
  EXPECT_EQ(label->backgroundColor(), Color::clear());
  EXPECT_EQ(label->textAlignment(), platform::ui::TextAlignment::Center);
  EXPECT_EQ(label->font(), Font::boldSystem(12));
}

class Page : public platform::ui::ViewController {
 public:
  std::string className() const override { return "Page"; }
};

TEST(ButtonCreaterTest, BackButtonAsTheLeftItemPopsTheScreen) {
  auto window = platform::ui::Window::create();
  auto root = std::make_shared<Page>();
  auto nav = platform::ui::NavigationController::create(root);
  window->setRootViewController(nav);
  window->makeKeyAndVisible();
  auto second = std::make_shared<Page>();
  auto back = ButtonCreater::backBarButton();
  std::weak_ptr<Page> weak = second;
  back->addTarget(nullptr, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto page = weak.lock()) page->navigationController()->pop(false);
  });
  second->navigationItem().setLeftBarButtonItem(platform::ui::BarButtonItem::withCustomView(back));
  nav->push(second, false);

  platform::ui::Inspector inspector;
  // The text is the label's: the button is reached through the label's tag.
  auto label = inspector.byTag(ButtonCreater::kBackLabelTag);
  ASSERT_TRUE(label);
  EXPECT_EQ(label->superview(), back);
  ASSERT_TRUE(inspector.tapControl(*back).isOk());
  EXPECT_EQ(nav->topViewController(), root);
}

TEST(ButtonCreaterTest, AddressBookButton) {
  int taps = 0;
  auto add = ButtonCreater::addPhoneNumberFrame(Rect{270, 7, 30, 30}, [&](platform::ui::Control&) { ++taps; }, &taps);
  EXPECT_EQ(add->frame(), (Rect{270, 7, 30, 30}));
  EXPECT_EQ(add->backgroundImage(ControlState::Normal)->name, "add.png");
  EXPECT_FALSE(add->isExclusiveTouch());
  EXPECT_TRUE(add->tap());
  EXPECT_EQ(taps, 1);
}

}  // namespace
}  // namespace nvx
