#include "reader/f0003/NLSwiperController.h"

#include <utility>
#include <variant>

#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/media/AudioEngine.h"
#include "reader/f0003/AudioHelper.h"
#include "reader/f0003/NLFrame.h"
#include "reader/f0003/NLMessage.h"

namespace nvx::reader {

namespace {

constexpr const char* kTag = "NLSwiperController";

}  // namespace

// The shared driver of this run.
struct NLDriverState {
  std::mutex mutex;
  std::shared_ptr<NLSwiperController> instance;
};

// Holds the driver's lock. Audio stops asked for on the main thread meanwhile are done when the
// outermost guard lets the lock go.
class NLSwiperController::Guard {
 public:
  explicit Guard(NLSwiperController& driver) : driver_(driver) {
    driver_.mutex_.lock();
    ++driver_.depth_;
  }
  ~Guard() {
    std::shared_ptr<AudioHelper> stop;
    if (--driver_.depth_ == 0 && std::exchange(driver_.pendingAudioStop_, false)) stop = driver_.helper_;
    driver_.mutex_.unlock();
    if (stop) {
      stop->stopIncomingAudio();
      stop->stopOutgoingAudio();
    }
  }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  NLSwiperController& driver_;
};

std::shared_ptr<NLSwiperController> NLSwiperController::sharedInstance() {
  auto& state = platform::Process::current().shared<NLDriverState>();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (!state.instance) {
    state.instance = std::shared_ptr<NLSwiperController>(new NLSwiperController());
    state.instance->init();
  }
  return state.instance;
}

NLSwiperController::NLSwiperController() {
  detectDeviceChange_ = true;
  swipeTimeout_ = kDefaultSwipeTimeout;
}

void NLSwiperController::init() {
  platform::log::info(kTag, kDescription);
  auto helper = AudioHelper::sharedHelper();
  {
    Guard guard(*this);
    helper_ = helper;
  }
  helper->setDelegate(weak_from_this());
  helper->initAudioSession();
  helper->initOutgoingState();
  helper->initIncomingState();
  std::weak_ptr<NLSwiperController> weak = weak_from_this();
  autoDetectDeviceTimer_ = platform::RunLoop::main().every(platform::secs(kPresencePoll), [weak] {
    if (auto self = weak.lock()) self->pollPresence();
  }, this);
}

NLSwiperController::~NLSwiperController() {
  if (auto* loop = platform::Process::current().sharedIfExists<platform::RunLoop>()) loop->cancelAllFor(this);
}

// ---------------------------------------------------------------------------------- events

void NLSwiperController::raise(std::function<void(CSwiperControllerDelegate&)> event) {
  std::weak_ptr<NLSwiperController> weak = weak_from_this();
  platform::RunLoop::main().post([weak, event = std::move(event)] {
    auto self = weak.lock();
    if (!self || self->deleted_) return;
    if (auto receiver = self->delegate_.lock()) event(*receiver);
  });
}

// ---------------------------------------------------------------------------------- operations

void NLSwiperController::getCSwiperKsn() {
  {
    Guard guard(*this);
    if (status_ != kStatusIdle && isGetKsn_) return;
  }
  startCSwiper(true);
}

void NLSwiperController::startCSwiper(bool ksn) {
  Guard guard(*this);
  if (deleted_ || status_ != kStatusIdle) return;
  status_ = kStatusStarting;
  ++session_;
  isGetKsn_ = ksn;
  SN_.clear();
  hasResetCmd_ = false;
  if (!helper_ || !AudioHelper::isDetectedDevice()) {
    stopLocked();
    raise([](auto& r) { r.onNoDeviceDetected(); });
    return;
  }
  // A raw reader answers nothing: only a KSN read waits for a reply there.
  if (readerType_ == kReaderFramed || ksn) startReplyWaitLocked();
  if (!ksn) raise([](auto& r) { r.onWaitingForDevice(); });
  startAudioLocked();
}

void NLSwiperController::startAudioLocked() {
  if (status_ == kStatusRawListening || status_ == kStatusFramedRunning) return;
  runState_ = kRunWaitingForReader;
  if (readerType_ == kReaderFramed) {
    status_ = kStatusFramedRunning;
    helper_->startIncomingAudio();
    // Begins with the wake-up signal, which carries the start command.
    helper_->startOutgoingAudio();
    return;
  }
  status_ = kStatusRawListening;
  helper_->startIncomingAudio();
  if (!isGetKsn_) {
    std::weak_ptr<NLSwiperController> weak = weak_from_this();
    platform::RunLoop::main().post([weak, session = session_] {
      if (auto self = weak.lock()) self->startWaitSwipe(session);
    });
  }
}

void NLSwiperController::stopCSwiper() {
  Guard guard(*this);
  stopLocked();
}

void NLSwiperController::stopLocked() {
  stopAudioLocked();
  status_ = kStatusIdle;
  runState_ = kRunIdle;
  isGetKsn_ = false;
  hasResetCmd_ = false;
  stopSwipeWaitLocked();
  stopReplyWaitLocked();
  ++session_;
}

void NLSwiperController::stopAudioLocked() {
  if (!helper_) return;
  if (platform::media::AudioEngine::onEngineThread()) {
    // The input thread: a stop there does not wait for anything.
    helper_->stopIncomingAudio();
    helper_->stopOutgoingAudio();
  } else {
    pendingAudioStop_ = true;
  }
}

void NLSwiperController::deleteCSwiper() {
  auto keep = shared_from_this();
  {
    Guard guard(*this);
    if (deleted_) return;
    if (status_ != kStatusIdle) stopLocked();
    deleted_ = true;
  }
  platform::RunLoop::main().cancelAllFor(this);
  autoDetectDeviceTimer_ = 0;
  AudioHelper::removeHelper();
  {
    Guard guard(*this);
    helper_.reset();
  }
  auto& state = platform::Process::current().shared<NLDriverState>();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.instance.get() == this) state.instance.reset();
}

