#include "client/NVXAppDelegate.h"

#include <gtest/gtest.h>

#include "client/ClientMain.h"
#include "platform/device/Device.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ViewController.h"

namespace nvx {
namespace {

namespace OrientationMask = platform::ui::OrientationMask;

std::shared_ptr<NVXAppDelegate> launch() {
  return startClient(platform::Sandbox::root());
}

TEST(NVXAppDelegateTest, FirstStageShowsOnlyTheSplashInABlackKeyWindow) {
  auto delegate = launch();
  ASSERT_TRUE(delegate);
  EXPECT_EQ(NVXAppDelegate::shared(), delegate);

  auto window = delegate->window();
  ASSERT_TRUE(window);
  EXPECT_TRUE(window->isKeyWindow());
  EXPECT_TRUE(window->isVisible());
  ASSERT_TRUE(window->backgroundColor());
  EXPECT_EQ(*window->backgroundColor(), platform::ui::Color::black());
  EXPECT_EQ(window->frame(), (platform::ui::Rect{0, 0, 320, 568}));

  ASSERT_EQ(window->subviews().size(), 1u);
  auto splash = std::dynamic_pointer_cast<platform::ui::ImageView>(window->subviews().front());
  ASSERT_TRUE(splash);
  EXPECT_EQ(splash->tag(), NVXAppDelegate::kSplashTag);
  EXPECT_EQ(splash->tag(), 50785);
  EXPECT_EQ(splash->frame(), (platform::ui::Rect{0, 0, 320, 568}));
  ASSERT_TRUE(splash->image());
  // The 4-inch screen gets the tall splash.
  EXPECT_EQ(splash->image()->name, "app_splash-568h.png");
  EXPECT_EQ(splash->image()->size, (platform::ui::Size{320, 568}));

  // Nothing else exists before the second stage.
  EXPECT_FALSE(delegate->navigationController());
  EXPECT_FALSE(delegate->swiper());
  EXPECT_FALSE(delegate->home());
  EXPECT_EQ(delegate->ksnState(), 0);
}

TEST(NVXAppDelegateTest, ShortScreenGetsThePlainSplash) {
  platform::Device::screen().bounds = {320, 480};
  platform::Device::screen().currentMode = platform::ScreenSize{640, 960};
  auto delegate = launch();
  auto splash = std::dynamic_pointer_cast<platform::ui::ImageView>(
      delegate->window()->viewWithTag(NVXAppDelegate::kSplashTag));
  ASSERT_TRUE(splash && splash->image());
  EXPECT_EQ(splash->image()->name, "app_splash.png");
  EXPECT_EQ(splash->frame(), (platform::ui::Rect{0, 0, 320, 480}));
}

TEST(NVXAppDelegateTest, SecondStageRunsTwoSecondsLater) {
  auto delegate = launch();
  auto& loop = platform::RunLoop::main();
  ASSERT_TRUE(delegate->secondStageTimer());
  loop.advance(1.999);
  EXPECT_TRUE(delegate->secondStageTimer()) << "second stage ran early";
  loop.advance(0.001);
  EXPECT_FALSE(delegate->secondStageTimer()) << "second stage did not run at 2.0 s";
  // The splash stays until a home screen removes it.
  EXPECT_TRUE(delegate->window()->viewWithTag(NVXAppDelegate::kSplashTag));
}

TEST(NVXAppDelegateTest, UpsideDownOnlyOnTallScreensWithoutTheGuide) {
  struct Case {
    std::optional<platform::ScreenSize> mode;
    bool wizard;
    int mask;
  };
  const int upright = OrientationMask::Portrait;
  const int both = OrientationMask::Portrait | OrientationMask::PortraitUpsideDown;
  const Case cases[] = {
      {platform::ScreenSize{640, 1136}, false, both},
      {platform::ScreenSize{640, 1136}, true, upright},
      {platform::ScreenSize{640, 960}, false, upright},
      {platform::ScreenSize{1136, 640}, false, upright},
      {std::nullopt, false, upright},
  };
  EXPECT_EQ(upright, 2);
  EXPECT_EQ(both, 6);
  auto delegate = launch();
  auto& app = platform::ui::Application::shared();
  for (const auto& c : cases) {
    platform::Device::screen().currentMode = c.mode;
    delegate->setIsShowWizard(c.wizard);
    EXPECT_EQ(app.supportedInterfaceOrientations(*delegate->window()), c.mask)
        << "wizard=" << c.wizard;
  }
}

}  // namespace
}  // namespace nvx
