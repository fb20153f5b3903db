// The phone's side of the 0002 reader link: bytes go to the reader as a square-wave burst whose
// half-cycle lengths carry the bits. S is the half-bit length in frames: a 1 lasts S frames, a 0
// 1.5 S. A burst is
//   4 half-cycles of 2000 us (the reader's input settles),
//   the preamble: 16 half-cycles of 250 us (6 for a calibration probe),
//   700 us, then 2000 us,
//   the start mark: 8 half-cycles of 1.5 S, the last lengthened by S (the reader learns S here),
//   per byte 8 data half-cycles, most significant bit first, and a parity half-cycle that makes
//   the count of 1s odd,
//   2 half-cycles of 2000 us.
// The wake tone that brings the reader up is 2 half-cycles of 2000 us, 2 W of 500 us, 4 of 2000 us.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace nvx::reader {

class Swiper1Burst {
 public:
  static constexpr int16_t kAmplitude = 32760;
  static constexpr size_t kMaxBytes = 500;
  static constexpr int kFramePreamble = 16;
  static constexpr int kProbePreamble = 6;

  // A duration in whole frames (rounded down).
  static uint32_t frames(uint32_t micros, uint32_t rate);

  // The half-cycle lengths (frames) of a burst carrying `bytes` at half-bit S with `preamble`
  // preamble half-cycles. Empty for more than kMaxBytes bytes or S of 0.
  static std::vector<uint32_t> halfCycles(std::span<const uint8_t> bytes, uint32_t S, uint32_t rate,
                                          int preamble = kFramePreamble);
  static std::vector<uint32_t> wakeTone(uint32_t W, uint32_t rate);
  // Total length in frames.
  static size_t totalFrames(std::span<const uint32_t> halfCycles);

  // Writes the half-cycles into `out` as interleaved stereo values, two equal values per frame,
  // starting at +kAmplitude and changing sign at every half-cycle. Returns the count of values
  // written; nothing when they would not fit, and then nothing is written.
  static std::optional<size_t> render(std::span<const uint32_t> halfCycles, std::span<int16_t> out);
};

}  // namespace nvx::reader
