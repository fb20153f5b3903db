#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperCommandGenerator.h"

#include <gtest/gtest.h>

namespace nvx::reader {
namespace {

using Bytes = std::vector<uint8_t>;

// Reads the frame back off the waveform: a bit's cell runs from floor(b * 22.05) to
// floor((b + 1) * 22.05); its right channel is low in the first half for a 1, high for a 0.
Bytes readBack(const CSwiperCommandGenerator& g, std::vector<int>* cellEnds = nullptr) {
  const auto& wav = g.wav();
  const int frames = g.wavLength() / 2;
  Bytes out;
  int byte = 0, bits = 0;
  for (int b = 0;; ++b) {
    const int start = b * 441 / 20, end = (b + 1) * 441 / 20;
    if (end > frames) break;
    if (cellEnds) cellEnds->push_back(end);
    const int quarter = start + (end - start) / 4;
    const int threeQuarters = start + 3 * (end - start) / 4;
    EXPECT_EQ(wav[2 * quarter], 32767) << "the clock is high in the first half, bit " << b;
    EXPECT_EQ(wav[2 * threeQuarters], -32768) << "and low in the second, bit " << b;
    const bool one = wav[2 * quarter + 1] == -32768;
    EXPECT_EQ(wav[2 * threeQuarters + 1], one ? 32767 : -32768) << "the data changes in the middle, bit " << b;
    byte = (byte << 1) | (one ? 1 : 0);
    if (++bits == 8) {
      out.push_back(static_cast<uint8_t>(byte));
      byte = bits = 0;
    }
  }
  return out;
}

TEST(CSwiperCommandGenerator, FramesTheCommandsTheDriverSends) {
  struct Case {
    Bytes command;
    Bytes frame;
  };
  const Case cases[] = {
      {{0x06, 0x04, 0x11, 0x00, 0x00, 0x00},
       {0, 0, 0, 0, 0, 0, 0, 0, 0x8A, 0x07, 0x06, 0x04, 0x11, 0x00, 0x00, 0x00, 0x08, 0x8A}},
      {{0x02, 0x01, 0x00}, {0, 0, 0, 0, 0, 0, 0, 0, 0x8A, 0x04, 0x02, 0x01, 0x00, 0xC3, 0x8A}},
  };
  for (const Case& c : cases) {
    CSwiperCommandGenerator g;
    g.GenerateTone(c.command);
    EXPECT_EQ(g.cmdId(), c.command[0]);
    EXPECT_TRUE(g.flagHasCommand());
    EXPECT_EQ(g.wavLength(), 2 * static_cast<int>(c.frame.size() * 8 * 441 / 20));
    EXPECT_EQ(readBack(g), c.frame);
  }
}

TEST(CSwiperCommandGenerator, TheKsnFrameHas5292SamplesAndItsBitsFollowTheGrid) {
  CSwiperCommandGenerator g;
  g.GenerateTone(Bytes{0x02, 0x01, 0x00});
  EXPECT_EQ(g.wavLength(), 5292);
  // The generator's own bit ends match the grid.
  EXPECT_EQ(g.WriteBit(0, true), 22);
  EXPECT_EQ(g.WriteBit(22, true), 44);
  EXPECT_EQ(g.WriteBit(44, true), 66);
  EXPECT_EQ(g.WriteByte(0, 0x00), 176);
}

TEST(CSwiperCommandGenerator, AnEmptyCommandKeepsTheIdAndClearForgetsIt) {
  CSwiperCommandGenerator g;
  g.GenerateTone(Bytes{0x06, 0x04, 0x11, 0x00, 0x00, 0x00});
  g.GenerateTone({});
  EXPECT_EQ(g.cmdId(), 0x06);
  EXPECT_EQ(g.wavLength(), 2 * (96 * 441 / 20));
  EXPECT_EQ(readBack(g), (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0x8A, 0x01, 0x00, 0x8A}));

  g.Clear();
  EXPECT_EQ(g.wavLength(), 0);
  EXPECT_EQ(g.cmdId(), 0);
  EXPECT_FALSE(g.flagHasCommand());
}

}  // namespace
}  // namespace nvx::reader
