#include "platform/ui/Control.h"

#include <gtest/gtest.h>

#include "platform/ui/Button.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

TEST(Control, ActionsRunInOrderForTheirEventsOnly) {
  auto b = Button::create({0, 0, 10, 10});
  std::vector<std::string> log;
  int owner1 = 0, owner2 = 0;
  b->addTarget(&owner1, ControlEvent::TouchUpInside, [&](Control&) { log.push_back("up1"); });
  b->addTarget(&owner2, ControlEvent::TouchDown | ControlEvent::TouchUpInside, [&](Control&) { log.push_back("both2"); });
  b->addTarget(&owner1, ControlEvent::ValueChanged, [&](Control&) { log.push_back("value1"); });
  b->sendActions(ControlEvent::TouchUpInside);
  EXPECT_EQ(log, (std::vector<std::string>{"up1", "both2"}));
  log.clear();
  b->sendActions(ControlEvent::ValueChanged | ControlEvent::TouchDown);
  EXPECT_EQ(log, (std::vector<std::string>{"both2", "value1"}));
}

TEST(Control, RemoveFirstTargetTakesOnlyTheFirstMatchingActionOfTheOwner) {
  auto b = Button::create({0, 0, 10, 10});
  std::vector<std::string> log;
  int me = 0, other = 0;
  b->addTarget(&other, ControlEvent::TouchUpInside, [&](Control&) { log.push_back("other"); });
  b->addTarget(&me, ControlEvent::TouchUpInside, [&](Control&) { log.push_back("first"); });
  b->addTarget(&me, ControlEvent::TouchUpInside, [&](Control&) { log.push_back("second"); });
  EXPECT_TRUE(b->removeFirstTarget(&me, ControlEvent::TouchUpInside));
  b->addTarget(&me, ControlEvent::TouchUpInside, [&](Control&) { log.push_back("replacement"); });
  b->sendActions(ControlEvent::TouchUpInside);
  EXPECT_EQ(log, (std::vector<std::string>{"other", "second", "replacement"}));
  EXPECT_FALSE(b->removeFirstTarget(&me, ControlEvent::ValueChanged));

  // An action registered for two events loses one of them and keeps the other.
  log.clear();
  int both = 0;
  b->addTarget(&both, ControlEvent::TouchDown | ControlEvent::TouchUpInside, [&](Control&) { log.push_back("both"); });
  EXPECT_TRUE(b->removeFirstTarget(&both, ControlEvent::TouchUpInside));
  b->sendActions(ControlEvent::TouchDown);
  EXPECT_EQ(log, (std::vector<std::string>{"both"}));
  EXPECT_EQ(b->actionCount(ControlEvent::TouchDown), 1u);
}

TEST(Control, ActionsAddedWhileSendingRunNextTime) {
  auto b = Button::create({0, 0, 10, 10});
  int calls = 0;
  b->addTarget(nullptr, ControlEvent::TouchUpInside, [&](Control& c) {
    ++calls;
    c.addTarget(nullptr, ControlEvent::TouchUpInside, [&](Control&) { calls += 100; });
  });
  b->sendActions(ControlEvent::TouchUpInside);
  EXPECT_EQ(calls, 1);
}

TEST(Control, ControlStaysAliveWhileItsActionReleasesIt) {
  auto window = Window::create({0, 0, 320, 568});
  window->makeKeyAndVisible();
  auto b = Button::create({0, 0, 10, 10});
  window->addSubview(b);
  std::weak_ptr<Button> weak = b;
  bool after = false;
  b->addTarget(nullptr, ControlEvent::TouchUpInside, [&](Control& c) { c.removeFromSuperview(); });
  b->addTarget(nullptr, ControlEvent::TouchUpInside, [&](Control& c) { after = c.isEnabled(); });
  b.reset();
  EXPECT_TRUE(weak.lock()->tap());
  EXPECT_TRUE(after);
  EXPECT_TRUE(weak.expired());
}

