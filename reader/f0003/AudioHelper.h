// The audio link of the 0003-0006 readers, one per process (one headset socket). It sets up the
// audio session, powers and commands the reader through the headset output (an output queue of
// three 0.2 s buffers: the wake-up signal once at every start, then the idle tone, interrupted by
// one command signal after each sendCommand), records the reader's answer (an input queue of
// three 83 ms buffers) and hands accepted messages, or raw cards, to its delegate.
//
// Threads. Set-up, start and stop run on the main thread; the output queue's fill callback runs
// on the main loop; the input callback runs on the audio engine's thread and reports to the
// delegate there. sendCommand and the stops may also come from the input thread (a retry or the
// end of a session): a stop there stops the queue at once, and the queue is freed on the main
// loop. No lock of the helper is held while a queue is stopped or the delegate is called.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "platform/media/AudioFormat.h"
#include "reader/f0003/AudioHelperDelegate.h"

namespace platform::media {
class InputQueue;
class OutputQueue;
struct QueueBuffer;
}  // namespace platform::media

namespace nvx::reader {

class AudioHelper : public std::enable_shared_from_this<AudioHelper> {
 public:
  static constexpr int32_t kErrorStart = -2;
  static constexpr const char* kErrorStartText = "刷卡器启动失败";
  static constexpr int32_t kErrorAudioInit = -5;
  static constexpr const char* kErrorAudioInitText = "音频初始化失败";
  static constexpr int32_t kErrorSession = -6;
  static constexpr const char* kErrorSessionText = "音频会话设置失败";

  static constexpr double kRate = 48000;
  static constexpr int kQueueBuffers = 3;
  static constexpr size_t kOutputBufferBytes = 19200;
  static constexpr size_t kInputBufferBytes = 8000;
  static constexpr float kQueueVolume = 5.0f;

  // What the output plays next.
  enum PlayState : int { kPlayStopped = 0, kPlayWakeUp = 1, kPlayIdle = 2, kPlayCommand = 3 };

  // The shared helper, created on first use; removeHelper restores the volume and forgets it.
  static std::shared_ptr<AudioHelper> sharedHelper();
  static void removeHelper();
  ~AudioHelper();
  AudioHelper(const AudioHelper&) = delete;
  AudioHelper& operator=(const AudioHelper&) = delete;

  void setDelegate(std::weak_ptr<AudioHelperDelegate> delegate);

  // Play-and-record with mixing, then activation: -5 when the category fails, -6 when the mixing
  // property or the activation fails.
  void initAudioSession();
  // 48 kHz stereo unsigned 8 bits; builds the wake-up signal.
  void initOutgoingState();
  // 48 kHz signed 16 bits with the hardware's input channels; -5 when they cannot be read.
  void initIncomingState();
  // -2 when a queue cannot be created, given its buffers or started.
  void startIncomingAudio();
  void stopIncomingAudio();
  // Raises the media volume (PhoneController), then, unless it runs, starts playing the wake-up
  // signal.
  void startOutgoingAudio();
  void stopOutgoingAudio();
  // The command's signal is played in the next free output buffer.
  void sendCommand(std::span<const uint8_t> command);
  // The current audio route's name begins with "Head".
  static bool isDetectedDevice();

  // --- state (tests, diagnostics) ---
  bool isOutgoingRunning() const { return outRunning_; }
  bool isIncomingRunning() const { return inRunning_; }
  int playState() const;
  std::vector<uint8_t> wakeUpBuffer() const;
  std::vector<uint8_t> commandBuffer() const;
  platform::media::AudioFormat incomingFormat() const;

 private:
  friend struct AudioHelperState;
  AudioHelper();
  std::shared_ptr<AudioHelperDelegate> delegate() const;
  void report(int32_t code, const char* text);
  void fillOutput(platform::media::OutputQueue& queue, platform::media::QueueBuffer& buffer);
  void shutdown();

  mutable std::mutex mutex_;
  std::weak_ptr<AudioHelperDelegate> delegate_;
  platform::media::AudioFormat outFormat_;
  platform::media::AudioFormat inFormat_;
  std::unique_ptr<platform::media::OutputQueue> output_;
  std::unique_ptr<platform::media::InputQueue> input_;
  std::atomic<bool> outRunning_{false};
  std::atomic<bool> inRunning_{false};
  int playState_ = kPlayStopped;
  // The signal being played: the wake-up or the command buffer, from readPos_ to readEnd_.
  const std::vector<uint8_t>* playing_ = nullptr;
  size_t readPos_ = 0;
  size_t readEnd_ = 0;
  std::vector<uint8_t> wakeUp_;
  std::vector<uint8_t> command_;
};

}  // namespace nvx::reader
