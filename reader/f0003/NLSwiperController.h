// The driver of the audio readers "0003" to "0006" (one shared object). The phone wakes the
// reader with a start command; the reader answers with its serial number (KSN), waits for a swipe
// and sends one card message with the KSN, the swipe's random number, the card number's first and
// last digits, the expiry, the track lengths and the tracks it encrypted. The audio link, the
// framing and the signal coding are the audio helper's (AudioHelper).
//
// A second mode serves readers that pass the raw stripe (readerType other than 1): the phone
// sends nothing, decodes track 2 itself and encrypts it under the service's certificate. The
// client runs the framed mode.
//
// Threads. Operations, timers and the presence poll run on the main thread; messages, and the
// failures and retries they cause, arrive on the audio input thread. Every event is handed to the
// main thread without waiting. One recursive lock serialises the driver's state; the audio queues
// are never stopped from the main thread while it is held (a queue's stop waits for the input
// callback, which may be waiting for the lock), so a stop there is done when the lock is let go.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/RunLoop.h"
#include "reader/CTSwiperController.h"
#include "reader/f0003/AudioHelperDelegate.h"
#include "reader/f0003/CardData.h"

namespace nvx::reader {

class AudioHelper;

class NLSwiperController final : public CTSwiperController,
                                 public AudioHelperDelegate,
                                 public std::enable_shared_from_this<NLSwiperController> {
 public:
  static constexpr const char* kDescription = "Zidevid VaziroROZ [Release v 1.2.2]";
  static constexpr double kDefaultSwipeTimeout = 45.0;
  static constexpr double kReplyWait = 2.5;
  static constexpr double kPresencePoll = 0.15;

  // status
  static constexpr int kStatusIdle = 0;
  static constexpr int kStatusRawListening = 1;
  static constexpr int kStatusFramedRunning = 2;
  static constexpr int kStatusStarting = 3;
  // runState: the driver state of the interface
  static constexpr int kRunIdle = 0;
  static constexpr int kRunWaitingForReader = 1;
  static constexpr int kRunWaitingForSwipe = 2;

  static constexpr int kReaderFramed = 1;

  static constexpr int32_t kErrorStart = -2;
  static constexpr const char* kErrorStartText = "刷卡器启动失败";
  static constexpr int32_t kErrorKsn = -3;
  static constexpr const char* kErrorKsnText = "取ksn失败";
  static constexpr int32_t kErrorUnknown = 3;
  static constexpr const char* kErrorUnknownText = "未知解码错误";

  // The driver, created on first use (again after deleteCSwiper).
  static std::shared_ptr<NLSwiperController> sharedInstance();
  ~NLSwiperController() override;
  NLSwiperController(const NLSwiperController&) = delete;
  NLSwiperController& operator=(const NLSwiperController&) = delete;

  std::string description() const { return kDescription; }

  // --- the driver interface (main thread) ---
  void startCSwiper() override { startCSwiper(false); }
  void getCSwiperKsn() override;
  // A session: a swipe (ksn false) or a KSN read. Nothing while one runs.
  void startCSwiper(bool ksn);
  void stopCSwiper() override;
  void deleteCSwiper() override;
  int32_t getCSwiperState() const override { return runState_; }
  bool isDevicePresent() const override;
  // Sends the start command again and restarts the reply wait.
  void sendResetCmd();

  // --- audio link reports (AudioHelperDelegate; the input thread, or the starting thread) ---
  int readerType() const override { return readerType_; }
  void onError(int32_t code, const std::string& message) override;
  void onReceivedMessage(std::vector<uint8_t> message) override;
  // Stops the session and reports the card.
  void onCardData(CardData card) override;
  void onSwipeError() override;

  // --- state (tests, diagnostics) ---
  void setReaderType(int type) { readerType_ = type; }
  int status() const { return status_; }
  bool hasResetCmd() const;
  bool isGetKsn() const;
  std::string SN() const;
  std::optional<CardData> cardInfo() const;

 private:
  class Guard;
  NLSwiperController();
  void init();

  // All with the lock held.
  void stopLocked();
  void stopAudioLocked();
  void startAudioLocked();
  void startReplyWaitLocked();
  void stopReplyWaitLocked();
  void stopSwipeWaitLocked();
  void sendResetCmdLocked();
  void errorLocked(int32_t code, const std::string& message);
  void decodeFailureLocked(int value);
  // A message that could not be used: -3 in a KSN read, else a decode failure with the value.
  void failedMessageLocked(int value);
  void ksnReplyLocked(const std::string& ksn);
  void cardMessageLocked(const std::vector<uint8_t>& message);
  // Stops the session and reports the card.
  void deliverCardLocked(CardData card);

  // Main thread.
  void startWaitSwipe(uint64_t session);
  void replyWaitFired(uint64_t token);
  void swipeWaitFired(uint64_t token);
  void pollPresence();

  // Hands an event to the main thread (the receiver is looked up there).
  void raise(std::function<void(CSwiperControllerDelegate&)> event);

  std::shared_ptr<AudioHelper> helper_;
  std::atomic<int> readerType_{kReaderFramed};
  std::atomic<int> status_{kStatusIdle};
  std::atomic<int> runState_{kRunIdle};
  std::atomic<bool> deleted_{false};

  // Guarded by mutex_.
  mutable std::recursive_mutex mutex_;
  int depth_ = 0;
  bool pendingAudioStop_ = false;
  bool isGetKsn_ = false;
  bool hasResetCmd_ = false;
  std::string SN_;
  std::optional<CardData> cardInfo_;
  uint64_t session_ = 0;
  // Each timer start or stop takes a new token; a timer whose token is old does nothing.
  uint64_t replyToken_ = 0;
  uint64_t swipeToken_ = 0;
  platform::TimerId waitResponseTimeoutTimer_ = 0;
  platform::TimerId waitSwipeTimeoutTimer_ = 0;

  // Main thread.
  bool isReaderPresent_ = false;
  platform::TimerId autoDetectDeviceTimer_ = 0;
};

}  // namespace nvx::reader
