#include "reader/f0003/NLSignalCollector.h"

#include <gtest/gtest.h>

#include <cmath>

#include "reader/f0003/NLDemodulator.h"
#include "reader/f0003/NLSignalTestSupport.h"
#include "standin/SimulatedReader0003.h"

namespace nvx::reader {
namespace {

using Samples = std::vector<int16_t>;
using standin::SimulatedReader0003;
constexpr size_t kBuffer = 4000;  // 8,000 bytes of mono 16-bit samples

Samples reply(const std::vector<uint8_t>& message) { return testing::recordedReply(message, 0.5, 0, false, 0, 0); }

// Feeds the line buffer by buffer; the recordings handed over, as their decoded messages.
struct Collected {
  std::vector<size_t> recordingSizes;
  std::vector<std::vector<uint8_t>> messages;
};
Collected feed(NLSignalCollector& collector, const Samples& line) {
  Collected run;
  for (size_t at = 0; at + kBuffer <= line.size(); at += kBuffer) {
    if (!collector.feed(std::span<const int16_t>(line).subspan(at, kBuffer))) continue;
    run.recordingSizes.push_back(collector.recording().size());
    for (auto& m : NLDemodulator::demodulate(collector.recording())) run.messages.push_back(m);
    collector.reset();
  }
  return run;
}

TEST(NLSignalCollectorTest, AReplyAcrossBuffersIsRecordedWithTheBufferBeforeItAsLeadIn) {
  const auto card = SimulatedReader0003::cardMessage(standin::Reader0003Card::testCard(), std::vector<uint8_t>(8, 1),
                                                     std::vector<uint8_t>(8, 2), false);
  const Samples signal = reply(card);
  ASSERT_GT(signal.size(), kBuffer);
  // The signal starts 40 samples before the end of the third buffer: too few half-waves there to
  // start collecting, so the fourth starts it and the third is the lead-in that holds the sync.
  Samples line(3 * kBuffer - 40, 0);
  line.insert(line.end(), signal.begin(), signal.end());
  line.resize(8 * kBuffer, 0);
  NLSignalCollector collector(NLSignalCollector::Mode::Framed);
  Collected run = feed(collector, line);
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(run.messages[0], card);
  EXPECT_EQ(run.recordingSizes, std::vector<size_t>{3 * kBuffer});
  EXPECT_FALSE(collector.collecting());
}

TEST(NLSignalCollectorTest, ARecordingThatWouldOverflowTheStoreIsHandedOverAsItStands) {
  // A signal that never ends: thirteen buffers would pass 49,999 samples.
  Samples line;
  while (line.size() < 14 * kBuffer) {
    for (int16_t v : {16000, 16000, 16000, 16000, 16000, -16000, -16000, -16000, -16000, -16000}) line.push_back(v);
  }
  NLSignalCollector collector(NLSignalCollector::Mode::Framed);
  Collected run = feed(collector, line);
  ASSERT_FALSE(run.recordingSizes.empty());
  EXPECT_EQ(run.recordingSizes[0], 12 * kBuffer);
}

TEST(NLSignalCollectorTest, ARawSwipeStartsAndEndsByItsStrongZeroCrossings) {
  auto square = [](size_t halfWaves, int16_t level) {
    Samples out;
    for (size_t i = 0; i < halfWaves; ++i) out.insert(out.end(), 20, static_cast<int16_t>(i % 2 ? -level : level));
    out.resize(kBuffer, 0);
    return out;
  };
  EXPECT_EQ(NLSignalCollector::crossings(square(22, 900), 800), 21u);
  EXPECT_EQ(NLSignalCollector::crossings(square(22, 800), 800), 0u);

  NLSignalCollector collector(NLSignalCollector::Mode::Raw);
  EXPECT_FALSE(collector.feed(square(21, 1100)));  // 20 crossings: not yet
  EXPECT_FALSE(collector.collecting());
  EXPECT_FALSE(collector.feed(square(22, 1100)));
  EXPECT_TRUE(collector.collecting());
  EXPECT_FALSE(collector.feed(square(7, 1100)));  // 6 strong crossings: it goes on
  EXPECT_TRUE(collector.feed(square(6, 1100)));   // 5: the swipe is over
  EXPECT_EQ(collector.recording().size(), 4 * kBuffer);

  // A start whose half-waves stay under the end level is over at once.
  collector.reset();
  EXPECT_TRUE(collector.feed(square(22, 900)));
}

}  // namespace
}  // namespace nvx::reader
