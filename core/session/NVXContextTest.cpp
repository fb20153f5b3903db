#include "core/session/NVXContext.h"

#include <gtest/gtest.h>

namespace nvx {
namespace {

using platform::ui::ViewController;

class Screen : public ViewController {
 public:
  std::string className() const override { return "Screen"; }
  void viewDidLoad() override { visibleDuringLoad = NVXContext::sharedContext().visibleViewController().get(); }
  ViewController* visibleDuringLoad = nullptr;
};

class NVXContextTest : public ::testing::Test {
 protected:
  void SetUp() override { installRuntimeHooks(); }
  static std::shared_ptr<ViewController> visible() { return NVXContext::sharedContext().visibleViewController(); }
};

TEST_F(NVXContextTest, TracksTheScreenWhoseViewWasLoadedLast) {
  auto a = std::make_shared<Screen>();
  auto b = std::make_shared<Screen>();
  EXPECT_EQ(visible(), nullptr);

  a->view();
  EXPECT_EQ(visible(), a);
  // Set before the screen's own viewDidLoad runs.
  EXPECT_EQ(a->visibleDuringLoad, a.get());

  b->view();
  EXPECT_EQ(visible(), b);
  // A second view() loads nothing and changes nothing.
  a->view();
  EXPECT_EQ(visible(), b);
}

TEST_F(NVXContextTest, ReleasingAnyScreenClearsTheVisibleOne) {
  auto a = std::make_shared<Screen>();
  auto b = std::make_shared<Screen>();
  a->view();
  b->view();
  ASSERT_EQ(visible(), b);
  a.reset();   // not the visible one
  EXPECT_EQ(visible(), nullptr);

  // A screen whose view was never loaded counts as well.
  auto never = std::make_shared<Screen>();
  auto d = std::make_shared<Screen>();
  d->view();
  ASSERT_EQ(visible(), d);
  never.reset();
  EXPECT_EQ(visible(), nullptr);
}

TEST(NVXContext, ScreensAreNotOwnedAndNotTrackedUntilInstalled) {
  auto& context = NVXContext::sharedNVXContext();
  EXPECT_EQ(&context, &NVXContext::sharedContext());
  auto a = std::make_shared<Screen>();
  a->view();
  EXPECT_EQ(context.visibleViewController(), nullptr);

  context.setReloginToViewController(a);
  context.setVisibleViewController(a);
  EXPECT_EQ(context.reloginToViewController(), a);
  EXPECT_EQ(context.visibleViewController(), a);
  a.reset();
  EXPECT_EQ(context.reloginToViewController(), nullptr);
  EXPECT_EQ(context.visibleViewController(), nullptr);
}

}  // namespace
}  // namespace nvx
