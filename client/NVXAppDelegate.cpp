#include "client/NVXAppDelegate.h"

#include <algorithm>

#include "account/SettingListViewController.h"
#include "bills/PublicServiceViewController.h"
#include "core/session/UIScreen.h"
#include "core/models/ClientVersionEntity.h"
#include "app/ui/CustomNavigationConroller.h"
#include "core/shell/ScreenRegistry.h"
#include "core/session/ThemeUtil.h"
#include "core/text/UrlEscaping.h"
#include "core/session/User.h"
#include "app/ui/AdvertisingWebViewController.h"
#include "app/ui/AlertViewExt.h"
#include "app/ui/ViewExt.h"
#include "client/WizardView.h"
#include "home/ThemeRefresh.h"
#include "home/HomeDataUtil.h"
#include "lottery/core/StaticVariable.h"
#include "mall/MallCartManagement.h"
#include "mall/MallThemeViewController.h"
#include "mall/ThematicMallEntity.h"
#include "net/CoreOperations.h"
#include "net/DataStatistics.h"
#include "net/MainApiRequest.h"
#include "net/ServerConfig.h"
#include "net/StatisticsServerConfig.h"
#include "platform/device/Device.h"
#include "platform/foundation/Bundle.h"
#include "home/HomeDataUtil.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/Text16.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/net/HttpRequest.h"
#include "platform/ui/ImageView.h"

