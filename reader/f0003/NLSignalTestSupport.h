// Test-only: the 0003-0006 reader's signals as the phone records them (48 kHz, signed 16 bits),
// made by the simulated reader and put on a line with silence around them and, when asked, an
// offset, 50 Hz hum and white noise.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "standin/SimulatedReader0003.h"

namespace nvx::reader::testing {

struct LineImpairment {
  double dc = 0;     // of full scale
  double hum = 0;    // 50 Hz, of full scale
  double noise = 0;  // rms, of full scale
  uint32_t seed = 1;
};

inline std::vector<int16_t> toRecorded(const std::vector<float>& x, const LineImpairment& imp = {}) {
  std::mt19937 gen(imp.seed);
  std::normal_distribution<double> noise(0, imp.noise > 0 ? imp.noise : 1);
  std::vector<int16_t> out;
  out.reserve(x.size());
  for (size_t i = 0; i < x.size(); ++i) {
    double v = x[i] + imp.dc + imp.hum * std::sin(6.283185307179586 * 50 * static_cast<double>(i) / 48000);
    if (imp.noise > 0) v += noise(gen);
    out.push_back(static_cast<int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767)));
  }
  return out;
}

// A reply between `lead` and `tail` samples of silence.
inline std::vector<int16_t> recordedReply(std::span<const uint8_t> message, double gain = 0.5, double clockError = 0,
                                          bool invert = false, size_t lead = 300, size_t tail = 800,
                                          const LineImpairment& imp = {}) {
  std::vector<float> x(lead, 0.0f);
  standin::SimulatedReader0003::renderReply(message, 48000, gain, clockError, invert, x);
  x.resize(x.size() + tail, 0.0f);
  return toRecorded(x, imp);
}

}  // namespace nvx::reader::testing
