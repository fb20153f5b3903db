// Swipe tracking of a family 0001 recording, one step a captured buffer (0.1 s) by the buffer's
// 2 kHz band-pass power: waiting, a swipe under way (power at or above 36,000,000 starts one;
// below 1,440,000, or 12 buffers, ends it), the swipe finished, or the time-out. The capture steps
// it on the audio thread; the recorder reads it and resets it on the main thread.
#pragma once
#include <atomic>
#include <mutex>

namespace nvx::reader {

class CSwiper_DecodeMagController {
 public:
  enum State : unsigned {
    DECODE_MAG_CONTROLLER_WAV_STATE_IDLE = 0,
    DECODE_MAG_CONTROLLER_WAV_STATE_WAITING_SWIPE = 1,
    DECODE_MAG_CONTROLLER_WAV_STATE_SWIPING = 2,
    DECODE_MAG_CONTROLLER_WAV_STATE_SWIPE_FINISHED = 3,
    DECODE_MAG_CONTROLLER_WAV_STATE_TIMEOUT = 4,
  };
  static constexpr double kSwipeStartPower = 36000000.0;
  static constexpr double kSwipeEndPower = 1440000.0;
  static constexpr unsigned kMaxSwipeBuffers = 12;
  static constexpr unsigned kDefaultTimeoutBuffers = 200;

  // One buffer's step; the state afterwards.
  unsigned step(double power);
  // Waiting for a swipe with all counters 0 and this time-out.
  void reset(unsigned timeoutBuffers);
  // The same, keeping the time-out.
  void resetKeepingTimeout();
  void setTimeoutBuffers(unsigned buffers);

  unsigned state() const { return state_.load(); }
  unsigned swipeBuffers() const { return swipeBuffers_.load(); }
  unsigned detectBuffers() const { return detectBuffers_.load(); }
  unsigned elapsedBuffers() const { return elapsedBuffers_.load(); }
  unsigned timeoutBuffers() const { return timeoutBuffers_.load(); }

 private:
  std::mutex mutex_;  // a step and a reset do not interleave
  std::atomic<unsigned> state_{DECODE_MAG_CONTROLLER_WAV_STATE_IDLE};
  std::atomic<unsigned> swipeBuffers_{0};
  std::atomic<unsigned> timeoutBuffers_{kDefaultTimeoutBuffers};
  std::atomic<unsigned> detectBuffers_{0};
  std::atomic<unsigned> elapsedBuffers_{0};
};

}  // namespace nvx::reader
