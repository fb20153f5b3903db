#include "reader/f0002/CSwiperController1.h"

#include <openssl/rand.h>

#include <algorithm>
#include <cstdio>

#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/AudioSession.h"
#include "platform/media/MediaVolume.h"
#include "reader/f0002/SpeedPlist.h"
#include "reader/f0002/Swiper1Modem.h"

namespace nvx::reader {

namespace {

constexpr const char* kTag = "CSwiperController1";
constexpr int kCommandWaitMs = 3000;
constexpr double kPluggedDelay = 0.2;
const std::vector<uint8_t> kDeviceInfo{0xE1, 0x06, 0x02};
const std::vector<uint8_t> kDeviceInfoSecondForm{0xE1, 0x06, 0x03};
const std::vector<uint8_t> kReadCard{0xE1, 0x02, 0x86, 0x03, 0x09, 0x01};
const std::vector<uint8_t> kStopRead{0xE1, 0x03, 0x02};
constexpr size_t kRandomBytes = 8;
constexpr size_t kCardFieldsHex = 18;  // 9 bytes: PAN 6 + 4, expiry, two track lengths

std::string hex(const uint8_t* bytes, size_t count) {
  std::string out;
  out.reserve(count * 2);
  char two[3];
  for (size_t i = 0; i < count; ++i) {
    std::snprintf(two, sizeof two, "%02X", bytes[i]);
    out += two;
  }
  return out;
}

bool isHeadsetRoute(const std::string& route) {
  return route.find("Headphone") != std::string::npos || route.find("Headset") != std::string::npos;
}

}  // namespace

// One object of this class at a time, over the process.
struct CSwiperController1Registry {
  std::atomic<bool> exists{false};
};

std::shared_ptr<CSwiperController1> CSwiperController1::create() {
  auto& registry = platform::Process::current().shared<CSwiperController1Registry>();
  if (registry.exists.exchange(true)) {
    platform::log::warning(kTag, "-4 ERROR_DUPLICATE_SWIPER: a driver of this kind exists already");
    return nullptr;
  }
  auto driver = std::shared_ptr<CSwiperController1>(new CSwiperController1());
  driver->init();
  return driver;
}

CSwiperController1::CSwiperController1() {
  detectDeviceChange_ = true;
  swipeTimeout_ = kDefaultSwipeTimeout;
}

void CSwiperController1::init() {
  std::lock_guard<std::mutex> lock(fieldsMutex_);
  ksn_.clear();
  encTracks_.clear();
  maskedPAN_.clear();
  expiryDate_.clear();
  isPlugged_ = initialHeadset();
}

CSwiperController1::~CSwiperController1() {
  routeListener_.cancel();
  if (auto* registry = platform::Process::current().sharedIfExists<CSwiperController1Registry>()) {
    registry->exists = false;
  }
}

// ---------------------------------------------------------------------------------- the route

bool CSwiperController1::initialHeadset() {
  auto& session = platform::media::AudioSession::sharedInstance();
  (void)session.initialize();  // once per process; a second time only answers that it is done
  // Playing and recording at the same time.
  (void)session.setCategory(platform::media::AudioCategory::PlayAndRecord);
  std::weak_ptr<CSwiperController1> weak = weak_from_this();
  routeListener_ = session.addRouteChangeListener([weak](const platform::media::RouteChange&) {
    if (auto self = weak.lock()) self->routeChanged();
  });
  auto route = session.routeName();
  return route.isOk() && !route.value.empty() && isHeadsetRoute(route.value);
}

void CSwiperController1::routeChanged() {
  auto route = platform::media::AudioSession::sharedInstance().routeName();
  if (route.isOk() && !isHeadsetRoute(route.value)) {
    if (isPlugged_.exchange(false) && detectChange_) setEvent(kEventDeviceUnplugged);
  } else {
    // A route whose name cannot be read counts as the reader.
    if (!isPlugged_.exchange(true) && detectChange_) setEvent(kEventDevicePlugged);
  }
}

// ---------------------------------------------------------------------------------- volume

float CSwiperController1::getVolume() const { return platform::media::MediaVolume::shared().volume(); }

void CSwiperController1::setVolumeMax() {
  currentVolume_ = getVolume();
  platform::media::MediaVolume::shared().setVolume(1.0f);
}

void CSwiperController1::setVolumeMin() { platform::media::MediaVolume::shared().setVolume(0.0f); }

void CSwiperController1::restoreVolume() { platform::media::MediaVolume::shared().setVolume(currentVolume_); }

// ---------------------------------------------------------------------------------- requests

void CSwiperController1::spawn(const char* name, void (CSwiperController1::*body)()) {
  auto self = shared_from_this();
  platform::Thread::detach(name, [self, body] { ((*self).*body)(); });
}

void CSwiperController1::startCSwiper() {
  if (isDeleted_) return;
  if (!isPlugged_) {
    setEvent(kEventNoDeviceDetected);
  } else if (state_ == kStateIdle && !infoFlag_ && !isSwiped_) {
    isStop_ = false;
    cancel_ = false;
    isSwiped_ = true;
    sessionTimeoutMs_ = static_cast<int>(std::clamp(swipeTimeout_, 0.0, 3600000.0));  // whole milliseconds
    spawn("swiper1-session", &CSwiperController1::getEncTracks);
  } else {
    {
      std::lock_guard<std::mutex> lock(fieldsMutex_);
      errorCode_ = kReaderErrorBusy;
    }
    setErrorInfo("ERROR_FAIL_TO_START");
  }
}

void CSwiperController1::getCSwiperKsn() {
  if (isDeleted_) return;
  {
    std::lock_guard<std::mutex> lock(fieldsMutex_);
    ksn_.clear();
  }
  if (!isPlugged_) {
    setEvent(kEventNoDeviceDetected);
  } else if (infoFlag_ || isSwiped_) {
    {
      std::lock_guard<std::mutex> lock(fieldsMutex_);
      errorCode_ = kReaderErrorBusy;
    }
    setErrorInfo("ERROR_FAIL_TO_START");
  } else {
    isStop_ = false;
    cancel_ = false;
    infoFlag_ = true;
    spawn("swiper1-ksn", &CSwiperController1::getKsn);
  }
}

void CSwiperController1::stopCSwiper() {
  isStop_ = true;
  cancel_ = true;
  // The session is over for the caller at once; the worker powers the reader down behind it
  // (a new start is refused until it has).
  if (isSwiped_) state_ = kStateIdle;
  interrupt();
}

void CSwiperController1::deleteCSwiper() {
  isDeleted_ = true;
  cancel_ = true;
  interrupt();
}

void CSwiperController1::interrupt() {
  if (!infoFlag_ && !isSwiped_) return;
  std::lock_guard<std::mutex> gate(stopGate_);
  for (int i = 0; i < 4; ++i) swiper1_modem_interrupt();
}

// ---------------------------------------------------------------------------------- the swipe session

void CSwiperController1::clearSession() {
  isSwiped_ = false;
  state_ = kStateIdle;
  timeOutFlag_ = false;
  isStop_ = false;
  waitForSwipe_ = false;
}

void CSwiperController1::getEncTracks() {
  state_ = kStateSwiping;
  setEvent(kEventWaitingForDevice);
  if (isStop_) {
    clearSession();
    setEvent(kEventInterrupted);
    return;
  }
  if (!startDevice()) {
    clearSession();
    {
      std::lock_guard<std::mutex> lock(fieldsMutex_);
      errorCode_ = kReaderErrorAudioPath;
    }
    setErrorInfo("ERROR_AUDIO_INITIALIZATION_FAIL");
    return;
  }
  bool result = false;
  if (!isStop_) result = readBankCard();
  if (timeOutFlag_ || (isStop_ && waitForSwipe_)) {
    // After a stop: its interrupts are done before the reader is told to stop reading.
    std::lock_guard<std::mutex> gate(stopGate_);
    stopDevice();
  }
  closeDevice();
  isSwiped_ = false;
  state_ = kStateIdle;
  // The end event comes once the reader is powered down, so that the receiver finds the driver
  // idle and may start again at once.
  if (timeOutFlag_) {
    setEvent(kEventTimeout);
  } else if (!isStop_) {
    if (result) {
      setEvent(kEventCardResult);
    } else {
      {
        std::lock_guard<std::mutex> lock(fieldsMutex_);
        decodeResult_ = 0;
      }
      setEvent(kEventDecodeError);
    }
  } else if (isPlugged_) {
    setEvent(kEventInterrupted);
  }
  timeOutFlag_ = false;
  isStop_ = false;
  waitForSwipe_ = false;
}

bool CSwiperController1::readBankCard() {
  uint8_t random[10];
  if (!getRandom(random, sizeof random)) {
    platform::log::error(kTag, "no random bytes for the card read");
    isStop_ = true;
    return false;
  }
  std::vector<uint8_t> command = kReadCard;
  command.insert(command.end(), random, random + kRandomBytes);
  {
    std::lock_guard<std::mutex> lock(fieldsMutex_);
    randomNumber_ = hex(random, kRandomBytes);
  }
  if (swiper1_modem_transceive(command, nullptr, 0, &cancel_) != 0) {
    isStop_ = true;
    return false;
  }
  waitForSwipe_ = true;
  setEvent(kEventWaitingForCardSwipe);

  std::vector<uint8_t> reply;
  const int n = swiper1_modem_transceive({}, &reply, sessionTimeoutMs_, &cancel_);
  if (n == 0) {
    timeOutFlag_ = true;
    return false;
  }
  if (n < 0 || n == 2) return false;
  state_ = kStateReply;
  // Without the status word at the end.
  const std::string H = hex(reply.data(), n >= 2 ? static_cast<size_t>(n) - 2 : 0);
  if (H.size() < kCardFieldsHex) return false;
  std::lock_guard<std::mutex> lock(fieldsMutex_);
  encTracks_ = H.substr(kCardFieldsHex);
  track1Length_ = 0;
  track2Length_ = reply[7];
  track3Length_ = reply[8];
  formatID_ = "99";
  maskedPAN_ = H.substr(0, 6) + "******" + H.substr(6, 4);
  expiryDate_ = H.substr(10, 2) + "/" + H.substr(12, 2);
  return true;
}

// ---------------------------------------------------------------------------------- the KSN

void CSwiperController1::getKsn() {
  if (!startDevice()) {
    infoFlag_ = false;
    isStop_ = false;
    {
      std::lock_guard<std::mutex> lock(fieldsMutex_);
      errorCode_ = kReaderErrorAudioPath;
    }
    setErrorInfo("ERROR_AUDIO_INITIALIZATION_FAIL");
    return;
  }
  const bool ok = getDeviceInfo();
  closeDevice();
  infoFlag_ = false;
  isStop_ = false;
  if (ok) {
    setEvent(kEventKsn);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(fieldsMutex_);
    ksn_.clear();
    errorCode_ = kReaderErrorKsn;
  }
  setErrorInfo("fail to get ksn");
}

bool CSwiperController1::getDeviceInfo() {
  std::vector<uint8_t> reply;
  int n = swiper1_modem_transceive(kDeviceInfo, &reply, kCommandWaitMs, &cancel_);
  if (n <= 0) return false;
  std::string H = hex(reply.data(), static_cast<size_t>(n));
  if (H.find("9000") == std::string::npos || H.size() < 16) return false;
  std::string serial = H.substr(0, 16);
  if (serial.rfind("CBC3", 0) != 0) {
    // Asked the other way first, the reader may give its serial number on the next request.
    std::vector<uint8_t> ignored;
    (void)swiper1_modem_transceive(kDeviceInfoSecondForm, &ignored, kCommandWaitMs, &cancel_);
    n = swiper1_modem_transceive(kDeviceInfo, &reply, kCommandWaitMs, &cancel_);
    if (n <= 0) return false;
    H = hex(reply.data(), static_cast<size_t>(n));
    if (H.size() < 16) return false;
    serial = H.substr(0, 16);
    if (serial.rfind("CBC3", 0) != 0) return false;
  }
  std::lock_guard<std::mutex> lock(fieldsMutex_);
  ksn_ = serial;
  return true;
}

std::string CSwiperController1::ksn() const {
  std::lock_guard<std::mutex> lock(fieldsMutex_);
  return ksn_;
}

// ---------------------------------------------------------------------------------- the modem

bool CSwiperController1::startDevice() {
  if (isPowerOn_) return true;
  if (swiper1_modem_start(kRate, kRate) != 0) return false;
  setVolumeMax();
  getPlistSpeed();
  isPowerOn_ = true;
  return true;
}

void CSwiperController1::closeDevice() {
  if (!isPowerOn_) return;
  setPlistSpeed();
  swiper1_modem_close();
  restoreVolume();
  isPowerOn_ = false;
}

void CSwiperController1::stopDevice() {
  if (!isPlugged_ || !isPowerOn_) return;
  std::vector<uint8_t> ignored;
  (void)swiper1_modem_transceive(kStopRead, &ignored, kCommandWaitMs);
}

void CSwiperController1::getPlistSpeed() {
  if (auto text = SpeedPlist::read(SpeedPlist::path())) (void)swiper1_modem_apply_speed_string(*text);
}

void CSwiperController1::setPlistSpeed() {
  std::string text = swiper1_modem_speed_string();
  if (!text.empty() && !SpeedPlist::write(SpeedPlist::path(), text)) {
    platform::log::warning(kTag, "the link speed could not be saved");
  }
}

bool CSwiperController1::getRandom(uint8_t* out, size_t count) {
  // Uniform over 0..254: a drawn FF is drawn again.
  size_t have = 0;
  uint8_t pool[32];
  for (int rounds = 0; have < count && rounds < 64; ++rounds) {
    if (RAND_bytes(pool, sizeof pool) != 1) return false;
    for (uint8_t b : pool) {
      if (b != 0xFF && have < count) out[have++] = b;
    }
  }
  return have == count;
}

// ---------------------------------------------------------------------------------- events

void CSwiperController1::setErrorInfo(const std::string& message) {
  {
    std::lock_guard<std::mutex> lock(fieldsMutex_);
    errorMsg_ = message;
  }
  setEvent(kEventError);
}

void CSwiperController1::setEvent(int32_t code) {
  int32_t errorCode, decodeResult;
  std::string errorMsg;
  {
    std::lock_guard<std::mutex> lock(fieldsMutex_);
    errorCode = errorCode_;
    errorMsg = errorMsg_;
    decodeResult = decodeResult_;
  }
  auto self = shared_from_this();
  platform::RunLoop::main().postAndWait([self, code, errorCode, errorMsg, decodeResult] {
    self->dispatchEvent(code, errorCode, errorMsg, decodeResult);
  });
}

void CSwiperController1::dispatchEvent(int32_t code, int32_t errorCode, const std::string& errorMsg,
                                       int32_t decodeResult) {
  if (isDeleted_) return;
  controllerEvent_ = code;
  auto receiver = delegate_.lock();
  std::weak_ptr<CSwiperController1> weak = weak_from_this();
  switch (code) {
    case kEventWaitingForDevice:
      if (receiver) receiver->onWaitingForDevice();
      break;
    case kEventDevicePlugged:
      platform::RunLoop::main().after(platform::secs(kPluggedDelay), [weak] {
        if (auto self = weak.lock()) self->delayDevicePlugged();
      });
      break;
    case kEventDeviceUnplugged: {
      const bool running = isSwiped_ || infoFlag_;
      {
        std::lock_guard<std::mutex> lock(fieldsMutex_);
        ksn_.clear();
      }
      setVolumeMin();
      auto self = shared_from_this();
      platform::Thread::detach("swiper1-stop", [self] { self->stopCSwiper(); });
      if (receiver) receiver->onDeviceUnplugged();
      if (running && receiver) receiver->onInterrupted();
      break;
    }
    case kEventNoDeviceDetected:
      if (receiver) receiver->onNoDeviceDetected();
      break;
    case kEventWaitingForCardSwipe:
      platform::RunLoop::main().after(platform::Duration::zero(), [weak] {
        if (auto self = weak.lock()) self->delayWaitForCardSwipe();
      });
      break;
    case kEventError:
      if (receiver) receiver->onError(errorCode, errorMsg);
      break;
    case kEventInterrupted:
      if (receiver) receiver->onInterrupted();
      break;
    case kEventTimeout:
      if (receiver) receiver->onTimeout();
      break;
    case kEventCardResult: {
      std::optional<std::string> formatID;
      std::string ksn, encTracks, randomNumber, maskedPAN, expiryDate;
      int32_t t1, t2, t3;
      {
        std::lock_guard<std::mutex> lock(fieldsMutex_);
        formatID = formatID_;
        ksn = ksn_;
        encTracks = encTracks_;
        t1 = track1Length_;
        t2 = track2Length_;
        t3 = track3Length_;
        randomNumber = randomNumber_;
        maskedPAN = maskedPAN_;
        expiryDate = expiryDate_;
      }
      if (receiver) {
        receiver->onDecodeCompleted(formatID, ksn, encTracks, t1, t2, t3, randomNumber, maskedPAN, expiryDate,
                                    std::nullopt);
      }
      break;
    }
    case kEventDecodeError:
      if (receiver) receiver->onDecodeError(decodeResult);
      break;
    case kEventKsn:
      if (receiver) receiver->onGetKsnCompleted(ksn());
      break;
    default:
      break;
  }
  controllerEvent_ = kEventDelivered;
}

void CSwiperController1::delayDevicePlugged() {
  if (isDeleted_ || !isPlugged_) return;
  if (auto receiver = delegate_.lock()) receiver->onDevicePlugged();
}

void CSwiperController1::delayWaitForCardSwipe() {
  if (isDeleted_ || !isSwiped_) return;
  if (auto receiver = delegate_.lock()) receiver->onWaitingForCardSwipe();
}

}  // namespace nvx::reader
