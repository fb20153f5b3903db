#include "app/ui/SegmentedControlExt.h"

#include <gtest/gtest.h>

#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::ui::Rect;

TEST(SegmentedControlExtTest, PlainSegmentsStartAtTheFirstAndReportChanges) {
  auto window = platform::ui::Window::create();
  window->makeKeyAndVisible();
  std::vector<int> changes;
  auto control = SegmentedControlExt::plainStyleSegmentedControl(
      Rect{10, 80, 300, 30}, this,
      [&](platform::ui::Control& c) { changes.push_back(static_cast<platform::ui::SegmentedControl&>(c).selectedSegmentIndex()); },
      {"全部", "收入", "支出"});
  window->addSubview(control);
  EXPECT_EQ(control->frame(), (Rect{10, 80, 300, 30}));
  EXPECT_EQ(control->numberOfSegments(), 3);
  EXPECT_EQ(control->titleForSegment(2), "支出");
  EXPECT_EQ(control->segmentedControlStyle(), platform::ui::SegmentedControlStyle::Plain);
  EXPECT_EQ(control->selectedSegmentIndex(), 0);
  EXPECT_TRUE(changes.empty());   // selecting the first segment at creation reports nothing

  platform::ui::Inspector inspector;
  ASSERT_TRUE(inspector.tapSegment("收入").isOk());
  ASSERT_TRUE(inspector.tapSegment("收入").isOk());   // no change: no report
  ASSERT_TRUE(inspector.tapSegment("全部").isOk());
  EXPECT_EQ(changes, (std::vector<int>{1, 0}));
}

}  // namespace
}  // namespace nvx
