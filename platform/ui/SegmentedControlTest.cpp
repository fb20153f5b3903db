#include "platform/ui/SegmentedControl.h"

#include <gtest/gtest.h>

#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

class SegmentedControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = Window::create();
    window->makeKeyAndVisible();
    control = SegmentedControl::create({10, 100, 300, 40}, {"50", "100", "200"});
    control->addTarget(nullptr, ControlEvent::ValueChanged, [this](Control& c) {
      changes.push_back(static_cast<SegmentedControl&>(c).selectedSegmentIndex());
    });
    window->addSubview(control);
  }
  std::shared_ptr<Window> window;
  std::shared_ptr<SegmentedControl> control;
  std::vector<int> changes;
  Inspector inspector;
};

TEST_F(SegmentedControlTest, ValueChangedOnlyWhenTheSelectionChanges) {
  EXPECT_EQ(control->selectedSegmentIndex(), SegmentedControl::kNoSegment);
  ASSERT_TRUE(inspector.tapSegment("100").isOk());
  ASSERT_TRUE(inspector.tapSegment("100").isOk());
  ASSERT_TRUE(inspector.tapSegment("200").isOk());
  EXPECT_EQ(changes, (std::vector<int>{1, 2}));
  control->setSelectedSegmentIndex(0);   // a program's choice sends nothing
  control->setSelectedSegmentIndex(7);   // out of range: no segment
  EXPECT_EQ(control->selectedSegmentIndex(), SegmentedControl::kNoSegment);
  EXPECT_EQ(changes.size(), 2u);

  control->setEnabled(false, 0);
  EXPECT_FALSE(inspector.tapSegment("50").isOk());
  control->setEnabled(false);
  EXPECT_FALSE(control->tapSegment(1));
  EXPECT_EQ(changes.size(), 2u);
}

TEST_F(SegmentedControlTest, MomentaryControlSendsEveryTap) {
  control->setMomentary(true);
  EXPECT_TRUE(control->tapSegment(1));
  EXPECT_TRUE(control->tapSegment(1));
  EXPECT_EQ(changes, (std::vector<int>{1, 1}));
}

TEST_F(SegmentedControlTest, SegmentWidthsAndRender) {
  control->setWidth(60, 0);
  EXPECT_EQ(control->segmentFrame(0), (Rect{0, 0, 60, 40}));
  EXPECT_EQ(control->segmentFrame(1), (Rect{60, 0, 120, 40}));
  EXPECT_EQ(control->segmentFrame(2), (Rect{180, 0, 120, 40}));
  EXPECT_EQ(control->segmentFrame(3), Rect{});
  control->insertSegment("500", 9);
  ASSERT_TRUE(control->tapSegment(3));
  control->removeSegment(0);
  EXPECT_EQ(control->selectedSegmentIndex(), 2);   // the same segment, one place further left
  EXPECT_EQ(control->describe(), "SegmentedControl (10,100,300,40) segments=\"100\"|\"200\"|\"500\" selected=2");
}

}  // namespace
}  // namespace platform::ui
