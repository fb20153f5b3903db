#include "reader/wifi/WexSwiperController.h"

#include <mutex>

#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/net/NetConfig.h"

namespace nvx::reader {

namespace {

constexpr const char* kTag = "WexSwiperController";
constexpr const char* kVersion = "0.6.1";
constexpr double kNotReadyRetry = 1.5;      // a request waits this long for a busy box
constexpr double kFirstCommandDelay = 0.1;  // after the link is up
constexpr double kHeartbeatInterval = 0.8;  // the phone's heartbeat while the link is up
constexpr double kCommandTimeout = 5.0;     // the serial-number read
constexpr double kMinSwipeTimeout = 3.0;
constexpr double kDefaultSwipeTimeout = 30.0;
constexpr double kBoxSilence = 4.5;         // no heartbeat for this long: the box is gone
constexpr double kUdpRestartDelay = 2.0;
constexpr const char* kPhoneHeartbeat = "NVX_IDT_TAVi-3";
constexpr const char* kBoxReady = "NVX_IDT_TAVi-0";
constexpr const char* kKsnKey = "KSN";
constexpr size_t kShortestReply = 7;      // anything shorter is no reply

}  // namespace

// The shared driver of this run.
struct WexDriverState {
  std::mutex mutex;
  std::shared_ptr<WexSwiperController> instance;
};

std::shared_ptr<WexSwiperController> WexSwiperController::sharedInstance() {
  auto& state = platform::Process::current().shared<WexDriverState>();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (!state.instance) {
    state.instance = std::shared_ptr<WexSwiperController>(new WexSwiperController());
    state.instance->init();
  }
  return state.instance;
}

WexSwiperController::WexSwiperController() {
  detectDeviceChange_ = true;
  swipeTimeout_ = 0;
}

void WexSwiperController::init() {
  socketEngine_ = std::make_unique<SocketEngine>(weak_from_this());
  udpEngine_ = std::make_unique<UdpEngine>(weak_from_this());
  reSetUdpConnetion();
}

WexSwiperController::~WexSwiperController() {
  platform::RunLoop::main().cancelAllFor(this);
  socketEngine_.reset();
  udpEngine_.reset();
}

std::string WexSwiperController::description() const { return std::string("Version = ") + kVersion; }

std::string WexSwiperController::ksn() const {
  auto it = backDataDic_.find(kKsnKey);
  return it == backDataDic_.end() ? std::string() : it->second;
}

platform::TimerId WexSwiperController::later(double seconds, void (WexSwiperController::*fn)()) {
  std::weak_ptr<WexSwiperController> weak = weak_from_this();
  return platform::RunLoop::main().after(platform::secs(seconds), [weak, fn] {
    if (auto self = weak.lock()) ((*self).*fn)();
  }, this);
}

void WexSwiperController::stopTimer(platform::TimerId& timer) {
  if (timer) platform::RunLoop::main().cancel(timer);
  timer = 0;
}

// ---------------------------------------------------------------- requests

void WexSwiperController::getCSwiperKsn() { request(kCommandKsn); }

void WexSwiperController::startCSwiper() { request(kCommandCard); }

void WexSwiperController::request(uint8_t tag) {
  auto keep = shared_from_this();
  if (deleteCSwiperTag_) return;
  // A refused request leaves the one under way, or the one waiting for a busy box, alone.
  if (currentState_ != kStateIdle) return doConnectSocket();
  if (connectCall_) {
    notify([](auto& r) { r.onError(kReaderErrorBusy, "设备状态为非空闲状态"); });
    return;
  }
  commandTag_ = tag;
  if (isDeviceReady_) doConnectSocket();
  else connectCall_ = later(kNotReadyRetry, &WexSwiperController::delayedConnect);
}

void WexSwiperController::delayedConnect() {
  connectCall_ = 0;
  doConnectSocket();
}

void WexSwiperController::doConnectSocket() {
  if (!isConectedToDevice_) {
    if (currentState_ == kStateIdle) commandTag_ = kCommandNone;
    notify([](auto& r) { r.onNoDeviceDetected(); });
    return;
  }
  if (currentState_ != kStateIdle) {
    notify([](auto& r) { r.onError(kReaderErrorBusy, "设备状态为非空闲状态"); });
    return;
  }
  if (!isDeviceReady_) {
    commandTag_ = kCommandNone;
    notify([](auto& r) { r.onError(kReaderErrorBusy, "设备正在被占用，请稍后再试"); });
    return;
  }
  // Busy before the link is asked for, so that a link that fails at once ends this request.
  currentState_ = kStateWaiting;
  if (commandTag_ == kCommandCard) notify([](auto& r) { r.onWaitingForDevice(); });
  if (currentState_ != kStateWaiting) return;  // stopped by the receiver
  socketEngine_->connectSocketServer(udpEngine_->getUdpServer(), platform::net::NetConfig::current().commandPort);
}

void WexSwiperController::onSocketDidConnect() {
  auto keep = shared_from_this();
  if (currentState_ == kStateIdle) return;  // a link nobody waits for any more
  stopTimer(sendUdpTimer_);
  std::weak_ptr<WexSwiperController> weak = weak_from_this();
  sendUdpTimer_ = platform::RunLoop::main().every(platform::secs(kHeartbeatInterval), [weak] {
    if (auto self = weak.lock()) self->sendUdpData();
  }, this);
  stopTimer(commandCall_);
  commandCall_ = later(kFirstCommandDelay, &WexSwiperController::sendFirstCommand);
}

void WexSwiperController::sendFirstCommand() {
  stopTimer(commandCall_);
  if (commandTag_ == kCommandCard && !ksn().empty()) readCard();
  else doGetKsn();
}

void WexSwiperController::doGetKsn() {
  backDataDic_.erase(kKsnKey);
  getDeviceSN();
  stopTimer(commandTimer_);
  commandTimer_ = later(kCommandTimeout, &WexSwiperController::onCommandTimeOut);
}

void WexSwiperController::getDeviceSN() {
  auto frame = WexProtocol::commandFrame(WexProtocol::kCommandKsn);
  std::copy(frame.begin(), frame.end(), W_Buffer_.begin());
  W_Buffer_Len_ = frame.size();
  outstanding_ = WexProtocol::kCommandKsn;
  socketEngine_->sendData(W_Buffer_.data(), W_Buffer_Len_, kCommandKsn);
}

void WexSwiperController::readCard() {
  if (swipeTimeout_ < kMinSwipeTimeout) swipeTimeout_ = kDefaultSwipeTimeout;
  auto frame = WexProtocol::commandFrame(WexProtocol::kCommandReadCard);
  std::copy(frame.begin(), frame.end(), W_Buffer_.begin());
  W_Buffer_Len_ = frame.size();
  outstanding_ = WexProtocol::kCommandReadCard;
  socketEngine_->sendData(W_Buffer_.data(), W_Buffer_Len_, kCommandCard);
  isRunning_ = true;
  stopTimer(readCardTimer_);
  readCardTimer_ = later(swipeTimeout_, &WexSwiperController::onReadCardTimeOut);
}

void WexSwiperController::dataSendCompletedWithTag(long tag) {
  auto keep = shared_from_this();
  if (tag != kCommandCard || commandTag_ != kCommandCard) return;
  currentState_ = kStateWaiting;
  notify([](auto& r) { r.onWaitingForCardSwipe(); });
}

void WexSwiperController::stopSession() {
  currentState_ = kStateIdle;
  isRunning_ = false;
  commandTag_ = kCommandNone;
  outstanding_ = 0;
  socketEngine_->disConnect();
  stopTimer(commandTimer_);
  stopTimer(readCardTimer_);
  stopTimer(sendUdpTimer_);
  stopTimer(commandCall_);
}

void WexSwiperController::stopCSwiper() {
  // A request still waiting for a busy box is withdrawn as well.
  stopTimer(connectCall_);
  stopSession();
}

void WexSwiperController::deleteCSwiper() {
  if (deleteCSwiperTag_) return;
  auto keep = shared_from_this();
  deleteCSwiperTag_ = true;
  stopCSwiper();
  stopTimer(receiveUdpTimer_);
  delegate_.reset();
  // Nothing of a deleted driver runs any more: no timer, no delayed call, no socket.
  platform::RunLoop::main().cancelAllFor(this);
  udpEngine_->close();
  auto& state = platform::Process::current().shared<WexDriverState>();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.instance.get() == this) state.instance.reset();
}

