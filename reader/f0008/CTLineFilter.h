// The microphone line of the "0008" reader before its demodulator: a second-order Butterworth
// low-pass at 3 kHz (44,100 samples/s), run on across recorded blocks. The reply's cells change
// level at most 4,800 times a second, so its shape passes; the hiss above it, which the fixed dead
// band of the demodulator would otherwise take for level changes (and, after the reply, for a
// line that never goes quiet), is cut to about a third.
//
// Then a level keeper: a loud line is brought down so its peaks sit near kTarget. The dead band is
// fixed at +-3,000, so on a line driven near full scale even the filtered hiss stays outside it
// and the frame never ends; scaled down, the hiss falls inside while the reply's levels stay far
// beyond. It only ever attenuates: a quiet line, and a line with noise alone, reach the
// demodulator as they were (never louder), so no new level changes appear. Its envelope rises
// within a few milliseconds (the reply's lead-in is longer) and falls over a tenth of a second.
// No high-pass for DC or hum: the reply's levels are held up to a full cell, and any cut-off
// low enough to leave them flat does little for hum, while the droop it gives loses replies only
// just beyond the dead band.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>

namespace nvx::reader::f0008 {

class CTLineFilter {
 public:
  static constexpr double kCutoff = 3000.0;
  static constexpr double kRate = 44100.0;
  static constexpr double kTarget = 12000.0;

  CTLineFilter() {
    const double w = std::tan(3.141592653589793 * kCutoff / kRate);
    const double q = 0.7071067811865476;
    const double n = 1 / (1 + w / q + w * w);
    b0_ = w * w * n;
    b1_ = 2 * b0_;
    a1_ = 2 * (w * w - 1) * n;
    a2_ = (1 - w / q + w * w) * n;
    attack_ = 1 - std::exp(-1 / (0.003 * kRate));
    release_ = std::exp(-1 / (0.1 * kRate));
  }

  void reset() { z1_ = z2_ = envelope_ = 0; }

  // Filters the block in place.
  void apply(std::span<int16_t> block) {
    for (int16_t& s : block) {
      const double x = s;
      const double y = b0_ * x + z1_;
      z1_ = b1_ * x - a1_ * y + z2_;
      z2_ = b0_ * x - a2_ * y;
      const double level = std::abs(y);
      envelope_ = level > envelope_ ? envelope_ + (level - envelope_) * attack_ : envelope_ * release_;
      const double out = envelope_ > kTarget ? y * (kTarget / envelope_) : y;
      s = static_cast<int16_t>(std::clamp(std::lround(out), -32768L, 32767L));
    }
  }

 private:
  double b0_ = 0, b1_ = 0, a1_ = 0, a2_ = 0;
  double z1_ = 0, z2_ = 0;
  double attack_ = 0, release_ = 0, envelope_ = 0;
};

}  // namespace nvx::reader::f0008