namespace nvx {

namespace OrientationMask = platform::ui::OrientationMask;

namespace {

constexpr std::string_view kTag = "NVXAppDelegate";

// Texts of this delegate's alerts.
constexpr const char* kLaterButton = "稍后再说";
constexpr const char* kUpdateButton = "立即更新";
constexpr const char* kOkButton = "确定";
constexpr const char* kCancelButton = "取消";
constexpr const char* kReaderFailedTitle = "刷卡器识别失败";
constexpr const char* kReaderFailedMessage = "请确认刷卡器型号，或重新拔插刷卡器再试。";
constexpr const char* kReaderFailedButton = "知道了";

// The statistics server's method for the push device token, and its time-out.
constexpr const char* kAddTokenMethod = "addIphoneToken";
constexpr int kAddTokenTimeoutSeconds = 60;

// The push types and their alert tags.
int pushAlertTag(int type) {
  switch (type) {
    case 1: return NVXAppDelegate::kPushAdvertTag;
    case 2: return NVXAppDelegate::kPushBusinessTag;
    case 3: return NVXAppDelegate::kPushAppStoreTag;
    case 4: return NVXAppDelegate::kPushNothingTag;
    case 5: return NVXAppDelegate::kPushMallThemeTag;
    default: return 0;
  }
}

bool isPushAlertTag(int tag) { return tag >= NVXAppDelegate::kPushAppStoreTag && tag <= NVXAppDelegate::kPushMallThemeTag; }

// A text's integer value as the system reads it: its integer prefix, 0 when there is none.
int64_t intValue(std::string_view text) { return platform::json::asInt(platform::Json(std::string(text))).value_or(0); }

// A push payload's "aps" member as text ("" when it is absent or not a text or number).
std::string apsText(const platform::Json& payload, std::string_view key) {
  const platform::Json* aps = platform::json::member(payload, "aps");
  if (!aps) return {};
  const platform::Json* value = platform::json::member(*aps, key);
  return value ? platform::json::asText(*value).value_or("") : std::string();
}

// A message's statistics verdict: whether its type is one the client knows.
bool isKnownPushType(std::string_view type) {
  const int64_t t = intValue(type);
  return t >= 0 && t <= 5;
}

}  // namespace

std::shared_ptr<NVXAppDelegate> NVXAppDelegate::shared() {
  return std::dynamic_pointer_cast<NVXAppDelegate>(platform::ui::Application::shared().delegate());
}

std::string NVXAppDelegate::shortVersion() {
  return platform::Bundle::main().info("CFBundleShortVersionString").value_or("");
}

bool NVXAppDelegate::isBigUpdate() {
  auto stored = platform::UserDefaults::standard().string(kStartHelpPageKey);
  if (!stored) return true;
  // A stored text shorter than 3 characters is compared whole rather than read past its end.
  return platform::u16substr(*stored, 0, 3) != platform::u16substr(shortVersion(), 0, 3);
}

std::string NVXAppDelegate::mainApiAddress() { return ServerConfig::current().mainApiBase(); }

void NVXAppDelegate::gotoWhiteList() { SettingListViewController::create()->gotoWhiteList(); }

bool NVXAppDelegate::initPublicService(platform::ui::ViewController& screen, int serviceType) {
  auto* utility = dynamic_cast<PublicServiceViewController*>(&screen);
  if (!utility) return false;
  utility->initWithServiceType(serviceType);
  return true;
}

void NVXAppDelegate::setLotterySession(const LotterySessionValues& values) {
  auto& session = lottery::StaticVariable::shared();
  session.setFinalTokenid(values.finalTokenid);
  session.setMobelNum(values.mobelNum);
  session.setUserID(values.userID);
}

HomeScreen* NVXAppDelegate::homeScreen() const { return dynamic_cast<HomeScreen*>(home_.lock().get()); }

// --- first stage ------------------------------------------------------------------------------

bool NVXAppDelegate::didFinishLaunching(platform::ui::Application& app, const platform::ui::LaunchOptions& options) {
  const auto& screen = platform::Device::screen();
  window_ = platform::ui::Window::create(platform::ui::Rect{0, 0, screen.bounds.width, screen.bounds.height});
  window_->setBackgroundColor(platform::ui::Color::black());

  auto splash = platform::ui::ImageView::create(platform::ui::Rect{0, 0, screen.bounds.width, screen.bounds.height});
  splash->setImage(ThemeUtil::homeSplashImage());
  splash->setTag(kSplashTag);
  window_->addSubview(splash);

  window_->makeKeyAndVisible();

  std::weak_ptr<NVXAppDelegate> weak = weak_from_this();
  secondStage_ = platform::dispatchAfter(
      platform::secs(kSecondStageDelay),
      [weak, options] {
        if (auto self = weak.lock()) {
          self->secondStage_.reset();
          self->initApplicationWhenFinishLaunchingWithOptions(options);
        }
      },
      this);
  return true;
}

int NVXAppDelegate::supportedInterfaceOrientations(platform::ui::Application&, platform::ui::Window&) {
  // The same 4-inch check as the screens': a window that forbade what its screens allow would
  // leave a 320 x 568 mode half turned.
  if (UIScreen::isFourInch() && !isShowWizard_) return OrientationMask::Portrait | OrientationMask::PortraitUpsideDown;
  return OrientationMask::Portrait;
}

// --- second stage -----------------------------------------------------------------------------

void NVXAppDelegate::initApplicationWhenFinishLaunchingWithOptions(const platform::ui::LaunchOptions& options) {
  auto& defaults = platform::UserDefaults::standard();
  auto& app = platform::ui::Application::shared();

  defaults.set(kIsRestartKey, "1");
  if (isSYT_) {
    defaults.set(kStartHelpPageKey, shortVersion());
    defaults.synchronize();
  }

  // The home screen becomes the root of the one navigation stack (no tab bar).
  if (auto home = ScreenRegistry::shared().create(HomeScreen::kClassName)) {
    home_ = home;
    navigationController_ = CustomNavigationConroller::create(home);
    window_->setRootViewController(navigationController_);
  } else {
    platform::log::warning(kTag, "no home screen is registered: the splash stays");
  }

  app.setApplicationIconBadgeNumber(0);

  if (!isSYT_ && (!defaults.contains(kStartHelpPageKey) || isBigUpdate())) {
    WizardView::initWithPages({kGuidePage})->show();
  }

  hasAlert_ = false;
  isSYT_ = false;

  swiper_ = reader::DHSwiperController::create();
  swiper_->setDelegate(std::static_pointer_cast<reader::CSwiperControllerDelegate>(shared_from_this()));

  if (options.localNotificationUserInfo) recervedReminder(*options.localNotificationUserInfo);

  app.registerForRemoteNotifications(platform::ui::RemoteNotificationType::Badge |
                                     platform::ui::RemoteNotificationType::Sound |
                                     platform::ui::RemoteNotificationType::Alert);

  if (options.remotePayload) {
    getNotificationContentWithMsgId(apsText(*options.remotePayload, "msgId"), apsText(*options.remotePayload, "type"));
  }

  if (!schedullerCenterAdpat(options.url) && options.url) schedulaOldCheckout(*options.url);

  const std::string version = shortVersion();
  if (defaults.string(kClientVersionKey) != version) {
    defaults.set(kClientVersionKey, version);
    DataStatistics::sharedDataStatistics().clientActive();
  }

  DataStatistics::sharedDataStatistics().reOpenRecord(false);

  // The launch picture of the next start: the splash of this one is already built.
  ThemeRefresh::updateHomePic();

  isAppLaunched_ = true;
}

void NVXAppDelegate::updateMainTheme() { ThemeRefresh::updateMainTheme(); }

// --- opened URLs ------------------------------------------------------------------------------

bool NVXAppDelegate::schedullerCenterAdpat(const std::optional<std::string>& url) {
  if (!url) return false;
  // The router of requests from other apps (bank apps, merchant checkout) belongs to the payment
  // flow, which is not part of this build: no scheduler adapts the URL.
  platform::log::info(kTag, "no request router in this build: the URL goes to the older checkout rule");
  return false;
}

bool NVXAppDelegate::applicationHandleOpenURL(platform::ui::Application&, const std::string& url) {
  isSYT_ = true;
  if (isAppLaunched_ && schedullerCenterAdpat(url)) return true;
  if (schedulaLotteryTicket(url)) return true;
  if (isAppLaunched_ && schedulaOldCheckout(url)) return true;
  return false;
}

bool NVXAppDelegate::schedulaLotteryTicket(const std::string& url) {
  if (url.find("lotteryTicket") == std::string::npos) return false;
  lottery::StaticVariable::shared().setShuaxin(true);
  auto top = navigationController_ ? navigationController_->topViewController() : nullptr;
  if (auto* home = dynamic_cast<HomeScreen*>(top.get())) {
    home->handleUrlForTicket(url);
  } else {
    // Only the home screen opens the lottery from a link; another screen in front ignores it.
    platform::log::info(kTag, "lottery link while the home screen is not in front: not opened");
  }
  return true;
}

std::optional<platform::Json> NVXAppDelegate::oldCheckoutDictionary(std::string_view url) {
  const auto schemeEnd = url.find("://");
  if (schemeEnd == std::string_view::npos) return std::nullopt;
  std::string_view rest = url.substr(schemeEnd + 3);
  // The piece between the first "://" and the next one.
  if (auto next = rest.find("://"); next != std::string_view::npos) rest = rest.substr(0, next);

  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const auto semicolon = rest.find(';', start);
    fields.emplace_back(rest.substr(start, semicolon == std::string_view::npos ? std::string_view::npos : semicolon - start));
    if (semicolon == std::string_view::npos) break;
    start = semicolon + 1;
  }
  if (fields.size() < 7) return std::nullopt;

