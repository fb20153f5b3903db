#include "reader/f0002/Swiper1Frame.h"

namespace nvx::reader {

uint8_t Swiper1Frame::check(std::span<const uint8_t> bytes) {
  uint8_t x = 0;
  for (uint8_t b : bytes) x ^= b;
  return x;
}

std::vector<uint8_t> Swiper1Frame::wrap(std::span<const uint8_t> payload) {
  if (payload.empty() || payload.size() > kMaxPayload) return {};
  std::vector<uint8_t> frame;
  frame.reserve(payload.size() + kOverhead);
  frame.push_back(kStart);
  frame.push_back(static_cast<uint8_t>(payload.size() >> 8));
  frame.push_back(static_cast<uint8_t>(payload.size() & 0xFF));
  frame.insert(frame.end(), payload.begin(), payload.end());
  frame.push_back(check(frame));
  return frame;
}

std::optional<std::span<const uint8_t>> Swiper1Frame::payload(std::span<const uint8_t> frame) {
  if (frame.size() < kOverhead || frame[0] != kStart) return std::nullopt;
  size_t length = (static_cast<size_t>(frame[1]) << 8) | frame[2];
  // A frame without payload is no reply (the caller would read it as nothing heard in time).
  if (length == 0 || frame.size() != length + kOverhead) return std::nullopt;
  if (check(frame.first(frame.size() - 1)) != frame.back()) return std::nullopt;
  return frame.subspan(3, length);
}

}  // namespace nvx::reader
