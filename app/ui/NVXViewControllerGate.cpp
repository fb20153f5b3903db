// The reader gate of the base screen: before a card payment it makes sure that the user is
// logged in, that the microphone may be used, that a reader is present, that its serial number
// is known, that the server agrees that the reader belongs to the user and that the reader's
// terminal is signed in; then it answers the screen's completion with YES.
//
// Everything runs on the main thread. The ownership check and the terminal sign-in go to the
// server without blocking it: the main loop keeps its timers and sockets running (the Wi-Fi box's
// presence watch would otherwise see the box vanish during a slow reply) while the identifying
// spinner covers the window; each reply comes back on the main thread and is acted on only while
// the pass that asked is still waiting.
#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "core/session/User.h"
#include "app/ui/HudExt.h"
#include "app/ui/IdentityInfoScreen.h"
#include "app/ui/NVXViewController.h"
#include "net/CoreOperations.h"
#include "net/DataStatistics.h"
#include "core/shell/LoginScreen.h"
#include "net/NetService.h"
#include "net/ReplyEnvelope.h"
#include "net/RetStatusEntity.h"
#include "net/TerminalManager.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/media/AudioSession.h"
#include "reader/DHSwiperController.h"
#include "reader/ReaderModels.h"
#include "reader/SwiperUtil.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "ReaderGate";

using platform::Json;
using platform::Strings;
using platform::ui::AlertView;
using platform::ui::Hud;

constexpr const char* kMicrophoneTitle = "无法使用麦克风";
constexpr const char* kMicrophoneMessage = "请在iPhone的“设置-隐私-麦克风“选项中，允许诺维萨访问您的手机麦克风";
constexpr const char* kMicrophoneButton = "好";
constexpr const char* kNoReaderMessage = "请将手机刷卡器插入耳机孔，或点击“现在购买”";
constexpr const char* kBuyNow = "现在购买";
constexpr const char* kConflictWhileCalledMessage = "刷卡器与手机银行绑定用户冲突，请插入对应的刷卡器！";
constexpr const char* kConflictWhileCalledButton = "确定";
constexpr const char* kNewReaderMessage = "发现新刷卡器，此刷卡器即将与用户 %s 绑定，下次使用此刷卡器时请用该用户名登录";
constexpr const char* kNewReaderGiveUp = "放弃";
constexpr const char* kNewReaderGoOn = "继续";
constexpr const char* kUnusableReaderMessage = "刷卡器不可用，请重试。如有疑问，请致电";

constexpr const char* kBuyReaderScreen = "BuyNuvexaViewController";
constexpr const char* kCheckoutScreen = "CheckoutVerification";
constexpr const char* kLotteryTopUpScreen = "TicketRechargeViewController";

// Verdicts of the ownership check that are codes rather than messages.
constexpr const char* kOtherUsersReader = "-2";
constexpr const char* kNewReader = "0";

std::shared_ptr<Hud> spinnerOnWindow(const std::string& label) {
  auto window = AppServices::current().window();
  if (!window) return nullptr;
  auto hud = Hud::showOn(*window, true);
  hud->setLabel(label);
  return hud;
}

std::string textOf(const Json* value) {
  if (!value) return {};
  if (auto text = platform::json::asText(*value)) return *text;
  return {};
}

std::string newReaderMessage(const std::string& loginName) {
  std::string message = kNewReaderMessage;
  message.replace(message.find("%s"), 2, loginName);
  return message;
}

}  // namespace

// --- the pass ---------------------------------------------------------------------------------------