  static constexpr const char* kKeys[] = {"merId", "orderId", "amount", "mac", "minCode", "redirectURL", "randnum"};
  platform::Json data = platform::Json::object();
  for (size_t i = 0; i < 7; ++i) data[kKeys[i]] = fields[i];
  data["macType"] = "2";
  return data;
}

bool NVXAppDelegate::schedulaOldCheckout(const std::string& url) {
  auto data = oldCheckoutDictionary(url);
  if (!data) return false;
  // The older merchant checkout (CheckoutVerification with its CheckoutData) belongs to the
  // payment flow, which is not part of this build: the URL is not taken and nothing moves.
  platform::log::info(kTag, "older checkout URL: no checkout in this build, not taken");
  return false;
}

// --- becoming active, leaving the foreground -----------------------------------------------------

void NVXAppDelegate::applicationDidBecomeActive(platform::ui::Application&) {
  clientUpgradeAlert();
  if (isWakeActive_) {
    DataStatistics::sharedDataStatistics().reOpenRecord(true);
  } else {
    // The first activation of a run is recorded by the second start-up stage.
    isWakeActive_ = true;
  }
}

void NVXAppDelegate::applicationWillResignActive(platform::ui::Application&) {
  DataStatistics::sharedDataStatistics().uploadFile();
}

