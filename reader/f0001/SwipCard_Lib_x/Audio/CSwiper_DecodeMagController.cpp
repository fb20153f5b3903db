#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_DecodeMagController.h"

namespace nvx::reader {

unsigned CSwiper_DecodeMagController::step(double power) {
  std::lock_guard<std::mutex> lock(mutex_);
  unsigned state = state_;
  if (state == DECODE_MAG_CONTROLLER_WAV_STATE_WAITING_SWIPE) {
    if (power >= kSwipeStartPower) {
      state = DECODE_MAG_CONTROLLER_WAV_STATE_SWIPING;
      swipeBuffers_ = 0;
      detectBuffers_ = 0;
    }
  } else if (state == DECODE_MAG_CONTROLLER_WAV_STATE_SWIPING) {
    // The buffer that starts a swipe is not counted in it; each one after it is.
    if (power < kSwipeEndPower) state = DECODE_MAG_CONTROLLER_WAV_STATE_SWIPE_FINISHED;
    ++detectBuffers_;
    if (++swipeBuffers_ >= kMaxSwipeBuffers) state = DECODE_MAG_CONTROLLER_WAV_STATE_SWIPE_FINISHED;
  }
  if (elapsedBuffers_ < timeoutBuffers_) {
    ++elapsedBuffers_;
  } else {
    state = DECODE_MAG_CONTROLLER_WAV_STATE_TIMEOUT;
  }
  state_ = state;
  return state;
}

void CSwiper_DecodeMagController::reset(unsigned timeoutBuffers) {
  std::lock_guard<std::mutex> lock(mutex_);
  timeoutBuffers_ = timeoutBuffers;
  swipeBuffers_ = 0;
  detectBuffers_ = 0;
  elapsedBuffers_ = 0;
  state_ = DECODE_MAG_CONTROLLER_WAV_STATE_WAITING_SWIPE;
}

void CSwiper_DecodeMagController::resetKeepingTimeout() { reset(timeoutBuffers_); }

void CSwiper_DecodeMagController::setTimeoutBuffers(unsigned buffers) { timeoutBuffers_ = buffers; }

}  // namespace nvx::reader
