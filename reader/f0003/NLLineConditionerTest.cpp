#include "reader/f0003/NLLineConditioner.h"

#include <gtest/gtest.h>

#include <cmath>

#include "reader/f0003/NLDemodulator.h"
#include "reader/f0003/NLSignalTestSupport.h"
#include "standin/SimulatedReader0003.h"

namespace nvx::reader {
namespace {

using Samples = std::vector<int16_t>;
using standin::SimulatedReader0003;

// A card message: long enough that noise has its chances.
const std::vector<uint8_t> kReply = SimulatedReader0003::cardMessage(
    standin::Reader0003Card::testCard(), std::vector<uint8_t>(8, 0x31), std::vector<uint8_t>(8, 0x42), false);

// The reply as recorded: offset, 50 Hz hum and white noise on the line.
Samples recorded(double gain, double dc, double hum, double noise, uint32_t seed) {
  return testing::recordedReply(kReply, gain, 0, false, 2000, 2000, {dc, hum, noise, seed});
}

bool decodes(const Samples& s) {
  auto got = NLDemodulator::demodulate(s);
  return got.size() == 1 && got[0] == kReply;
}

Samples conditioned(Samples s) {
  NLLineConditioner c;
  // In two buffers: the state carries over.
  c.process(std::span<int16_t>(s).first(s.size() / 2));
  c.process(std::span<int16_t>(s).subspan(s.size() / 2));
  return s;
}

TEST(NLLineConditionerTest, AnOffsetOrHumThatSinksOnePolaritysPeaksIsTakenOut) {
  struct Case {
    const char* name;
    double dc;
    double hum;
  } cases[] = {{"offset", 0.05, 0}, {"hum", 0, 0.06}, {"both", -0.03, 0.04}};
  for (const auto& c : cases) {
    const Samples s = recorded(0.2, c.dc, c.hum, 0, 1);
    EXPECT_FALSE(decodes(s)) << c.name << ": the line as it is";
    EXPECT_TRUE(decodes(conditioned(s))) << c.name;
  }
  EXPECT_TRUE(decodes(conditioned(recorded(0.5, 0, 0, 0, 1)))) << "a clean line stays readable";
}

TEST(NLLineConditionerTest, NoiseNearTheZeroCrossingsNoLongerSplitsHalfWaves) {
  int raw = 0, clean = 0;
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    const Samples s = recorded(0.5, 0, 0, 0.5 / std::pow(10.0, 10.0 / 20), seed);  // 10 dB
    raw += decodes(s);
    clean += decodes(conditioned(s));
  }
  EXPECT_LE(raw, 6) << clean;
  EXPECT_GE(clean, 19) << raw;
}

}  // namespace
}  // namespace nvx::reader
