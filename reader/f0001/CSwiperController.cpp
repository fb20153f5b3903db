#include "reader/f0001/CSwiperController.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/AudioSession.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperCommandGenerator.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperPowerGenerator.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_MagRecorder.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_MySettings.h"

namespace nvx::reader {

namespace {

using platform::media::AudioSession;
using Recorder = CSwiper_MagRecorder;

constexpr const char* kOnlyOneMessage = "Only one CSwiperController instance is allowed at the same time";
constexpr const char* kKsnFailMessage = "Get KSN fail";
constexpr const char* kInitFailMessage = "Initialization fail";
constexpr const char* kSessionFailMessage = "Cannot set audio session";
constexpr double kStartDateBack = 60.0;

// Decode results of onDecodeError.
constexpr int32_t kDecodeReaderError = 0;
constexpr int32_t kDecodeCrcError = 1;
constexpr int32_t kDecodeInvalidInput = 2;
constexpr int32_t kDecodeOtherFailure = 3;

// The driver that owns the recorder, over the process.
struct CSwiperControllerRegistry {
  const CSwiperController* owner = nullptr;
  std::weak_ptr<CSwiperController> ownerDriver;
};

CSwiperControllerRegistry& registry() { return platform::Process::current().shared<CSwiperControllerRegistry>(); }

// Formats whose name field runs on after a "^".
bool namesRunOn(const std::string& formatID) { return formatID == "31" || formatID == "36" || formatID == "38"; }

}  // namespace

std::shared_ptr<CSwiperController> CSwiperController::create() {
  std::shared_ptr<CSwiperController> driver(new CSwiperController());
  driver->init();
  return driver;
}

CSwiperController::CSwiperController() : commander_(std::make_shared<CSwiperCommandGenerator>()) {
  swipeTimeout_ = kDefaultSwipeTimeout;
}

void CSwiperController::init() {
  lastSuccessDate_ = platform::clock().wallNow() - platform::secs(kStartDateBack);
  auto& shared = registry();
  if (shared.owner) {
    // The working driver goes on; its listener hears of the second one.
    if (auto first = shared.ownerDriver.lock()) {
      if (auto listener = first->delegate_.lock()) listener->onError(kReaderErrorSecondDriver, kOnlyOneMessage);
    }
    return;
  }
  shared.owner = this;
  shared.ownerDriver = weak_from_this();
  createRecorder();
}

void CSwiperController::createRecorder() {
  magRecorder_ = Recorder::create();
  magRecorder_->SetDebugMode(debugFlag_);
  magRecorder_->SetCommander(commander_);
  std::weak_ptr<CSwiperController> weak = weak_from_this();
  magRecorder_->setObserver([weak](int state) {
    if (auto self = weak.lock()) self->recorderStateChanged(state);
  });
  playerAq_ = CSwiperPowerGenerator::create();
  // A set-up that failed is told once, as soon as the driver has a listener to tell (the one who
  // created it sets it right after); a recording started before then makes it moot.
  if (magRecorder_->hasPendingAnnouncement()) {
    std::weak_ptr<Recorder> recorder = magRecorder_;
    platform::dispatchMain([recorder] {
      if (auto r = recorder.lock()) r->announcePending();
    });
  }
}

CSwiperController::~CSwiperController() {
  auto& loop = platform::RunLoop::main();
  loop.cancelAllFor(this);
  loop.cancelAllFor(&retryTarget_);
  if (magRecorder_) {
    magRecorder_->setObserver(nullptr);
    magRecorder_->MyImmediateClean();
    magRecorder_.reset();
  }
  if (playerAq_) playerAq_->DisposeToneQueue();
  routeObservation_.cancel();
  if (auto* shared = platform::Process::current().sharedIfExists<CSwiperControllerRegistry>(); shared && shared->owner == this) {
    shared->owner = nullptr;
    shared->ownerDriver.reset();
  }
}

// ---------------------------------------------------------------------------------- requests

void CSwiperController::startCSwiper() { startCycle(kSwipeCommand); }

void CSwiperController::getCSwiperKsn() { startCycle(kKsnCommand); }

void CSwiperController::startCycle(uint8_t command) {
  auto keep = shared_from_this();
  const bool swipe = command == kSwipeCommand;
  if (!isStarted_) {
    isStarted_ = true;
    if (swipe) {
      if (auto listener = delegate_.lock()) listener->onWaitingForDevice();
    }
  }
  if (isRunning_) return;
  stopCount_ = 0;
  stopSignalGen();

  // The clock went back behind the end of the last cycle: try again shortly.
  if (platform::clock().wallNow() < lastSuccessDate_) {
    auto& loop = platform::RunLoop::main();
    loop.cancelAllFor(&retryTarget_);
    std::weak_ptr<CSwiperController> weak = weak_from_this();
    loop.after(platform::secs(kRetryDelay), [weak, swipe] {
      if (auto self = weak.lock()) swipe ? self->startCSwiper() : self->getCSwiperKsn();
    }, &retryTarget_);
    return;
  }

  if (!magRecorder_ || !magRecorder_->IsHeadSetPluggedIn()) {
    isStarted_ = false;
    if (auto listener = delegate_.lock()) listener->onNoDeviceDetected();
    return;
  }
  if (playerAq_) playerAq_->DisposeToneQueue();
  playerAq_ = CSwiperPowerGenerator::create();
  const std::vector<uint8_t> bytes =
      swipe ? std::vector<uint8_t>{kSwipeCommand, 0x04, static_cast<uint8_t>(swipeTimeoutSetting_), 0x00, 0x00, 0x00}
            : std::vector<uint8_t>{kKsnCommand, 0x01, 0x00};
  commander_->GenerateTone(bytes);
  playerAq_->setCommander(commander_);

  startSignalGen(false);
  isRunning_ = true;
  CSwiperState_ = kStateStarted;
  std::shared_ptr<Recorder> recorder = magRecorder_;
  recorder->Track2Decoding();
  recorder->SetDecodeMagControllerTimeout(swipe ? swipeTimeoutSetting_ + kRecorderExtraSeconds : kKsnTimeout);
  recorder->SetPowerGenerator(playerAq_);
  recorder->SetSignalReceiverDelay(swipe ? kSwipeDelayBuffers : kKsnDelayBuffers);
}

void CSwiperController::stopCSwiper() {
  auto keep = shared_from_this();
  ++stopCount_;
  cancelDelayedCalls();
  if (magRecorder_) {
    const int state = magRecorder_->magRecorderState();
    if (state == Recorder::MAGRECORDER_RECORDING || state == Recorder::MAGRECORDER_DECODING_START ||
        state == Recorder::MAGRECORDER_CARD_SWIPE_DETECTED) {
      magRecorder_->StopRecord();
    }
  }
  stopSignalGen();
  if (isStarted_ && !isRunning_) {
    if (auto listener = delegate_.lock()) listener->onInterrupted();
  }
  isStarted_ = false;
  if (isRunning_) {
    isRunning_ = false;
    CSwiperState_ = kStateIdle;
    if (auto listener = delegate_.lock()) listener->onInterrupted();
  }
  RefreshLastSuccessDate();
}

void CSwiperController::stopCSwiperBySystem() {
  isStarted_ = false;
  cancelDelayedCalls();
  if (magRecorder_ && magRecorder_->magRecorderState() == Recorder::MAGRECORDER_RECORDING) magRecorder_->StopRecord();
  stopSignalGen();
  isRunning_ = false;
  CSwiperState_ = kStateIdle;
  RefreshLastSuccessDate();
}

void CSwiperController::cancelDelayedCalls() {
  // The driver's own delayed calls and those for the listener (a pending onWaitingForCardSwipe).
  platform::RunLoop::main().cancelAllFor(this);
  platform::RunLoop::main().cancelAllFor(&retryTarget_);
}

void CSwiperController::RefreshLastSuccessDate() { lastSuccessDate_ = platform::clock().wallNow(); }

void CSwiperController::startSignalGen(bool resume) {
  if (!playerAq_ || playerAq_->isRunning()) return;
  if (auto failure = playerAq_->StartTone(resume)) failure->report();
}

void CSwiperController::stopSignalGen() {
  if (playerAq_ && playerAq_->isRunning()) playerAq_->StopTone();
}

int32_t CSwiperController::getCSwiperState() const {
  return CSwiperState_ == kStateIdle && isStarted_ ? kStateStarted : CSwiperState_;
}

bool CSwiperController::isDevicePresent() const {
  return AudioSession::sharedInstance().currentRoute() == AudioSession::kRouteHeadsetInOut;
}

void CSwiperController::setSwipeTimeout(double seconds) {
  if (std::isnan(seconds)) return;
  const double whole = std::clamp(std::trunc(seconds), static_cast<double>(kMinSwipeTimeout),
                                  static_cast<double>(kMaxSwipeTimeout));
  swipeTimeoutSetting_ = static_cast<int>(whole);
  swipeTimeout_ = whole;
}

void CSwiperController::setDebugMode(bool on) {
  if (!CSwiper_MySettings::isDebug()) return;
  debugFlag_ = on;
  if (magRecorder_) magRecorder_->SetDebugMode(on);
}

// ---------------------------------------------------------------------------------- plug and unplug

void CSwiperController::setDetectDeviceChange(bool on) {
  if (on == detectDeviceChange_) return;
  detectDeviceChange_ = on;
  if (!on) {
    routeObservation_.cancel();
    return;
  }
  std::weak_ptr<CSwiperController> weak = weak_from_this();
  routeObservation_ = AudioSession::sharedInstance().observeRouteChanges([weak](const platform::media::RouteChange& change) {
    if (auto self = weak.lock()) self->routeChanged(static_cast<int>(change.reason), change.previousRoute);
  });
}

void CSwiperController::routeChanged(int reason, const std::string& previousRoute) {
  auto& session = AudioSession::sharedInstance();
  const bool headsetNow = session.currentRoute() == AudioSession::kRouteHeadsetInOut;
  auto listener = delegate_.lock();
  if (!listener) return;
  using Reason = platform::media::RouteChangeReason;
  switch (static_cast<Reason>(reason)) {
    case Reason::NewDeviceAvailable:
      if (headsetNow) listener->onDevicePlugged();
      break;
    case Reason::OldDeviceUnavailable:
    case Reason::NoSuitableRouteForCategory:
      if (previousRoute == AudioSession::kRouteHeadsetInOut || previousRoute == AudioSession::kRouteHeadphone) {
        listener->onDeviceUnplugged();
      }
      break;
    case Reason::CategoryChange: {
      auto input = session.inputAvailable();
      if (previousRoute == AudioSession::kRouteSpeaker && input.isOk() && input.value && headsetNow) {
        listener->onDevicePlugged();
      }
      break;
    }
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------- the recorder's states

void CSwiperController::reportDecodeError(int32_t decodeResult) {
  stopCSwiperBySystem();
  if (stopCount_ > 0) return;
  if (auto listener = delegate_.lock()) listener->onDecodeError(decodeResult);
}

void CSwiperController::recorderStateChanged(int state) {
  auto keep = shared_from_this();
  const bool swipeCycle = commander_->cmdId() == kSwipeCommand;
  auto listener = [this] { return delegate_.lock(); };
  switch (state) {
    case Recorder::MAGRECORDER_RECORDING:
      if (swipeCycle) {
        std::weak_ptr<CSwiperController> weak = weak_from_this();
        auto& loop = platform::RunLoop::main();
        loop.after(platform::secs(kWaitingForSwipeDelay), [weak] {
          auto self = weak.lock();
          if (!self) return;
          if (auto l = self->delegate_.lock()) l->onWaitingForCardSwipe();
        }, this);
        loop.after(platform::secs(kWaitingForSwipeDelay), [weak] {
          if (auto self = weak.lock()) self->changeCSwiperStateToRecording();
        }, this);
      } else {
        CSwiperState_ = kStateRecording;
      }
      break;
    case Recorder::MAGRECORDER_END_SUCCESS:
      stopCSwiperBySystem();
      CSwiperState_ = kStateDecoded;
      sendResult();
      // Unless the listener started the next cycle meanwhile.
      if (CSwiperState_ == kStateDecoded) CSwiperState_ = kStateIdle;
      break;
    case Recorder::MAGRECORDER_TERMINATED_TIMEOUT:
      stopCSwiperBySystem();
      if (auto l = listener()) {
        if (commander_->cmdId() == kKsnCommand) {
          l->onError(kReaderErrorKsn, kKsnFailMessage);
        } else {
          l->onTimeout();
        }
      }
      break;
    case Recorder::MAGRECORDER_TERMINATED_INTERRUPT:
      stopCSwiperBySystem();
      if (auto l = listener()) l->onInterrupted();
      break;
    case Recorder::MAGRECORDER_FAIL_TO_START:
    case Recorder::MAGRECORDER_NON_HEADSET:
    case Recorder::MAGRECORDER_CANNOT_GET_AUDUIOROUTE_NAME:
    case Recorder::MAGRECORDER_INCOMPATIBLE_DEVICE:
      stopCSwiperBySystem();
      if (auto l = listener()) l->onNoDeviceDetected();
      break;
    case Recorder::MAGRECORDER_FAIL_INIT:
      stopCSwiperBySystem();
      if (auto l = listener()) l->onError(kReaderErrorAudioPath, kInitFailMessage);
      break;
    case Recorder::MAGRECORDER_FAIL_AUDIO_SESSION_SET_ACTIVE:
      stopCSwiperBySystem();
      if (auto l = listener()) l->onError(kReaderErrorAudioSession, kSessionFailMessage);
      break;
    case Recorder::MAGRECORDER_END_FAIL:
      reportDecodeError(kDecodeOtherFailure);
      break;
    case Recorder::MAGRECORDER_FAIL_CRC_ERROR:
      reportDecodeError(kDecodeCrcError);
      break;
    case Recorder::MAGRECORDER_FAIL_INVALID_INPUT:
      reportDecodeError(kDecodeInvalidInput);
      break;
    case Recorder::MAGRECORDER_FAIL_DEVICE_REPORT_ERROR:
      reportDecodeError(kDecodeReaderError);
      break;
    case Recorder::MAGRECORDER_DECODING_START:
      if (swipeCycle) {
        if (auto l = listener()) l->onDecodingStart();
      }
      break;
    case Recorder::MAGRECORDER_CARD_SWIPE_DETECTED:
      if (swipeCycle) {
        if (auto l = listener()) l->onCardSwipeDetected();
      }
      break;
    default:
      break;
  }
}

void CSwiperController::sendResult() {
  const Recorder& recorder = *magRecorder_;
  const std::string formatID = recorder.GetFormatID();
  std::string name = recorder.GetName();
  if (namesRunOn(formatID)) {
    if (auto caret = name.find('^'); caret != std::string::npos) name.resize(caret);
  }
  std::string encTracks = recorder.GetEncTrack1();
  std::string ksn = recorder.GetKSN();
  if (formatID == "39") {
    const int t2 = recorder.GetTrack2Length();
    const int t3 = recorder.GetTrack3Length();
    const size_t length = 16 * static_cast<size_t>(((t2 + 1) / 2 + (t3 + 1) / 2 + 11) / 8);
    if (encTracks.size() > length) encTracks.resize(length);
    if (ksn.size() > 16) ksn.resize(16);
  }
  if (ksn.size() == 32) ksn.resize(16);
  if (stopCount_ > 0) return;
  auto listener = delegate_.lock();
  if (!listener) return;
  if (formatID == "2") {
    listener->onGetKsnCompleted(ksn);
    return;
  }
  listener->onDecodeCompleted(formatID, ksn, encTracks, recorder.GetTrack1Length(), recorder.GetTrack2Length(),
                              recorder.GetTrack3Length(), recorder.GetRandomNumber(), recorder.GetLast4DigitPan(),
                              recorder.GetExpiryDate(), name);
}

}  // namespace nvx::reader
