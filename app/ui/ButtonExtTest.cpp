#include "app/ui/ButtonExt.h"

#include <gtest/gtest.h>

#include "app/ui/ControlExt.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::ui::Button;
using platform::ui::ButtonType;
using platform::ui::Color;
using platform::ui::Control;
using platform::ui::ControlState;
using platform::ui::Font;
using platform::ui::ImageView;
using platform::ui::Inspector;
using platform::ui::Rect;
using platform::ui::Window;
namespace ControlEvent = platform::ui::ControlEvent;

const Color kRed = Color::rgb255(255, 0, 0);
const Color kBlue = Color::rgb255(0, 0, 255);

class ButtonExtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = Window::create();
    window->makeKeyAndVisible();
  }
  ButtonExt::Action count() {
    return [this](Control&) { ++taps; };
  }
  std::shared_ptr<Window> window;
  Inspector inspector;
  int taps = 0;
};

TEST_F(ButtonExtTest, DownActionRunsOnAFinishedTapNotOnTouchDown) {
  auto button = Button::create(Rect{10, 100, 100, 44});
  button->setTitle("Go");
  ControlExt::addTargetDownAction(*button, this, count());
  window->addSubview(button);
  button->sendActions(ControlEvent::TouchDown);
  EXPECT_EQ(taps, 0);
  ASSERT_TRUE(inspector.tap("Go").isOk());
  EXPECT_EQ(taps, 1);

  int changes = 0;
  ControlExt::addTargetValueChangedAction(*button, this, [&](Control&) { ++changes; });
  ASSERT_TRUE(inspector.tap("Go").isOk());
  EXPECT_EQ(changes, 0);
  button->sendActions(ControlEvent::ValueChanged);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(taps, 2);
}

TEST_F(ButtonExtTest, TitleAndColourButtons) {
  struct Case {
    const char* what;
    std::shared_ptr<Button> button;
    ButtonType type;
    // Title colour per state: normal, highlighted, selected (nothing: not set for that state).
    std::optional<Color> normal, highlighted, selected;
    bool highlightedTitle;
    Font font;
  };
  const Font standard = Button().titleFont();
  const Rect frame{5, 6, 70, 30};
  const Case cases[] = {
      {"title colour", ButtonExt::buttonWithFrame(frame, "T", kRed, this, count()), ButtonType::Custom, kRed,
       std::nullopt, kRed, false, standard},
      {"normal and selected colours", ButtonExt::buttonWithFrame(frame, "T", kRed, kBlue, this, count()),
       ButtonType::Custom, kRed, std::nullopt, kBlue, false, standard},
      {"rounded rectangle", ButtonExt::rectButtonWithFrame(frame, "T", kRed, this, count()), ButtonType::RoundedRect,
       kRed, std::nullopt, kRed, false, standard},
      {"title only", ButtonExt::buttonWithFrame(frame, "T", this, count()), ButtonType::Custom, std::nullopt,
       std::nullopt, std::nullopt, true, standard},
      {"text colour", ButtonExt::buttonWithFrameTextColor(frame, "T", kRed, this, count()), ButtonType::Custom, kRed,
       kRed, std::nullopt, true, standard},
      {"text colour and size", ButtonExt::buttonWithFrame(frame, "T", kRed, 13, this, count()), ButtonType::Custom,
       kRed, kRed, std::nullopt, true, Font::system(13)},
  };
  for (const Case& c : cases) {
    const Button& b = *c.button;
    EXPECT_EQ(b.frame(), frame) << c.what;
    EXPECT_EQ(b.buttonType(), c.type) << c.what;
    EXPECT_EQ(b.title(ControlState::Normal), "T") << c.what;
    EXPECT_EQ(b.title(ControlState::Highlighted).has_value(), c.highlightedTitle) << c.what;
    EXPECT_EQ(b.titleColor(ControlState::Normal), c.normal) << c.what;
    EXPECT_EQ(b.titleColor(ControlState::Highlighted), c.highlighted) << c.what;
    EXPECT_EQ(b.titleColor(ControlState::Selected), c.selected) << c.what;
    EXPECT_EQ(b.titleFont(), c.font) << c.what;
    EXPECT_EQ(b.actionCount(ControlEvent::TouchUpInside), 1u) << c.what;
    EXPECT_EQ(b.actionCount(ControlEvent::TouchDown), 0u) << c.what;
  }
}

TEST_F(ButtonExtTest, PictureButtons) {
  auto two = ButtonExt::buttonWithFrame(Rect{0, 0, 148, 44}, "half-btn-bg.png", "half-btn-down-bg.png", this, count());
  ASSERT_TRUE(two->backgroundImage(ControlState::Normal));
  EXPECT_EQ(two->backgroundImage(ControlState::Normal)->name, "half-btn-bg.png");
  EXPECT_EQ(two->backgroundImage(ControlState::Highlighted)->name, "half-btn-down-bg.png");
  EXPECT_EQ(two->backgroundImage(ControlState::Selected)->name, "half-btn-down-bg.png");
  EXPECT_FALSE(two->backgroundImage(ControlState::Disabled));

  auto empty = ButtonExt::buttonWithImage("add.png", "add.png", this, count());
  EXPECT_EQ(empty->frame(), Rect{});
  EXPECT_EQ(empty->backgroundImage(ControlState::Normal)->name, "add.png");

  auto one = ButtonExt::buttonWithFrame(Rect{0, 0, 30, 30}, platform::ui::Image::named("add.png"), this, count());
  EXPECT_EQ(one->backgroundImage(ControlState::Normal)->name, "add.png");
  EXPECT_FALSE(one->backgroundImage(ControlState::Highlighted));

  // The picture (30 x 30) at its own size in the middle of a 100 x 44 button, no background.
  auto centred = ButtonExt::imageButtonWithFrame(Rect{0, 0, 100, 44}, "add.png", this, count());
  EXPECT_FALSE(centred->backgroundImage(ControlState::Normal));
  auto picture = std::dynamic_pointer_cast<ImageView>(centred->subviews().at(0));
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->frame(), (Rect{35, 7, 30, 30}));
  EXPECT_EQ(picture->image()->name, "add.png");
}

TEST_F(ButtonExtTest, ReplaceActionAndNormalTitle) {
  auto button = ButtonExt::buttonWithFrame(Rect{10, 100, 100, 44}, "Old", this, count());
  int other = 0;
  int replaced = 0;
  button->addTarget(&other, ControlEvent::TouchUpInside, [&](Control&) { ++other; });
  window->addSubview(button);

  ButtonExt::buttonReplaceActionFrom(*button, [&](Control&) { ++replaced; }, this);
  ButtonExt::setNormalTitle(*button, "Back");
  ASSERT_TRUE(inspector.tap(platform::Strings::localized("Back")).isOk());
  EXPECT_EQ(taps, 0);
  EXPECT_EQ(replaced, 1);
  EXPECT_EQ(other, 1);   // another target's action stays
  EXPECT_EQ(button->actionCount(ControlEvent::TouchUpInside), 2u);
}

}  // namespace
}  // namespace nvx
