#include "reader/f0008/SwipCard_Lib_x/Audio/CSoftDecode.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "reader/f0008/SwipCard_Lib_x/Audio/CSetting.h"
#include "reader/f0008/SwipCard_Lib_x/Audio/CSoftDecodeForAverage.h"

namespace nvx::reader::f0008 {
namespace {

constexpr int kLong = 12;   // a zero: two long half cycles
constexpr int kShort = 6;   // a one: four short half cycles

// The signal the base settings are made for: a carrier of long half cycles, the bytes most
// significant bit first, a short tail of carrier, then silence; levels ±amplitude around `dc`.
std::vector<int16_t> fsk(const std::vector<uint8_t>& bytes, int carrier, int dc = 0, int amplitude = 8000,
                         int longHalf = kLong) {
  std::vector<int> halves(static_cast<size_t>(carrier), longHalf);
  for (uint8_t b : bytes) {
    for (int bit = 7; bit >= 0; --bit) {
      if ((b >> bit) & 1) halves.insert(halves.end(), 4, kShort);
      else halves.insert(halves.end(), 2, longHalf);
    }
  }
  halves.insert(halves.end(), 4, longHalf);
  std::vector<int16_t> out(50, static_cast<int16_t>(dc));
  int sign = 1;
  for (int n : halves) {
    out.insert(out.end(), static_cast<size_t>(n), static_cast<int16_t>(dc + sign * amplitude));
    sign = -sign;
  }
  out.push_back(static_cast<int16_t>(dc + sign * amplitude));
  out.insert(out.end(), 80, static_cast<int16_t>(dc));
  return out;
}

struct Outcome {
  int32_t status = 0;
  std::vector<uint8_t> bytes;
};

Outcome run(CSoftDecode& decoder, const CSetting& setting, const std::vector<int16_t>& samples, size_t chunk) {
  decoder.reset(setting);
  DecodeRecord record;
  Outcome out;
  for (size_t at = 0; at < samples.size(); at += chunk) {
    record.setSamples(samples.data() + at, std::min(chunk, samples.size() - at));
    out.status = decoder.decode(record);
    if (out.status == kDecodeFrame || out.status == kDecodeNoBytes) break;
  }
  out.bytes.assign(record.bytes.begin(), record.bytes.begin() + static_cast<std::ptrdiff_t>(record.byteCount));
  return out;
}

const std::vector<uint8_t> kFrame{0x8F, 0x00, 0x02, 0x22, 0x00, 0xAF};

TEST(CSoftDecodeTest, BothLearningDecodersReadTheFrameAfterLearningTheCarrierAndItsBaseline) {
  CSetting setting;
  auto* made = dynamic_cast<CSoftDecodeForAverage*>(setting.getDecode());
  ASSERT_NE(made, nullptr) << "the base settings decode by pairs";
  CSoftDecode plain;
  struct Case {
    const char* name;
    int dc;
    size_t chunk;
  };
  const Case cases[] = {{"centred", 0, 441}, {"offset", 1500, 441}, {"offset down, sample by sample", -900, 1}};
  for (const Case& c : cases) {
    const auto samples = fsk(kFrame, 120, c.dc);
    for (CSoftDecode* decoder : {static_cast<CSoftDecode*>(made), &plain}) {
      const Outcome o = run(*decoder, setting, samples, c.chunk);
      EXPECT_EQ(o.status, kDecodeFrame) << c.name;
      EXPECT_EQ(o.bytes, kFrame) << c.name;
      EXPECT_EQ(decoder->baseline(), c.dc) << c.name;
      EXPECT_EQ(decoder->symbolLimit(), 9) << c.name << ": 12 x 1/2 x (1 + 1/2)";
    }
  }
}

TEST(CSoftDecodeTest, ACarrierTooShortOrOutsideTheValidIntervalsIsNeverLearnt) {
  CSetting setting;
  CSoftDecode plain;
  // 100 intervals are learnt from, after the first one, which is skipped.
  EXPECT_NE(run(plain, setting, fsk(kFrame, 40), 441).status, kDecodeFrame);
  EXPECT_EQ(plain.phase(), 0);
  // Half cycles of 24 samples: longer than the longest valid interval (20).
  EXPECT_NE(run(plain, setting, fsk(kFrame, 120, 0, 8000, 24), 441).status, kDecodeFrame);
  // Inside the dead band (±2000): no carrier at all.
  EXPECT_EQ(run(plain, setting, fsk(kFrame, 120, 0, 1900), 441).status, kDecodeSearching);
}

}  // namespace
}  // namespace nvx::reader::f0008