void NVXAppDelegate::applicationDidEnterBackground(platform::ui::Application& application) {
  platform::UserDefaults::standard().synchronize();
  if (swiper_) swiper_->setCheckoutDelegate({});
  isSYT_ = false;

  auto task = std::make_shared<int64_t>(0);
  *task = application.beginBackgroundTask([task] { platform::ui::Application::shared().endBackgroundTask(*task); });
  platform::dispatchGlobal([task] {
    DataStatistics::sharedDataStatistics().uploadFile();
    platform::dispatchMain([task] { platform::ui::Application::shared().endBackgroundTask(*task); });
  });
}

void NVXAppDelegate::applicationWillEnterForeground(platform::ui::Application&) { isSYT_ = false; }

void NVXAppDelegate::applicationWillTerminate(platform::ui::Application&) {
  platform::UserDefaults::standard().synchronize();
}

// --- client upgrade -----------------------------------------------------------------------------

void NVXAppDelegate::clientUpgradeAlert() {
  std::weak_ptr<NVXAppDelegate> weak = weak_from_this();
  CoreOperations::getShuakaqiListWithBlock([weak](NetResult result, RetStatusEntity, bool isErr) {
    auto self = weak.lock();
    if (!self || isErr) return;
    const auto versions = result.list<ClientVersionEntity>();
    if (versions.empty() || !versions.front()) return;
    const ClientVersionEntity& first = *versions.front();
    self->offerUpgrade(first.mustup(), first.descTitle(), first.clientDesc());
  });
}

void NVXAppDelegate::offerUpgrade(int64_t mustup, const std::string& title, const std::string& message) {
  if (mustup == 0) {
    if (recordTime_ && platform::clock().wallNow() - *recordTime_ < platform::secs(kUpgradeHoldBackSeconds)) return;
    if (hasAlert_) return;
    showOwnAlert(AlertViewExt::alertTitle(title, message, kLaterButton, {kUpdateButton}), kOptionalUpgradeTag);
    hasAlert_ = true;
  } else if (mustup == 1) {
    showOwnAlert(AlertViewExt::alertTitle(title, message, std::nullopt, {kOkButton}), kForcedUpgradeTag);
    hasAlert_ = true;
  }
}

void NVXAppDelegate::showOwnAlert(const std::shared_ptr<platform::ui::AlertView>& alert, int tag) {
  auto tagged = ViewExt::viewBindTag(alert, tag);
  AlertViewExt::show(*tagged, std::static_pointer_cast<platform::ui::AlertViewDelegate>(shared_from_this()));
}

void NVXAppDelegate::alertViewClickedButtonAtIndex(platform::ui::AlertView& alertView, int buttonIndex) {
  const int tag = alertView.tag();
  hasAlert_ = false;
  if ((buttonIndex == 1 && tag == kOptionalUpgradeTag) || tag == kForcedUpgradeTag) {
    openAppStorePage();
  } else {
    recordTime_ = platform::clock().wallNow();
  }
  if (buttonIndex == 1 && isPushAlertTag(tag) && remotePushDic_) {
    getNotificationContentWithMsgId(apsText(*remotePushDic_, "msgId"), apsText(*remotePushDic_, "type"));
  }
}

void NVXAppDelegate::openAppStorePage() {
  if (!platform::ui::Application::shared().openURL(kAppStorePage)) {
    platform::log::warning(kTag, "the store page could not be opened");
  }
}

// --- push messages ------------------------------------------------------------------------------

void NVXAppDelegate::applicationDidReceiveRemoteNotification(platform::ui::Application& application,
                                                           const platform::Json& userInfo) {
  remotePushDic_ = userInfo;
  const std::string msgId = apsText(userInfo, "msgId");
  const std::string type = apsText(userInfo, "type");
  if (application.state() != platform::ui::ApplicationState::Active) {
    // The user opened the notification.
    getNotificationContentWithMsgId(msgId, type);
    return;
  }
  DataStatistics::sharedDataStatistics().notificationRecord(isKnownPushType(type), msgId);
  const int tag = pushAlertTag(static_cast<int>(intValue(type)));
  if (tag == 0) return;
  showOwnAlert(AlertViewExt::alertTitle("", apsText(userInfo, "alert"), kCancelButton, {kOkButton}), tag);
}