bool NLSwiperController::isDevicePresent() const { return AudioHelper::isDetectedDevice(); }

void NLSwiperController::sendResetCmd() {
  Guard guard(*this);
  sendResetCmdLocked();
}

void NLSwiperController::sendResetCmdLocked() {
  if (helper_) helper_->sendCommand(NLFrame::kStartCommand);
  startReplyWaitLocked();
}

// ---------------------------------------------------------------------------------- timers

void NLSwiperController::startReplyWaitLocked() {
  stopSwipeWaitLocked();
  stopReplyWaitLocked();
  std::weak_ptr<NLSwiperController> weak = weak_from_this();
  const uint64_t token = replyToken_;
  waitResponseTimeoutTimer_ = platform::RunLoop::main().after(platform::secs(kReplyWait), [weak, token] {
    if (auto self = weak.lock()) self->replyWaitFired(token);
  }, this);
}

void NLSwiperController::stopReplyWaitLocked() {
  if (waitResponseTimeoutTimer_) platform::RunLoop::main().cancel(waitResponseTimeoutTimer_);
  waitResponseTimeoutTimer_ = 0;
  ++replyToken_;
}

void NLSwiperController::replyWaitFired(uint64_t token) {
  Guard guard(*this);
  if (deleted_ || token != replyToken_) return;
  waitResponseTimeoutTimer_ = 0;
  ++replyToken_;
  if (isGetKsn_) errorLocked(kErrorKsn, kErrorKsnText);
  else errorLocked(kErrorStart, kErrorStartText);
}

void NLSwiperController::startWaitSwipe(uint64_t session) {
  Guard guard(*this);
  if (deleted_ || session != session_ || status_ == kStatusIdle) return;
  stopSwipeWaitLocked();
  std::weak_ptr<NLSwiperController> weak = weak_from_this();
  const uint64_t token = swipeToken_;
  waitSwipeTimeoutTimer_ = platform::RunLoop::main().after(platform::secs(swipeTimeout_), [weak, token] {
    if (auto self = weak.lock()) self->swipeWaitFired(token);
  }, this);
  runState_ = kRunWaitingForSwipe;
  raise([](auto& r) { r.onWaitingForCardSwipe(); });
}

void NLSwiperController::stopSwipeWaitLocked() {
  if (waitSwipeTimeoutTimer_) platform::RunLoop::main().cancel(waitSwipeTimeoutTimer_);
  waitSwipeTimeoutTimer_ = 0;
  ++swipeToken_;
}

void NLSwiperController::swipeWaitFired(uint64_t token) {
  Guard guard(*this);
  if (deleted_ || token != swipeToken_) return;
  waitSwipeTimeoutTimer_ = 0;
  stopLocked();
  raise([](auto& r) { r.onTimeout(); });
}

// ---------------------------------------------------------------------------------- presence

void NLSwiperController::pollPresence() {
  if (deleted_) return;
  const bool present = AudioHelper::isDetectedDevice();
  if (present == isReaderPresent_) return;
  isReaderPresent_ = present;
  const bool announce = detectDeviceChange_;
  if (!present) {
    stopCSwiper();
    raise([](auto& r) { r.onInterrupted(); });
    if (announce) raise([](auto& r) { r.onDeviceUnplugged(); });
    return;
  }
  {
    // A session that began in the moment before this poll saw the reader (a start looks at the
    // route itself) is left running: marking it idle would drop its reply.
    Guard guard(*this);
    if (runState_ == kRunIdle) status_ = kStatusIdle;
  }
  if (announce) raise([](auto& r) { r.onDevicePlugged(); });
}

// ---------------------------------------------------------------------------------- the reader's reports

void NLSwiperController::onError(int32_t code, const std::string& message) {
  Guard guard(*this);
  if (deleted_) return;
  errorLocked(code, message);
}

