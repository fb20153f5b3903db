// The swipe picture's cycle on the virtual clock, and its touch.
#include <gtest/gtest.h>

#include "app/ui/SwipeAnimationView.h"
#include "app/ui/testing/TestPictureBundle.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::RunLoop;
using platform::ui::Inspector;
using platform::ui::Rect;

std::vector<std::string> pictureNames() {
  std::vector<std::string> names;
  for (int i = 1; i <= 11; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "%03d.png", i);
    names.push_back(name);
  }
  return names;
}

class Host : public SwipeAnimationViewDelegate {
 public:
  void swipeAnimationViewDidPressed(SwipeAnimationView&) override { ++presses; }
  int presses = 0;
};

class SwipeAnimationViewTest : public ::testing::Test {
 protected:
  testing::TestPictureBundle pictures_{pictureNames()};
  std::shared_ptr<Host> host_ = std::make_shared<Host>();
  std::shared_ptr<SwipeAnimationView> view_ = SwipeAnimationView::create(Rect{40, 100, 240, 120}, host_);
};

TEST_F(SwipeAnimationViewTest, TenFramesThenTheStillPicture) {
  auto imageView = view_->imageView();
  EXPECT_EQ(imageView->frame(), (Rect{0, 0, 240, 120}));
  ASSERT_TRUE(imageView->image());
  EXPECT_EQ(imageView->image()->name, "011.png");
  std::vector<std::string> frames;
  for (const auto& frame : imageView->animationImages()) frames.push_back(frame.name);
  EXPECT_EQ(frames, (std::vector<std::string>{"001.png", "002.png", "003.png", "004.png", "005.png", "006.png",
                                              "007.png", "008.png", "009.png", "010.png"}));
  EXPECT_EQ(imageView->animationDuration(), 0.6);
  EXPECT_EQ(imageView->animationRepeatCount(), 1);
  EXPECT_FALSE(view_->isAnimating());

  view_->setOneStartImage();
  EXPECT_EQ(imageView->image()->name, "001.png");
}

TEST_F(SwipeAnimationViewTest, PlaysFor06sEverySecondUntilStopped) {
  view_->startAnimating();
  // (time since start, playing): 0.6 s of frames, then the still picture until the next second.
  const std::pair<double, bool> timeline[] = {
      {0.0, true}, {0.59, true}, {0.61, false}, {0.99, false}, {1.0, true}, {1.59, true},
      {1.61, false}, {2.0, true}, {2.61, false}, {3.0, true},
  };
  double now = 0;
  for (auto [at, playing] : timeline) {
    RunLoop::main().advance(at - now);
    now = at;
    EXPECT_EQ(view_->isAnimating(), playing) << at;
  }
  view_->stopAnimating();
  EXPECT_FALSE(view_->isAnimating());
  RunLoop::main().advance(5.0);
  EXPECT_FALSE(view_->isAnimating());

  // Started twice, it still runs one cycle, and one stop ends it.
  view_->startAnimating();
  view_->startAnimating();
  RunLoop::main().advance(1.0);
  EXPECT_TRUE(view_->isAnimating());
  view_->stopAnimating();
  RunLoop::main().advance(3.0);
  EXPECT_FALSE(view_->isAnimating());
}

TEST_F(SwipeAnimationViewTest, ReleasingTheViewEndsTheCycle) {
  view_->startAnimating();
  std::weak_ptr<SwipeAnimationView> weak = view_;
  std::weak_ptr<platform::ui::ImageView> imageView = view_->imageView();
  view_.reset();
  EXPECT_TRUE(weak.expired());   // the pending restart does not keep it
  RunLoop::main().advance(3.0);
  EXPECT_TRUE(imageView.expired());
}

TEST_F(SwipeAnimationViewTest, ATouchOnThePictureTellsTheHost) {
  auto window = platform::ui::Window::create();
  window->makeKeyAndVisible();
  window->addSubview(view_);
  Inspector inspector;
  ASSERT_TRUE(inspector.tapControl(*view_->button()).isOk());
  EXPECT_EQ(host_->presses, 1);
  EXPECT_EQ(view_->button()->frame(), (Rect{0, 0, 240, 120}));
  EXPECT_EQ(view_->button()->currentTitle(), "");

  host_.reset();   // not kept by the view
  ASSERT_TRUE(inspector.tapControl(*view_->button()).isOk());
}

}  // namespace
}  // namespace nvx