// ---------------------------------------------------------------- replies

void WexSwiperController::dataReceivedWithData(const Bytes& data) {
  auto keep = shared_from_this();
  if (data.size() < kShortestReply) {
    platform::log::info(kTag, "a reply of " + std::to_string(data.size()) + " bytes is too short: ignored");
    return;
  }
  // The engine hands on at most one whole reply, never more than the buffer holds.
  R_Buffer_Len_ = std::min(data.size(), R_Buffer_.size());
  std::copy_n(data.begin(), R_Buffer_Len_, R_Buffer_.begin());
  dataReceived();
}

void WexSwiperController::dataReceived() {
  if (outstanding_ == 0) {
    platform::log::info(kTag, "a reply before any command is ignored");
    return;
  }
  auto result = ProcessDataResult(R_Buffer_.data(), R_Buffer_Len_);
  // A serial-number or card reply counts only for the command the box was asked: a card reply
  // during a serial-number read is no card result (it would go out without the serial number).
  if (const auto* reply = std::get_if<WexReply>(&result)) {
    bool answersCommand = reply->sw1 == WexProtocol::kCommandKsn || reply->sw1 == WexProtocol::kCommandReadCard;
    if (answersCommand && reply->sw1 != outstanding_) {
      platform::log::info(kTag, "a reply to command " + WexProtocol::ByteToHex(&reply->sw1, 1) +
                                    ", which is not the one asked, is ignored");
      return;
    }
  }
  bool cardRead = commandTag_ == kCommandCard;
  if (cardRead && !ksn().empty()) {
    notify([](auto& r) { r.onCardSwipeDetected(); });
    notify([](auto& r) { r.onDecodingStart(); });
    currentState_ = kStateReply;
  }
  if (auto* error = std::get_if<WexReplyError>(&result)) {
    stopSession();
    if (*error == WexReplyError::Malformed) {
      if (cardRead) notify([](auto& r) { r.onDecodeError(2); });
      else notify([](auto& r) { r.onError(kReaderErrorKsn, "刷卡器返回数据无效"); });
    } else {
      if (cardRead) notify([](auto& r) { r.onDecodeError(1); });
      else notify([](auto& r) { r.onError(kReaderErrorKsn, "刷卡器返回数据错误，校验失败"); });
    }
    return;
  }
  const WexReply& reply = std::get<WexReply>(result);
  stopTimer(commandTimer_);
  switch (reply.sw1) {
    case WexProtocol::kCommandReadCard:
      isRunning_ = false;
      stopTimer(readCardTimer_);
      parseCardInfoWithData(resultdata_buffer_.data(), resultdata_buffer_len_);
      stopSession();
      break;
    case WexProtocol::kCommandKsn: {
      std::string serial = WexProtocol::ByteToHex(resultdata_buffer_.data(), resultdata_buffer_len_);
      backDataDic_[kKsnKey] = serial;
      if (commandTag_ == kCommandKsn) {
        notify([&](auto& r) { r.onGetKsnCompleted(serial); });
        stopSession();
      } else if (commandTag_ == kCommandCard) {
        readCard();
      }
      break;
    }
    case 0x02:
    case 0x08:
      break;
    default:
      stopSession();
      notify([](auto& r) { r.onError(kReaderErrorLink, "刷卡器返回数据无法识别"); });
      break;
  }
}

