#include "reader/DHSwiperController.h"

#include <utility>

#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "core/session/User.h"
#include "net/CoreOperations.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/UserDefaults.h"
#include "reader/ReaderModels.h"
#include "reader/SwiperDriverFactory.h"
#include "reader/SwiperInvalidScreen.h"
#include "reader/SwiperUtil.h"
#include "reader/wifi/WexSwiperController.h"

namespace nvx::reader {

namespace {

constexpr std::string_view kTag = "DHSwiperController";
constexpr std::string_view kMoreScreenClass = "MoreViewController";

bool isTavi(const std::optional<std::string>& unitId) { return unitId && *unitId == ReaderModels::kTaviUnitId; }

}  // namespace

// Marks an event being handled: a driver let go meanwhile is released only after the event has
// returned to it.
class DHSwiperController::EventScope {
 public:
  explicit EventScope(DHSwiperController& hub) : hub_(hub) { ++hub_.eventDepth_; }
  ~EventScope() { --hub_.eventDepth_; }
  EventScope(const EventScope&) = delete;
  EventScope& operator=(const EventScope&) = delete;

 private:
  DHSwiperController& hub_;
};

std::shared_ptr<DHSwiperController> DHSwiperController::create() {
  std::shared_ptr<DHSwiperController> hub(new DHSwiperController());
  hub->init();
  return hub;
}

void DHSwiperController::init() {
  TaviDetector::sharedDetector().startListen(weak_from_this());
  auto common = platform::UserDefaults::standard().string(ReaderModels::kCommonUnitIdKey);
  if (common && !common->empty()) initSwiperSDkWithUnitId(*common);
}

DHSwiperController::~DHSwiperController() {
  if (auto* detector = platform::Process::current().sharedIfExists<TaviDetector>()) detector->stopListen();
}

// --- the model and its driver -------------------------------------------------------------------

void DHSwiperController::initSwiperSDkWithUnitId(std::optional<std::string> unitId) {
  // "No model" is never the model in use: choosing none again asks for the list again.
  if (unitId && defaultUnitid_ && *unitId == *defaultUnitid_) return;
  defaultUnitid_ = unitId;
  initSwiperSDk();

  auto& defaults = platform::UserDefaults::standard();
  if (unitId) {
    defaults.set(ReaderModels::kUnitIdKey, *unitId);
  } else {
    defaults.remove(ReaderModels::kUnitIdKey);
  }
  if (!isTavi(unitId)) {
    if (unitId) {
      defaults.set(ReaderModels::kCommonUnitIdKey, *unitId);
    } else {
      defaults.remove(ReaderModels::kCommonUnitIdKey);
    }
  }
  if (!defaults.synchronize()) platform::log::warning(kTag, "the reader model could not be stored");
}

void DHSwiperController::initSwiperSDk() {
  if (isTaviSwiper() && !isTavi(defaultUnitid_)) {
    swiper_->deleteCSwiper();
    setSwiper(nullptr);
  }

  modelWithoutDriver_ = false;
  if (ReaderModels::isKnown(defaultUnitid_)) {
    auto driver = SwiperDriverFactory::shared().create(*defaultUnitid_);
    if (!driver) {
      platform::log::info(kTag, "no driver for reader model " + *defaultUnitid_ + " in this build");
      modelWithoutDriver_ = true;
    } else if (ReaderModels::hasSharedDriver(*defaultUnitid_)) {
      driver->setSwipeTimeout(ReaderModels::kSharedDriverSwipeTimeout);
    }
    setSwiper(std::move(driver));
  } else {
    httpRequest();
  }

  if (swiper_) {
    swiper_->setDelegate(weak_from_this());
    swiper_->setDetectDeviceChange(true);
  }
}

void DHSwiperController::setSwiper(std::shared_ptr<CTSwiperController> driver) {
  std::shared_ptr<CTSwiperController> old = std::exchange(swiper_, std::move(driver));
  if (!old || old == swiper_) return;
  if (eventDepth_ > 0) platform::dispatchMain([old = std::move(old)] {});
}

void DHSwiperController::httpRequest() {
  std::weak_ptr<DHSwiperController> weak = weak_from_this();
  CoreOperations::getUnitListNewWithBlock([weak](NetResult result, RetStatusEntity status, bool isErr) {
    auto self = weak.lock();
    if (!self) return;
    std::vector<Unit> units;
    if (!isErr) {
      for (const auto& unit : result.list<Unit>()) units.push_back(*unit);
    }
    self->unitListArrived(std::move(units), status.errMsg());
  });
}

void DHSwiperController::unitListArrived(std::vector<Unit> units, const std::string& errMsg) {
  if (!units.empty()) {
    isBothTaviPicking_ = true;
    unitList_ = std::move(units);
    filterUnitList();
    showUnitListView(unitList_);
    return;
  }
  AppServices::current().showTextPrompt(errMsg);
  if (errMsg != platform::Strings::localized("Error_Token_Effectiveness")) return;
  AppServices::current().pushLoginScreenOnTop();
}

std::shared_ptr<platform::ui::NavigationController> DHSwiperController::navigationControllerForTarget(
    const std::shared_ptr<platform::ui::ViewController>& target) {
  return AppServices::current().navigationForScreen(target, kMoreScreenClass);
}

void DHSwiperController::showUnitListView(const std::vector<Unit>& units) {
  auto navigation = navigationControllerForTarget(nextStepTarget_.lock());
  if (!navigation) {
    platform::log::warning(kTag, "no navigation stack for the reader-model chooser");
    return;
  }
  auto screen = ScreenRegistry::shared().create(SwiperInvalidScreen::kClassName);
  if (!screen) return;  // no chooser registered yet (logged by the registry)
  auto chooser = std::dynamic_pointer_cast<SwiperInvalidScreen>(screen);
  if (!chooser) {
    platform::log::warning(kTag, std::string(SwiperInvalidScreen::kClassName) + " cannot take a model list");
    return;
  }
  chooser->setNextStepTarget(nextStepTarget_);
  chooser->setUnitArray(units);
  chooser->setTaviPresent(isTaviPresent());
  AppServices::pushScreen(*navigation, screen);
  taviListener_ = chooser;
}

void DHSwiperController::filterUnitList() {
  std::erase_if(unitList_, [](const Unit& unit) { return !ReaderModels::isKnown(unit.unitid()); });
}

// --- presence -------------------------------------------------------------------------------------

bool DHSwiperController::isDevicePresent() {
  return isTaviPresent() || SwiperUtil::sharedInstance().isAudioDeviceDetected();
}

bool DHSwiperController::isMultPresent() {
  return isTaviPresent() && SwiperUtil::sharedInstance().isAudioDeviceDetected();
}

bool DHSwiperController::isTaviPresent() const { return TaviDetector::sharedDetector().isTaviConnected(); }

bool DHSwiperController::isTaviSwiper() const {
  return dynamic_cast<const WexSwiperController*>(swiper_.get()) != nullptr;
}

// --- the driver operations --------------------------------------------------------------------

void DHSwiperController::startCSwiper() {
  if (modelWithoutDriver_) return reportNoDevice();
  if (swiper_ && swiper_->getCSwiperState() == 0) swiper_->startCSwiper();
}

void DHSwiperController::stopCSwiper() {
  if (swiper_) swiper_->stopCSwiper();
}

void DHSwiperController::deleteCSwiper() {
  if (swiper_) swiper_->deleteCSwiper();
}

void DHSwiperController::getCSwiperKsn() {
  if (modelWithoutDriver_) return reportNoDevice();
  if (swiper_) swiper_->getCSwiperKsn();
}

int32_t DHSwiperController::getCSwiperState() const { return swiper_ ? swiper_->getCSwiperState() : 0; }

void DHSwiperController::setDetectDeviceChange(bool on) {
  if (swiper_) swiper_->setDetectDeviceChange(on);
}

void DHSwiperController::reportNoDevice() {
  // Later, as a driver would: the caller keeps its completion after asking.
  std::weak_ptr<DHSwiperController> weak = weak_from_this();
  platform::dispatchMain([weak] {
    if (auto self = weak.lock()) self->onNoDeviceDetected();
  });
}

// --- driver events ----------------------------------------------------------------------------

void DHSwiperController::onDevicePlugged() {
  EventScope scope(*this);
  // A reader came: whatever was known of one before is not known of this one.
  User::currentUser().forgetReader();
  toDelegate([](auto& d) { d.onDevicePlugged(); });
  toCheckoutDelegate([](auto& d) { d.onDevicePlugged(); });
}

void DHSwiperController::onDeviceUnplugged() {
  EventScope scope(*this);
  // The reader is gone: its id and keys with it, whether or not a screen listens.
  User::currentUser().forgetReader();
  ksnState_ = 0;
  toDelegate([](auto& d) { d.onDeviceUnplugged(); });
}

void DHSwiperController::onNoDeviceDetected() {
  EventScope scope(*this);
  toDelegate([](auto& d) { d.onNoDeviceDetected(); });
}

void DHSwiperController::onWaitingForDevice() {
  EventScope scope(*this);
  toDelegate([](auto& d) { d.onWaitingForDevice(); });
}

void DHSwiperController::onWaitingForCardSwipe() {
  EventScope scope(*this);
  toDelegate([](auto& d) { d.onWaitingForCardSwipe(); });
}

void DHSwiperController::onCardSwipeDetected() {
  EventScope scope(*this);
  toDelegate([](auto& d) { d.onCardSwipeDetected(); });
}

void DHSwiperController::onDecodingStart() {
  EventScope scope(*this);
  toDelegate([](auto& d) { d.onDecodingStart(); });
}

void DHSwiperController::onDecodeCompleted(const std::optional<std::string>& formatID, const std::string& ksn,
                                           const std::string& encTracks, int32_t track1Length,
                                           int32_t track2Length, int32_t track3Length,
                                           const std::string& randomNumber, const std::string& maskedPAN,
                                           const std::string& expiryDate,
                                           const std::optional<std::string>& cardHolderName) {
  EventScope scope(*this);
  toDelegate([&](auto& d) {
    d.onDecodeCompleted(formatID, ksn, encTracks, track1Length, track2Length, track3Length, randomNumber,
                        maskedPAN, expiryDate, cardHolderName);
  });
}

void DHSwiperController::onDecodeError(int32_t decodeResult) {
  EventScope scope(*this);
  toDelegate([&](auto& d) { d.onDecodeError(decodeResult); });
}

void DHSwiperController::onTimeout() {
  EventScope scope(*this);
  toDelegate([](auto& d) { d.onTimeout(); });
}

void DHSwiperController::onInterrupted() {
  EventScope scope(*this);
  toDelegate([](auto& d) { d.onInterrupted(); });
}

void DHSwiperController::onGetKsnCompleted(const std::string& ksn) {
  EventScope scope(*this);
  if (ksn.empty()) {
    // No serial number: the reader is probably of another model; let the user say which.
    httpRequest();
    return;
  }
  User::currentUser().setPsamId(ksn);
  ksnState_ = 4;
  toDelegate([&](auto& d) { d.onGetKsnCompleted(ksn); });
  toCheckoutDelegate([&](auto& d) { d.onGetKsnCompleted(ksn); });
}

void DHSwiperController::onError(int32_t errorCode, const std::string& errorMessage) {
  EventScope scope(*this);
  // Screens only hear that the serial number could not be read; other failures show through the
  // events that follow (or do not).
  if (errorCode != kReaderErrorKsn) return;
  toDelegate([&](auto& d) { d.onError(errorCode, errorMessage); });
}

// --- the box --------------------------------------------------------------------------------------

void DHSwiperController::onTaviConnected() {
  EventScope scope(*this);
  if (auto listener = taviListener_.lock()) listener->onTaviConnected();
}

void DHSwiperController::onTaviDisConnected() {
  EventScope scope(*this);
  if (auto listener = taviListener_.lock()) listener->onTaviDisConnected();
}

}  // namespace nvx::reader
