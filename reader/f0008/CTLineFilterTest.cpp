#include "reader/f0008/CTLineFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "reader/f0008/SwipCard_Lib_x/Audio/CDecode.h"
#include "reader/f0008/SwipCard_Lib_x/Audio/CSetting.h"
#include "standin/LineNoise.h"
#include "standin/SimulatedReader0008.h"

namespace nvx::reader::f0008 {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr size_t kBlock = 1024;

// A card-sized reply at `amplitude` of full scale, a short quiet lead and tail, seeded hiss snrDb
// under it and a DC offset, as 16-bit samples.
std::vector<int16_t> line(const Bytes& frame, double amplitude, double snrDb, double dc, uint64_t seed) {
  std::vector<float> x(300, 0.0f);
  standin::SimulatedReader0008::render(standin::SimulatedReader0008::replyIntervals(frame), 44100.0, amplitude, 0.0,
                                       false, x);
  x.resize(x.size() + 441, 0.0f);
  standin::LineNoise noise(seed);
  const double rms = amplitude / std::pow(10.0, snrDb / 20);
  std::vector<int16_t> out;
  for (float v : x) {
    const double s = (v + rms * noise.gaussian() + dc) * 32768.0;
    out.push_back(static_cast<int16_t>(std::lround(std::clamp(s, -32768.0, 32767.0))));
  }
  return out;
}

// Through the line filter and the demodulator block by block, as the decode thread does: the first
// frame it makes.
Bytes heard(std::vector<int16_t> samples) {
  ZE1601IOSetting setting;
  CDecode* decode = setting.getDecode();
  decode->reset(setting);
  CTLineFilter filter;
  DecodeRecord record;
  for (size_t at = 0; at < samples.size(); at += kBlock) {
    const size_t n = std::min(kBlock, samples.size() - at);
    filter.apply(std::span<int16_t>(samples.data() + at, n));
    record.setSamples(samples.data() + at, n);
    const int32_t status = decode->decode(record);
    if (status == kDecodeFrame) return Bytes(record.bytes.begin(), record.bytes.begin() + record.byteCount);
    if (status == kDecodeNoBytes) {
      decode->reset(setting);
      record.clear();
    }
  }
  return {};
}

// The demodulator's dead band is fixed at +-3,000. A reply driven near full scale carries hiss
// that, even filtered, stays outside it, so the frame never ends; a weak reply with a DC offset
// sits off-centre in it, and one only just beyond it must keep its whole swing.
TEST(CTLineFilterTest, RepliesLoudOrWeakAreHeardThroughHissTenDecibelsDown) {
  Bytes data(120);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 37 + 11);
  const Bytes frame = standin::SimulatedReader0008::frame(0x23, data);
  struct Case {
    const char* name;
    double amplitude;
    double snrDb;
    double dc;
  };
  for (const Case& c : {Case{"near full scale, 10 dB", 0.95, 10, 0}, Case{"near full scale, 20 dB", 0.95, 20, 0},
                        Case{"weak with an offset, 20 dB", 0.2, 20, 0.05}, Case{"just beyond the dead band, 20 dB", 0.125, 20, 0}, Case{"quiet line, 30 dB", 0.37, 30, 0}}) {
    int good = 0;
    for (uint64_t seed = 1; seed <= 20; ++seed) {
      const Bytes got = heard(line(frame, c.amplitude, c.snrDb, c.dc, seed));
      good += got.size() >= frame.size() && std::equal(frame.begin(), frame.end(), got.begin());
    }
    EXPECT_GE(good, 19) << c.name;
  }
}

TEST(CTLineFilterTest, NoiseAloneStaysAsQuietAsItCame) {
  // The keeper only attenuates: hiss below the dead band is never lifted into it.
  std::vector<int16_t> hiss(44100);
  standin::LineNoise noise(3);
  for (auto& s : hiss) s = static_cast<int16_t>(std::lround(800 * noise.gaussian()));
  CTLineFilter filter;
  filter.apply(hiss);
  EXPECT_LT(*std::max_element(hiss.begin(), hiss.end()), 3000);
  EXPECT_GT(*std::min_element(hiss.begin(), hiss.end()), -3000);
}

}  // namespace
}  // namespace nvx::reader::f0008
