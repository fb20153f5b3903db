#include "reader/f0008/SwipCard_Lib_x/Audio/CSquareEncode.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace nvx::reader::f0008 {
namespace {

using Cell = CSquareEncode::Cell;
constexpr size_t kCell = CSquareEncode::kCellSamples;
const std::vector<uint8_t> kKsnCommand{0x8D, 0x00, 0x02, 0x21, 0x00, 0xAE};

// Which table a cell of the output is, if any.
std::optional<char> tableAt(const std::vector<int16_t>& s, size_t at) {
  const std::pair<char, const Cell*> tables[] = {{'A', &CSquareEncode::kTableA}, {'B', &CSquareEncode::kTableB},
                                                 {'C', &CSquareEncode::kTableC}, {'D', &CSquareEncode::kTableD}};
  for (auto [name, cell] : tables) {
    if (std::equal(cell->begin(), cell->end(), s.begin() + static_cast<std::ptrdiff_t>(at))) return name;
  }
  return std::nullopt;
}

TEST(CSquareEncodeTest, ASixByteCommandTakesExactly3024Samples) {
  CSquareEncode encoder;
  EXPECT_EQ(encoder.sampleCount(6), 3024u);
  EXPECT_EQ(encoder.sampleCount(0), 2160u);
  std::vector<int16_t> out(3024 + 10, 7);
  EXPECT_EQ(encoder.encode(out, 10, kKsnCommand), 3034u);
  EXPECT_EQ(out[9], 7) << "nothing before the start index is written";
}

TEST(CSquareEncodeTest, NoBufferOrOneTooSmallIsLeftAloneAndTheStartComesBack) {
  CSquareEncode encoder;
  EXPECT_EQ(encoder.encode({}, 15000, kKsnCommand), 15000u);
  std::vector<int16_t> small(3023, 7);
  EXPECT_EQ(encoder.encode(small, 0, kKsnCommand), 0u);
  EXPECT_EQ(small, std::vector<int16_t>(3023, 7));
  std::vector<int16_t> exact(3024, 7);
  EXPECT_EQ(encoder.encode(exact, 1, kKsnCommand), 1u) << "a start that leaves too little room";
}

TEST(CSquareEncodeTest, TheFirstCellGoesAgainstTheSampleBeforeIt) {
  struct Case {
    const char* name;
    std::optional<int16_t> before;
    char first;
  };
  const Case cases[] = {
      {"nothing before", std::nullopt, 'C'},
      {"silence", int16_t{0}, 'C'},
      {"a negative sample", int16_t{-5}, 'C'},
      {"a positive sample", int16_t{1}, 'D'},
  };
  CSquareEncode encoder;
  for (const Case& c : cases) {
    std::vector<int16_t> out(1 + 3024, 0);
    size_t start = 0;
    if (c.before) {
      out[0] = *c.before;
      start = 1;
    }
    ASSERT_EQ(encoder.encode(out, start, kKsnCommand), start + 3024) << c.name;
    EXPECT_EQ(tableAt(out, start), c.first) << c.name;
  }
}

// Every cell is one of the tables, starts against the sample before it, and the cells read back
// as 100 zeros, the frame's bits least significant first, and 20 zeros.
TEST(CSquareEncodeTest, CellsCarryTheFrameLeastSignificantBitFirstBetweenZeroCells) {
  const std::vector<std::vector<uint8_t>> frames = {
      kKsnCommand, {0x8D, 0x00, 0x02, 0x22, 0x00, 0xAD}, {0xFF, 0x00, 0x01, 0x80}, {}};
  CSquareEncode encoder;
  for (const auto& frame : frames) {
    std::vector<int16_t> out(encoder.sampleCount(frame.size()));
    ASSERT_EQ(encoder.encode(out, 0, frame), out.size());
    std::vector<int> bits;
    for (size_t at = 0; at < out.size(); at += kCell) {
      auto table = tableAt(out, at);
      ASSERT_TRUE(table) << "cell at " << at;
      const int16_t before = at == 0 ? 0 : out[at - 1];
      EXPECT_TRUE((before > 0) == (out[at] < 0)) << "no change of polarity at " << at;
      bits.push_back(*table == 'A' || *table == 'B' ? 1 : 0);
    }
    std::vector<int> expected(100, 0);
    for (uint8_t b : frame)
      for (int i = 0; i < 8; ++i) expected.push_back((b >> i) & 1);
    expected.insert(expected.end(), 20, 0);
    EXPECT_EQ(bits, expected);
  }
}

TEST(CSquareEncodeTest, SilenceIsZerosUpToTheEndOfTheBuffer) {
  CSquareEncode encoder;
  std::vector<int16_t> out(10, 7);
  EXPECT_EQ(encoder.silence(out, 2, 5), 7u);
  EXPECT_EQ(out, (std::vector<int16_t>{7, 7, 0, 0, 0, 0, 0, 7, 7, 7}));
  EXPECT_EQ(encoder.silence(out, 8, 5), 10u);
  EXPECT_EQ(out[9], 0);
  EXPECT_EQ(encoder.silence(out, 12, 3), 12u);
}

}  // namespace
}  // namespace nvx::reader::f0008