void NVXAppDelegate::getNotificationContentWithMsgId(const std::string& msgId, const std::string& type) {
  DataStatistics::sharedDataStatistics().notificationRecord(isKnownPushType(type), msgId);
  const int pushType = static_cast<int>(intValue(type));
  std::weak_ptr<NVXAppDelegate> weak = weak_from_this();
  CoreOperations::getIosPushMsgWithMsgId(msgId, [weak, pushType](NetResult result, RetStatusEntity, bool isErr) {
    auto self = weak.lock();
    if (!self || isErr) return;
    const platform::Json* list = result.json();
    if (!list || !list->is_array() || list->empty() || !list->front().is_object()) return;
    self->showPushContent(pushType, list->front());
  });
}

void NVXAppDelegate::showPushContent(int type, const platform::Json& content) {
  const std::string aContent = platform::json::text(content, "aContent").value_or("");
  const std::string aUrl = platform::json::text(content, "aUrl").value_or("");
  switch (type) {
    case 1:
      popToRoot();
      if (!aContent.empty() && !aUrl.empty()) openAdvert(aContent, aUrl);
      break;
    case 2: {
      const std::string note = platform::json::text(content, "note").value_or("");
      if (note.empty()) break;
      popToRoot();
      openBusiness(note);
      break;
    }
    case 3:
      openAppStorePage();
      break;
    case 5:
      popToRoot();
      openMallTheme(aUrl);
      break;
    default:
      break;
  }
}

void NVXAppDelegate::marketingSchedulling(const std::string& aType, const std::string& note, const std::string& content,
                                          const std::string& aUrl) {
  popToRoot();
  switch (intValue(aType)) {
    case 1:
      openAdvert(content, aUrl);
      break;
    case 2:
      openBusiness(note);
      break;
    case 3:
      openAppStorePage();
      break;
    case 5:
      openMallTheme(aUrl);
      break;
    default:
      break;
  }
}

void NVXAppDelegate::gotoNewBusiness(const std::optional<std::string>& title) {
  auto* home = homeScreen();
  if (!title || !home) {
    if (title) platform::log::info(kTag, "no home screen to open " + *title);
    if (navigationController_) navigationController_->popToRoot(true);
    return;
  }
  home->gotoNewBusiness(*title);
}

void NVXAppDelegate::gotoFunctionView(const std::string& businessCode) {
  if (auto* home = homeScreen()) {
    home->gotoFunctionView(businessCode);
  } else {
    platform::log::info(kTag, "no home screen to open " + businessCode);
  }
}

std::optional<std::string> NVXAppDelegate::businessClassOfCode(const std::string& busid) {
  const auto table = HomeDataUtil::getBusidAndClass();
  auto it = table.find(busid);
  return it == table.end() ? std::nullopt : std::optional<std::string>(it->second);
}

std::optional<std::string> NVXAppDelegate::boxTitleOfScreenClass(const std::string& screenClass) {
  for (const auto& box : HomeDataUtil::getAllBoxData()) {
    if (box && box->targetCtr() == screenClass) return box->title();
  }
  return std::nullopt;
}

void NVXAppDelegate::setLotteryRefresh() { lottery::StaticVariable::shared().setShuaxin(true); }

void NVXAppDelegate::popToRoot() {
  if (navigationController_) navigationController_->popToRoot(false);
}

void NVXAppDelegate::openAdvert(const std::string& notice, const std::string& adURL) {
  auto* home = homeScreen();
  if (!home) {
    platform::log::info(kTag, "advert page: no home screen to push it");
    return;
  }
  auto advert = AdvertisingWebViewController::create();
  advert->setNotice(notice);
  advert->setAdURL(adURL);
  home->pushToAdvertiseMent(advert);
}

