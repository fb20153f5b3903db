#include "reader/f0002/Swiper1Burst.h"

#include <algorithm>

namespace nvx::reader {

namespace {

constexpr uint32_t kGuardMicros = 2000;
constexpr uint32_t kPreambleMicros = 250;
constexpr uint32_t kSyncMicros = 700;
constexpr uint32_t kWakeMicros = 500;
constexpr int kStartMarkHalfCycles = 8;

}  // namespace

uint32_t Swiper1Burst::frames(uint32_t micros, uint32_t rate) {
  return static_cast<uint32_t>(static_cast<uint64_t>(micros) * rate / 1000000u);
}

std::vector<uint32_t> Swiper1Burst::halfCycles(std::span<const uint8_t> bytes, uint32_t S, uint32_t rate,
                                               int preamble) {
  if (bytes.size() > kMaxBytes || S == 0) return {};
  const uint32_t one = S;
  const uint32_t zero = S + S / 2;
  std::vector<uint32_t> out;
  out.reserve(4 + static_cast<size_t>(preamble) + 2 + kStartMarkHalfCycles + bytes.size() * 9 + 2);
  out.insert(out.end(), 4, frames(kGuardMicros, rate));
  out.insert(out.end(), static_cast<size_t>(std::max(preamble, 0)), frames(kPreambleMicros, rate));
  out.push_back(frames(kSyncMicros, rate));
  out.push_back(frames(kGuardMicros, rate));
  out.insert(out.end(), kStartMarkHalfCycles - 1, zero);
  out.push_back(zero + S);
  for (uint8_t byte : bytes) {
    int ones = 0;
    for (int bit = 7; bit >= 0; --bit) {
      bool set = (byte >> bit) & 1;
      ones += set;
      out.push_back(set ? one : zero);
    }
    out.push_back(ones % 2 == 0 ? one : zero);
  }
  out.insert(out.end(), 2, frames(kGuardMicros, rate));
  return out;
}

std::vector<uint32_t> Swiper1Burst::wakeTone(uint32_t W, uint32_t rate) {
  std::vector<uint32_t> out;
  out.insert(out.end(), 2, frames(kGuardMicros, rate));
  out.insert(out.end(), static_cast<size_t>(W) * 2, frames(kWakeMicros, rate));
  out.insert(out.end(), 4, frames(kGuardMicros, rate));
  return out;
}

size_t Swiper1Burst::totalFrames(std::span<const uint32_t> halfCycles) {
  size_t total = 0;
  for (uint32_t h : halfCycles) total += h;
  return total;
}

std::optional<size_t> Swiper1Burst::render(std::span<const uint32_t> halfCycles, std::span<int16_t> out) {
  size_t values = totalFrames(halfCycles) * 2;
  if (halfCycles.empty() || values > out.size()) return std::nullopt;
  int16_t level = kAmplitude;
  size_t at = 0;
  for (uint32_t h : halfCycles) {
    std::fill_n(out.begin() + static_cast<std::ptrdiff_t>(at), static_cast<size_t>(h) * 2, level);
    at += static_cast<size_t>(h) * 2;
    level = static_cast<int16_t>(-level);
  }
  return values;
}

}  // namespace nvx::reader
