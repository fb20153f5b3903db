// The recorder of a family 0001 reader: it sets the audio session up for playing and recording,
// captures the microphone while a cycle runs (CSwiperSignalReceiver), tells from the 2 kHz power
// when a reply or a swipe is under way (CSwiper_DecodeMagController), hands the recorded reply to
// the decoder (CSwiper_FskController) on a worker thread of its own, classifies the answer and
// publishes the outcome as its state, which the driver observes.
//
// Threads: everything here runs on the main thread (creation, starting and stopping, the
// polling every 0.02 s, the listeners, every announcement) except the capture's buffers (the
// audio engine's thread) and the decode (a worker thread per reply). The main thread reaches the
// other two only by polling: the tracking's state and counters and the decoder's status.
//
// A state is announced to the observer synchronously on the main thread; the observer may stop
// the recording, start a new one or let the recorder go from inside the announcement.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/Subscription.h"

namespace nvx::reader {

class CSwiperCommandGenerator;
class CSwiperPowerGenerator;
class CSwiperSignalReceiver;
class CSwiper_FskController;
class CSwiper_WavBuffer;

class CSwiper_MagRecorder : public std::enable_shared_from_this<CSwiper_MagRecorder> {
 public:
  // Published states (magRecorderState).
  enum : int {
    MAGRECORDER_IDLE = 0,
    MAGRECORDER_RECORDING = 1,
    MAGRECORDER_END_SUCCESS = 2,
    MAGRECORDER_TERMINATED_TIMEOUT = 3,
    MAGRECORDER_TERMINATED_INTERRUPT = 4,
    MAGRECORDER_FAIL_TO_START = 5,
    MAGRECORDER_FAIL_INIT = 6,
    MAGRECORDER_FAIL_AUDIO_SESSION_SET_ACTIVE = 7,
    MAGRECORDER_END_FAIL = 8,
    MAGRECORDER_NON_HEADSET = 9,
    MAGRECORDER_CANNOT_GET_AUDUIOROUTE_NAME = 10,
    MAGRECORDER_FAIL_CRC_ERROR = 11,
    MAGRECORDER_FAIL_INVALID_INPUT = 12,
    MAGRECORDER_FAIL_DEVICE_REPORT_ERROR = 13,
    MAGRECORDER_INCOMPATIBLE_DEVICE = 18,
    MAGRECORDER_DECODING_START = 19,
    MAGRECORDER_CARD_SWIPE_DETECTED = 21,
  };
  // Route types.
  enum : int {
    kRouteOther = 0,
    kRouteHeadsetInOut = 1,
    kRouteReceiver = 2,
    kRouteReceiverAndMicrophone = 3,
    kRouteSpeakerAndMicrophone = 4,
    kRouteHeadphonesAndMicrophone = 5,
    kRouteSpeaker = 6,
  };
  static constexpr double kPollSeconds = 0.02;
  static constexpr double kSecondsPerBuffer = 0.1;

  // Creates the recorder and sets the audio session up. A failure of the set-up is kept as a
  // pending announcement (hasPendingAnnouncement) for the observer to take.
  static std::shared_ptr<CSwiper_MagRecorder> create();
  ~CSwiper_MagRecorder();
  CSwiper_MagRecorder(const CSwiper_MagRecorder&) = delete;
  CSwiper_MagRecorder& operator=(const CSwiper_MagRecorder&) = delete;

  // The observer of magRecorderState (one; an empty function removes it).
  void setObserver(std::function<void(int state)> observer) { observer_ = std::move(observer); }

  void Track2Decoding();
  void StopRecord();
  void CheckState();
  // Stores the state and announces it (a pending announcement is then void).
  void MakeNotify(int state);
  // Announces a state kept from the set-up, once.
  void announcePending();
  bool hasPendingAnnouncement() const { return updateState_; }

  bool IsHeadSetPluggedIn();
  bool CheckAudioInputAvailable();
  int CheckAudioRouteType();
  void SetDecodeMagControllerTimeout(double seconds);
  void SetSignalReceiverDelay(int buffers);
  void SetPowerGenerator(std::weak_ptr<CSwiperPowerGenerator> player);
  void SetCommander(std::weak_ptr<const CSwiperCommandGenerator> commander) { commander_ = std::move(commander); }
  void SetDebugMode(bool on) { debugFlag_ = on; }
  // Lets go of the audio resources and the listeners; the recorder does nothing afterwards.
  void MyImmediateClean();

  int magRecorderState() const { return magRecorderState_; }
  CSwiperSignalReceiver* recorderAq() const { return recorderAq_.get(); }
  bool isRecording() const { return recording_; }

  // --- the decoded packet ---
  std::string GetFormatID() const;
  std::string GetKSN() const;
  std::string GetEncTrack1() const;
  int GetTrack1Length() const;
  int GetTrack2Length() const;
  int GetTrack3Length() const;
  std::string GetRandomNumber() const;
  std::string GetLast4DigitPan() const;
  std::string GetExpiryDate() const;
  std::string GetName() const;

 private:
  CSwiper_MagRecorder();
  void init();
  void storePending(int state);
  void scheduleCheck();
  void classify(int length, uint8_t first);
  // The listeners (main thread).
  void interruption(bool begins);
  void inputAvailabilityChanged();
  void routeChanged();
  // Stops the recording with an interruption while one runs.
  void interruptRecording();

  int magRecorderState_ = MAGRECORDER_IDLE;
  bool updateState_ = false;
  std::unique_ptr<CSwiperSignalReceiver> recorderAq_;
  std::shared_ptr<CSwiper_FskController> fskController_;
  bool flagListenerAudioRouteChange_ = false;
  bool flagListenerAudioInputAvailable_ = false;
  bool debugFlag_ = false;
  bool flagIndicateDecodeStart_ = false;
  bool flagManchesterPartDecode_ = false;
  std::shared_ptr<CSwiper_WavBuffer> wavBuffer_;

  std::function<void(int)> observer_;
  std::weak_ptr<const CSwiperCommandGenerator> commander_;
  bool recording_ = false;
  bool cleaned_ = false;
  uint64_t generation_ = 0;        // one per recording: a poll of an older one does nothing
  platform::TimerId checkTimer_ = 0;
  platform::NotificationCenter::Observation routeObservation_;
  platform::media::Subscription inputListener_;
};

}  // namespace nvx::reader
