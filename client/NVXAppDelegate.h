// The application's delegate: owns the window and the one navigation stack, holds the reader hub
// and the state of a checkout started by another app, and keeps the screen that receives reader
// events now. It is also the client's AppServices (what lower modules ask of the application),
// the one receiver of the reader hub's events (passed on to the screen in front after its own
// step) and the delegate of its own alerts (upgrade, push and reminder).
//
// Start-up runs in two stages: the first (didFinishLaunching) shows the splash in a black window
// and schedules the second 2.0 s later; the second builds the home root, the first-run guide and
// the reader hub, and handles what the launch options carry.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/shell/AppServices.h"
#include "app/ui/HomeScreen.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Hud.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "reader/CSwiperControllerDelegate.h"
#include "reader/DHSwiperController.h"

namespace nvx {

class CheckoutVerification;

class NVXAppDelegate : public platform::ui::ApplicationDelegate,
                       public AppServices,
                       public reader::CSwiperControllerDelegate,
                       public platform::ui::AlertViewDelegate,
                       public std::enable_shared_from_this<NVXAppDelegate> {
 public:
  // Splash view of the first start-up stage; the home screen removes it once shown.
  static constexpr int kSplashTag = HomeScreen::kSplashTag;
  // Seconds between the first start-up stage and the second.
  static constexpr double kSecondStageDelay = 2.0;

  // Alert tags of this delegate.
  static constexpr int kOptionalUpgradeTag = 101;
  static constexpr int kForcedUpgradeTag = 102;
  static constexpr int kPushAppStoreTag = 900;   // push type 3
  static constexpr int kPushAdvertTag = 901;     // push type 1
  static constexpr int kPushBusinessTag = 902;   // push type 2
  static constexpr int kPushNothingTag = 903;    // push type 4
  static constexpr int kPushMallThemeTag = 904;  // push type 5
  // A non-update button of one of these alerts holds back the optional upgrade this long.
  static constexpr double kUpgradeHoldBackSeconds = 1209600;  // 14 days

  // User defaults written here.
  static constexpr const char* kIsRestartKey = "isRestart";
  static constexpr const char* kStartHelpPageKey = "start_help_page";
  static constexpr const char* kClientVersionKey = "nvx_client_version";
  static constexpr const char* kDeviceTokenKey = "NUVEXA_DEVICE_TOKEN";
  static constexpr const char* kFirstLoginKey = "USER_IS_FIRST_LOGIN";

  // The page of the first-run guide.
  static constexpr const char* kGuidePage = "app_guide_1.png";
  // The store page of the client, opened by the update buttons and push type 3 (no address is
  // known for it; a neutral one of our own until the service names it).
  static constexpr const char* kAppStorePage = "https://download.nuvexa.example/client";

  NVXAppDelegate() = default;
  NVXAppDelegate(const NVXAppDelegate&) = delete;
  NVXAppDelegate& operator=(const NVXAppDelegate&) = delete;

  // The shared application's delegate, when it is an NVXAppDelegate.
  static std::shared_ptr<NVXAppDelegate> shared();

  // --- life cycle (the platform calls the ApplicationDelegate operations, which run these) ---
  // First start-up stage: black window, splash, key and visible, second stage scheduled.
  bool didFinishLaunching(platform::ui::Application& app, const platform::ui::LaunchOptions& options) override;
  int supportedInterfaceOrientations(platform::ui::Application& app, platform::ui::Window& window) override;
  // Second start-up stage, run kSecondStageDelay after the first.
  void initApplicationWhenFinishLaunchingWithOptions(const platform::ui::LaunchOptions& options);

  void applicationDidBecomeActive(platform::ui::Application& application);
  void applicationWillResignActive(platform::ui::Application& application);
  void applicationDidEnterBackground(platform::ui::Application& application);
  void applicationWillEnterForeground(platform::ui::Application& application);
  void applicationWillTerminate(platform::ui::Application& application);
  // Whether the URL was taken.
  bool applicationHandleOpenURL(platform::ui::Application& application, const std::string& url);
  void applicationDidReceiveRemoteNotification(platform::ui::Application& application, const platform::Json& userInfo);
  void applicationDidReceiveLocalNotification(platform::ui::Application& application, const platform::Json& userInfo);
  void applicationDidRegisterForRemoteNotificationsWithDeviceToken(platform::ui::Application& application,
                                                                   const std::vector<uint8_t>& deviceToken);
  void applicationDidFailToRegisterForRemoteNotificationsWithError(platform::ui::Application& application,
                                                                   const std::string& error);

  void didBecomeActive(platform::ui::Application& app) override { applicationDidBecomeActive(app); }
  void willResignActive(platform::ui::Application& app) override { applicationWillResignActive(app); }
  void didEnterBackground(platform::ui::Application& app) override { applicationDidEnterBackground(app); }
  void willEnterForeground(platform::ui::Application& app) override { applicationWillEnterForeground(app); }
  void willTerminate(platform::ui::Application& app) override { applicationWillTerminate(app); }
  bool openURL(platform::ui::Application& app, const std::string& url) override {
    return applicationHandleOpenURL(app, url);
  }
  void didReceiveRemoteNotification(platform::ui::Application& app, const platform::Json& payload) override {
    applicationDidReceiveRemoteNotification(app, payload);
  }
  void didReceiveLocalNotification(platform::ui::Application& app, const platform::Json& userInfo) override {
    applicationDidReceiveLocalNotification(app, userInfo);
  }
  void didRegisterForRemoteNotifications(platform::ui::Application& app, const std::vector<uint8_t>& token) override {
    applicationDidRegisterForRemoteNotificationsWithDeviceToken(app, token);
  }
  void didFailToRegisterForRemoteNotifications(platform::ui::Application& app, const std::string& error) override {
    applicationDidFailToRegisterForRemoteNotificationsWithError(app, error);
  }

  // --- operations for other parts of the client ---
  // Asks for the client-version list and offers an upgrade.
  void clientUpgradeAlert();
  // The reminder alert of a local notification's userInfo.
  void recervedReminder(const platform::Json& userInfo);
  // Records a push message, fetches its content and runs its type's action.
  void getNotificationContentWithMsgId(const std::string& msgId, const std::string& type);
  // A marketing entry of the receipt screen, by its fields: aType "1" advert page, "2" business
  // by code (note), "3" App Store page, "4" nothing, "5" mall subject page (aUrl).
  void marketingSchedulling(const std::string& aType, const std::string& note, const std::string& content,
                            const std::string& aUrl) override;
  // The home screen's ways into a business.
  void gotoNewBusiness(const std::optional<std::string>& title) override;
  void gotoFunctionView(const std::string& businessCode) override;
  // The home tables: a business code's screen class, a screen class's box title.
  std::optional<std::string> businessClassOfCode(const std::string& busid) override;
  std::optional<std::string> boxTitleOfScreenClass(const std::string& screenClass) override;
  void setLotteryRefresh() override;
  // The home box whose business code is code, or nothing.
  std::shared_ptr<HomeBox> homeData(const std::string& code);
  // Each returns true when it took the URL.
  bool schedulaLotteryTicket(const std::string& url);
  bool schedulaOldCheckout(const std::string& url);

  // Whether the stored guide version ("start_help_page") differs from the short version in its
  // first 3 characters (a missing one counts as differing).
  static bool isBigUpdate();
  // The short version of the application ("CFBundleShortVersionString").
  static std::string shortVersion();
  // The fields of an older merchant checkout URL ("scheme://merId;orderId;amount;mac;minCode;
  // redirectURL;randnum"), keyed, with "macType" = "2"; nothing for fewer than 7 fields.
  static std::optional<platform::Json> oldCheckoutDictionary(std::string_view url);
  // The device token as the platform writes data ("<0a1b2c3d 4e5f...>": lower-case hexadecimal,
  // a space after every 4 bytes but the last, in angle brackets).
  static std::string deviceTokenDescription(const std::vector<uint8_t>& token);

  // --- AppServices ---
  std::shared_ptr<platform::ui::NavigationController> navigationController() override { return navigationController_; }
  std::shared_ptr<platform::ui::Window> window() override { return window_; }
  std::shared_ptr<platform::ui::Hud> hud() override { return hud_; }
  void setHud(std::shared_ptr<platform::ui::Hud> h) override { hud_ = std::move(h); }
  bool isShowWizard() override { return isShowWizard_; }
  std::string mainApiAddress() override;
  void updateMainTheme() override;
  std::shared_ptr<reader::DHSwiperController> swiper() override { return swiper_; }
  std::shared_ptr<reader::CSwiperControllerDelegate> swiperListener() override { return swiperListener_.lock(); }
  void setSwiperListener(std::weak_ptr<reader::CSwiperControllerDelegate> listener) override {
    swiperListener_ = std::move(listener);
  }
  // 0 unknown (at start and after every unplug), 4 read from the reader.
  // The hub owns it.
  int ksnState() override { return swiper_ ? swiper_->ksnState() : 0; }
  void setKsnState(int s) override {
    if (swiper_) swiper_->setKsnState(s);
  }
  // Opened by another app through a URL in this activation.
  bool isSYT() override { return isSYT_; }
  // Copies the host's session into the lottery's.
  void setLotterySession(const LotterySessionValues& values) override;
  // The service-level upgrade on a settings object made for it (never shown), which keeps itself
  // alive until its flow has ended.
  void gotoWhiteList() override;
  std::shared_ptr<platform::ui::ViewController> homeViewController() override { return home(); }
  // The utility-bill screen's initWithServiceType:.
  bool initPublicService(platform::ui::ViewController& screen, int serviceType) override;

  // --- alert buttons (upgrade, push and reminder alerts) ---
  void alertViewClickedButtonAtIndex(platform::ui::AlertView& alertView, int buttonIndex) override;

  // --- reader events from the hub (which keeps the reader's session state): handed on to the
  // screen that listens now ---
  void onDevicePlugged() override { relay(&Listener::onDevicePlugged); }
  void onDeviceUnplugged() override { relay(&Listener::onDeviceUnplugged); }
  void onNoDeviceDetected() override { relay(&Listener::onNoDeviceDetected); }
  void onWaitingForDevice() override { relay(&Listener::onWaitingForDevice); }
  void onWaitingForCardSwipe() override { relay(&Listener::onWaitingForCardSwipe); }
  void onCardSwipeDetected() override { relay(&Listener::onCardSwipeDetected); }
  void onDecodingStart() override { relay(&Listener::onDecodingStart); }
  void onDecodeCompleted(const std::optional<std::string>& formatID, const std::string& ksn,
                         const std::string& encTracks, int32_t track1Length, int32_t track2Length,
                         int32_t track3Length, const std::string& randomNumber, const std::string& maskedPAN,
                         const std::string& expiryDate, const std::optional<std::string>& cardHolderName) override {
    relay(&Listener::onDecodeCompleted, formatID, ksn, encTracks, track1Length, track2Length, track3Length,
          randomNumber, maskedPAN, expiryDate, cardHolderName);
  }
  void onDecodeError(int32_t decodeResult) override { relay(&Listener::onDecodeError, decodeResult); }
  void onTimeout() override { relay(&Listener::onTimeout); }
  void onInterrupted() override { relay(&Listener::onInterrupted); }
  void onGetKsnCompleted(const std::string& ksn) override { relay(&Listener::onGetKsnCompleted, ksn); }
  void onError(int32_t errorCode, const std::string& errorMessage) override;

  // --- fields read and written across the client ---
  const std::shared_ptr<CheckoutVerification>& checkout() const { return checkout_; }
  void setCheckout(std::shared_ptr<CheckoutVerification> c) { checkout_ = std::move(c); }
  void setIsSYT(bool v) { isSYT_ = v; }
  // The root screen, held by the navigation stack.
  std::shared_ptr<platform::ui::ViewController> home() const { return home_.lock(); }
  const std::optional<platform::Json>& remotePushDic() const { return remotePushDic_; }
  bool isWakeActive() const { return isWakeActive_; }
  void setIsShowWizard(bool v) { isShowWizard_ = v; }
  bool isAppLaunched() const { return isAppLaunched_; }
  // An upgrade alert is up.
  bool hasAlert() const { return hasAlert_; }
  // When an alert of this delegate was last closed by a button other than the update button.
  const std::optional<platform::WallTime>& recordTime() const { return recordTime_; }

  // The pending second stage, while it has not run.
  std::optional<platform::TimerId> secondStageTimer() const { return secondStage_; }

 private:
  using Listener = reader::CSwiperControllerDelegate;
  // One reader event handed to the listening screen, if any.
  template <class... Params, class... Args>
  void relay(void (Listener::*event)(Params...), Args&&... args) {
    if (auto listener = swiperListener()) ((*listener).*event)(std::forward<Args>(args)...);
  }

  // The home screen's shell interface, when the root is a home screen.
  HomeScreen* homeScreen() const;
  // Shows an alert of this delegate with the tag.
  void showOwnAlert(const std::shared_ptr<platform::ui::AlertView>& alert, int tag);
  void offerUpgrade(int64_t mustup, const std::string& title, const std::string& message);
  void showPushContent(int type, const platform::Json& content);
  void openAdvert(const std::string& notice, const std::string& adURL);
  void openBusiness(const std::string& code);
  void openMallTheme(const std::string& url);
  void openAppStorePage();
  void popToRoot();
  void sendDeviceToken(const std::string& token);
  // The request router of the requests from other apps: true when one of its schedulers took
  // the URL.
  bool schedullerCenterAdpat(const std::optional<std::string>& url);

  std::shared_ptr<platform::ui::Window> window_;
  std::shared_ptr<reader::DHSwiperController> swiper_;
  std::shared_ptr<platform::ui::NavigationController> navigationController_;
  std::shared_ptr<CheckoutVerification> checkout_;
  bool isSYT_ = false;
  std::shared_ptr<platform::ui::Hud> hud_;
  std::weak_ptr<platform::ui::ViewController> home_;
  std::weak_ptr<reader::CSwiperControllerDelegate> swiperListener_;
  std::optional<platform::Json> remotePushDic_;
  bool isWakeActive_ = false;
  bool isShowWizard_ = false;
  bool isAppLaunched_ = false;
  bool hasAlert_ = false;
  std::optional<platform::WallTime> recordTime_;
  std::optional<platform::TimerId> secondStage_;
};

}  // namespace nvx
