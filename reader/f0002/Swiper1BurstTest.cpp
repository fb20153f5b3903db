#include "reader/f0002/Swiper1Burst.h"

#include <gtest/gtest.h>

#include <numeric>

namespace nvx::reader {
namespace {

constexpr uint32_t kRate = 176400;

TEST(Swiper1BurstTest, DurationsAreWholeFramesRoundedDown) {
  EXPECT_EQ(Swiper1Burst::frames(2000, kRate), 352u);
  EXPECT_EQ(Swiper1Burst::frames(250, kRate), 44u);
  EXPECT_EQ(Swiper1Burst::frames(700, kRate), 123u);
  EXPECT_EQ(Swiper1Burst::frames(500, kRate), 88u);
  EXPECT_EQ(Swiper1Burst::frames(2000, 44100), 88u);
}

TEST(Swiper1BurstTest, ABurstHasItsMarksThenNineHalfCyclesPerByte) {
  const uint8_t byte = 0xA5;  // 1010 0101: four 1s, so the parity half-cycle is a 1
  auto hc = Swiper1Burst::halfCycles(std::span(&byte, 1), 20, kRate);
  std::vector<uint32_t> expected;
  expected.insert(expected.end(), 4, 352);
  expected.insert(expected.end(), 16, 44);
  expected.push_back(123);
  expected.push_back(352);
  expected.insert(expected.end(), 7, 30);
  expected.push_back(50);
  for (uint32_t h : {20, 30, 20, 30, 30, 20, 30, 20, 20}) expected.push_back(h);
  expected.insert(expected.end(), 2, 352);
  EXPECT_EQ(hc, expected);

  auto probe = Swiper1Burst::halfCycles(std::vector<uint8_t>{0xFF, 0x00, 0xAA, 0x55}, 20, kRate,
                                        Swiper1Burst::kProbePreamble);
  EXPECT_EQ(std::count(probe.begin(), probe.end(), 44u), 6);
  EXPECT_EQ(probe.size(), 4u + 6 + 2 + 8 + 4 * 9 + 2);

  // An odd S: a 0 is S + S/2.
  auto odd = Swiper1Burst::halfCycles(std::vector<uint8_t>{0x00}, 9, kRate);
  EXPECT_EQ(odd[4 + 16 + 2], 13u);
}

TEST(Swiper1BurstTest, EveryByteCarriesAnOddCountOfOnes) {
  for (int value = 0; value < 256; ++value) {
    const uint8_t byte = static_cast<uint8_t>(value);
    auto hc = Swiper1Burst::halfCycles(std::span(&byte, 1), 16, kRate);
    auto bits = std::span(hc).subspan(4 + 16 + 2 + 8, 9);
    int ones = static_cast<int>(std::count(bits.begin(), bits.end(), 16u));
    EXPECT_EQ(ones % 2, 1) << value;
    uint8_t back = 0;
    for (size_t i = 0; i < 8; ++i) back = static_cast<uint8_t>((back << 1) | (bits[i] == 16u));
    EXPECT_EQ(back, byte);
  }
}

TEST(Swiper1BurstTest, TheWakeToneIsTwoTimesWHalfCyclesBetweenGuards) {
  auto hc = Swiper1Burst::wakeTone(200, kRate);
  ASSERT_EQ(hc.size(), 2u + 400 + 4);
  EXPECT_EQ(std::count(hc.begin(), hc.end(), 88u), 400);
  EXPECT_EQ(hc.front(), 352u);
  EXPECT_EQ(hc.back(), 352u);
}

TEST(Swiper1BurstTest, RendersAlternatingLevelsTwoValuesPerFrame) {
  std::vector<uint32_t> hc{3, 1, 2};
  std::vector<int16_t> out(20, 7);
  auto written = Swiper1Burst::render(hc, out);
  ASSERT_TRUE(written);
  EXPECT_EQ(*written, 12u);
  const int16_t A = Swiper1Burst::kAmplitude;
  std::vector<int16_t> expected{A, A, A, A, A, A, -A, -A, A, A, A, A, 7, 7, 7, 7, 7, 7, 7, 7};
  EXPECT_EQ(out, expected);
}

TEST(Swiper1BurstTest, ABurstThatDoesNotFitIsRefusedBeforeAnythingIsWritten) {
  std::vector<int16_t> out(11, 7);
  EXPECT_FALSE(Swiper1Burst::render(std::vector<uint32_t>{3, 1, 2}, out));
  EXPECT_EQ(out, std::vector<int16_t>(11, 7));

  // The largest burst at the slowest half-bit does not fit the modem's buffer of 1,920,000 values.
  std::vector<uint8_t> bytes(Swiper1Burst::kMaxBytes, 0x00);
  auto slow = Swiper1Burst::halfCycles(bytes, 255, kRate);
  EXPECT_GT(Swiper1Burst::totalFrames(slow) * 2, 1920000u);
  auto fast = Swiper1Burst::halfCycles(bytes, 20, kRate);
  EXPECT_LT(Swiper1Burst::totalFrames(fast) * 2, 1920000u);

  EXPECT_TRUE(Swiper1Burst::halfCycles(std::vector<uint8_t>(Swiper1Burst::kMaxBytes + 1, 0), 20, kRate).empty());
  EXPECT_TRUE(Swiper1Burst::halfCycles(std::vector<uint8_t>{1}, 0, kRate).empty());
}

}  // namespace
}  // namespace nvx::reader
