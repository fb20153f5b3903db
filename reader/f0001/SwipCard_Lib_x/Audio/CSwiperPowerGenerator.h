// The tone player of a family 0001 reader: plays on the headset output, as 44.1 kHz stereo
// big-endian 16-bit samples in three buffers of 0.2 s, what the command of the cycle asks for:
//   command 6 (swipe): a 5 kHz square wave on both channels for the first 8,820 frames (0.2 s);
//   command 2 (KSN read): 2 kHz for 4,410 frames (0.1 s);
//   command 16: 1 kHz without end;
//   any other: the command generator's frame;
// and silence afterwards, until it is stopped. Its output queue runs its callbacks on the main
// loop; the driver starts and stops it there.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/media/Subscription.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperAudioError.h"

namespace platform::media {
class OutputQueue;
struct QueueBuffer;
}  // namespace platform::media

namespace nvx::reader {

class CSwiperCommandGenerator;

class CSwiperPowerGenerator : public std::enable_shared_from_this<CSwiperPowerGenerator> {
 public:
  static constexpr int kRate = 44100;
  static constexpr int kBuffers = 3;
  static constexpr double kBufferSeconds = 0.2;
  static constexpr int kBytesPerFrame = 4;
  static constexpr float kQuietDeviceVolume = 0.35f;   // the one device whose output is too loud

  static std::shared_ptr<CSwiperPowerGenerator> create();
  ~CSwiperPowerGenerator();
  CSwiperPowerGenerator(const CSwiperPowerGenerator&) = delete;
  CSwiperPowerGenerator& operator=(const CSwiperPowerGenerator&) = delete;

  // The command of the cycle (not owned).
  void setCommander(std::weak_ptr<const CSwiperCommandGenerator> commander) { commander_ = std::move(commander); }

  CSwiperAudioFailure OpenToneQueue();
  // Opens the queue when there is none and starts from the first frame; packetsPlayed is kept
  // when resuming.
  CSwiperAudioFailure StartTone(bool resume);
  // Stops at once.
  void StopTone();
  CSwiperAudioFailure SetToneVolume(float volume);
  void DisposeToneQueue();

  bool isInitialized() const { return queue_ != nullptr; }
  bool isRunning() const { return isRunning_.load(); }
  int framesPlayed() const { return framesPlayed_; }
  uint64_t packetsPlayed() const { return packetsPlayed_; }
  unsigned framesPerBuffer() const { return framesPerBuffer_; }

  // `frames` frames from frame t on for this command, big-endian, left first (tests).
  static void renderFrames(const CSwiperCommandGenerator* commander, int t, unsigned frames, uint8_t* out);

 private:
  CSwiperPowerGenerator() = default;
  void FillToneBuffer(platform::media::QueueBuffer& buffer);

  int framesPlayed_ = 0;
  std::weak_ptr<const CSwiperCommandGenerator> commander_;
  std::unique_ptr<platform::media::OutputQueue> queue_;
  platform::media::QueueBuffer* buffers_[kBuffers] = {nullptr, nullptr, nullptr};
  unsigned framesPerBuffer_ = 0;
  uint64_t packetsPlayed_ = 0;
  std::atomic<bool> isRunning_{false};
  bool isDone_ = false;
  platform::media::Subscription runningListener_;
};

}  // namespace nvx::reader
