#include "reader/f0002/Swiper1TransmitSearch.h"

#include <algorithm>

namespace nvx::reader {

namespace {

constexpr int kTransmitSilent = -30;
constexpr int kTransmitNoSpeed = -31;

}  // namespace

Swiper1TransmitSearch::Swiper1TransmitSearch(Swiper1CalibrationKind kind, uint8_t S, uint32_t rate)
    : kind_(kind), S_(S), L_(S), U_(static_cast<int>(rate / 2000)), rate_(rate) {
  switch (kind) {
    case Swiper1CalibrationKind::Full:
      restartFull();
      break;
    case Swiper1CalibrationKind::Slower:
      S_ = std::min(S_ + 1, kSwiper1MaxSpeed);
      L_ = S_;
      break;
    case Swiper1CalibrationKind::Refine:
      L_ = S_;
      break;
  }
}

void Swiper1TransmitSearch::restartFull() {
  L_ = std::max(2, static_cast<int>(rate_ / 20000));
  S_ = (2 * L_ + U_) / 3;
}

Swiper1SearchStep Swiper1TransmitSearch::next(Answer answer) {
  switch (answer) {
    case Answer::LongTone:
      if (best_ == 0 || S_ < best_) best_ = S_;
      U_ = S_;
      if (U_ - L_ < 3) return {Swiper1SearchStep::Done, 0};
      S_ = (U_ + L_) / 2;
      return {Swiper1SearchStep::Probe, 0};
    case Answer::Other:
      if (kind_ == Swiper1CalibrationKind::Refine && !refused_) {
        refused_ = true;
        kind_ = Swiper1CalibrationKind::Full;
        restartFull();
        return {Swiper1SearchStep::Probe, 0};
      }
      L_ = S_;
      if (U_ - L_ < 2) {
        if (best_ == 0) return {Swiper1SearchStep::Failed, kTransmitNoSpeed};
        S_ = L_ = best_;
        U_ = static_cast<int>(rate_ / 2000);
        best_ = 0;
      } else {
        S_ = (U_ + L_) / 2;
      }
      return {Swiper1SearchStep::Probe, 0};
    case Answer::Silence:
      if (silences_ > 2) return {Swiper1SearchStep::Failed, kTransmitSilent};
      return {silences_++ == 0 ? Swiper1SearchStep::WakeAndProbe : Swiper1SearchStep::Probe, 0};
  }
  return {Swiper1SearchStep::Failed, kTransmitNoSpeed};
}

}  // namespace nvx::reader
