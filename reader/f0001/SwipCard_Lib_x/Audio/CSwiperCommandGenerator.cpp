#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperCommandGenerator.h"

#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_FskController.h"

namespace nvx::reader {

namespace {

constexpr int16_t kHigh = 32767;
constexpr int16_t kLow = -32768;

// The frame at which a bit that starts at frame f ends: the bit grid is k * 22.05 frames, and
// a bit runs to the end of the grid cell that f falls into (integers: 22.05 = 441 / 20).
int bitEnd(int f) {
  const int k = (f * CSwiperCommandGenerator::kBitRate + CSwiperCommandGenerator::kRate - 1) /
                CSwiperCommandGenerator::kRate;
  return (k + 1) * CSwiperCommandGenerator::kRate / CSwiperCommandGenerator::kBitRate;
}

}  // namespace

std::vector<uint8_t> CSwiperCommandGenerator::frameBytes(std::span<const uint8_t> command) {
  std::vector<uint8_t> out(kLeadingZeros, 0x00);
  out.push_back(kFrameMark);
  out.push_back(static_cast<uint8_t>(command.size() + 1));
  out.insert(out.end(), command.begin(), command.end());
  out.push_back(CSwiper_FskController::crc8(command));
  out.push_back(kFrameMark);
  return out;
}

void CSwiperCommandGenerator::GenerateTone(std::span<const uint8_t> bytes) {
  if (!bytes.empty()) {
    cmdId_ = bytes[0];
    flagHasCommand_ = true;
  }
  const std::vector<uint8_t> frame = frameBytes(bytes);
  const int bits = static_cast<int>(frame.size()) * 8;
  wav_.assign(static_cast<size_t>(2 * (bits * kRate / kBitRate)), 0);
  int at = 0;
  for (uint8_t b : frame) at = WriteByte(at, b);
}

int CSwiperCommandGenerator::WriteByte(int current, uint8_t data) {
  for (int bit = 7; bit >= 0; --bit) current = WriteBit(current, ((data >> bit) & 1) != 0);
  return current;
}

int CSwiperCommandGenerator::WriteBit(int current, bool bOne) {
  const int end = bitEnd(current);
  const int middle = current + (end - current) / 2;
  const size_t frames = wav_.size() / 2;
  for (int f = current; f < end && static_cast<size_t>(f) < frames; ++f) {
    const bool first = f < middle;
    wav_[2 * static_cast<size_t>(f)] = first ? kHigh : kLow;
    wav_[2 * static_cast<size_t>(f) + 1] = first ? (bOne ? kLow : kHigh) : (bOne ? kHigh : kLow);
  }
  return end;
}

void CSwiperCommandGenerator::Clear() {
  wav_.clear();
  wav_.shrink_to_fit();
  flagHasCommand_ = false;
  cmdId_ = 0;
}

}  // namespace nvx::reader