void NLSwiperController::errorLocked(int32_t code, const std::string& message) {
  if (!hasResetCmd_ && (code == kErrorKsn || code == kErrorStart) && status_ != kStatusIdle) {
    hasResetCmd_ = true;
    sendResetCmdLocked();
    return;
  }
  stopLocked();
  raise([code, message](auto& r) { r.onError(code, message); });
}

void NLSwiperController::decodeFailureLocked(int value) {
  // A raw reader takes no start command: its failure ends the session at once.
  if (hasResetCmd_ || readerType_ != kReaderFramed) {
    stopLocked();
    raise([value](auto& r) { r.onDecodeError(value); });
    return;
  }
  hasResetCmd_ = true;
  sendResetCmdLocked();
}

void NLSwiperController::failedMessageLocked(int value) {
  if (isGetKsn_) errorLocked(kErrorKsn, kErrorKsnText);
  else decodeFailureLocked(value);
}

void NLSwiperController::onReceivedMessage(std::vector<uint8_t> message) {
  Guard guard(*this);
  // What a stopped session's recording still held is nobody's.
  if (deleted_ || status_ == kStatusIdle) return;
  stopReplyWaitLocked();
  if (message.size() <= NLMessage::kShortest) {
    failedMessageLocked(NLMessage::kShortMessage);
    return;
  }
  const auto detected = [this] {
    raise([](auto& r) { r.onCardSwipeDetected(); });
    raise([](auto& r) { r.onDecodingStart(); });
  };
  switch (message[NLMessage::kTypeIndex]) {
    case NLMessage::kTypeKsn:
    case NLMessage::kTypeKsnSecond:
      if (auto ksn = NLMessage::ksnOf(message)) ksnReplyLocked(*ksn);
      else failedMessageLocked(NLMessage::kBadLayout);
      break;
    case NLMessage::kTypeCard:
      cardMessageLocked(message);
      break;
    case NLMessage::kTypeError:
      detected();
      if (message[4] == NLMessage::kSwipeFailed) decodeFailureLocked(NLMessage::kFailedSwipe);
      else errorLocked(kErrorUnknown, kErrorUnknownText);
      break;
    case NLMessage::kTypeFailure:
      detected();
      decodeFailureLocked(NLMessage::kFailedSwipe);
      break;
    default:
      failedMessageLocked(NLMessage::kUnknownType);
      break;
  }
}

void NLSwiperController::ksnReplyLocked(const std::string& ksn) {
  // A KSN reply uses up the retry: failures after it end the session.
  hasResetCmd_ = true;
  SN_ = ksn;
  if (cardInfo_) cardInfo_->ksn = ksn;
  if (status_ != kStatusIdle && isGetKsn_) {
    stopLocked();
    raise([ksn](auto& r) { r.onGetKsnCompleted(ksn); });
    return;
  }
  std::weak_ptr<NLSwiperController> weak = weak_from_this();
  platform::RunLoop::main().post([weak, session = session_] {
    if (auto self = weak.lock()) self->startWaitSwipe(session);
  });
}

void NLSwiperController::cardMessageLocked(const std::vector<uint8_t>& message) {
  raise([](auto& r) { r.onCardSwipeDetected(); });
  raise([](auto& r) { r.onDecodingStart(); });
  auto parsed = NLMessage::cardOf(message);
  if (const int* failure = std::get_if<int>(&parsed)) {
    decodeFailureLocked(*failure);
    return;
  }
  CardData card = std::get<CardData>(std::move(parsed));
  SN_ = card.ksn;
  deliverCardLocked(std::move(card));
}

void NLSwiperController::deliverCardLocked(CardData card) {
  cardInfo_ = card;
  stopLocked();
  raise([card = std::move(card)](auto& r) {
    r.onDecodeCompleted(std::nullopt, card.ksn, card.cryptoData, card.lenOfTrack1, card.lenOfTrack2,
                        card.lenOfTrack3, card.randomNumber, card.maskedPAN(), card.validThru, std::nullopt);
  });
}

void NLSwiperController::onCardData(CardData card) {
  Guard guard(*this);
  if (deleted_ || status_ == kStatusIdle) return;
  deliverCardLocked(std::move(card));
}

void NLSwiperController::onSwipeError() {
  Guard guard(*this);
  if (deleted_ || status_ == kStatusIdle) return;
  decodeFailureLocked(NLMessage::kFailedSwipe);
}

// ---------------------------------------------------------------------------------- state

bool NLSwiperController::hasResetCmd() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return hasResetCmd_;
}

bool NLSwiperController::isGetKsn() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return isGetKsn_;
}

std::string NLSwiperController::SN() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return SN_;
}

std::optional<CardData> NLSwiperController::cardInfo() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return cardInfo_;
}

}  // namespace nvx::reader
