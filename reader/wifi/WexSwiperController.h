// The driver of reader model "0007": a card-reader box on the phone's Wi-Fi network, at the
// gateway address. The box's heartbeat datagrams tell whether it is there and ready; commands
// and replies go over a TCP link opened for each request. Everything runs on the main run loop.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/foundation/RunLoop.h"
#include "reader/CTSwiperController.h"
#include "reader/wifi/SocketEngine.h"
#include "reader/wifi/UdpEngine.h"
#include "reader/wifi/WexProtocol.h"

namespace nvx::reader {

class WexSwiperController final : public CTSwiperController,
                                  public SocketEngineDelegate,
                                  public UdpEngineDelegate,
                                  public std::enable_shared_from_this<WexSwiperController> {
 public:
  // Driver states.
  static constexpr int32_t kStateIdle = 0;
  static constexpr int32_t kStateWaiting = 2;  // connecting, or waiting for the swipe
  static constexpr int32_t kStateReply = 3;    // the card reply has arrived
  // Request tags.
  static constexpr uint8_t kCommandNone = 0;
  static constexpr uint8_t kCommandKsn = 1;
  static constexpr uint8_t kCommandCard = 2;

  // The one driver, created on first use (again after deleteCSwiper).
  static std::shared_ptr<WexSwiperController> sharedInstance();
  ~WexSwiperController() override;

  // --- the driver interface ---
  void startCSwiper() override;
  void stopCSwiper() override;
  void deleteCSwiper() override;
  void getCSwiperKsn() override;
  int32_t getCSwiperState() const override { return currentState_; }
  bool isDevicePresent() const override { return isConectedToDevice_; }

  // "Version = 0.6.1"
  std::string description() const;

  // The box's serial number once read (empty while unknown).
  std::string ksn() const;
  bool isDeviceReady() const { return isDeviceReady_; }

  // --- SocketEngineDelegate ---
  void onSocketDidConnect() override;
  void onSocketWillDisconnectWithError(const platform::net::NetError& error) override;
  void onSocketDidDisconnect() override;
  void dataSendCompletedWithTag(long tag) override;
  void dataReceivedWithData(const Bytes& data) override;
  void engineCallbackError(const std::string& description) override;
  void engineOnTimeOut() override;
  void engineOnSwipCardFailed() override;

  // --- UdpEngineDelegate ---
  void udpCallbackError(const std::string& message) override;
  void udpDataReceived(const std::string& text) override;

  // The fuzzer: a request (kCommandKsn or kCommandCard) waiting for its reply as if the box had
  // been asked, with the serial number known (or not, when empty); replies then go to
  // dataReceivedWithData.
  void beginRequestForTesting(uint8_t commandTag, const std::string& ksn);

 private:
  friend struct WexDriverState;
  WexSwiperController();
  void init();

  // getCSwiperKsn and startCSwiper: the request goes to the box at once when it is ready, else
  // 1.5 s later.
  void request(uint8_t tag);
  void delayedConnect();
  void doConnectSocket();
  // The first command on a new link: the card read when the serial number is known, else the
  // serial-number read.
  void sendFirstCommand();
  void doGetKsn();
  void getDeviceSN();
  void readCard();
  void sendUdpData();
  void reSetUdpConnetion();
  void dataReceived();
  std::variant<WexReply, WexReplyError> ProcessDataResult(const uint8_t* buffer, size_t length);
  void parseCardInfoWithData(const uint8_t* data, size_t length);
  void onCommandTimeOut();
  void onReadCardTimeOut();
  void onReceiveUdpTimeOut();

  // Ends the request under way: idle, link closed, request timers stopped.
  void stopSession();
  void stopTimer(platform::TimerId& timer);
  // Runs fn on the main loop after delay while this driver lives.
  platform::TimerId later(double seconds, void (WexSwiperController::*fn)());
  template <class F>
  void notify(F&& f) {
    if (auto receiver = delegate_.lock()) f(*receiver);
  }

  int32_t currentState_ = kStateIdle;
  std::map<std::string, std::string> backDataDic_;
  bool isRunning_ = false;
  bool isConectedToDevice_ = false;
  bool isDeviceReady_ = false;
  bool udpRefreshTag_ = false;
  bool deleteCSwiperTag_ = false;
  uint8_t commandTag_ = kCommandNone;
  // The code of the command sent and not yet answered (0: none); only its reply is taken.
  uint8_t outstanding_ = 0;

  // A reply may be as long as L + 4 = 259 bytes; its data part up to 253.
  std::array<uint8_t, WexProtocol::kMaxReplyLength> R_Buffer_{};
  size_t R_Buffer_Len_ = 0;
  std::array<uint8_t, WexProtocol::kMaxReplyData> resultdata_buffer_{};
  size_t resultdata_buffer_len_ = 0;
  std::array<uint8_t, 64> W_Buffer_{};
  size_t W_Buffer_Len_ = 0;

  platform::TimerId commandTimer_ = 0;
  platform::TimerId readCardTimer_ = 0;
  platform::TimerId sendUdpTimer_ = 0;
  platform::TimerId receiveUdpTimer_ = 0;
  platform::TimerId connectCall_ = 0;  // a request's delayed doConnectSocket
  platform::TimerId commandCall_ = 0;  // the first command, shortly after the link is up

  std::unique_ptr<SocketEngine> socketEngine_;
  std::unique_ptr<UdpEngine> udpEngine_;
};

}  // namespace nvx::reader