std::variant<WexReply, WexReplyError> WexSwiperController::ProcessDataResult(const uint8_t* buffer, size_t length) {
  auto result = WexProtocol::ProcessDataResult(buffer, length);
  if (auto* reply = std::get_if<WexReply>(&result)) {
    resultdata_buffer_len_ = std::min(reply->data.size(), resultdata_buffer_.size());
    std::copy_n(reply->data.begin(), resultdata_buffer_len_, resultdata_buffer_.begin());
  } else {
    resultdata_buffer_len_ = 0;
  }
  return result;
}

void WexSwiperController::parseCardInfoWithData(const uint8_t* data, size_t length) {
  auto info = WexProtocol::parseCardInfoWithData(data, length);
  if (!info) {
    // Card data too short for its fields: a malformed reply (the session is ended by the caller).
    stopSession();
    notify([](auto& r) { r.onDecodeError(2); });
    return;
  }
  std::string serial = ksn();
  notify([&](auto& r) {
    r.onDecodeCompleted(std::nullopt, serial, info->encTracks, info->track1Length, info->track2Length,
                        info->track3Length, info->randomNumber, info->maskedPAN, info->expiryDate,
                        std::nullopt);
  });
}

void WexSwiperController::engineOnSwipCardFailed() {
  auto keep = shared_from_this();
  // Only the card command has a swipe that can fail; a serial-number read (also the one before a
  // card read) waits for its own reply.
  if (outstanding_ != WexProtocol::kCommandReadCard) {
    platform::log::info(kTag, "a swipe-failed outcome while no card is asked for is ignored");
    return;
  }
  stopTimer(readCardTimer_);
  notify([](auto& r) { r.onCardSwipeDetected(); });
  notify([](auto& r) { r.onDecodingStart(); });
  notify([](auto& r) { r.onDecodeError(0); });
  stopSession();
}