void NVXViewController::swiperValid(ValidCompletion completion) {
  // A new pass replaces a pending completion without running it, and ends an identification
  // still under way.
  answerNothing();
  ++gatePass_;

  if (User::currentUser().isLogined()) {
    checkRecorderValid(std::move(completion));
    return;
  }
  HudExt::prompt(kLoggedOutPrompt);
  auto login = LoginScreen::create();
  if (!login) return;  // no login screen registered (logged): the completion stays unanswered
  auto navigation = AppServices::current().navigationController();
  if (!navigation) {
    platform::log::warning(kTag, "no navigation stack for the login screen");
    return;
  }
  if (auto configurable = std::dynamic_pointer_cast<LoginScreen>(login)) {
    std::weak_ptr<NVXViewController> weak = weakSelf();
    std::weak_ptr<platform::ui::ViewController> weakLogin = login;
    const uint64_t pass = gatePass_;
    configurable->setCustomSuccessExecutor([weak, weakLogin, pass, completion = std::move(completion)]() mutable {
      auto screen = weak.lock();
      if (auto shown = weakLogin.lock()) {
        if (auto stack = shown->navigationController(); stack && stack->topViewController() == shown) stack->pop(true);
      }
      if (!screen || !completion || pass != screen->gatePass_) return;
      screen->checkRecorderValid(std::move(completion));
    });
  }
  navigation->push(login, true);
}

void NVXViewController::checkRecorderValid(ValidCompletion completion) {
  auto& session = platform::media::AudioSession::sharedInstance();
  if (!session.canRequestRecordPermission()) {
    checkSwiperValid(std::move(completion));
    return;
  }
  std::weak_ptr<NVXViewController> weak = weakSelf();
  const uint64_t pass = gatePass_;
  // The answer comes on the audio session's thread; the gate goes on on the main thread, unless
  // a newer pass has begun meanwhile.
  session.requestRecordPermission([weak, pass, completion = std::move(completion)](bool granted) mutable {
    platform::dispatchMain([weak, pass, granted, completion = std::move(completion)]() mutable {
      auto screen = weak.lock();
      if (!screen || pass != screen->gatePass_) return;
      if (granted) {
        screen->checkSwiperValid(std::move(completion));
        return;
      }
      AlertView::create(kMicrophoneTitle, kMicrophoneMessage, std::string(kMicrophoneButton))->show();
      auto answer = std::move(completion);
      answer(false);
    });
  });
}

void NVXViewController::checkSwiperValid(ValidCompletion completion) {
  if (auto hub = AppServices::current().swiper()) hub->setNextStepTarget(weakSelf());
  AppServices::current().setSwiperListener(std::weak_ptr<reader::CSwiperControllerDelegate>(self()));
  hideIdentifying(false);
  HUD_ = spinnerOnWindow(kIdentifyingLabel);
  std::weak_ptr<NVXViewController> weak = weakSelf();
  const uint64_t pass = gatePass_;
  platform::dispatchMain([weak, pass, completion = std::move(completion)]() mutable {
    if (auto screen = weak.lock()) screen->presenceStep(std::move(completion), pass);
  });
}

void NVXViewController::presenceStep(ValidCompletion completion, uint64_t pass) {
  if (pass != gatePass_) return;  // a newer pass took over meanwhile
  auto hub = AppServices::current().swiper();
  if (!hub) {
    platform::log::warning(kTag, "no reader hub: no reader can be used");
    hideIdentifying(true);
    completion(false);
    return;
  }
  const bool wifi = hub->isTaviPresent();
  const bool audio = reader::SwiperUtil::sharedInstance().isAudioDeviceDetected();

  if (audio && !wifi) {
    if (hub->isTaviSwiper()) {
      hub->initSwiperSDkWithUnitId(
          platform::UserDefaults::standard().string(reader::ReaderModels::kCommonUnitIdKey));
    }
  } else if (audio && wifi) {
    if (!hub->isBothTaviPicking()) {
      hideIdentifying(true);
      hub->httpRequest();
      completion(false);
      return;
    }
    hub->setIsBothTaviPicking(false);
  } else if (wifi) {
    hub->initSwiperSDkWithUnitId(std::string(reader::ReaderModels::kTaviUnitId));
  } else {
    hideIdentifying(true);
    showNoReaderAlert();
    completion(false);
    return;
  }
  modelAndKeysStep(std::move(completion));
}

