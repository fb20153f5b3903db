#include "reader/f0008/SwipCard_Lib_x/Audio/CZE1601IODecode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/media/AudioFormat.h"
#include "reader/f0008/SwipCard_Lib_x/Audio/CSetting.h"
#include "reader/f0008/SwipCard_Lib_x/Audio/CSoftDecode.h"
#include "standin/SimulatedReader0008.h"

namespace nvx::reader::f0008 {
namespace {

constexpr int16_t kLevel = 12000;

// Levels alternating from +kLevel, each held for its interval; one sample of the next level
// closes the last interval; then `tail` samples of silence.
std::vector<int16_t> levels(const std::vector<int>& intervals, size_t tail = 40) {
  std::vector<int16_t> out;
  int16_t level = kLevel;
  for (int n : intervals) {
    out.insert(out.end(), static_cast<size_t>(n), level);
    level = static_cast<int16_t>(-level);
  }
  out.push_back(level);
  out.insert(out.end(), tail, 0);
  return out;
}

std::vector<int16_t> reply(const std::vector<uint8_t>& frame, int leadIn = standin::SimulatedReader0008::kLeadInSymbols,
                           double amplitude = kLevel / 32768.0, bool invert = false) {
  std::vector<float> line(100, 0.0f);
  standin::SimulatedReader0008::render(standin::SimulatedReader0008::replyIntervals(frame, leadIn), 44100.0,
                                       amplitude, 0.0, invert, line);
  line.resize(line.size() + 60, 0.0f);
  std::vector<int16_t> out;
  for (float x : line) out.push_back(platform::media::floatToS16(x));
  return out;
}

struct Decoded {
  int32_t status = 0;
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> symbols;
};

// Feeds the samples `chunk` at a time, as recorded blocks, until a frame is complete.
Decoded decodeAll(const std::vector<int16_t>& samples, size_t chunk = 441) {
  ZE1601IOSetting setting;
  CDecode* decoder = setting.getDecode();
  decoder->reset(setting);
  DecodeRecord record;
  Decoded out;
  for (size_t at = 0; at < samples.size(); at += chunk) {
    record.setSamples(samples.data() + at, std::min(chunk, samples.size() - at));
    out.status = decoder->decode(record);
    if (out.status == kDecodeFrame) {
      out.bytes.assign(record.bytes.begin(), record.bytes.begin() + static_cast<std::ptrdiff_t>(record.byteCount));
      out.symbols.assign(record.symbols.begin(),
                         record.symbols.begin() + static_cast<std::ptrdiff_t>(record.symbolCount));
      break;
    }
  }
  return out;
}

const std::vector<uint8_t> kKsnReply{0x8F, 0x00, 0x09, 0x21, 0x88, 0x80, 0x20, 0x13, 0x06, 0x01, 0x00, 0x08, 0x93};

TEST(CZE1601IODecodeTest, TheReadersReplyComesBackWhateverTheBlocksItArrivesIn) {
  ASSERT_EQ(kKsnReply.back(), [] {
    uint8_t x = 0;
    for (size_t i = 0; i + 1 < kKsnReply.size(); ++i) x ^= kKsnReply[i];
    return x;
  }());
  const auto samples = reply(kKsnReply);
  for (size_t chunk : {size_t{1}, size_t{7}, size_t{441}, samples.size()}) {
    const Decoded d = decodeAll(samples, chunk);
    EXPECT_EQ(d.status, kDecodeFrame) << chunk;
    // The closing half cell adds a symbol that makes no whole byte.
    EXPECT_EQ(d.bytes, kKsnReply) << chunk;
  }
  EXPECT_EQ(decodeAll(reply(kKsnReply, 24, kLevel / 32768.0, true)).bytes, kKsnReply) << "inverted";
}

// Intervals after a run of zeros: the length that drops the frame, and where a 1 turns into a 0.
TEST(CZE1601IODecodeTest, IntervalsOfFiveSamplesOrFewerDropTheFrameSixToThirteenAreOnesFourteenAZero) {
  struct Case {
    int interval;
    int symbol;  // -1: the frame is dropped
  };
  const Case cases[] = {{4, -1}, {5, -1}, {6, 1}, {9, 1}, {13, 1}, {14, 0}, {18, 0}, {40, 0}};
  for (const Case& c : cases) {
    std::vector<int> intervals(45, 18);
    intervals.push_back(c.interval);
    const Decoded d = decodeAll(levels(intervals));
    if (c.symbol < 0) {
      EXPECT_NE(d.status, kDecodeFrame) << c.interval;
      continue;
    }
    ASSERT_EQ(d.status, kDecodeFrame) << c.interval;
    ASSERT_EQ(d.symbols.size(), 46u) << c.interval;
    EXPECT_EQ(d.symbols.back(), c.symbol) << c.interval;
    EXPECT_EQ(std::count(d.symbols.begin(), d.symbols.end() - 1, 0), 45) << c.interval;
  }
}

TEST(CZE1601IODecodeTest, ThirtySamplesInTheBandEndAFrameAndFewerThanFortySymbolsAreDropped) {
  struct Case {
    const char* name;
    size_t symbols;
    int16_t quiet;      // the level of the silence after the frame
    bool frame;
  };
  const Case cases[] = {
      {"39 symbols", 39, 0, false},
      {"40 symbols", 40, 0, true},
      {"silence at the edge of the band", 40, 3000, true},
      {"just outside the band: no end", 40, 3001, false},
  };
  for (const Case& c : cases) {
    auto samples = levels(std::vector<int>(c.symbols, 18), 0);
    samples.insert(samples.end(), 30, c.quiet);
    const Decoded d = decodeAll(samples, 30);
    EXPECT_EQ(d.status == kDecodeFrame, c.frame) << c.name;
    if (c.frame) {
      EXPECT_EQ(d.symbols.size(), c.symbols) << c.name;
    }
  }
  // 29 quiet samples inside a level do not end the frame: the interval only grows.
  auto gap = levels(std::vector<int>(20, 18), 0);
  gap.insert(gap.end(), 29, 0);
  const auto more = levels(std::vector<int>(30, 18));
  gap.insert(gap.end(), more.begin(), more.end());
  const Decoded d = decodeAll(gap);
  ASSERT_EQ(d.status, kDecodeFrame);
  EXPECT_EQ(d.symbols.size(), 50u);
}

TEST(CZE1601IODecodeTest, AFirstOneAmongTheTwentyLeadInSymbolsIsLost) {
  EXPECT_EQ(decodeAll(reply(kKsnReply, 20)).bytes, kKsnReply);
  const Decoded shortLead = decodeAll(reply(kKsnReply, 19));
  ASSERT_EQ(shortLead.status, kDecodeFrame);
  ASSERT_FALSE(shortLead.bytes.empty());
  EXPECT_NE(shortLead.bytes.front(), 0x8F);
}

TEST(CZE1601IODecodeTest, ASignalInsideTheBandIsNoCarrier) {
  std::vector<int16_t> quiet;
  for (int i = 0; i < 5000; ++i) quiet.push_back(static_cast<int16_t>((i % 2 ? 1 : -1) * 3000));
  const Decoded d = decodeAll(quiet);
  EXPECT_EQ(d.status, kDecodeSearching);
}

TEST(CZE1601IODecodeTest, EachSettingsMakeTheirOwnDecoder) {
  CSetting base;
  ZE1601IOSetting reader;
  EXPECT_NE(dynamic_cast<CSoftDecode*>(base.getDecode()), nullptr);
  EXPECT_EQ(dynamic_cast<CZE1601IODecode*>(base.getDecode()), nullptr);
  EXPECT_NE(dynamic_cast<CZE1601IODecode*>(reader.getDecode()), nullptr);
}

}  // namespace
}  // namespace nvx::reader::f0008
