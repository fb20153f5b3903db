// The command encoder's interface: frames to signed 16-bit samples at 44,100 samples per second.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

namespace nvx::reader::f0008 {

class CEncode {
 public:
  virtual ~CEncode() = default;
  // Samples a frame of `length` bytes takes.
  virtual size_t sampleCount(size_t length) const = 0;
  // Writes the frame from `start` on; returns the index after the written samples. With no
  // buffer, or one too small, nothing is written and `start` comes back.
  virtual size_t encode(std::span<int16_t> buffer, size_t start, std::span<const uint8_t> frame) const = 0;
  // Writes `count` zero samples from `start` on (as far as the buffer goes); returns the index
  // after them.
  virtual size_t silence(std::span<int16_t> buffer, size_t start, size_t count) const = 0;
};

}  // namespace nvx::reader::f0008
