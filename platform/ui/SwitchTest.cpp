#include "platform/ui/Switch.h"

#include <gtest/gtest.h>

namespace platform::ui {
namespace {

TEST(Switch, AUserTapFlipsAndReportsTheChangeWhileTheProgramsSetterReportsNothing) {
  auto control = Switch::create(Rect{10, 10, 200, 200});
  EXPECT_EQ(control->frame().width, Switch::kWidth);
  std::vector<bool> changes;
  control->addTarget(nullptr, ControlEvent::ValueChanged, [&](Control& c) {
    changes.push_back(static_cast<Switch&>(c).isOn());
  });
  control->setOn(true);
  EXPECT_TRUE(changes.empty());
  EXPECT_TRUE(control->tap());
  EXPECT_TRUE(control->tap());
  EXPECT_EQ(changes, (std::vector<bool>{false, true}));

  control->setEnabled(false);
  EXPECT_FALSE(control->tap());
  EXPECT_TRUE(control->isOn());
  EXPECT_EQ(changes.size(), 2u);
}

}  // namespace
}  // namespace platform::ui