void NVXViewController::modelAndKeysStep(ValidCompletion completion) {
  auto hub = AppServices::current().swiper();
  const auto& model = hub->defaultUnitid();
  if (!model || model->empty()) {
    // The chooser carries on through the screen's theNextStep, which starts a new pass.
    hideIdentifying(true);
    valid_ = std::move(completion);
    hub->httpRequest();
    return;
  }
  const User& user = User::currentUser();
  if (!user.psamId().empty() && user.psamPIK()) {
    completion(true);
    hideIdentifying(true);
    return;
  }
  hideIdentifying(true);
  hideReaderHud(false);
  readerHUD_ = spinnerOnWindow(kReadingKsnLabel);
  hub->setKsnState(0);
  valid_ = std::move(completion);
  hub->getCSwiperKsn();
}

// --- the serial number, the ownership check and the terminal sign-in ------------------------------

void NVXViewController::onGetKsnCompleted(const std::string& ksn) {
  hideReaderHud(false);
  DataStatistics::sharedDataStatistics().swipeHardWareRecord(ksn);
  if (!valid_) return;
  if (bindCheck_ || signIn_) return;  // the reader repeated its number while the check or sign-in runs

  const User& user = User::currentUser();
  const bool keysForThisReader =
      user.psamTPK() && user.psamPIK() && user.psamTPK()->terminalId == ksn && user.psamPIK()->terminalId == ksn;
  if (className() == IdentityInfoScreen::kClassName || keysForThisReader) {
    if (HUD_) HUD_->setLabel("");
    std::weak_ptr<NVXViewController> weak = weakSelf();
    platform::dispatchMain([weak] {
      if (auto screen = weak.lock()) screen->successToPush();
    });
    return;
  }
  bindingCheckStep(ksn);
}

void NVXViewController::bindingCheckStep(const std::string& /*ksn*/) {
  // Made here, on the main thread, from the session; only the exchange with the server runs
  // elsewhere.
  auto request = CoreOperations::checkUserDeviceInfoRequest();
  bindCheck_ = request;
  hideIdentifying(false);
  HUD_ = spinnerOnWindow(kIdentifyingLabel);

  std::weak_ptr<NVXViewController> weak = weakSelf();
  const uint64_t pass = gatePass_;
  auto judged = [weak, pass](platform::net::HttpRequest& reply) {
    auto screen = weak.lock();
    if (!screen || screen->bindCheck_.get() != &reply) return;
    screen->bindCheck_.reset();
    std::string message;
    const bool bound = checkNetBind(reply, &message);
    screen->bindingVerdict(pass, bound, message);
  };
  std::static_pointer_cast<platform::net::HttpRequest>(request)->startAsynchronous(judged, judged);
}

bool NVXViewController::checkNetBind(const platform::net::HttpRequest& request, std::string* message) {
  auto say = [message](std::string text) {
    if (message) *message = std::move(text);
    return false;
  };
  if (request.error()) return say(kNetworkFailedMessage);

  auto envelope = ReplyEnvelope::parse(request.responseData());
  const RetStatusEntity status = envelope ? envelope->status() : RetStatusEntity();
  if (status.retCode() != "0000") {
    return say(status.errMsg().empty() ? Strings::localized("Error_Unknown") : status.errMsg());
  }
  const Json* data = envelope->retData();
  const std::string state = data ? textOf(platform::json::member(*data, "state")) : std::string();
  if (state == "1") return true;
  if (state == kOtherUsersReader || state == kNewReader) return say(state);
  std::string msg = data ? textOf(platform::json::member(*data, "msg")) : std::string();
  if (msg.empty()) msg = kUnusableReaderMessage + Strings::localized("ServicePhoneNumber") + "。";
  return say(msg);
}

