#include "app/ui/UIControlTarget.h"

#include <gtest/gtest.h>

#include "platform/ui/Button.h"

namespace nvx {
namespace {

using platform::ui::Button;
using platform::ui::Control;
namespace Event = platform::ui::ControlEvent;

TEST(UIControlTarget, CallbacksRunForTheirEventsWithTheSender) {
  auto button = Button::create({0, 0, 100, 44});
  std::vector<std::string> calls;
  addBlock(*button, [&](Control& sender) { calls.push_back(sender.tag() == 7 ? "tap" : "?"); }, Event::TouchUpInside);
  addBlock(*button, [&](Control&) { calls.push_back("changed"); }, Event::ValueChanged);
  button->setTag(7);
  EXPECT_EQ(blocks(*button).size(), 2u);

  EXPECT_TRUE(button->tap());
  EXPECT_EQ(calls, std::vector<std::string>{"tap"});
  button->sendActions(Event::ValueChanged);
  EXPECT_EQ(calls, (std::vector<std::string>{"tap", "changed"}));

  // Every callback of the list, whatever its events.
  calls.clear();
  blockControlEvent(*button);
  EXPECT_EQ(calls, (std::vector<std::string>{"tap", "changed"}));
}

TEST(UIControlTarget, ListCanBeReplacedAndLivesWithTheControl) {
  auto button = Button::create({0, 0, 100, 44});
  EXPECT_TRUE(blocks(*button).empty());
  int registered = 0;
  int listed = 0;
  addBlock(*button, [&](Control&) { ++registered; }, Event::TouchUpInside);
  std::weak_ptr<UIControlTarget> watch = blocks(*button).at(0);

  setBlocks(*button, {UIControlTarget::targetWithAction([&](Control&) { ++listed; }), nullptr,
                      UIControlTarget::initWithAction({})});
  blockControlEvent(*button);
  EXPECT_EQ(listed, 1);
  EXPECT_EQ(registered, 0);
  // The registration for the event stays.
  button->tap();
  EXPECT_EQ(registered, 1);

  button.reset();
  auto other = Button::create({});
  EXPECT_TRUE(blocks(*other).empty());
  EXPECT_TRUE(watch.expired());
}

}  // namespace
}  // namespace nvx
