#include "reader/f0003/NLDemodulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "reader/f0003/NLFrame.h"
#include "reader/f0003/NLSignalTestSupport.h"
#include "standin/SimulatedReader0003.h"

namespace nvx::reader {
namespace {

using Bytes = std::vector<uint8_t>;
using Samples = std::vector<int16_t>;
using standin::SimulatedReader0003;

const Bytes kKsnReply = SimulatedReader0003::ksnReply(Bytes{0x60, 0x03, 0x20, 0x15, 0x11, 0x00, 0x00, 0x27});

int16_t toS16(double x) { return static_cast<int16_t>(std::lround(std::clamp(x, -1.0, 1.0) * 32767)); }

Samples line(const Bytes& message, double amplitude = 0.5, double clockError = 0, bool invert = false) {
  return testing::recordedReply(message, amplitude, clockError, invert);
}

// Half-cells of 5 samples each at a level, between silences.
Samples cells(const std::vector<int>& levels, double amplitude = 0.5) {
  Samples out(300, 0);
  for (int level : levels) out.insert(out.end(), 5, toS16(level * amplitude));
  out.resize(out.size() + 800, 0);
  return out;
}

// The reply's half-cells with `sync` sync half-cells (the reader sends 40).
std::vector<int> withSync(const Bytes& message, int sync) {
  std::vector<int> c = SimulatedReader0003::replyHalfCells(message);
  const int base = SimulatedReader0003::kSyncHalfCells;
  if (sync < base) {
    c.erase(c.begin(), c.begin() + (base - sync));
  } else {
    for (int i = base; i < sync; ++i) c.insert(c.begin(), -c.front());
  }
  return c;
}

TEST(NLDemodulatorTest, RepliesDecodeWhateverTheLineDoesWithinTheReadersTolerances) {
  struct Case {
    const char* name;
    double amplitude;
    double clock;
    bool invert;
  } cases[] = {
      {"plain", 0.5, 0, false},         {"inverted line", 0.5, 0, true},
      {"clock 2 % fast", 0.5, 0.02, false}, {"clock 2 % slow", 0.5, -0.02, true},
      {"just above the peak level", 0.16, 0, false}, {"clipped", 1.0, 0, false},
  };
  const Bytes card = SimulatedReader0003::cardMessage(standin::Reader0003Card::testCard(), Bytes(8, 0x11),
                                                      Bytes(8, 0x22), false);
  for (const auto& c : cases) {
    for (const Bytes& message : {kKsnReply, card}) {
      auto got = NLDemodulator::demodulate(line(message, c.amplitude, c.clock, c.invert));
      ASSERT_EQ(got.size(), 1u) << c.name;
      EXPECT_EQ(got[0], message) << c.name;
    }
  }
}

TEST(NLDemodulatorTest, MessagesThatAreNotWholeAndCheckedAreDropped) {
  Bytes sixBytes = NLFrame::build(Bytes{0x3A});  // 6 bytes, check byte right
  ASSERT_EQ(sixBytes.size(), 6u);
  Bytes badCheck = kKsnReply;
  badCheck[badCheck.size() - 2] ^= 0x01;
  // A flipped data bit breaks that byte's parity.
  std::vector<int> flipped = SimulatedReader0003::replyHalfCells(kKsnReply);
  const size_t bitCell = SimulatedReader0003::kSyncHalfCells + 1 + 2 * (9 * 5 + 3);
  flipped[bitCell] = -flipped[bitCell];
  flipped[bitCell + 1] = -flipped[bitCell + 1];

  EXPECT_TRUE(NLDemodulator::demodulate(line(sixBytes)).empty());
  EXPECT_TRUE(NLDemodulator::demodulate(line(badCheck)).empty());
  EXPECT_TRUE(NLDemodulator::demodulate(cells(flipped)).empty());
  EXPECT_EQ(NLDemodulator::demodulate(cells(SimulatedReader0003::replyHalfCells(kKsnReply))).size(), 1u);
  // Peaks that stay under the level are no signal.
  EXPECT_TRUE(NLDemodulator::demodulate(line(kKsnReply, 0.15)).empty());
}

TEST(NLDemodulatorTest, TheSyncNeedsEightToThreeHundredShortHalfWaves) {
  struct Case {
    int sync;
    bool found;
  } cases[] = {{7, false}, {8, true}, {300, true}, {301, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(NLDemodulator::demodulate(cells(withSync(kKsnReply, c.sync))).size(), c.found ? 1u : 0u) << c.sync;
  }
  // A sync whose last half-wave is too narrow to mark the data start: none found.
  std::vector<int> narrow = withSync(kKsnReply, 40);
  Samples s = cells(narrow);
  const size_t mark = 300 + 40 * 5;  // the wide half-wave: 10 samples of one level
  for (size_t i = mark + 7; i < mark + 10; ++i) s[i] = static_cast<int16_t>(-s[i]);
  EXPECT_TRUE(NLDemodulator::demodulate(s).empty());
}

TEST(NLDemodulatorTest, AStoreYieldsAtMostThreeMessagesInOrder) {
  Samples store;
  std::vector<Bytes> sent;
  for (uint8_t k = 0; k < 4; ++k) {
    sent.push_back(SimulatedReader0003::ksnReply(Bytes(8, k)));
    auto part = line(sent.back());
    store.insert(store.end(), part.begin(), part.end());
  }
  auto got = NLDemodulator::demodulate(store);
  ASSERT_EQ(got.size(), 3u);
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(got[i], sent[i]);
}

TEST(NLDemodulatorTest, BitsBecomeBytesWithTheFirstParityTellingTheLinesPolarity) {
  auto bitsOf = [](const Bytes& bytes, bool invert, size_t padding) {
    Bytes bits;
    for (uint8_t b : bytes) {
      for (int k = 7; k >= 0; --k) bits.push_back(static_cast<uint8_t>(((b >> k) & 1) ^ invert));
      bits.push_back(static_cast<uint8_t>((std::popcount(b) % 2) ^ invert));
    }
    bits.insert(bits.end(), padding, 1);
    return bits;
  };
  EXPECT_EQ(NLDemodulator::bitsToMessage(bitsOf(kKsnReply, false, 5)), kKsnReply);
  EXPECT_EQ(NLDemodulator::bitsToMessage(bitsOf(kKsnReply, true, 13)), kKsnReply);
  // Fewer than 5 bits past the last byte lose it (the count of groups is (bits - 5) / 9).
  EXPECT_FALSE(NLDemodulator::bitsToMessage(bitsOf(kKsnReply, false, 4)));
  EXPECT_FALSE(NLDemodulator::bitsToMessage(Bytes(3, 1)));
}

TEST(NLDemodulatorTest, TheCollectorsSignalTestsLookForShortStrongHalfWaves) {
  const Samples reply = testing::recordedReply(kKsnReply, 0.5, 0, false, 0, 0);
  EXPECT_TRUE(NLDemodulator::signalStarts(reply));
  EXPECT_TRUE(NLDemodulator::signalGoesOn(Samples(reply.begin(), reply.begin() + 1000)));
  EXPECT_FALSE(NLDemodulator::signalGoesOn(line(kKsnReply)));  // ends in silence
  // Ten short half-waves are not enough to start; eleven are.
  EXPECT_FALSE(NLDemodulator::signalStarts(cells({1, -1, 1, -1, 1, -1, 1, -1, 1, -1})));
  EXPECT_TRUE(NLDemodulator::signalStarts(cells({1, -1, 1, -1, 1, -1, 1, -1, 1, -1, 1, -1})));
  std::mt19937 gen(3);
  std::normal_distribution<double> noise(0, 0.05);
  Samples quiet(4000);
  for (auto& s : quiet) s = toS16(noise(gen));
  EXPECT_FALSE(NLDemodulator::signalStarts(quiet));
}

}  // namespace
}  // namespace nvx::reader
