// The seeded noise a simulated reader adds to its line: the same seed gives the same noise on every
// run, so an impaired test or bench case fails the same way each time.
#pragma once
#include <cmath>
#include <cstdint>

namespace standin {

class LineNoise {
 public:
  explicit LineNoise(uint64_t seed) : state_(seed | 1) {}

  // The next 64 random bits (xorshift64*).
  uint64_t next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 2685821657736338717ull;
  }
  // Uniform in (0, 1).
  double uniform() { return (static_cast<double>(next() >> 11) + 0.5) / 9007199254740992.0; }
  // Standard normal (Box-Muller).
  double gaussian() {
    const double u1 = uniform(), u2 = uniform();
    return std::sqrt(-2 * std::log(u1)) * std::cos(6.283185307179586 * u2);
  }

 private:
  uint64_t state_;
};

}  // namespace standin
