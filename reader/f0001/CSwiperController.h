// The driver of reader model "0001", an audio reader in the headset socket. The phone wakes the
// reader with a tone (5 kHz for a swipe, 2 kHz for the serial number) and the reader answers in
// Manchester at 2,000 bit/s; the recorder (CSwiper_MagRecorder) tracks and decodes the answer and
// publishes its state, and the driver turns each state into the listener's events.
//
// A process holds at most one working driver: the first one owns the recorder; one created while
// it lives tells the first one's listener (-4) and stays without recorder or tone player (its
// requests then find no reader).
//
// Threads: every operation, every recorder announcement, the delayed calls and the route
// watching run on the main thread, so every event is sent there. Capture and decoding run on
// other threads inside the recorder and reach the driver only through its polling.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/foundation/Clock.h"
#include "platform/foundation/NotificationCenter.h"
#include "reader/CTSwiperController.h"

namespace nvx::reader {

class CSwiperCommandGenerator;
class CSwiperPowerGenerator;
class CSwiper_MagRecorder;

class CSwiperController final : public CTSwiperController, public std::enable_shared_from_this<CSwiperController> {
 public:
  // Driver states.
  static constexpr int32_t kStateIdle = 0;
  static constexpr int32_t kStateStarted = 1;
  static constexpr int32_t kStateRecording = 2;
  static constexpr int32_t kStateDecoded = 3;

  static constexpr int kDefaultSwipeTimeout = 17;
  static constexpr int kMinSwipeTimeout = 10;
  static constexpr int kMaxSwipeTimeout = 255;
  static constexpr int kRecorderExtraSeconds = 10;   // the recorder waits the swipe time-out and this
  static constexpr double kKsnTimeout = 3.0;
  static constexpr int kSwipeDelayBuffers = 5;
  static constexpr int kKsnDelayBuffers = 2;
  static constexpr double kWaitingForSwipeDelay = 0.5;
  static constexpr double kRetryDelay = 0.5;
  static constexpr uint8_t kSwipeCommand = 0x06;
  static constexpr uint8_t kKsnCommand = 0x02;

  static std::shared_ptr<CSwiperController> create();
  ~CSwiperController() override;
  CSwiperController(const CSwiperController&) = delete;
  CSwiperController& operator=(const CSwiperController&) = delete;

  // --- the driver interface (main thread) ---
  void startCSwiper() override;
  void stopCSwiper() override;
  // Not offered by this family: nothing happens.
  void deleteCSwiper() override {}
  void getCSwiperKsn() override;
  int32_t getCSwiperState() const override;
  bool isDevicePresent() const override;
  void setDetectDeviceChange(bool on) override;
  // Whole seconds, 10 to 255.
  void setSwipeTimeout(double seconds) override;

  // --- own operations ---
  void setDebugMode(bool on);
  void stopCSwiperBySystem();
  void RefreshLastSuccessDate();
  void changeCSwiperStateToRecording() { CSwiperState_ = kStateRecording; }

  // --- state (tests, diagnostics) ---
  bool hasRecorder() const { return magRecorder_ != nullptr; }
  const std::shared_ptr<CSwiper_MagRecorder>& magRecorder() const { return magRecorder_; }
  const std::shared_ptr<CSwiperPowerGenerator>& playerAq() const { return playerAq_; }
  const std::shared_ptr<CSwiperCommandGenerator>& commander() const { return commander_; }
  bool isRunning() const { return isRunning_; }
  bool isStarted() const { return isStarted_; }
  int stopCount() const { return stopCount_; }
  int swipeTimeoutSetting() const { return swipeTimeoutSetting_; }
  platform::WallTime lastSuccessDate() const { return lastSuccessDate_; }
  bool debugFlag() const { return debugFlag_; }

 private:
  CSwiperController();
  void init();
  void createRecorder();
  // A swipe cycle or a KSN read (the command's first byte tells which).
  void startCycle(uint8_t command);
  void startSignalGen(bool resume);
  void stopSignalGen();
  void cancelDelayedCalls();
  void recorderStateChanged(int state);
  void reportDecodeError(int32_t decodeResult);
  void sendResult();
  void routeChanged(int reason, const std::string& previousRoute);

  platform::WallTime lastSuccessDate_{};
  bool debugFlag_ = false;
  bool isRunning_ = false;
  bool isStarted_ = false;
  int stopCount_ = 0;
  int32_t CSwiperState_ = kStateIdle;
  std::shared_ptr<CSwiperCommandGenerator> commander_;
  int swipeTimeoutSetting_ = kDefaultSwipeTimeout;
  std::shared_ptr<CSwiperPowerGenerator> playerAq_;
  std::shared_ptr<CSwiper_MagRecorder> magRecorder_;
  platform::NotificationCenter::Observation routeObservation_;
  // The target of the delayed restart of a cycle (the driver itself is that of the other delayed calls).
  const char retryTarget_ = 0;
};

}  // namespace nvx::reader
