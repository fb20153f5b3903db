// The page dots: a user's taps move a page on or back and always report.
#include <gtest/gtest.h>

#include "app/ui/NVXPageControl.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::ui::Color;
using platform::ui::ControlEvent::ValueChanged;
using platform::ui::Inspector;
using platform::ui::Point;
using platform::ui::Rect;

TEST(NVXPageControlTest, TapsMoveOnRightOfTheMiddleAndBackOtherwise) {
  auto control = NVXPageControl::initWithNumberOfPages(5);
  EXPECT_EQ(control->frame(), (Rect{0, 0, 80, 16}));
  EXPECT_EQ(control->backgroundColor(), Color::clear());
  EXPECT_EQ(control->currentPage(), 0);
  int changes = 0;
  control->addTarget(this, ValueChanged, [&](platform::ui::Control&) { ++changes; });

  struct Case {
    int from;
    double x;
    int to;
  };
  const Case cases[] = {
      {0, 41, 1},   // right of the middle
      {4, 79, 4},   // the last page stays
      {2, 40, 1},   // exactly the middle goes back
      {2, 0, 1},
      {0, 10, 0},   // the first page stays
  };
  for (const Case& c : cases) {
    control->setCurrentPage(c.from);
    changes = 0;
    ASSERT_TRUE(control->tapAt(Point{c.x, 8}));
    EXPECT_EQ(control->currentPage(), c.to) << c.from << " at " << c.x;
    EXPECT_EQ(changes, 1) << "value-changed is sent on every tap";
  }

  // A user's tap through the Inspector lands on the centre: one page back.
  auto window = platform::ui::Window::create();
  window->makeKeyAndVisible();
  control->setFrame(Rect{100, 300, 80, 16});
  window->addSubview(control);
  control->setCurrentPage(3);
  Inspector inspector;
  ASSERT_TRUE(inspector.tapControl(*control).isOk());
  EXPECT_EQ(control->currentPage(), 2);
  EXPECT_NE(inspector.render().find("page=3/5"), std::string::npos);
}

TEST(NVXPageControlTest, PagesStayWithinTheDotsAndDrawOneDotEach) {
  auto control = NVXPageControl::initWithNumberOfPages(3);
  control->setCurrentPage(-2);
  EXPECT_EQ(control->currentPage(), 0);
  control->setCurrentPage(9);
  EXPECT_EQ(control->currentPage(), 2);

  control->setCurrentPage(1);
  using Dot = NVXPageControl::Dot;
  EXPECT_EQ(control->drawRect(control->bounds()), (std::vector<Dot>{
                                                      {"home_icon_dot.png", {5, 5, 6, 6}},
                                                      {"home_icon_dot_selected.png", {21, 5, 6, 6}},
                                                      {"home_icon_dot.png", {37, 5, 6, 6}},
                                                  }));
  control->setFrame(Rect{0, 0, 48, 36});
  EXPECT_EQ(control->drawRect(control->bounds())[0].rect, (Rect{5, 15, 6, 6}));

  auto none = NVXPageControl::initWithNumberOfPages(0);
  EXPECT_TRUE(none->drawRect(none->bounds()).empty());
  auto plain = std::make_shared<NVXPageControl>(Rect{0, 0, 100, 16});
  EXPECT_EQ(plain->numberOfPages(), 0);
  EXPECT_TRUE(plain->drawRect(plain->bounds()).empty());
}

}  // namespace
}  // namespace nvx