void NVXViewController::bindingVerdict(uint64_t pass, bool bound, const std::string& message) {
  if (pass != gatePass_ || !valid_) {
    // The pass was answered (the reader went, say) or replaced while the server was asked.
    hideIdentifying(false);
    return;
  }
  if (bound) {
    terminalSignIn(pass);
    return;
  }
  hideIdentifying(true);
  if (message == kOtherUsersReader) {
    const std::string title = Strings::localized("Error_UserIdSwipeTitle");
    if (AppServices::current().isOtherAppLaunching()) {
      AlertView::create(title, kConflictWhileCalledMessage, std::string(kConflictWhileCalledButton))->show();
      return;  // the completion stays pending
    }
    auto alert = AlertView::create(title, Strings::localized("Error_UserIdSwipeMessage"), Strings::localized("Cancel"),
                                   {Strings::localized("ReLogin")});
    alert->setTag(kOtherUserReaderAlertTag);
    alert->setDelegate(std::weak_ptr<platform::ui::AlertViewDelegate>(self()));
    alert->show();
    statusClear();
    answer(false);
    return;
  }
  if (message == kNewReader) {
    auto alert = AlertView::create("", newReaderMessage(User::currentUser().loginName()), std::string(kNewReaderGiveUp),
                                   {std::string(kNewReaderGoOn)});
    alert->setTag(kNewReaderAlertTag);
    alert->setDelegate(std::weak_ptr<platform::ui::AlertViewDelegate>(self()));
    alert->show();
    statusClear();
    answer(false);
    return;
  }
  showPrompt(message);  // the completion stays pending
}

void NVXViewController::terminalSignIn(uint64_t pass) {
  // Both requests go out on the HTTP client's thread; each reply is read here on the main thread
  // (it may bring up the login screen), and the spinner stays meanwhile.
  signIn_ = std::make_shared<TerminalManager>();
  std::weak_ptr<NVXViewController> weak = weakSelf();
  signIn_->hardwareTermSignAsync(
      self(),
      [weak] {
        if (auto screen = weak.lock()) screen->statusClear();
      },
      [weak, pass](bool signedIn) {
        auto screen = weak.lock();
        if (!screen) return;
        auto manager = std::move(screen->signIn_);
        if (pass != screen->gatePass_ || !screen->valid_) {
          screen->hideIdentifying(false);
          return;
        }
        if (!signedIn) {
          screen->hideIdentifying(true);
          screen->showPrompt(manager ? manager->error() : std::string());
          screen->answer(false);
          return;
        }
        if (screen->HUD_) screen->HUD_->setLabel("");
        platform::dispatchMain([weak] {
          if (auto later = weak.lock()) later->successToPush();
        });
      });
}

void NVXViewController::successToPush() {
  answer(true);
  hideIdentifying(true);
}

void NVXViewController::statusClear() {
  User::currentUser().forgetReader();
}

// --- answers and overlays ---------------------------------------------------------------------------

void NVXViewController::answer(bool ready) {
  if (dropIdentification()) hideIdentifying(false);
  auto completion = std::move(valid_);
  valid_ = nullptr;
  if (completion) completion(ready);
}

void NVXViewController::answerNothing() {
  dropIdentification();
  valid_ = nullptr;
}

bool NVXViewController::dropIdentification() {
  bool dropped = false;
  if (auto request = std::move(bindCheck_)) {
    request->cancel();
    dropped = true;
  }
  if (auto signIn = std::move(signIn_)) {
    signIn->cancel();
    dropped = true;
  }
  return dropped;
}

void NVXViewController::hideIdentifying(bool animated) {
  if (HUD_) HUD_->hide(animated);
}

void NVXViewController::hideReaderHud(bool animated) {
  if (readerHUD_) readerHUD_->hide(animated);
}

