#include "reader/f0003/NLF2FDecoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "reader/f0003/NLSignalTestSupport.h"
#include "standin/SimulatedReader0003.h"

namespace nvx::reader {
namespace {

using Samples = std::vector<int16_t>;
using standin::SimulatedReader0003;

const std::string kTrack = standin::Reader0003Card::testCard().track2();

Samples stripe(std::string_view track, bool backwards, double bitSamples, double acceleration, double amplitude,
               double noise = 0) {
  std::vector<float> x(600, 0.0f);
  SimulatedReader0003::renderStripe(track, backwards, bitSamples, acceleration, amplitude, x);
  x.resize(x.size() + 600, 0.0f);
  return testing::toRecorded(x, {.noise = noise});
}

std::string decode(const Samples& s) {
  char out[50];
  const int n = decode_f2f_track2(s.data(), s.size(), out, sizeof out);
  return n < 0 ? std::string("-1") : std::string(out, static_cast<size_t>(n));
}

TEST(NLF2FDecoderTest, ASynthesizedTrackTwoDecodesForwardsAndBackwards) {
  struct Case {
    const char* name;
    bool backwards;
    double bitSamples;
    double acceleration;
    double amplitude;
    double noise;
  } cases[] = {
      {"forwards", false, 20, 0.15, 0.5, 0},
      {"backwards", true, 20, 0.15, 0.5, 0},
      {"slow swipe", false, 40, 0.3, 0.5, 0},
      {"fast swipe", true, 10, 0.0, 0.5, 0},
      {"slowing down", false, 16, -0.25, 0.5, 0},
      {"weak head", false, 20, 0.1, 0.06, 0},
      {"noisy line", true, 20, 0.1, 0.5, 0.02},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(decode(stripe(kTrack, c.backwards, c.bitSamples, c.acceleration, c.amplitude, c.noise)), kTrack) << c.name;
  }
}

TEST(NLF2FDecoderTest, NoSwipeOrTooShortASignalGivesNothing) {
  EXPECT_EQ(decode(Samples(20000, 0)), "-1");
  // Under the strong level, or 800 samples at most between the signal's bounds.
  EXPECT_EQ(decode(stripe(kTrack, false, 20, 0, 0.012)), "-1");
  EXPECT_EQ(decode(stripe(";1?", false, 5, 0, 0.5)), "-1");
  Samples s = stripe(kTrack, false, 20, 0, 0.5);
  char small[10];
  EXPECT_EQ(decode_f2f_track2(s.data(), s.size(), small, sizeof small), -1);
  EXPECT_EQ(decode_f2f_track2(nullptr, 0, small, sizeof small), -1);
}

// The character rules on bit strings: 5 bits per character, 4 data bits least significant
// first and odd parity; the start sentinel after more than 4 zeros; the LRC after the end.
std::string bitsOf(std::string_view track, int lrcFlip = 0, int zeros = 10) {
  std::string bits = SimulatedReader0003::stripeBits(track);
  bits = bits.substr(25 - static_cast<size_t>(zeros));
  if (lrcFlip) {
    const size_t lrc = static_cast<size_t>(zeros) + 5 * track.size();
    bits[lrc] = bits[lrc] == '1' ? '0' : '1';
    bits[lrc + 4] = bits[lrc + 4] == '1' ? '0' : '1';  // parity still right
  }
  return bits;
}

TEST(NLF2FDecoderTest, TrackCharactersNeedParityTheEndSentinelAndTheLrc) {
  std::string badParity = bitsOf(kTrack);
  badParity[10 + 5 * 3 + 4] = badParity[10 + 5 * 3 + 4] == '1' ? '0' : '1';
  std::string reversed = bitsOf(kTrack);
  std::reverse(reversed.begin(), reversed.end());
  const std::string fifty = ";" + std::string(48, '1') + "?";
  const std::string fortyNine = ";" + std::string(47, '1') + "?";
  struct Case {
    const char* name;
    std::string bits;
    std::string track;
  } cases[] = {
      {"whole", bitsOf(kTrack), kTrack},
      {"reversed", reversed, kTrack},
      {"wrong LRC", bitsOf(kTrack, 1), ""},
      {"wrong parity", badParity, ""},
      {"only 4 zeros before the start", bitsOf(kTrack, 0, 4), ""},
      {"49 characters", bitsOf(fortyNine), fortyNine},
      {"50 characters", bitsOf(fifty), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(f2f::track2FromBits(c.bits), c.track) << c.name;
}

}  // namespace
}  // namespace nvx::reader
