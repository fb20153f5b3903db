#include "reader/f0003/NLFrame.h"

#include <gtest/gtest.h>

#include <string_view>

#include "reader/f0003/NLModulator.h"

namespace nvx::reader {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

TEST(NLFrameTest, CheckByteIsCrc8Maxim) {
  struct Case {
    Bytes bytes;
    uint8_t crc;
  } cases[] = {
      {bytesOf("123456789"), 0xA1},  // the published check value
      {{}, 0x00},
      {{0x00, 0x02, 0x3D, 0x00}, 0xEB},
      {{0x01}, 0x5E},
      {{0xFF}, 0x35},
  };
  for (const auto& c : cases) EXPECT_EQ(NLFrame::crc8(c.bytes), c.crc) << ::testing::PrintToString(c.bytes);
}

TEST(NLFrameTest, TheStartCommandsFrameAndTheFramesOfOtherCommands) {
  EXPECT_EQ(NLFrame::build(NLFrame::kStartCommand), (Bytes{0xA5, 0x00, 0x02, 0x3D, 0x00, 0xEB, 0x5A}));
  // A ready frame passes as it stands; a shorter one or one without the start byte is framed.
  const Bytes ready{0xA5, 0x00, 0x01, 0x77, 0x12, 0x5A};
  EXPECT_EQ(NLFrame::frameOfCommand(ready), ready);
  EXPECT_EQ(NLFrame::frameOfCommand(Bytes{0xA5, 0x01}).size(), 7u);
  const Bytes long300(300, 0x11);
  const Bytes framed = NLFrame::build(long300);
  EXPECT_EQ(framed[1], 0x01);
  EXPECT_EQ(framed[2], 0x2C);
  EXPECT_EQ(framed.size(), 305u);
}

TEST(NLFrameTest, CodeBytesCarryEveryNibbleAsBitPairsAndNeverLookLikeTheSync) {
  EXPECT_EQ(NLModulator::codeOfNibble(0b1010), 0x99);
  for (uint8_t nibble = 0; nibble < 16; ++nibble) {
    const uint8_t code = NLModulator::codeOfNibble(nibble);
    EXPECT_NE(code, NLModulator::kSync);
    uint8_t back = 0;
    for (int pair = 3; pair >= 0; --pair) {
      const int bits = (code >> (2 * pair)) & 3;
      ASSERT_TRUE(bits == 0b10 || bits == 0b01) << int(nibble);
      back = static_cast<uint8_t>((back << 1) | (bits == 0b10));
    }
    EXPECT_EQ(back, nibble);
  }
  const Bytes code = NLModulator::codeBytes(NLFrame::build(NLFrame::kStartCommand));
  ASSERT_EQ(code.size(), 17u);
  EXPECT_EQ(Bytes(code.begin(), code.begin() + 3), (Bytes{0xBD, 0xBD, 0xBD}));
  // A5: nibbles 1010 and 0101.
  EXPECT_EQ(code[3], 0x99);
  EXPECT_EQ(code[4], 0x66);
}

}  // namespace
}  // namespace nvx::reader
