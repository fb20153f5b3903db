// The transmit speed search of the 0002 link: the smallest half-bit length S (frames) whose
// 4-byte probe the reader accepts with a long tone.
#pragma once
#include <cstdint>

#include "reader/f0002/Swiper1SearchStep.h"

namespace nvx::reader {

class Swiper1TransmitSearch {
 public:
  enum class Answer { LongTone, Other, Silence };

  // S: the current half-bit length; rate: the playback rate.
  Swiper1TransmitSearch(Swiper1CalibrationKind kind, uint8_t S, uint32_t rate);
  // The half-bit length to probe now (and the calibrated one once Done).
  uint8_t speed() const { return static_cast<uint8_t>(S_); }
  Swiper1SearchStep next(Answer answer);

 private:
  void restartFull();
  Swiper1CalibrationKind kind_;
  bool refused_ = false;  // a refine search has had its first refusal
  int S_, L_, U_;
  int best_ = 0;
  int silences_ = 0;
  uint32_t rate_;
};

}  // namespace nvx::reader
