// The one audio engine of the process. While a stream runs, a tracked engine thread steps through
// time one hardware buffer at a time, sleeping on platform::clock() until each buffer's end:
//   1. asks the plugged peer for the microphone block (Peer::speak; silence when nothing with a
//      microphone is plugged) and applies the session's input gain;
//   2. runs every running stream in start order: output streams add what they play (after their
//      own volume) to the output block, input streams receive the microphone block in their format;
//   3. scales the output by the media volume, clips it to -1..+1 and hands it to Peer::hear.
// Buffer k of a run is processed at start + (k + 1) * buffer duration, so N seconds of audio take
// exactly N seconds of the clock: on the virtual clock a swipe runs in milliseconds of real time,
// the same way every time; on the real clock the engine keeps real time. On the virtual clock a
// buffer is processed after the other threads woken at the same instant (and main-loop timers due
// then) have done their step, so what a driver does at a buffer's end goes into that buffer.
//
// The hardware buffer is the session's IO buffer duration (0.01 s unless set, 0.005..0.02 s),
// rounded to whole frames at the running rate: 441 frames at 44.1 kHz, 480 at 48 kHz, 1764 at
// 176.4 kHz. One rate at a time: a stream at another rate than the one running is refused with a
// logged error (kCannotStart). The thread ends when the last stream stops; a process reset joins it.
//
// Streams (OutputQueue, InputQueue, DuplexUnit, MixerGraph) use this class; clients do not.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/foundation/Clock.h"
#include "platform/foundation/Process.h"
#include "platform/media/AudioStatus.h"

namespace platform::media {

class AudioEngine {
 public:
  class Stream {
   public:
    virtual ~Stream() = default;
    virtual double rate() const = 0;
    // One buffer on the engine thread: mic holds the microphone (after gain); the stream adds its
    // output to left/right (it may leave them alone). frames is the same for both.
    virtual void process(const float* mic, float* left, float* right, size_t frames) = 0;
    // The system stopped the stream (an interruption); called on the thread that interrupted.
    virtual void stoppedBySystem() {}
  };

  static AudioEngine& shared();
  ~AudioEngine();

  // Adds a stream to the running ones (from the next buffer on); starts the engine when idle.
  AudioStatus start(std::shared_ptr<Stream> stream);
  // Removes it. When this returns, its process() is not running and will not run again (a step
  // under way on the engine thread is waited for, unless stop is called from that thread, e.g.
  // from the stream's own callback). So never call stop while holding a lock a callback takes.
  void stop(const Stream* stream);
  bool isRunning(const Stream* stream) const;
  // Interruption: stops every stream and tells each (stoppedBySystem).
  void stopAllBySystem();

  // --- state (tests, diagnostics) ---
  bool running() const;                 // the engine thread is stepping
  double rate() const;                  // the rate of the current (or last) run
  size_t framesPerBuffer() const;       // of the current (or last) run
  uint64_t buffersProcessed() const;    // over the life of the process run
  static bool onEngineThread();

  struct Impl;

 private:
  friend class platform::Process;
  AudioEngine();
  std::shared_ptr<Impl> impl_;
};

}  // namespace platform::media
