#include "reader/f0008/CTSwiperController.h"

#include <algorithm>

#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "reader/f0008/CTLineFilter.h"
#include "reader/f0008/SwipCard_Lib_x/Audio/CSetting.h"
#include "reader/f0008/SwipCard_Lib_x/Audio/CSquareEncode.h"
#include "reader/f0008/SwipCard_Lib_x/Audio/CTPhoneController.h"
#include "reader/f0008/SwipCard_Lib_x/Audio/CZE1601IODecode.h"
#include "reader/f0008/SwipCard_Lib_x/Audio/RQueue.h"
#include "reader/f0008/SwipCard_Lib_x/Audio/RemoteIOPlayer.h"

namespace nvx::reader::f0008 {

namespace {

constexpr const char* kTag = "CTSwiperController";
constexpr const char* kNotIdle = "控制器状态不为IDLE";
constexpr const char* kAudioFailed = "初始化Audio失败";
constexpr const char* kLinkError = "通信错误";
constexpr const char* kLinkTimeout = "通信超时";

}  // namespace

const std::array<std::array<uint8_t, 6>, 4> CTSwiperController::kCommands = {{
    {0x8D, 0x00, 0x02, 0x21, 0x00, 0xAE},
    {0x8D, 0x00, 0x02, 0x22, 0x00, 0xAD},
    {0x8D, 0x00, 0x02, 0x23, 0x00, 0xAC},
    {0x8D, 0x00, 0x02, 0x25, 0x00, 0xAA},
}};

// The shared driver: kept weakly, so that once everyone has let go of it (or it was deleted) the
// next sharedInstance makes a new one.
struct CTSwiperControllerShared {
  std::mutex mutex;
  std::weak_ptr<CTSwiperController> instance;
};

std::shared_ptr<CTSwiperController> CTSwiperController::sharedInstance() {
  auto& shared = platform::Process::current().shared<CTSwiperControllerShared>();
  std::lock_guard<std::mutex> lock(shared.mutex);
  if (auto driver = shared.instance.lock(); driver && !driver->isDeleted_) return driver;
  auto driver = std::shared_ptr<CTSwiperController>(new CTSwiperController());
  driver->init();
  shared.instance = driver;
  return driver;
}

CTSwiperController::CTSwiperController() {
  detectDeviceChange_ = false;
  swipeTimeout_ = kDefaultSwipeTimeout;
}

void CTSwiperController::init() {
  remoteIOPlayer_ = std::make_unique<RemoteIOPlayer>();
  // The player never outlives the driver (teardown cleans it up), so it may call back on this.
  remoteIOPlayer_->setDelegateForPlay({
      nullptr,
      [this](AudioBuffer& b) { UpdateLeftAudioPlayBuffer(b); },
      [this](AudioBuffer& b) { UpdateRightAudioPlayBuffer(b); },
  });
  remoteIOPlayer_->setDelegateForRecord({[this](const AudioBufferList& l) { UpdateAudioRecordBufferList(l); }});
  remoteIOPlayer_->setDelegateForAudioRoute({[this](bool present) { UpdateAudioDeviceChange(present); }});
  if (auto status = remoteIOPlayer_->intialiseAudio(); !status) {
    platform::log::error(kTag, "the audio path is not set up: " + status.message());
  }
  deviceIsExist_ = RemoteIOPlayer::CheckHeadDeviceExist();
  audioRecordQueue_ = std::make_unique<RQueue>();
  powerData_.assign(kPowerSamples, 0);
  EncodePower(powerData_);
  {
    std::lock_guard<std::mutex> lock(threadLock_);
    decodeThreadRunning_ = true;
  }
  // The decode thread keeps the driver while it runs.
  auto self = shared_from_this();
  platform::Thread::detach("ct-decode", [self] { self->RecvAndDecodeCommand(); });
}

CTSwiperController::~CTSwiperController() {
  platform::RunLoop::main().cancelAllFor(this);
  if (!isDeleted_.exchange(true)) teardown();
}

// ---------------------------------------------------------------------------------- the interface

bool CTSwiperController::isDevicePresent() const { return RemoteIOPlayer::CheckHeadDeviceExist(); }

void CTSwiperController::setSwipeTimeout(double seconds) {
  swipeTimeout_ = seconds;
  swipeTimeoutNow_ = seconds;
}

void CTSwiperController::setError(int32_t code, std::string message) {
  std::lock_guard<std::mutex> lock(fieldsMutex_);
  errorCode_ = code;
  errorMessage_ = std::move(message);
}

void CTSwiperController::startCSwiper() {
  if (isDeleted_) return;  // a deleted driver cannot be started again
  if (!isDevicePresent()) {
    callBack(kEventNoDeviceDetected);
    return;
  }
  if (state_ != kStateIdle) {
    setError(kReaderErrorBusy, kNotIdle);
    callBack(kEventError);
    return;
  }
  callBack(kEventWaitingForDevice);
  cmdStep_ = kStepArming;
  if (!initCommunication()) {
    setError(kReaderErrorSecondDriver, kAudioFailed);
    callBack(kEventErrorStop);
  }
  SendCommand(kCommandArm, true);
  ChangeCSwiperControllerState(kStateStarted);
}

void CTSwiperController::getCSwiperKsn() {
  if (isDeleted_) return;
  if (!isDevicePresent()) {
    callBack(kEventNoDeviceDetected);
    return;
  }
  if (state_ != kStateIdle) {
    setError(kReaderErrorKsn, kNotIdle);
    callBack(kEventError);
    return;
  }
  ksnReTimes_ = kKsnAttempts;
  cmdStep_ = kStepKsn;
  if (!initCommunication()) {
    setError(kReaderErrorSecondDriver, kAudioFailed);
    callBack(kEventErrorStop);
  }
  SendCommand(kCommandKsn, true);
  ChangeCSwiperControllerState(kStateStarted);
}

void CTSwiperController::stopCSwiper() { stopCommunication(true); }

void CTSwiperController::deleteCSwiper() {
  if (isDeleted_.exchange(true)) return;
  teardown();
}

void CTSwiperController::teardown() {
  CTPhoneController::restorationMobileVolume();
  stopCommunication(true);
  endDecodeThread_ = true;
  if (audioRecordQueue_) {
    audioRecordQueue_->EmptyQueue();
    audioRecordQueue_->Interrupt();
  }
  // The interrupt wakes the decode thread; nothing is freed before it has ended.
  {
    std::unique_lock<std::mutex> lock(threadLock_);
    threadEnded_.wait(lock, [this] { return !decodeThreadRunning_; });
  }
  if (remoteIOPlayer_) {
    (void)remoteIOPlayer_->stop();
    remoteIOPlayer_->cleanUp();  // no render or record call comes after it
  }
  if (audioRecordQueue_) audioRecordQueue_->EmptyQueue();
  std::lock_guard<std::mutex> lock(playLock_);
  resetStereoParam();
  powerData_.clear();
  powerData_.shrink_to_fit();
}

// ---------------------------------------------------------------------------------- the audio path

bool CTSwiperController::initCommunication() {
  CTPhoneController::setMobileVolumeMax();
  remoteIOPlayer_->setInputVolume(0, 1.0f);
  remoteIOPlayer_->setInputVolume(1, 1.0f);
  remoteIOPlayer_->setOutputVolume(1.0f);
  if (remoteIOPlayer_->start() != 0) return false;
  bPower_ = true;
  bRecord_ = true;
  return true;
}

void CTSwiperController::stopCommunication(bool stopPlayer) {
  bRecord_ = false;
  bPower_ = false;
  bPlay_ = false;
  invalidateTimer();
  if (stopPlayer) controlRemoteIOPlayer(false);
  if (audioRecordQueue_) audioRecordQueue_->EmptyQueue();
  state_ = kStateIdle;
  ksnReTimes_ = 0;
  cmdFlag_ = kCommandNone;
  cmdStep_ = kStepNone;
}

void CTSwiperController::controlRemoteIOPlayer(bool start) {
  if (!remoteIOPlayer_) return;
  if (start) {
    (void)remoteIOPlayer_->start();
  } else {
    (void)remoteIOPlayer_->stop();
  }
}

void CTSwiperController::EncodePower(std::span<int16_t> buffer) {
  const auto& pattern = CSquareEncode::kTableA;
  for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = pattern[i % pattern.size()];
}

void CTSwiperController::resetStereoParam() {
  playData_.clear();
  playLength_ = 0;
  playMove_ = 0;
  bPlay_ = false;
}

void CTSwiperController::SendCommand(int index, bool newThread) {
  audioRecordQueue_->EmptyQueue();
  if (!newThread) {
    EncodeCommandAndSend(index);
    return;
  }
  auto self = shared_from_this();
  platform::Thread::detach("ct-command", [self, index] { self->EncodeCommandAndSend(index); });
}

void CTSwiperController::EncodeCommandAndSend(int index) {
  if (endDecodeThread_ || index < 0 || index >= static_cast<int>(kCommands.size())) return;
  std::lock_guard<std::mutex> lock(playLock_);
  resetStereoParam();  // a command not played yet is dropped
  if (index == kCommandArm) {
    setTimer(kExchangeSeconds);
  } else if (index == kCommandKsn) {
    --ksnReTimes_;
    setTimer(kExchangeSeconds);
  }
  CSquareEncode encoder;
  const auto& frame = kCommands[static_cast<size_t>(index)];
  playData_.assign(encoder.sampleCount(frame.size()) + kLeadSilence, 0);
  const size_t at = encoder.silence(playData_, 0, kLeadSilence);
  playLength_ = encoder.encode(playData_, at, frame);
  playMove_ = 0;
  bPlay_ = true;
  cmdFlag_ = index;
}

void CTSwiperController::UpdateLeftAudioPlayBuffer(AudioBuffer& buffer) {
  std::lock_guard<std::mutex> lock(playLock_);
  std::fill_n(buffer.data, buffer.frames, int16_t{0});
  if (!bPlay_) return;
  const size_t n = std::min(buffer.frames, playLength_);
  std::copy_n(playData_.begin() + static_cast<std::ptrdiff_t>(playMove_), n, buffer.data);
  playLength_ -= n;
  playMove_ += n;
  if (playLength_ == 0) bPlay_ = false;
}

void CTSwiperController::UpdateRightAudioPlayBuffer(AudioBuffer& buffer) {
  std::fill_n(buffer.data, buffer.frames, int16_t{0});
  if (!bPower_ || powerData_.empty()) return;
  // Each buffer starts the tone anew.
  for (size_t i = 0; i < buffer.frames; ++i) buffer.data[i] = powerData_[i % powerData_.size()];
}

void CTSwiperController::UpdateAudioRecordBufferList(const AudioBufferList& list) {
  if (!bRecord_ || list.buffers.empty()) return;
  const AudioBuffer& b = list.buffers[0];
  audioRecordQueue_->EnterQueue(RQueue::Data(b.data, b.data + b.frames));
}

// ---------------------------------------------------------------------------------- presence

void CTSwiperController::UpdateAudioDeviceChange(bool) {
  if (isDeleted_) return;
  // The flag passed in is not trusted: the route is asked again.
  deviceIsExist_ = RemoteIOPlayer::CheckHeadDeviceExist();
  auto receiver = delegate_.lock();
  if (deviceIsExist_) {
    if (detectDeviceChange_ && receiver) receiver->onDevicePlugged();
    return;
  }
  if (detectDeviceChange_ && receiver) receiver->onDeviceUnplugged();
  if (state_ != kStateIdle) stopCommunication(true);
}

// ---------------------------------------------------------------------------------- events

void CTSwiperController::callBack(int32_t event) {
  EventData data;
  {
    std::lock_guard<std::mutex> lock(fieldsMutex_);
    data.errorCode = errorCode_;
    data.errorMessage = errorMessage_;
  }
  data.decodeResult = decodeResult_;
  auto self = shared_from_this();
  platform::dispatchMain([self, event, data] { self->CallBackCSwiperControllerListener(event, data); });
}

void CTSwiperController::CallBackCSwiperControllerListener(int32_t event, const EventData& data) {
  if (isDeleted_) return;
  switch (event) {
    case kEventWaitingForDevice:
      ChangeCSwiperControllerState(kStateStarted);
      break;
    case kEventWaitingForCardSwipe:
      ChangeCSwiperControllerState(kStateArmed);
      break;
    case kEventCardSwipeDetected:
      ChangeCSwiperControllerState(kStateSwiped);
      break;
    case kEventNoDeviceDetected:
    case kEventErrorStop:
    case kEventInterrupted:
    case kEventTimeout:
    case kEventDecodeCompleted:
    case kEventDecodeError:
    case kEventKsn:
      stopCommunication(true);
      break;
    default:
      break;
  }
  auto receiver = delegate_.lock();
  if (!receiver) return;
  switch (event) {
    case kEventWaitingForDevice:
      receiver->onWaitingForDevice();
      break;
    case kEventNoDeviceDetected:
      receiver->onNoDeviceDetected();
      break;
    case kEventWaitingForCardSwipe:
      receiver->onWaitingForCardSwipe();
      break;
    case kEventCardSwipeDetected:
      receiver->onCardSwipeDetected();
      break;
    case kEventDecodingStart:
      receiver->onDecodingStart();
      break;
    case kEventErrorStop:
    case kEventError:
      receiver->onError(data.errorCode, data.errorMessage);
      break;
    case kEventInterrupted:
      receiver->onInterrupted();
      break;
    case kEventTimeout:
      receiver->onTimeout();
      break;
    case kEventDecodeCompleted: {
      CTCardDetails card;
      {
        std::lock_guard<std::mutex> lock(fieldsMutex_);
        card = card_;
      }
      receiver->onDecodeCompleted(card.FormatID, card.Ksn, card.EncTracks, card.Track1Length, card.Track2Length,
                                  card.Track3Length, card.RandomNumber, card.MaskedPAN, card.ExpiryDate,
                                  card.CardHolderName);
      break;
    }
    case kEventDecodeError:
      receiver->onDecodeError(data.decodeResult);
      break;
    case kEventKsn:
      receiver->onGetKsnCompleted(Ksn());
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------- timers

void CTSwiperController::setTimer(double seconds) {
  std::weak_ptr<CTSwiperController> weak = weak_from_this();
  platform::dispatchMain([weak, seconds] {
    if (auto self = weak.lock()) self->scheduledTimer(seconds);
  });
}

void CTSwiperController::scheduledTimer(double seconds) {
  invalidateTimer();
  std::weak_ptr<CTSwiperController> weak = weak_from_this();
  std::lock_guard<std::mutex> lock(timerMutex_);
  timerInterval_ = seconds;
  timerForComm_ = platform::RunLoop::main().after(
      platform::secs(seconds),
      [weak, seconds] {
        if (auto self = weak.lock()) self->onTimeout(seconds);
      },
      this);
}

void CTSwiperController::cancelTimer() {
  std::weak_ptr<CTSwiperController> weak = weak_from_this();
  platform::dispatchMain([weak] {
    if (auto self = weak.lock()) self->invalidateTimer();
  });
}

void CTSwiperController::invalidateTimer() {
  std::optional<platform::TimerId> timer;
  {
    std::lock_guard<std::mutex> lock(timerMutex_);
    timer = std::exchange(timerForComm_, std::nullopt);
  }
  if (timer) platform::RunLoop::main().cancel(*timer);
}

std::optional<double> CTSwiperController::pendingTimer() const {
  std::lock_guard<std::mutex> lock(timerMutex_);
  if (!timerForComm_) return std::nullopt;
  return timerInterval_;
}

void CTSwiperController::onTimeout(double interval) {
  {
    std::lock_guard<std::mutex> lock(timerMutex_);
    timerForComm_.reset();
  }
  switch (cmdStep_) {
    case kStepCard:
      // Only the swipe time-out of the running interval ends the session.
      if (interval == swipeTimeoutNow_.load()) callBack(kEventTimeout);
      break;
    case kStepArming:
      if (interval == kExchangeSeconds) SendCommand(kCommandArm, true);  // re-armed without limit
      break;
    case kStepKsn:
      if (interval != kExchangeSeconds) break;
      if (ksnReTimes_ < 1) {
        setError(kReaderErrorKsn, kLinkTimeout);
        callBack(kEventErrorStop);
      } else {
        SendCommand(kCommandKsn, true);
      }
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------- the decode thread

void CTSwiperController::RecvAndDecodeCommand() {
  if (!endDecodeThread_) {
    DecodeRecord record;
    CTLineFilter line;
    ZE1601IOSetting setting;
    CDecode* decode = setting.getDecode();
    decode->reset(setting);
    audioRecordQueue_->EmptyQueue();
    while (!endDecodeThread_ && !platform::Thread::stopping()) {
      std::optional<RQueue::Data> block = audioRecordQueue_->OutQueue();
      if (!block) continue;
      line.apply(*block);
      record.setSamples(block->data(), block->size());
      const int32_t status = decode->decode(record);
      if (status == kDecodeFrame) handleReply(record);
      if (status == kDecodeFrame || status == kDecodeNoBytes) {
        decode->reset(setting);
        record.clear();
      }
    }
    SendCommand(kCommand25, false);
    bRecord_ = false;
    audioRecordQueue_->EmptyQueue();
  }
  decodeThreadEnded();
}

void CTSwiperController::decodeThreadEnded() {
  std::lock_guard<std::mutex> lock(threadLock_);
  decodeThreadRunning_ = false;
  threadEnded_.notify_all();
}

bool CTSwiperController::decodeThreadRunning() const {
  std::lock_guard<std::mutex> lock(threadLock_);
  return decodeThreadRunning_;
}

void CTSwiperController::handleReply(const DecodeRecord& record) {
  const int32_t step = cmdStep_;
  const CTParsed parsed =
      CTReply::ParseCommand(std::span<const uint8_t>(record.bytes.data(), record.byteCount), step);
  {
    std::lock_guard<std::mutex> lock(fieldsMutex_);
    if (parsed.ksn) card_.Ksn = *parsed.ksn;
    if (parsed.card) card_ = *parsed.card;
  }
  decodeResult_ = parsed.result;

  if (parsed.result == kParseExpected) {
    cancelTimer();
    cmdStep_ = kStepNone;
    if (step == kStepArming) {
      callBack(kEventWaitingForCardSwipe);
      cmdStep_ = kStepCard;
      setTimer(swipeTimeoutNow_);
    } else if (step == kStepCard) {
      callBack(kEventCardSwipeDetected);
      callBack(kEventDecodingStart);
      callBack(kEventDecodeCompleted);
    } else if (step == kStepKsn) {
      callBack(kEventKsn);
    }
    return;
  }
  if (parsed.result == kParseCardRefused) {
    if (step == kStepCard) callBack(kEventDecodeError);
    return;
  }
  // A wrong reply, or one cut short.
  if (step == kStepArming) {
    SendCommand(kCommandArm, false);
  } else if (step == kStepCard) {
    if (parsed.kind == kReplyArmed || parsed.kind == kReply20) return;  // a late arming reply, or 0x20
    callBack(kEventCardSwipeDetected);
    callBack(kEventDecodingStart);
    callBack(kEventDecodeError);
    SendCommand(kCommand23, false);
    SendCommand(kCommand25, false);
  } else if (step == kStepKsn) {
    if (ksnReTimes_ > 0) {
      SendCommand(kCommandKsn, false);
    } else {
      setError(kReaderErrorKsn, kLinkError);
      callBack(kEventErrorStop);
    }
  }
}

// ---------------------------------------------------------------------------------- the card result

#define NVX_CT_FIELD(Type, Name)                      \
  Type CTSwiperController::Name() const {             \
    std::lock_guard<std::mutex> lock(fieldsMutex_);   \
    return card_.Name;                                \
  }
NVX_CT_FIELD(std::string, FormatID)
NVX_CT_FIELD(std::string, Ksn)
NVX_CT_FIELD(std::string, EncTracks)
NVX_CT_FIELD(std::string, RandomNumber)
NVX_CT_FIELD(std::string, MaskedPAN)
NVX_CT_FIELD(std::string, ExpiryDate)
NVX_CT_FIELD(std::string, CardHolderName)
NVX_CT_FIELD(int32_t, Track1Length)
NVX_CT_FIELD(int32_t, Track2Length)
NVX_CT_FIELD(int32_t, Track3Length)
#undef NVX_CT_FIELD

}  // namespace nvx::reader::f0008
