#include "client/NVXAppDelegate.h"

#include "app/core/ThemeUtil.h"
#include "platform/device/Device.h"
#include "platform/foundation/Log.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ViewController.h"

namespace nvx {

namespace OrientationMask = platform::ui::OrientationMask;

std::shared_ptr<NVXAppDelegate> NVXAppDelegate::shared() {
  return std::dynamic_pointer_cast<NVXAppDelegate>(platform::ui::Application::shared().delegate());
}

bool NVXAppDelegate::didFinishLaunching(platform::ui::Application& app,
                                        const platform::ui::LaunchOptions& options) {
  const auto& screen = platform::Device::screen();
  window_ = platform::ui::Window::create(
      platform::ui::Rect{0, 0, screen.bounds.width, screen.bounds.height});
  window_->setBackgroundColor(platform::ui::Color::black());

  auto splash = platform::ui::ImageView::create(
      platform::ui::Rect{0, 0, screen.bounds.width, screen.bounds.height});
  splash->setImage(ThemeUtil::homeSplashImage());
  splash->setTag(kSplashTag);
  window_->addSubview(splash);

  window_->makeKeyAndVisible();

  std::weak_ptr<NVXAppDelegate> weak = weak_from_this();
  secondStage_ = platform::dispatchAfter(platform::secs(kSecondStageDelay), [weak, options] {
    if (auto self = weak.lock()) {
      self->secondStage_.reset();
      self->initApplicationWhenFinishLaunchingWithOptions(options);
    }
  }, this);
  return true;
}

int NVXAppDelegate::supportedInterfaceOrientations(platform::ui::Application&,
                                                   platform::ui::Window&) {
  const auto& mode = platform::Device::screen().currentMode;
  const bool tallScreen = mode && mode->width == 640 && mode->height == 1136;
  if (tallScreen && !isShowWizard_) {
    return OrientationMask::Portrait | OrientationMask::PortraitUpsideDown;
  }
  return OrientationMask::Portrait;
}

void NVXAppDelegate::initApplicationWhenFinishLaunchingWithOptions(
    const platform::ui::LaunchOptions& options) {
  // The second stage (home root, guide, reader hub, launch options, statistics) is not built
  // yet: the splash stays on screen.
  platform::log::info("NVXAppDelegate", "second start-up stage: nothing to run yet");
}

}  // namespace nvx
