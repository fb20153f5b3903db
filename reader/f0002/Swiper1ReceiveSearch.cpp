#include "reader/f0002/Swiper1ReceiveSearch.h"

#include <algorithm>

namespace nvx::reader {

namespace {

constexpr int kReceiveSilent = -32;
constexpr int kReceiveNoSpeed = -33;

}  // namespace

Swiper1ReceiveSearch::Swiper1ReceiveSearch(Swiper1CalibrationKind kind, uint8_t F) : kind_(kind), F_(F), L_(F) {
  switch (kind) {
    case Swiper1CalibrationKind::Full:
      L_ = kLowest;
      F_ = (2 * L_ + H_) / 3;
      break;
    case Swiper1CalibrationKind::Slower:
      F_ = std::min(F_ + 1, kSwiper1MaxSpeed);
      L_ = F_;
      break;
    case Swiper1CalibrationKind::Refine:
      L_ = F_;
      break;
  }
}

Swiper1SearchStep Swiper1ReceiveSearch::next(Answer answer) {
  if (answer == Answer::Good) {
    if (best_ == 0 || F_ < best_) best_ = F_;
    if (F_ - L_ > 2) {
      H_ = F_;
      F_ = (L_ + F_) / 2;
      return {Swiper1SearchStep::Probe, 0};
    }
    return {Swiper1SearchStep::Done, 0};
  }
  if (answer == Answer::Silence) {
    if (++quiet_ >= 3) return {Swiper1SearchStep::Failed, kReceiveSilent};
    return {Swiper1SearchStep::Probe, 0};
  }
  if (answer == Answer::TooShort && quiet_ == 0) {
    quiet_ = 1;
    return {Swiper1SearchStep::Probe, 0};
  }
  // Bad, or too short once more.
  if (kind_ == Swiper1CalibrationKind::Refine && !failed_) {
    failed_ = true;
    kind_ = Swiper1CalibrationKind::Full;
    L_ = kLowest;
    F_ = (2 * L_ + H_) / 3;
  } else if (H_ - F_ > 1) {
    L_ = F_;
    F_ = (F_ + H_) / 2;
  } else if (best_ != 0) {
    F_ = L_ = best_;
    H_ = kHighest;
    best_ = 0;
  } else {
    return {Swiper1SearchStep::Failed, kReceiveNoSpeed};
  }
  return {Swiper1SearchStep::Probe, 0};
}

}  // namespace nvx::reader
