// The capture of a family 0001 recording: an input queue of 16-bit mono buffers of 0.1 s at the
// hardware rate (4,411 frames at 44.1 kHz), each one filtered through the 2 kHz band-pass, its
// power handed to the swipe tracking, and the samples kept in the recording's sample store.
//
// Threads: start and stop on the main thread; every filled buffer on the audio engine's thread.
// The tracking and the store lock for themselves; the counters are atomic; the filter history
// belongs to the audio thread while the capture runs.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>

#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperAudioError.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperBandPass.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_DecodeMagController.h"

namespace platform::media {
class InputQueue;
}

namespace nvx::reader {

class CSwiperPowerGenerator;
class CSwiper_WavBuffer;

class CSwiperSignalReceiver {
 public:
  static constexpr double kRequestedRate = 44100.0;
  static constexpr float kBufferSeconds = 0.1f;   // single precision: 4,411 frames at 44.1 kHz
  static constexpr int kBuffers = 3;

  explicit CSwiperSignalReceiver(std::shared_ptr<CSwiper_WavBuffer> store);
  ~CSwiperSignalReceiver();
  CSwiperSignalReceiver(const CSwiperSignalReceiver&) = delete;
  CSwiperSignalReceiver& operator=(const CSwiperSignalReceiver&) = delete;

  // Resets the tracking and the filter, then creates and starts the input queue. A failure is
  // reported (and returned); the tracking stays waiting.
  CSwiperAudioFailure start();
  // Stops the queue at once and disposes of it.
  void stop();
  bool isRunning() const { return isRunning_.load(); }

  // Buffers still to pass before the tracking runs.
  void setDelayBuffers(int buffers) { delayBuffers_ = buffers; }
  int delayBuffers() const { return delayBuffers_.load(); }
  // Kept for the cycle (the capture does not use it).
  void setPowerGenerator(std::weak_ptr<CSwiperPowerGenerator> player) { player_ = std::move(player); }

  CSwiper_DecodeMagController& tracking() { return tracking_; }
  const CSwiper_DecodeMagController& tracking() const { return tracking_; }

  // One filled buffer (the audio thread; tests and benches call it directly).
  void processBuffer(std::span<const int16_t> samples);
  // Resets the tracking to waiting with the default time-out and clears the filter history.
  void resetForCapture();

  static unsigned framesPerBuffer(double rate);
  double rate() const { return rate_.load(); }
  uint64_t totalSamples() const { return totalSamples_.load(); }
  uint64_t packetsRecorded() const { return packetsRecorded_.load(); }
  // The band-pass power of the last buffer (diagnostics, tests).
  double lastPower() const { return lastPower_.load(); }

 private:
  CSwiper_DecodeMagController tracking_;
  std::weak_ptr<CSwiperPowerGenerator> player_;
  std::atomic<unsigned> lastState_{0};
  std::atomic<uint64_t> totalSamples_{0};
  std::atomic<int> delayBuffers_{0};
  std::unique_ptr<platform::media::InputQueue> queue_;
  std::atomic<uint64_t> packetsRecorded_{0};
  std::atomic<bool> isRunning_{false};
  std::atomic<double> rate_{kRequestedRate};
  std::atomic<double> lastPower_{0};
  std::shared_ptr<CSwiper_WavBuffer> store_;
  CSwiperBandPass filter_;
};

}  // namespace nvx::reader
