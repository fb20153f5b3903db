// The application's delegate: owns the window and the one navigation stack, holds the reader hub
// and the state of a checkout started by another app, and keeps the screen that receives reader
// events now.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/foundation/Json.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Application.h"
#include "platform/ui/Hud.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace nvx {

class DHSwiperController;
class CheckoutVerification;
class HomeViewController;
namespace reader {
class CSwiperControllerDelegate;
}

class NVXAppDelegate : public platform::ui::ApplicationDelegate,
                       public std::enable_shared_from_this<NVXAppDelegate> {
 public:
  // Splash view of the first start-up stage; the home screen removes it once shown.
  static constexpr int kSplashTag = 50785;
  // Seconds between the first start-up stage and the second.
  static constexpr double kSecondStageDelay = 2.0;

  // The shared application's delegate, when it is an NVXAppDelegate.
  static std::shared_ptr<NVXAppDelegate> shared();

  // First start-up stage: black window, splash, key and visible, second stage scheduled.
  bool didFinishLaunching(platform::ui::Application& app,
                          const platform::ui::LaunchOptions& options) override;
  int supportedInterfaceOrientations(platform::ui::Application& app,
                                     platform::ui::Window& window) override;

  // Second start-up stage, run kSecondStageDelay after the first.
  void initApplicationWhenFinishLaunchingWithOptions(const platform::ui::LaunchOptions& options);

  // --- fields read and written across the client ---
  const std::shared_ptr<platform::ui::Window>& window() const { return window_; }
  const std::shared_ptr<DHSwiperController>& swiper() const { return swiper_; }
  void setSwiper(std::shared_ptr<DHSwiperController> s) { swiper_ = std::move(s); }
  const std::shared_ptr<platform::ui::NavigationController>& navigationController() const {
    return navigationController_;
  }
  void setNavigationController(std::shared_ptr<platform::ui::NavigationController> nav) {
    navigationController_ = std::move(nav);
  }
  const std::shared_ptr<CheckoutVerification>& checkout() const { return checkout_; }
  void setCheckout(std::shared_ptr<CheckoutVerification> c) { checkout_ = std::move(c); }
  bool isSYT() const { return isSYT_; }
  void setIsSYT(bool v) { isSYT_ = v; }
  const std::shared_ptr<platform::ui::Hud>& hud() const { return hud_; }
  void setHud(std::shared_ptr<platform::ui::Hud> h) { hud_ = std::move(h); }
  // The root screen, held by the navigation stack.
  std::shared_ptr<HomeViewController> home() const { return home_.lock(); }
  void setHome(const std::shared_ptr<HomeViewController>& h) { home_ = h; }
  int32_t ksnState() const { return ksnState_; }
  void setKsnState(int32_t s) { ksnState_ = s; }
  // Not owned: the screen in front registers itself each time it is shown.
  std::shared_ptr<reader::CSwiperControllerDelegate> swiperListener() const {
    return swiperListener_.lock();
  }
  void setSwiperListener(const std::shared_ptr<reader::CSwiperControllerDelegate>& l) {
    swiperListener_ = l;
  }
  const std::optional<platform::Json>& remotePushDic() const { return remotePushDic_; }
  void setRemotePushDic(std::optional<platform::Json> d) { remotePushDic_ = std::move(d); }
  bool isWakeActive() const { return isWakeActive_; }
  void setIsWakeActive(bool v) { isWakeActive_ = v; }
  bool isShowWizard() const { return isShowWizard_; }
  void setIsShowWizard(bool v) { isShowWizard_ = v; }
  bool isAppLaunched() const { return isAppLaunched_; }
  void setIsAppLaunched(bool v) { isAppLaunched_ = v; }

  // The pending second stage, while it has not run.
  std::optional<platform::TimerId> secondStageTimer() const { return secondStage_; }

 private:
  std::shared_ptr<platform::ui::Window> window_;
  std::shared_ptr<DHSwiperController> swiper_;
  std::shared_ptr<platform::ui::NavigationController> navigationController_;
  std::shared_ptr<CheckoutVerification> checkout_;
  bool isSYT_ = false;
  std::shared_ptr<platform::ui::Hud> hud_;
  std::weak_ptr<HomeViewController> home_;
  int32_t ksnState_ = 0;
  std::weak_ptr<reader::CSwiperControllerDelegate> swiperListener_;
  std::optional<platform::Json> remotePushDic_;
  bool isWakeActive_ = false;
  bool isShowWizard_ = false;
  bool isAppLaunched_ = false;
  std::optional<platform::TimerId> secondStage_;
};

}  // namespace nvx
