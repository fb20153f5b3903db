#include "platform/ui/ScrollView.h"

#include <gtest/gtest.h>

#include "platform/foundation/RunLoop.h"
#include "platform/ui/Button.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

class ScrollViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = Window::create();
    window->makeKeyAndVisible();
    scroll = ScrollView::create({0, 100, 320, 200});
    scroll->setContentSize({960, 600});
    window->addSubview(scroll);
    scroll->willBeginDragging = [this](ScrollView&) { log.push_back("begin"); };
    scroll->didScroll = [this](ScrollView& s) {
      log.push_back("scroll " + View::formatNumber(s.contentOffset().x) + "," + View::formatNumber(s.contentOffset().y));
    };
    scroll->didEndDragging = [this](ScrollView&, bool decelerate) { log.push_back(decelerate ? "end+" : "end"); };
    scroll->didEndDecelerating = [this](ScrollView&) { log.push_back("rest"); };
    scroll->didEndScrollingAnimation = [this](ScrollView&) { log.push_back("animated"); };
  }
  std::shared_ptr<Window> window;
  std::shared_ptr<ScrollView> scroll;
  std::vector<std::string> log;
  Inspector inspector;
};

TEST_F(ScrollViewTest, UserScrollsAreClampedAndSnappedToPages) {
  struct Case {
    bool paging;
    Point target;
    Point rest;
  };
  for (const Case& c : {Case{false, {100, 50}, {100, 50}}, Case{false, {-40, 900}, {0, 400}},
                        Case{false, {2000, -1}, {640, 0}}, Case{true, {170, 90}, {320, 0}},
                        Case{true, {170, 320}, {320, 400}}}) {
    scroll->setContentOffset({0, 0});
    scroll->setPagingEnabled(c.paging);
    log.clear();
    EXPECT_TRUE(scroll->scrollTo(c.target));
    EXPECT_EQ(scroll->contentOffset(), c.rest);
    EXPECT_EQ(log, (std::vector<std::string>{"begin",
                                             "scroll " + View::formatNumber(c.rest.x) + "," + View::formatNumber(c.rest.y),
                                             "end+", "rest"}));
  }
  // A drag that ends where it started does not scroll.
  log.clear();
  EXPECT_TRUE(scroll->scrollBy(0, 0));
  EXPECT_EQ(log, (std::vector<std::string>{"begin", "end+", "rest"}));
  scroll->setScrollEnabled(false);
  EXPECT_FALSE(scroll->scrollBy(0, -100));
  EXPECT_EQ(scroll->contentOffset(), (Point{320, 400}));
}

TEST_F(ScrollViewTest, ProgramOffsetsAreNotClampedAndAnimationsEndOnTheClock) {
  scroll->setContentOffset({0, -30});
  EXPECT_EQ(scroll->contentOffset(), (Point{0, -30}));
  log.clear();
  scroll->setContentOffset({0, 100}, true);
  EXPECT_EQ(log, (std::vector<std::string>{"scroll 0,100"}));
  RunLoop::main().advance(0.2);
  scroll->setContentOffset({0, 120}, true);   // a new animation replaces the running one
  RunLoop::main().advance(0.2);
  EXPECT_EQ(log.size(), 2u);
  RunLoop::main().advance(0.2);
  EXPECT_EQ(log, (std::vector<std::string>{"scroll 0,100", "scroll 0,120", "animated"}));
}

TEST_F(ScrollViewTest, TouchesAndRenderFollowTheOffset) {
  auto far = Button::create({20, 500, 100, 40});
  far->setTitle("底部");
  int taps = 0;
  far->addTarget(nullptr, ControlEvent::TouchUpInside, [&](Control&) { ++taps; });
  scroll->addSubview(far);
  // Scrolled out of view the button takes no touch; the Inspector scrolls to it as a user would.
  EXPECT_EQ(Window::hitTestScreen({70, 120}), scroll);
  ASSERT_TRUE(inspector.tap("底部").isOk());
  EXPECT_EQ(taps, 1);
  EXPECT_EQ(scroll->contentOffset(), (Point{0, 340}));
  EXPECT_EQ(far->frameInWindow(), (Rect{20, 260, 100, 40}));
  EXPECT_EQ(Window::hitTestScreen({70, 280}), far);
  EXPECT_NE(inspector.render().find("  ScrollView (0,100,320,200) content=960x600 offset=0,340\n"
                                    "    Button (20,500,100,40) \"底部\"\n"),
            std::string::npos);
}

}  // namespace
}  // namespace platform::ui
