// The driver of reader model "0002", an audio reader in the headset socket. It watches the
// audio route for the reader, raises the output volume while the reader works, and runs each
// command sequence (a KSN read, a swipe session) on a worker thread of its own through the
// audio modem (Swiper1Modem). Every event is handed to the main thread, the worker waiting until
// the receiver has handled it. At most one object of this class exists at a time.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/media/Subscription.h"
#include "reader/CTSwiperController.h"

namespace platform::media {
struct RouteChange;
}

namespace nvx::reader {

class CSwiperController1 final : public CTSwiperController, public std::enable_shared_from_this<CSwiperController1> {
 public:
  // Driver states.
  static constexpr int32_t kStateIdle = 0;
  static constexpr int32_t kStateSwiping = 1;
  static constexpr int32_t kStateReply = 3;

  // Event codes (controllerEvent).
  enum Event : int32_t {
    kEventWaitingForDevice = 0,
    kEventDevicePlugged = 1,
    kEventDeviceUnplugged = 2,
    kEventNoDeviceDetected = 3,
    kEventWaitingForCardSwipe = 4,
    kEventError = 7,
    kEventInterrupted = 8,
    kEventTimeout = 9,
    kEventCardResult = 10,
    kEventDecodeError = 11,
    kEventKsn = 12,
    kEventDelivered = 13,
  };

  // The sample rate the modem runs at.
  static constexpr uint32_t kRate = 176400;
  static constexpr double kDefaultSwipeTimeout = 30000.0;  // milliseconds

  // A new driver; nothing while another object of this class exists (that error, -4
  // "ERROR_DUPLICATE_SWIPER", has nobody to hear it yet and is only logged).
  static std::shared_ptr<CSwiperController1> create();
  ~CSwiperController1() override;
  CSwiperController1(const CSwiperController1&) = delete;
  CSwiperController1& operator=(const CSwiperController1&) = delete;

  // --- the driver interface (main thread) ---
  void startCSwiper() override;
  void stopCSwiper() override;
  void deleteCSwiper() override;
  void getCSwiperKsn() override;
  int32_t getCSwiperState() const override { return state_; }
  bool isDevicePresent() const override { return isPlugged_; }
  bool detectDeviceChange() const override { return detectChange_; }
  void setDetectDeviceChange(bool on) override { detectChange_ = on; }

  // --- state (tests, diagnostics) ---
  std::string ksn() const;
  float currentVolume() const { return currentVolume_; }
  int32_t controllerEvent() const { return controllerEvent_; }
  bool isPowerOn() const { return isPowerOn_; }
  // Fills out with random bytes from 0 to 254 (never FF). False when the system's generator failed.
  static bool getRandom(uint8_t* out, size_t count);

 private:
  CSwiperController1();
  void init();
  bool initialHeadset();
  void routeChanged();

  float getVolume() const;
  void setVolumeMax();
  void setVolumeMin();
  void restoreVolume();

  // Worker threads.
  void getEncTracks();
  void getKsn();
  bool startDevice();
  void closeDevice();
  void stopDevice();
  bool getDeviceInfo();
  bool readBankCard();
  void getPlistSpeed();
  void setPlistSpeed();

  // Main thread.
  void delayDevicePlugged();
  void delayWaitForCardSwipe();
  void dispatchEvent(int32_t code, int32_t errorCode, const std::string& errorMsg, int32_t decodeResult);
  // Any thread: hands the event to the main thread and waits until it has been delivered.
  void setEvent(int32_t code);
  // errorMsg with errorCode (set first), then event 7.
  void setErrorInfo(const std::string& message);
  void interrupt();
  void clearSession();
  void spawn(const char* name, void (CSwiperController1::*body)());

  std::atomic<bool> detectChange_{true};
  std::atomic<int32_t> state_{kStateIdle};
  std::atomic<bool> isPlugged_{false};
  std::atomic<bool> isPowerOn_{false};
  std::atomic<bool> infoFlag_{false};
  std::atomic<bool> isSwiped_{false};
  std::atomic<bool> isStop_{false};
  std::atomic<bool> isDeleted_{false};
  std::atomic<bool> timeOutFlag_{false};
  std::atomic<bool> waitForSwipe_{false};
  // Set by a stop or delete: the modem's operations of this command end at their next step.
  std::atomic<bool> cancel_{false};
  // The swipe time-out of the session under way (taken when it starts), in milliseconds.
  std::atomic<int> sessionTimeoutMs_{30000};
  std::atomic<float> currentVolume_{1.0f};
  std::atomic<int32_t> controllerEvent_{kEventDelivered};

  // The results, written by the worker and read on the main thread (and cleared there).
  mutable std::mutex fieldsMutex_;
  std::string ksn_;
  std::optional<std::string> formatID_;
  std::string encTracks_;
  int32_t track1Length_ = 0;
  int32_t track2Length_ = 0;
  int32_t track3Length_ = 0;
  std::string randomNumber_;
  std::string maskedPAN_;
  std::string expiryDate_;
  int32_t decodeResult_ = 0;
  int32_t errorCode_ = 0;
  std::string errorMsg_;

  // Held while a stop interrupts the modem, and by the worker before it powers the reader down,
  // so that the interrupts meant for the running command never reach the stop command.
  std::mutex stopGate_;
  platform::media::Subscription routeListener_;
};

}  // namespace nvx::reader
