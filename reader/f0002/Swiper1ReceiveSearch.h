// The receive speed search of the 0002 link: the smallest speed code F whose calibration
// pattern the phone decodes.
#pragma once
#include <cstdint>

#include "reader/f0002/Swiper1SearchStep.h"

namespace nvx::reader {

class Swiper1ReceiveSearch {
 public:
  enum class Answer { Good, Bad, TooShort, Silence };

  static constexpr int kLowest = 7;
  static constexpr int kHighest = 57;

  Swiper1ReceiveSearch(Swiper1CalibrationKind kind, uint8_t F);
  uint8_t speed() const { return static_cast<uint8_t>(F_); }
  Swiper1SearchStep next(Answer answer);

 private:
  Swiper1CalibrationKind kind_;
  bool failed_ = false;  // a refine search has had its first failure
  int F_, L_, H_ = kHighest;
  int best_ = 0;
  int quiet_ = 0;  // too short or silent answers
};

}  // namespace nvx::reader
