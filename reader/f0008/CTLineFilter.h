// The microphone line of the "0008" reader before its demodulator: a second-order Butterworth
// low-pass at 3 kHz (44,100 samples/s), run on across recorded blocks. The reply's cells change
// level at most 4,800 times a second, so its shape passes; the hiss above it, which the fixed dead
// band of the demodulator would otherwise take for level changes (and, after the reply, for a
// line that never goes quiet), is cut to about a third.
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

  CTLineFilter() {
    const double w = std::tan(3.141592653589793 * kCutoff / kRate);
    const double q = 0.7071067811865476;
    const double n = 1 / (1 + w / q + w * w);
    b0_ = w * w * n;
    b1_ = 2 * b0_;
    a1_ = 2 * (w * w - 1) * n;
    a2_ = (1 - w / q + w * w) * n;
  }

  void reset() { z1_ = z2_ = 0; }

  // Filters the block in place.
  void apply(std::span<int16_t> block) {
    for (int16_t& s : block) {
      const double x = s;
      const double y = b0_ * x + z1_;
      z1_ = b1_ * x - a1_ * y + z2_;
      z2_ = b0_ * x - a2_ * y;
      s = static_cast<int16_t>(std::clamp(std::lround(y), -32768L, 32767L));
    }
  }

 private:
  double b0_ = 0, b1_ = 0, a1_ = 0, a2_ = 0;
  double z1_ = 0, z2_ = 0;
};

}  // namespace nvx::reader::f0008