void NVXViewController::showNoReaderAlert() {
  if (!unplugedAlert_) {
    unplugedAlert_ = AlertView::create(Strings::localized("SwipeNotDetected"), kNoReaderMessage,
                                       Strings::localized("Cancel"), {std::string(kBuyNow)});
    unplugedAlert_->setTag(kNoReaderAlertTag);
    unplugedAlert_->setDelegate(std::weak_ptr<platform::ui::AlertViewDelegate>(self()));
  }
  unplugedAlert_->show();
}

// --- reader events --------------------------------------------------------------------------------

void NVXViewController::onDevicePlugged() {
  if (!unplugedAlert_ || !unplugedAlert_->isVisible()) return;
  // The reader came: the alert goes, but that is no choice of the user's (a checkout opened by
  // another app must not be sent back as failed).
  dismissingUnplugedAlert_ = true;
  unplugedAlert_->dismissWithClickedButtonIndex(0, true);
  dismissingUnplugedAlert_ = false;
}

void NVXViewController::onDeviceUnplugged() {
  answer(false);
  hideReaderHud(false);
}

void NVXViewController::onNoDeviceDetected() { answer(false); }

void NVXViewController::onWaitingForDevice() {
  if (!readerHUD_) return;
  readerHUD_->setLabel(kDeviceNotFoundLabel);
  readerHUD_->hide(true);
}

void NVXViewController::onWaitingForCardSwipe() { hideReaderHud(true); }

void NVXViewController::onDecodeError(int32_t /*decodeResult*/) { hideReaderHud(true); }

void NVXViewController::onTimeout() {
  answer(false);
  hideReaderHud(true);
}

void NVXViewController::onInterrupted() { answer(false); }

void NVXViewController::onError(int32_t errorCode, const std::string& /*errorMessage*/) {
  hideReaderHud(false);
  if (auto hub = AppServices::current().swiper()) hub->httpRequest();
  statusClear();
  answer(false);
  if (errorCode == reader::kReaderErrorKsn) DataStatistics::sharedDataStatistics().swipeHardWareRecord(std::nullopt);
}

// --- the gate's alerts --------------------------------------------------------------------------

void NVXViewController::gateAlertAnswered(AlertView& alert, int index) {
  const int tag = alert.tag();
  if (tag == kNoReaderAlertTag && dismissingUnplugedAlert_) return;

  if (index == 1) {
    if (tag == kNoReaderAlertTag) {
      if (auto screen = ScreenRegistry::shared().create(kBuyReaderScreen)) pushScreen(screen, true);
    } else if (tag == kNewReaderAlertTag) {
      const User& user = User::currentUser();
      if (user.isLogined()) {
        if (auto screen = ScreenRegistry::shared().create(IdentityInfoScreen::kClassName)) {
          if (auto identity = std::dynamic_pointer_cast<IdentityInfoScreen>(screen)) {
            identity->setPhoneNum(user.loginName());
            identity->setType(IdentityInfoScreen::kBindReaderType);
          }
          pushScreen(screen, true);
        }
      }
    } else if (tag == kOtherUserReaderAlertTag) {
      if (auto login = LoginScreen::create()) {
        auto configurable = std::dynamic_pointer_cast<LoginScreen>(login);
        if (className() == kCheckoutScreen && configurable) {
          configurable->setBoxTitle(Strings::localized("收银台"));
          configurable->setDelegate(AppServices::current().checkoutLoginDelegate());
        }
        if (className() == kLotteryTopUpScreen) {
          if (auto own = navigationController(); own && own->presentedViewController()) own->dismissModal(false);
          if (auto app = AppServices::current().navigationController()) {
            app->popToRoot(false);
            app->push(login, true);
          } else {
            platform::log::warning(kTag, "no navigation stack for the login screen");
          }
        } else {
          pushScreen(login, true);
        }
      }
    }
  }
  if (tag != kNewReaderAlertTag && index == 0 && AppServices::current().isSYT()) {
    AppServices::current().redirectCheckout(false);
  }
}

}  // namespace nvx