std::shared_ptr<HomeBox> NVXAppDelegate::homeData(const std::string& code) {
  auto* home = homeScreen();
  if (!home) return nullptr;
  for (auto& box : home->getAllBusiness()) {
    if (box && box->pushIdentifier() == code) return box;
  }
  return nullptr;
}

void NVXAppDelegate::openBusiness(const std::string& code) {
  if (!homeData(code)) return;
  if (auto* home = homeScreen()) home->gotoFunctionView(code);
}

void NVXAppDelegate::openMallTheme(const std::string& url) {
  MallCartManagement::shareCart().setMallSourceId(platform::json::text(text::paramsOfUrl(url), "pCode"));
  ThematicMallEntity entity;
  entity.setUrl(url);
  auto page = MallThemeViewController::create();
  page->setThematicEntity(std::move(entity));
  if (navigationController_) {
    navigationController_->push(page, true);
  } else {
    platform::log::info(kTag, "mall subject page: no navigation stack yet");
  }
}

// --- local reminders ----------------------------------------------------------------------------

void NVXAppDelegate::applicationDidReceiveLocalNotification(platform::ui::Application&, const platform::Json& userInfo) {
  recervedReminder(userInfo);
}

void NVXAppDelegate::recervedReminder(const platform::Json& userInfo) {
  const std::string title = platform::json::text(userInfo, "CategoryClock").value_or("");
  const std::string message = platform::json::text(userInfo, "CustomContentClock").value_or("");
  auto alert = platform::ui::AlertView::create(title, message, platform::Strings::localized("Know"));
  alert->setDelegate(std::static_pointer_cast<platform::ui::AlertViewDelegate>(shared_from_this()));
  alert->show();
}

// --- push registration --------------------------------------------------------------------------

std::string NVXAppDelegate::deviceTokenDescription(const std::vector<uint8_t>& token) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text = "<";
  for (size_t i = 0; i < token.size(); ++i) {
    if (i > 0 && i % 4 == 0) text += ' ';
    text += kDigits[token[i] >> 4];
    text += kDigits[token[i] & 15];
  }
  text += '>';
  return text;
}

void NVXAppDelegate::applicationDidRegisterForRemoteNotificationsWithDeviceToken(
    platform::ui::Application&, const std::vector<uint8_t>& deviceToken) {
  const std::string text = deviceTokenDescription(deviceToken);
  if (text.size() < 3) return;
  // Without the angle brackets; the spaces inside stay.
  const std::string token = text.substr(1, text.size() - 2);
  auto& defaults = platform::UserDefaults::standard();
  defaults.set(kDeviceTokenKey, token);
  defaults.set(kFirstLoginKey, "NO");
  sendDeviceToken(token);
  defaults.synchronize();
}

void NVXAppDelegate::sendDeviceToken(const std::string& token) {
  std::shared_ptr<platform::net::HttpRequest> request =
      MainApiRequest::postForm(std::string(kAddTokenMethod), Identity::None)
          .atBase(StatisticsServerConfig::current().statisticsBase())
          .sessionQuery("uid", SessionValue::Uid)
          .sessionQuery("vercode", SessionValue::Vercode)
          .keepAlive(false)
          .timeout(std::chrono::seconds(kAddTokenTimeoutSeconds))
          .field("deviceToken", token)
          .field("deviceId", DataStatistics::sharedDataStatistics().deviceId())
          .field("switchState", "1")
          .build();
  // The reply is not read, and a failure changes nothing.
  request->startAsynchronous([](platform::net::HttpRequest&) {}, [](platform::net::HttpRequest&) {});
}

void NVXAppDelegate::applicationDidFailToRegisterForRemoteNotificationsWithError(platform::ui::Application&,
                                                                               const std::string&) {
  platform::UserDefaults::standard().set(kDeviceTokenKey, "");
}

// --- reader events ------------------------------------------------------------------------------

void NVXAppDelegate::onError(int32_t errorCode, const std::string& errorMessage) {
  if (errorCode == reader::kReaderErrorKsn) {
    platform::ui::AlertView::create(kReaderFailedTitle, kReaderFailedMessage, std::nullopt, {kReaderFailedButton})
        ->show();
  }
  relay(&Listener::onError, errorCode, errorMessage);
}

}  // namespace nvx
