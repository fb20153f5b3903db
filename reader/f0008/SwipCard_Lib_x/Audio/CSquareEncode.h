// Command frames as a biphase square signal for the left channel: 18 samples a cell (2,450 cells
// per second), each cell starting with a change of polarity, a one changing again in its middle.
// A frame is 100 zero cells, its bytes least significant bit first, and 20 zero cells. The
// power tone of the right channel is table A repeated.
#pragma once
#include <array>

#include "reader/f0008/SwipCard_Lib_x/Audio/CEncode.h"

namespace nvx::reader::f0008 {

class CSquareEncode final : public CEncode {
 public:
  static constexpr size_t kCellSamples = 18;
  static constexpr size_t kLeadCells = 100;
  static constexpr size_t kTrailCells = 20;
  using Cell = std::array<int16_t, kCellSamples>;

  // A one rising first, a one falling first, a zero high, a zero low.
  static const Cell kTableA;
  static const Cell kTableB;
  static const Cell kTableC;
  static const Cell kTableD;

  size_t sampleCount(size_t length) const override;
  size_t encode(std::span<int16_t> buffer, size_t start, std::span<const uint8_t> frame) const override;
  size_t silence(std::span<int16_t> buffer, size_t start, size_t count) const override;
};

}  // namespace nvx::reader::f0008