void WexSwiperController::engineOnTimeOut() {
  auto keep = shared_from_this();
  onReadCardTimeOut();
}

void WexSwiperController::onReadCardTimeOut() {
  stopTimer(readCardTimer_);
  if (!isRunning_) return;
  notify([](auto& r) { r.onTimeout(); });
  stopSession();
}

void WexSwiperController::onCommandTimeOut() {
  stopTimer(commandTimer_);
  if (!ksn().empty()) return;
  stopSession();
  notify([](auto& r) { r.onError(kReaderErrorKsn, "初始化设备超时"); });
}

// ---------------------------------------------------------------- the TCP link

void WexSwiperController::engineCallbackError(const std::string& description) {
  auto keep = shared_from_this();
  stopTimer(commandTimer_);
  stopTimer(readCardTimer_);
  stopSession();
  notify([&](auto& r) { r.onError(kReaderErrorLink, description); });
}

void WexSwiperController::onSocketWillDisconnectWithError(const platform::net::NetError& error) {
  auto keep = shared_from_this();
  notify([&](auto& r) { r.onError(kReaderErrorLink, "socket连接意外中断：" + error.description); });
}

void WexSwiperController::onSocketDidDisconnect() {
  auto keep = shared_from_this();
  stopSession();
}

// ---------------------------------------------------------------- the box's heartbeat

void WexSwiperController::sendUdpData() { udpEngine_->sendDataString(kPhoneHeartbeat); }

void WexSwiperController::reSetUdpConnetion() {
  if (isConectedToDevice_) return;
  udpRefreshTag_ = true;
  udpEngine_->refreshUdpConnection();
}

void WexSwiperController::udpDataReceived(const std::string& text) {
  auto keep = shared_from_this();
  if (deleteCSwiperTag_) return;
  if (!isConectedToDevice_) {
    isConectedToDevice_ = true;
    backDataDic_.erase(kKsnKey);  // perhaps another box: its serial number is read again
    udpRefreshTag_ = false;
    if (detectDeviceChange_) notify([](auto& r) { r.onDevicePlugged(); });
  }
  stopTimer(receiveUdpTimer_);
  receiveUdpTimer_ = later(kBoxSilence, &WexSwiperController::onReceiveUdpTimeOut);
  isDeviceReady_ = text == kBoxReady;
}

void WexSwiperController::onReceiveUdpTimeOut() {
  stopTimer(receiveUdpTimer_);
  if (!isConectedToDevice_) return;
  isConectedToDevice_ = false;
  // The box is gone: a request under way ends with it.
  stopSession();
  notify([](auto& r) { r.onInterrupted(); });
  if (detectDeviceChange_) notify([](auto& r) { r.onDeviceUnplugged(); });
}

void WexSwiperController::udpCallbackError(const std::string& message) {
  auto keep = shared_from_this();
  platform::log::info(kTag, message);
  isDeviceReady_ = false;
  stopSession();
  if (!udpRefreshTag_) notify([](auto& r) { r.onError(kReaderErrorLink, "接收UDP消息失败，UDP连接已断开"); });
  stopTimer(receiveUdpTimer_);
  onReceiveUdpTimeOut();
  later(kUdpRestartDelay, &WexSwiperController::reSetUdpConnetion);
}

// ---------------------------------------------------------------- the fuzzer

void WexSwiperController::beginRequestForTesting(uint8_t commandTag, const std::string& serial) {
  if (serial.empty()) backDataDic_.erase(kKsnKey);
  else backDataDic_[kKsnKey] = serial;
  commandTag_ = commandTag;
  currentState_ = kStateWaiting;
  // A card read with the serial number unknown reads it first.
  bool cardCommand = commandTag == kCommandCard && !serial.empty();
  outstanding_ = cardCommand ? WexProtocol::kCommandReadCard : WexProtocol::kCommandKsn;
  isRunning_ = cardCommand;
}

}  // namespace nvx::reader
