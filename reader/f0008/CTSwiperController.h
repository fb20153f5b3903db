// The driver of reader model "0008", an audio reader in the headset socket. The phone powers it
// with a tone on the right channel, sends it short command frames on the left channel
// (CSquareEncode) and hears its reply frames on the microphone (CZE1601IODecode). One decode
// thread per driver turns the recorded blocks into replies and hands events to the main thread
// without waiting; exchange timers (2.5 s for each command, the swipe time-out once the reader
// is armed) run on the main run loop.
//
// One shared object (sharedInstance); once deleted, the next sharedInstance makes a new one.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/foundation/RunLoop.h"
#include "reader/CTSwiperController.h"
#include "reader/f0008/CTReply.h"

namespace nvx::reader::f0008 {

struct AudioBuffer;
struct AudioBufferList;
struct DecodeRecord;
class RemoteIOPlayer;
class RQueue;

class CTSwiperController final : public nvx::reader::CTSwiperController,
                                 public std::enable_shared_from_this<CTSwiperController> {
 public:
  // Driver states.
  static constexpr int32_t kStateIdle = 0;
  static constexpr int32_t kStateStarted = 1;
  static constexpr int32_t kStateArmed = 2;
  static constexpr int32_t kStateSwiped = 3;

  // Exchange steps (_cmdStep).
  static constexpr int32_t kStepKsn = 0;
  static constexpr int32_t kStepArming = 1;
  static constexpr int32_t kStepCard = 2;
  static constexpr int32_t kStepNone = 6;

  // Command indices.
  static constexpr int kCommandKsn = 0;
  static constexpr int kCommandArm = 1;
  static constexpr int kCommand23 = 2;
  static constexpr int kCommand25 = 3;
  static constexpr int kCommandNone = 4;

  static constexpr double kExchangeSeconds = 2.5;
  static constexpr double kDefaultSwipeTimeout = 20.0;
  static constexpr int kKsnAttempts = 3;
  static constexpr size_t kLeadSilence = 15000;
  static constexpr size_t kPowerSamples = 9000;

  // Events handed to the main thread (callBack).
  enum Event : int32_t {
    kEventWaitingForDevice = 0,
    kEventNoDeviceDetected = 1,
    kEventWaitingForCardSwipe = 2,
    kEventCardSwipeDetected = 3,
    kEventDecodingStart = 4,
    kEventErrorStop = 5,
    kEventError = 6,
    kEventInterrupted = 7,
    kEventTimeout = 8,
    kEventDecodeCompleted = 9,
    kEventDecodeError = 10,
    kEventKsn = 11,
  };

  // The command frames, by index.
  static const std::array<std::array<uint8_t, 6>, 4> kCommands;

  static std::shared_ptr<CTSwiperController> sharedInstance();
  ~CTSwiperController() override;
  CTSwiperController(const CTSwiperController&) = delete;
  CTSwiperController& operator=(const CTSwiperController&) = delete;

  // --- the driver interface (main thread) ---
  void startCSwiper() override;
  void stopCSwiper() override;
  void deleteCSwiper() override;
  void getCSwiperKsn() override;
  int32_t getCSwiperState() const override { return state_; }
  bool isDevicePresent() const override;
  void setSwipeTimeout(double seconds) override;
  void observeValueForKeyPath() {}

  // --- the card result and the KSN (any thread) ---
  std::string FormatID() const;
  std::string Ksn() const;
  std::string EncTracks() const;
  std::string RandomNumber() const;
  std::string MaskedPAN() const;
  std::string ExpiryDate() const;
  std::string CardHolderName() const;
  int32_t Track1Length() const;
  int32_t Track2Length() const;
  int32_t Track3Length() const;

  // --- state (tests, diagnostics) ---
  int32_t cmdStep() const { return cmdStep_; }
  int32_t ksnReTimes() const { return ksnReTimes_; }
  bool isPowerOn() const { return bPower_; }
  bool isRecording() const { return bRecord_; }
  bool decodeThreadRunning() const;
  // The pending exchange timer's interval, if any (main thread).
  std::optional<double> pendingTimer() const;

  // --- receivers of the player (the audio engine's thread; the route on the main thread) ---
  void UpdateLeftAudioPlayBuffer(AudioBuffer& buffer);
  void UpdateRightAudioPlayBuffer(AudioBuffer& buffer);
  void UpdateAudioRecordBufferList(const AudioBufferList& list);
  void UpdateAudioDeviceChange(bool present);

 private:
  // Captured when an event is handed over, so that what it carries is what was meant then.
  struct EventData {
    int32_t errorCode = 0;
    std::string errorMessage;
    int32_t decodeResult = 0;
  };

  CTSwiperController();
  void init();

  void SendCommand(int index, bool newThread);
  void EncodeCommandAndSend(int index);
  void resetStereoParam();
  static void EncodePower(std::span<int16_t> buffer);
  bool initCommunication();
  void stopCommunication(bool stopPlayer);
  void controlRemoteIOPlayer(bool start);
  void ChangeCSwiperControllerState(int32_t state) { state_ = state; }
  void callBack(int32_t event);
  void CallBackCSwiperControllerListener(int32_t event, const EventData& data);
  void setTimer(double seconds);
  void scheduledTimer(double seconds);
  void cancelTimer();
  void invalidateTimer();
  void onTimeout(double interval);
  void setError(int32_t code, std::string message);

  // The decode thread.
  void RecvAndDecodeCommand();
  void handleReply(const DecodeRecord& record);
  void decodeThreadEnded();

  // Stops everything for good; safe from the destructor (takes no new reference to this).
  void teardown();

  std::atomic<bool> deviceIsExist_{false};
  std::atomic<int32_t> decodeResult_{0};
  std::atomic<int32_t> state_{kStateIdle};
  std::atomic<bool> endDecodeThread_{false};
  std::atomic<double> swipeTimeoutNow_{kDefaultSwipeTimeout};
  std::atomic<bool> bRecord_{false};
  std::atomic<bool> bPower_{false};
  std::atomic<bool> bPlay_{false};
  std::atomic<int32_t> ksnReTimes_{0};
  std::atomic<bool> isDeleted_{false};
  std::atomic<int32_t> cmdFlag_{kCommandNone};
  std::atomic<int32_t> cmdStep_{kStepNone};

  std::unique_ptr<RemoteIOPlayer> remoteIOPlayer_;
  std::unique_ptr<RQueue> audioRecordQueue_;

  // The command being played (left channel): guarded by playLock_.
  std::mutex playLock_;
  std::vector<int16_t> playData_;
  size_t playLength_ = 0;
  size_t playMove_ = 0;
  // The power tone (right channel): made once, read by the render thread until the player goes.
  std::vector<int16_t> powerData_;

  // The decode thread runs from init until it ends; teardown waits for its end.
  mutable std::mutex threadLock_;
  std::condition_variable threadEnded_;
  bool decodeThreadRunning_ = false;

  // The pending exchange timer.
  mutable std::mutex timerMutex_;
  std::optional<platform::TimerId> timerForComm_;
  double timerInterval_ = 0;

  // The error of the next onError and the card result.
  mutable std::mutex fieldsMutex_;
  int32_t errorCode_ = 0;
  std::string errorMessage_;
  CTCardDetails card_;
};

}  // namespace nvx::reader::f0008
