// Test-only: a microphone line as the family 0001 capture hears it (16-bit samples at 44.1 kHz):
// quiet stretches and the simulated reader's replies, with the impairments a line may have.
#pragma once
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <span>
#include <vector>

#include "platform/media/AudioFormat.h"
#include "standin/SimulatedReader0001.h"

namespace nvx::reader::testing {

class CSwiperLine {
 public:
  static constexpr double kRate = 44100.0;

  CSwiperLine& quiet(double seconds) {
    x_.insert(x_.end(), static_cast<size_t>(seconds * kRate), 0.0f);
    return *this;
  }
  // A reply of the reader: its preamble, the start bit, the bytes and the settling tail.
  CSwiperLine& say(std::span<const uint8_t> bytes, double preambleSeconds = 0.05, double amplitude = 0.5,
                   double clockError = 0, bool invert = false, std::optional<size_t> bits = std::nullopt) {
    std::vector<float> signal;
    standin::SimulatedReader0001::render(bytes, preambleSeconds, kRate, clockError, signal, bits);
    const float gain = static_cast<float>(invert ? -amplitude : amplitude);
    for (float v : signal) x_.push_back(v * gain);
    return *this;
  }
  CSwiperLine& quietFor(size_t samples) {
    x_.insert(x_.end(), samples, 0.0f);
    return *this;
  }
  CSwiperLine& tone(double hz, double rms, double seconds) { return toneFor(hz, rms, static_cast<size_t>(seconds * kRate)); }
  CSwiperLine& toneFor(double hz, double rms, size_t n) {
    const double a = rms * std::sqrt(2.0) / 32768.0;
    for (size_t i = 0; i < n; ++i) {
      x_.push_back(static_cast<float>(a * std::sin(6.283185307179586 * hz * static_cast<double>(i) / kRate)));
    }
    return *this;
  }
  CSwiperLine& noise(double rms, uint32_t seed) {
    std::mt19937 gen(seed);
    std::normal_distribution<float> n(0.0f, static_cast<float>(rms));
    for (float& v : x_) v += n(gen);
    return *this;
  }
  CSwiperLine& offset(float dc) {
    for (float& v : x_) v += dc;
    return *this;
  }
  CSwiperLine& hum(double amplitude, double hz, double phase = 0) {
    for (size_t i = 0; i < x_.size(); ++i) {
      x_[i] += static_cast<float>(amplitude * std::sin(6.283185307179586 * hz * static_cast<double>(i) / kRate + phase));
    }
    return *this;
  }
  // Driven past full scale and clipped.
  CSwiperLine& gain(float g) {
    for (float& v : x_) v = std::fmax(-1.0f, std::fmin(1.0f, v * g));
    return *this;
  }
  std::vector<int16_t> samples() const {
    std::vector<int16_t> out;
    out.reserve(x_.size());
    for (float v : x_) out.push_back(platform::media::floatToS16(v));
    return out;
  }
  size_t size() const { return x_.size(); }

 private:
  std::vector<float> x_;
};

}  // namespace nvx::reader::testing
