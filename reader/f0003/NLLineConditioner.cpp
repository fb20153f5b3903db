#include "reader/f0003/NLLineConditioner.h"

#include <algorithm>
#include <cmath>

namespace nvx::reader {

namespace {

constexpr double kRate = 48000;
constexpr double kHighPassHz = 100;
constexpr double kEnvelopeSeconds = 0.001;
constexpr double kHysteresis = 0.4;  // of the recent mean level

const double kHighPass = std::exp(-6.283185307179586 * kHighPassHz / kRate);
const double kEnvelopeFollow = 1 - std::exp(-1.0 / (kEnvelopeSeconds * kRate));

}  // namespace

void NLLineConditioner::process(std::span<int16_t> samples) {
  for (int16_t& s : samples) {
    const double x = s;
    highPass_ = kHighPass * (highPass_ + x - previousIn_);
    previousIn_ = x;
    // Three samples averaged: the noise drops by 4.8 dB while a half-cell (5 samples) keeps its level.
    const double y = (highPass_ + taps_[0] + taps_[1]) / 3;
    taps_[1] = taps_[0];
    taps_[0] = highPass_;
    envelope_ += kEnvelopeFollow * (std::fabs(y) - envelope_);
    const double threshold = kHysteresis * envelope_;
    double out = y;
    const int sign = y > 0 ? 1 : (y < 0 ? -1 : 0);
    if (sign != 0 && sign != sign_) {
      if (sign_ == 0 || std::fabs(y) > threshold) sign_ = sign;
      else out = sign_ * std::fabs(y);  // a sliver of the other sign: the half-wave goes on
    }
    s = static_cast<int16_t>(std::lround(std::clamp(out, -32768.0, 32767.0)));
  }
}

void NLLineConditioner::reset() { *this = NLLineConditioner(); }

}  // namespace nvx::reader