TEST(Button, TapIsTouchDownThenTouchUpInside) {
  auto window = Window::create({0, 0, 320, 568});
  window->makeKeyAndVisible();
  auto b = Button::create({0, 0, 10, 10});
  window->addSubview(b);
  std::vector<std::string> log;
  b->addTarget(nullptr, ControlEvent::TouchDown,
               [&](Control& c) { log.push_back(c.isHighlighted() ? "down(highlighted)" : "down"); });
  b->addTarget(nullptr, ControlEvent::TouchUpInside,
               [&](Control& c) { log.push_back(c.isHighlighted() ? "up(highlighted)" : "up"); });
  EXPECT_TRUE(b->tap());
  EXPECT_EQ(log, (std::vector<std::string>{"down(highlighted)", "up"}));
}

TEST(Button, TapDoesNothingWhenDisabledHiddenOrNotTakingTouches) {
  struct Case {
    const char* name;
    std::function<void(View& parent, Button& b)> change;
  };
  const Case cases[] = {
      {"disabled", [](View&, Button& b) { b.setEnabled(false); }},
      {"hidden", [](View&, Button& b) { b.setHidden(true); }},
      {"transparent", [](View&, Button& b) { b.setAlpha(0); }},
      {"user interaction off", [](View&, Button& b) { b.setUserInteractionEnabled(false); }},
      {"parent hidden", [](View& p, Button&) { p.setHidden(true); }},
      {"parent takes no touches", [](View& p, Button&) { p.setUserInteractionEnabled(false); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto parent = View::create({0, 0, 100, 100});
    auto b = Button::create({0, 0, 10, 10});
    parent->addSubview(b);
    int taps = 0;
    b->addTarget(nullptr, ControlEvent::AllEvents, [&](Control&) { ++taps; });
    c.change(*parent, *b);
    EXPECT_FALSE(b->tap());
    EXPECT_EQ(taps, 0);
  }
}

TEST(Button, LooksFallBackToNormalForStatesWithoutTheirOwn) {
  auto b = Button::create(ButtonType::Custom);
  b->setTitle("Go");
  b->setTitle("Chosen", ControlState::Selected);
  b->setTitleColor(Color::rgb255(255, 0, 0));
  EXPECT_EQ(b->currentTitle(), "Go");
  b->setSelected(true);
  EXPECT_EQ(b->currentTitle(), "Chosen");
  b->setEnabled(false);   // disabled wins over selected; no disabled title: Normal's
  EXPECT_EQ(b->currentTitle(), "Go");
  EXPECT_EQ(b->currentTitleColor(), Color::rgb255(255, 0, 0));
  b->setTitleColor(Color::gray(0.5), ControlState::Disabled);
  EXPECT_EQ(b->currentTitleColor(), Color::gray(0.5));
  EXPECT_EQ(Button::create()->currentTitle(), "");
  EXPECT_EQ(Button::create()->currentTitleColor(), Color::white());
}

TEST(Button, SizeToFitTakesThePictureAndTheTitle) {
  auto b = Button::create(Rect{7, 8, 1, 1});
  auto icon = Image::withPixels(40, 30, std::vector<uint8_t>(40 * 30 * 4), 2.0);   // 20 x 15 points
  auto bg = Image::withPixels(100, 10, std::vector<uint8_t>(100 * 10 * 4), 1.0);
  ASSERT_TRUE(icon && bg);
  b->setImage(icon);
  b->sizeToFit();
  EXPECT_EQ(b->frame(), (Rect{7, 8, 20, 15}));
  b->setTitle("ab");   // 2 x 0.55 x 15 = 16.5 -> 17 wide, one line of 18
  b->sizeToFit();
  EXPECT_EQ(b->frame(), (Rect{7, 8, 37, 18}));
  b->setBackgroundImage(bg);
  b->sizeToFit();
  EXPECT_EQ(b->frame(), (Rect{7, 8, 100, 18}));
}

}  // namespace
}  // namespace platform::ui
