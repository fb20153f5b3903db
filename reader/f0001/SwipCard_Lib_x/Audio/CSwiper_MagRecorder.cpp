#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_MagRecorder.h"

#include <charconv>
#include <string_view>

#include "platform/device/Device.h"
#include "platform/foundation/Process.h"
#include "platform/media/AudioSession.h"
#include "platform/media/MediaVolume.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperCommandGenerator.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperPowerGenerator.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperSignalReceiver.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_FskController.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_MyLogger.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_WavBuffer.h"

namespace nvx::reader {

namespace {

using platform::media::AudioSession;
using Tracking = CSwiper_DecodeMagController;

// What the recorders of the process share: the recorder the interruption listener serves, the
// route type and whether audio input is unavailable. Main thread only.
struct CSwiperRecorderGlobals {
  std::weak_ptr<CSwiper_MagRecorder> current;
  int routeType = CSwiper_MagRecorder::kRouteOther;
  bool inputUnavailable = false;
};

CSwiperRecorderGlobals& globals() { return platform::Process::current().shared<CSwiperRecorderGlobals>(); }

int routeTypeOf(std::string_view route) {
  static constexpr std::pair<std::string_view, int> kTypes[] = {
      {"HeadsetInOut", CSwiper_MagRecorder::kRouteHeadsetInOut},
      {"Receiver", CSwiper_MagRecorder::kRouteReceiver},
      {"ReceiverAndMicrophone", CSwiper_MagRecorder::kRouteReceiverAndMicrophone},
      {"SpeakerAndMicrophone", CSwiper_MagRecorder::kRouteSpeakerAndMicrophone},
      {"HeadphonesAndMicrophone", CSwiper_MagRecorder::kRouteHeadphonesAndMicrophone},
      {"Speaker", CSwiper_MagRecorder::kRouteSpeaker},
  };
  for (const auto& [name, type] : kTypes) {
    if (route == name) return type;
  }
  return CSwiper_MagRecorder::kRouteOther;
}

// The system version is 5.0 or later, compared as numbers.
bool systemAtLeast5() {
  const std::string& version = platform::Device::info().systemVersion;
  int major = 0;
  auto [ptr, ec] = std::from_chars(version.data(), version.data() + version.size(), major);
  return ec == std::errc() && major >= 5;
}

// The decode of a swipe packet of this type is complete at this length.
bool isSwipePacket(int length, uint8_t type) {
  switch (type) {
    case 0x08:
    case 0x06:
    case 0x38:
    case 0x36: return length >= 168;
    case 0x31: return length >= 176;
    case 0x34: return length >= 174;
    case 0x39: return length >= 188;
    case 0x40: return length >= 179;
    default: return false;
  }
}

}  // namespace

std::shared_ptr<CSwiper_MagRecorder> CSwiper_MagRecorder::create() {
  std::shared_ptr<CSwiper_MagRecorder> recorder(new CSwiper_MagRecorder());
  recorder->init();
  return recorder;
}

CSwiper_MagRecorder::CSwiper_MagRecorder()
    : fskController_(std::make_shared<CSwiper_FskController>()), wavBuffer_(std::make_shared<CSwiper_WavBuffer>()) {
  recorderAq_ = std::make_unique<CSwiperSignalReceiver>(wavBuffer_);
  fskController_->SetWavBuffer(wavBuffer_);
}

CSwiper_MagRecorder::~CSwiper_MagRecorder() { MyImmediateClean(); }

void CSwiper_MagRecorder::init() {
  globals().current = weak_from_this();
  auto& session = AudioSession::sharedInstance();

  // Once per process; the listener serves whichever recorder is current then.
  auto initialized = session.initialize(
      [](bool begins) {
        if (auto recorder = globals().current.lock()) recorder->interruption(begins);
      },
      &platform::RunLoop::main());
  CSwiper_MyLogger::LogAudioSessionInitialize(initialized.code());
  if (!initialized && initialized.code() != platform::media::AudioStatus::kAlreadyInitialized) {
    storePending(MAGRECORDER_FAIL_INIT);
    return;
  }
  if (!session.setCategory(platform::media::AudioCategory::PlayAndRecord)) storePending(MAGRECORDER_FAIL_INIT);

  std::weak_ptr<CSwiper_MagRecorder> weak = weak_from_this();
  routeObservation_ = session.observeRouteChanges([weak](const platform::media::RouteChange&) {
    if (auto self = weak.lock()) self->routeChanged();
  });
  flagListenerAudioRouteChange_ = true;
  globals().routeType = CheckAudioRouteType();

  auto available = session.inputAvailable();
  if (!available) storePending(MAGRECORDER_FAIL_INIT);
  globals().inputUnavailable = !(available.isOk() && available.value);
  // The session tells on a thread of its own; the recorder acts on the main thread.
  inputListener_ = session.addInputAvailabilityListener([weak](bool) {
    platform::dispatchMain([weak] {
      if (auto self = weak.lock()) self->inputAvailabilityChanged();
    });
  });
  flagListenerAudioInputAvailable_ = true;

  if (auto active = session.setActive(true); !active) {
    CSwiper_MyLogger::LogAudioSessionSetActive(active.code());
    storePending(MAGRECORDER_FAIL_AUDIO_SESSION_SET_ACTIVE);
  }
  if (systemAtLeast5()) (void)session.setMode(platform::media::AudioMode::Measurement);
}

void CSwiper_MagRecorder::storePending(int state) {
  magRecorderState_ = state;
  updateState_ = true;
}

// ---------------------------------------------------------------------------------- announcing

void CSwiper_MagRecorder::MakeNotify(int state) {
  auto keep = shared_from_this();  // the observer may let the recorder go
  magRecorderState_ = state;
  updateState_ = false;
  if (observer_) {
    auto observer = observer_;
    observer(state);
  }
}

void CSwiper_MagRecorder::announcePending() {
  if (!updateState_) return;
  MakeNotify(magRecorderState_);
}

// ---------------------------------------------------------------------------------- recording

void CSwiper_MagRecorder::Track2Decoding() {
  if (cleaned_) return;
  auto keep = shared_from_this();
  if (magRecorderState_ == MAGRECORDER_RECORDING) StopRecord();

  auto& session = AudioSession::sharedInstance();
  if (auto volume = session.outputVolume(); !volume || volume.value != 1.0f) {
    platform::media::MediaVolume::shared().setVolume(1.0f);
  }
  if (auto active = session.setActive(true); !active) {
    CSwiper_MyLogger::LogAudioSessionSetActive(active.code());
    MakeNotify(MAGRECORDER_FAIL_TO_START);
    return;
  }
  auto route = session.routeName();
  if (!route || route.value.empty()) {
    MakeNotify(MAGRECORDER_CANNOT_GET_AUDUIOROUTE_NAME);
    return;
  }
  if (route.value != AudioSession::kRouteHeadsetInOut) {
    globals().routeType = kRouteOther;
    MakeNotify(MAGRECORDER_NON_HEADSET);
    return;
  }
  globals().routeType = kRouteHeadsetInOut;
  if (systemAtLeast5() && session.isInputGainSettable()) (void)session.setInputGain(1.0f);

  wavBuffer_->reset();
  // A capture that cannot start has been reported; the recording runs on without buffers.
  (void)recorderAq_->start();

  flagIndicateDecodeStart_ = false;
  flagManchesterPartDecode_ = false;
  recording_ = true;
  const uint64_t generation = ++generation_;
  MakeNotify(MAGRECORDER_RECORDING);
  if (generation == generation_ && recording_) CheckState();
}

void CSwiper_MagRecorder::StopRecord() {
  auto keep = shared_from_this();
  if (checkTimer_) platform::RunLoop::main().cancel(checkTimer_);
  checkTimer_ = 0;
  recording_ = false;
  recorderAq_->stop();
  (void)AudioSession::sharedInstance().setActive(false);
  const uint64_t generation = generation_;
  if (updateState_) MakeNotify(magRecorderState_);
  // Unless the announcement started the next recording.
  if (generation == generation_ && !recording_) magRecorderState_ = MAGRECORDER_IDLE;
}

void CSwiper_MagRecorder::scheduleCheck() {
  std::weak_ptr<CSwiper_MagRecorder> weak = weak_from_this();
  checkTimer_ = platform::RunLoop::main().after(platform::secs(kPollSeconds), [weak] {
    if (auto self = weak.lock()) self->CheckState();
  });
}

void CSwiper_MagRecorder::CheckState() {
  checkTimer_ = 0;
  if (!recording_) return;
  auto keep = shared_from_this();
  const uint64_t generation = generation_;
  // Whether the recording this poll belongs to still runs (an announcement may end it or start
  // the next one).
  auto goesOn = [&] { return generation == generation_ && recording_; };

  if (updateState_) {
    MakeNotify(magRecorderState_);
    if (!goesOn()) return;
  }
  Tracking& tracking = recorderAq_->tracking();
  auto swipeDetectedCheck = [&] {
    if (!flagIndicateDecodeStart_ && tracking.detectBuffers() > 2) {
      flagIndicateDecodeStart_ = true;
      MakeNotify(MAGRECORDER_CARD_SWIPE_DETECTED);
    }
    return goesOn();
  };

  switch (tracking.state()) {
    case Tracking::DECODE_MAG_CONTROLLER_WAV_STATE_IDLE:
      StopRecord();
      return;
    case Tracking::DECODE_MAG_CONTROLLER_WAV_STATE_WAITING_SWIPE:
      break;
    case Tracking::DECODE_MAG_CONTROLLER_WAV_STATE_SWIPING:
      if (!swipeDetectedCheck()) return;
      break;
    case Tracking::DECODE_MAG_CONTROLLER_WAV_STATE_SWIPE_FINISHED:
      if (!swipeDetectedCheck()) return;
      if (!flagManchesterPartDecode_) {
        flagManchesterPartDecode_ = true;
        // A decoder of its own for each reply: a decode left behind by a stopped recording
        // finishes on its own object.
        fskController_ = std::make_shared<CSwiper_FskController>();
        fskController_->SetWavBuffer(wavBuffer_);
        fskController_->setStatus(CSwiper_FskController::kQueued);
        platform::Thread::detach("cswiper-decode", [decoder = fskController_] { (void)decoder->StartDecode(); });
        if (tracking.detectBuffers() > 2) {
          MakeNotify(MAGRECORDER_DECODING_START);
          if (!goesOn()) return;
        }
      }
      if (fskController_->status() == CSwiper_FskController::kIdle) {
        classify(fskController_->GetDecodedResultLength(), fskController_->GetResultPtr()[0]);
        return;
      }
      break;
    case Tracking::DECODE_MAG_CONTROLLER_WAV_STATE_TIMEOUT:
    default:
      StopRecord();
      MakeNotify(MAGRECORDER_TERMINATED_TIMEOUT);
      return;
  }
  scheduleCheck();
}

void CSwiper_MagRecorder::classify(int length, uint8_t first) {
  int outcome = MAGRECORDER_END_FAIL;
  if (isSwipePacket(length, first)) {
    outcome = MAGRECORDER_END_SUCCESS;
  } else if (length >= 2) {
    if (first == CSwiper_FskController::kAcknowledge) {
      // The reader took the swipe command: track the swipe from a clear store, the time-out
      // counting again from now.
      wavBuffer_->requestReset();
      recorderAq_->tracking().resetKeepingTimeout();
      flagIndicateDecodeStart_ = false;
      flagManchesterPartDecode_ = false;
      scheduleCheck();
      return;
    }
    if (first == CSwiper_FskController::kKsnReply) outcome = MAGRECORDER_END_SUCCESS;
  } else if (length == 1) {
    switch (first) {
      case CSwiper_FskController::kReaderTimeout: outcome = MAGRECORDER_TERMINATED_TIMEOUT; break;
      case CSwiper_FskController::kCrcError: outcome = MAGRECORDER_FAIL_CRC_ERROR; break;
      case CSwiper_FskController::kReaderError: outcome = MAGRECORDER_FAIL_DEVICE_REPORT_ERROR; break;
      case CSwiper_FskController::kUnknownType: outcome = MAGRECORDER_FAIL_INVALID_INPUT; break;
      default: break;
    }
  }
  StopRecord();
  MakeNotify(outcome);
}

// ---------------------------------------------------------------------------------- the session

bool CSwiper_MagRecorder::IsHeadSetPluggedIn() {
  auto& shared = globals();
  shared.inputUnavailable = CheckAudioInputAvailable();
  shared.routeType = CheckAudioRouteType();
  return shared.routeType == kRouteHeadsetInOut && !shared.inputUnavailable;
}

bool CSwiper_MagRecorder::CheckAudioInputAvailable() {
  auto available = AudioSession::sharedInstance().inputAvailable();
  return !available.isOk() || !available.value;
}

int CSwiper_MagRecorder::CheckAudioRouteType() {
  auto route = AudioSession::sharedInstance().routeName();
  return route.isOk() ? routeTypeOf(route.value) : kRouteOther;
}

void CSwiper_MagRecorder::SetDecodeMagControllerTimeout(double seconds) {
  const double buffers = seconds / kSecondsPerBuffer;
  recorderAq_->tracking().setTimeoutBuffers(buffers > 0 && buffers < 1e9 ? static_cast<unsigned>(buffers) : 0);
}

void CSwiper_MagRecorder::SetSignalReceiverDelay(int buffers) { recorderAq_->setDelayBuffers(buffers); }

void CSwiper_MagRecorder::SetPowerGenerator(std::weak_ptr<CSwiperPowerGenerator> player) {
  recorderAq_->setPowerGenerator(std::move(player));
}

void CSwiper_MagRecorder::interruptRecording() {
  if (magRecorderState_ != MAGRECORDER_RECORDING) return;
  storePending(MAGRECORDER_TERMINATED_INTERRUPT);
  StopRecord();
}

void CSwiper_MagRecorder::interruption(bool begins) {
  if (cleaned_) return;
  if (begins) {
    interruptRecording();
  } else {
    (void)AudioSession::sharedInstance().setActive(true);
  }
}

void CSwiper_MagRecorder::inputAvailabilityChanged() {
  if (cleaned_) return;
  const bool unavailable = CheckAudioInputAvailable();
  globals().inputUnavailable = unavailable;
  if (unavailable) {
    interruptRecording();
  } else {
    (void)AudioSession::sharedInstance().setActive(true);
  }
}

void CSwiper_MagRecorder::routeChanged() {
  if (cleaned_) return;
  globals().routeType = CheckAudioRouteType();
  if (globals().routeType != kRouteHeadsetInOut) interruptRecording();
}

void CSwiper_MagRecorder::MyImmediateClean() {
  if (cleaned_) return;
  cleaned_ = true;
  if (auto& shared = globals(); shared.current.lock().get() == this || shared.current.expired()) shared.current.reset();
  routeObservation_.cancel();
  inputListener_.cancel();
  flagListenerAudioRouteChange_ = false;
  flagListenerAudioInputAvailable_ = false;
  if (checkTimer_) platform::RunLoop::main().cancel(checkTimer_);
  checkTimer_ = 0;
  recording_ = false;
  observer_ = nullptr;
  recorderAq_->stop();
  (void)AudioSession::sharedInstance().setActive(false);
}

// ---------------------------------------------------------------------------------- the packet

std::string CSwiper_MagRecorder::GetFormatID() const { return fskController_->GetFormatID(); }
std::string CSwiper_MagRecorder::GetKSN() const { return fskController_->GetKSN(); }
std::string CSwiper_MagRecorder::GetEncTrack1() const { return fskController_->GetEncTrack1(); }
int CSwiper_MagRecorder::GetTrack1Length() const { return fskController_->GetTrack1Length(); }
int CSwiper_MagRecorder::GetTrack2Length() const { return fskController_->GetTrack2Length(); }
int CSwiper_MagRecorder::GetTrack3Length() const { return fskController_->GetTrack3Length(); }
std::string CSwiper_MagRecorder::GetRandomNumber() const { return fskController_->GetRandomNumber(); }
std::string CSwiper_MagRecorder::GetLast4DigitPan() const { return fskController_->GetLast4DigitPan(); }
std::string CSwiper_MagRecorder::GetExpiryDate() const { return fskController_->GetExpiryDate(); }
std::string CSwiper_MagRecorder::GetName() const { return fskController_->GetName(); }

}  // namespace nvx::reader
