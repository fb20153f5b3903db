// Conditions the microphone line of the 0003-0006 readers before the framed collector sees it.
// The demodulator judges peaks against a fixed level (+-5,000) and half-waves by their sign
// changes, so two things on the line defeat it long before the reply itself is lost:
//   - an offset or mains hum shifts one polarity's peaks under the level: a high-pass (about
//     200 Hz, far under the reply's 2,400-4,800 Hz) takes them out;
//   - noise near a zero crossing splits a half-wave into slivers: a sample takes the opposite
//     sign only once it passes half of the recent peak level (hysteresis); until then it keeps
//     the running half-wave's sign with its own magnitude, so peaks and widths stay as they were.
// One object per input queue, used on its thread; it keeps its state from buffer to buffer.
#pragma once
#include <cstdint>
#include <span>

namespace nvx::reader {

class NLLineConditioner {
 public:
  // In place.
  void process(std::span<int16_t> samples);
  void reset();

 private:
  double previousIn_ = 0;
  double highPass_ = 0;
  double taps_[2] = {0, 0};
  double envelope_ = 0;
  int sign_ = 0;
};

}  // namespace nvx::reader
