#include "reader/f0008/SwipCard_Lib_x/Audio/CSquareEncode.h"

#include <algorithm>

namespace nvx::reader::f0008 {

namespace {

constexpr int16_t kEdge = 20000;
constexpr int16_t kFull = 32767;

constexpr CSquareEncode::Cell oneCell(int sign) {
  CSquareEncode::Cell c{};
  const int16_t edge = static_cast<int16_t>(sign * kEdge);
  const int16_t full = static_cast<int16_t>(sign * kFull);
  c[0] = edge;
  for (size_t i = 1; i <= 7; ++i) c[i] = full;
  c[8] = edge;
  c[9] = static_cast<int16_t>(-edge);
  for (size_t i = 10; i <= 16; ++i) c[i] = static_cast<int16_t>(-full);
  c[17] = static_cast<int16_t>(-edge);
  return c;
}

constexpr CSquareEncode::Cell zeroCell(int sign) {
  CSquareEncode::Cell c{};
  c.fill(static_cast<int16_t>(sign * kFull));
  c[0] = static_cast<int16_t>(sign * kEdge);
  c[17] = static_cast<int16_t>(sign * kEdge);
  return c;
}

}  // namespace

const CSquareEncode::Cell CSquareEncode::kTableA = oneCell(+1);
const CSquareEncode::Cell CSquareEncode::kTableB = oneCell(-1);
const CSquareEncode::Cell CSquareEncode::kTableC = zeroCell(+1);
const CSquareEncode::Cell CSquareEncode::kTableD = zeroCell(-1);

size_t CSquareEncode::sampleCount(size_t length) const {
  return length * 8 * kCellSamples + (kLeadCells + kTrailCells) * kCellSamples;
}

size_t CSquareEncode::encode(std::span<int16_t> buffer, size_t start, std::span<const uint8_t> frame) const {
  if (buffer.empty() || start > buffer.size() || buffer.size() - start < sampleCount(frame.size())) return start;
  size_t at = start;
  // Every cell starts against the polarity of the sample before it (none counts as low).
  auto put = [&](bool one) {
    const bool high = at > 0 && buffer[at - 1] > 0;
    const Cell& cell = one ? (high ? kTableB : kTableA) : (high ? kTableD : kTableC);
    std::copy(cell.begin(), cell.end(), buffer.begin() + static_cast<std::ptrdiff_t>(at));
    at += kCellSamples;
  };
  for (size_t i = 0; i < kLeadCells; ++i) put(false);
  for (uint8_t byte : frame) {
    for (int bit = 0; bit < 8; ++bit) put((byte >> bit) & 1);
  }
  for (size_t i = 0; i < kTrailCells; ++i) put(false);
  return at;
}

size_t CSquareEncode::silence(std::span<int16_t> buffer, size_t start, size_t count) const {
  if (start >= buffer.size()) return start;
  const size_t n = std::min(count, buffer.size() - start);
  std::fill_n(buffer.begin() + static_cast<std::ptrdiff_t>(start), n, int16_t{0});
  return start + n;
}

}  // namespace nvx::reader::f0008
