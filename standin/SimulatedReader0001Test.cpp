#include "standin/SimulatedReader0001.h"

#include <gtest/gtest.h>

#include <cmath>

namespace standin {
namespace {

using Heard = SimulatedReader0001::Heard;
using Said = SimulatedReader0001::Said;
constexpr double kRate = 44100;
constexpr size_t kBlock = 441;  // the audio engine's buffer

// The phone's side, written here on its own: what the reader hears and what it says back.
class SimulatedReader0001Test : public ::testing::Test {
 protected:
  std::shared_ptr<SimulatedReader0001> reader_ = std::make_shared<SimulatedReader0001>();
  std::vector<float> spoken_;

  // Plays left and right (equal when right is empty), then quiet for `after` seconds.
  void play(const std::vector<float>& left, std::vector<float> right = {}, double after = 1.5) {
    if (right.empty()) right = left;
    std::vector<float> l = left, r = right;
    l.resize(l.size() + static_cast<size_t>(after * kRate), 0.0f);
    r.resize(l.size(), 0.0f);
    std::vector<float> mic(kBlock);
    for (size_t at = 0; at < l.size(); at += kBlock) {
      const size_t n = std::min(kBlock, l.size() - at);
      mic.assign(n, 0.0f);
      reader_->speak(mic, kRate);
      spoken_.insert(spoken_.end(), mic.begin(), mic.end());
      reader_->hear(std::span<const float>(l.data() + at, n), std::span<const float>(r.data() + at, n), kRate);
    }
  }
  static std::vector<float> square(double hz, double seconds, float level = 1.0f) {
    std::vector<float> out(static_cast<size_t>(seconds * kRate));
    for (size_t t = 0; t < out.size(); ++t) out[t] = std::sin(6.283185307179586 * hz * static_cast<double>(t) / kRate) >= 0 ? level : -level;
    return out;
  }
  // Where the reader's signal begins (first sample not quiet), in seconds.
  double spokeAt(size_t from = 0) const {
    for (size_t i = from; i < spoken_.size(); ++i) {
      if (std::fabs(spoken_[i]) > 0.05f) return static_cast<double>(i) / kRate;
    }
    return -1;
  }
};

TEST_F(SimulatedReader0001Test, TellsTheCommandsByTheirToneAndAnswersAfterThePhonesDelay) {
  play(square(5000, 0.2));
  EXPECT_EQ(reader_->heard(), std::vector<Heard>{Heard::SwipeCommand});
  ASSERT_EQ(reader_->said().size(), 1u);
  EXPECT_EQ(reader_->said()[0].what, Said::Acknowledge);
  EXPECT_EQ(reader_->said()[0].packet, (Bytes{0x06, 0x01, 0x00, SimulatedReader0001::crc8(Bytes{0x06, 0x01, 0x00})}));
  EXPECT_NEAR(spokeAt(), 0.6, 0.002);
  EXPECT_TRUE(reader_->isArmed());

  spoken_.clear();
  play(square(2000, 0.1));
  ASSERT_EQ(reader_->said().size(), 2u);
  EXPECT_EQ(reader_->said()[1].what, Said::KsnReply);
  EXPECT_EQ(reader_->said()[1].packet.size(), 11u);
  EXPECT_EQ(reader_->said()[1].packet[1], 8);
  EXPECT_NEAR(spokeAt(), 0.3, 0.002);
}

TEST_F(SimulatedReader0001Test, IgnoresOtherTonesFramesAndAQuietPhone) {
  play(square(1000, 0.3));
  play(square(3500, 0.2));
  play(square(5000, 0.005));                 // too short for a command
  play(square(5000, 0.2, 0.03f));            // too quiet to hear
  std::vector<float> clock = square(2000, 0.1), data = square(2000, 0.1);
  // A frame: a clock on the left, data on the right that differs from it.
  for (size_t i = 0; i < data.size(); ++i) data[i] = (i / 11) % 3 == 0 ? -clock[i] : clock[i];
  play(clock, data);
  EXPECT_TRUE(reader_->heard().empty());
  EXPECT_TRUE(reader_->said().empty());
}

TEST_F(SimulatedReader0001Test, SendsACardOrAReportOnlyWhenArmedAndOnce) {
  EXPECT_FALSE(reader_->swipe());
  EXPECT_FALSE(reader_->report(0xF0));
  play(square(5000, 0.2));
  EXPECT_TRUE(reader_->swipe());
  EXPECT_FALSE(reader_->swipe());
  play({}, {}, 1.5);
  ASSERT_EQ(reader_->said().size(), 2u);
  EXPECT_EQ(reader_->said()[1].what, Said::CardPacket);
  EXPECT_EQ(reader_->said()[1].packet, SimulatedReader0001::cardPacket(Reader0001Card::testCard()));

  play(square(5000, 0.2));
  EXPECT_TRUE(reader_->report(0xFF));
  EXPECT_EQ(reader_->said().back().packet, Bytes{0xFF});
}

TEST_F(SimulatedReader0001Test, PacketsFollowTheirFormatsLayout) {
  struct Case {
    uint8_t format;
    size_t size;
    size_t ksnAt;
  };
  for (const Case& c : {Case{0x38, 168, 35}, Case{0x31, 176, 35}, Case{0x34, 174, 9}, Case{0x39, 188, 17},
                        Case{0x40, 179, 14}}) {
    Reader0001Card card = Reader0001Card::testCard();
    card.format = c.format;
    const Bytes p = SimulatedReader0001::cardPacket(card);
    ASSERT_EQ(p.size(), c.size) << int(c.format);
    EXPECT_EQ(p[0], c.format);
    EXPECT_EQ(p[1], 19);
    EXPECT_EQ(p[c.ksnAt], 0x20) << int(c.format);
    EXPECT_EQ(SimulatedReader0001::crc8(std::span<const uint8_t>(p.data(), p.size() - 1)), p.back());
  }
  Reader0001Card card = Reader0001Card::testCard();
  card.format = 0x38;
  const Bytes p = SimulatedReader0001::cardPacket(card);
  EXPECT_EQ((Bytes{p[2], p[3], p[4], p[5], p[6], p[7], p[8]}), (Bytes{0x62, 0x22, 0x02, 0x01, 0x23, 0x12, 0x25}));
  EXPECT_EQ(std::string(p.begin() + 9, p.begin() + 24), "ZHANG/SAN^EXTRA");
  // The published check values of the CRC.
  const std::string digits = "123456789";
  EXPECT_EQ(SimulatedReader0001::crc8({reinterpret_cast<const uint8_t*>(digits.data()), digits.size()}), 0xF4);
}

TEST_F(SimulatedReader0001Test, SpeaksManchesterCellsOfItsClockThenSettlesWithoutACrossing) {
  for (double clock : {0.0, 0.02}) {
    std::vector<float> out;
    SimulatedReader0001::render(Bytes{0xA5}, 0.01, kRate, clock, out);
    const double cell = kRate / 2000 / (1 + clock);
    // 20 preamble 0s (high, then low), the start bit 1 (low, then high), then 1010 0101.
    auto at = [&](double cells) { return out[static_cast<size_t>(cells * cell)]; };
    EXPECT_EQ(at(0.25), 1.0f);
    EXPECT_EQ(at(0.75), -1.0f);
    EXPECT_EQ(at(20.25), -1.0f);
    EXPECT_EQ(at(20.75), 1.0f);
    const bool bits[] = {true, false, true, false, false, true, false, true};
    for (int b = 0; b < 8; ++b) {
      EXPECT_EQ(at(21.25 + b), bits[b] ? -1.0f : 1.0f) << clock << " " << b;
      EXPECT_EQ(at(21.75 + b), bits[b] ? 1.0f : -1.0f) << clock << " " << b;
    }
    // After the last cell: the last level, fading, never crossing zero.
    for (size_t i = static_cast<size_t>(29.5 * cell); i < out.size(); ++i) ASSERT_GE(out[i], 0.0f) << i;
    EXPECT_LT(std::fabs(out.back()), 0.01f);
  }
}

TEST_F(SimulatedReader0001Test, SpeaksAtItsAmplitudeAndPolarityWithItsNoise) {
  reader_->setAmplitude(0.3);
  reader_->setInvertPolarity(true);
  play(square(2000, 0.1), {}, 0.6);
  auto [lo, hi] = std::minmax_element(spoken_.begin(), spoken_.end());
  EXPECT_NEAR(*hi, 0.3, 0.01);
  EXPECT_NEAR(*lo, -0.3, 0.01);
  // Inverted: the first half of the first preamble cell is low.
  const double start = spokeAt();
  EXPECT_LT(spoken_[static_cast<size_t>(start * kRate) + 3], 0.0f);

  spoken_.clear();
  reader_->setSilent(true);
  reader_->setNoise(0.1);
  play(square(2000, 0.1), {}, 1.0);
  double sum = 0;
  for (float v : spoken_) sum += v * v;
  EXPECT_NEAR(std::sqrt(sum / static_cast<double>(spoken_.size())), 0.1, 0.005);
  EXPECT_EQ(reader_->said().size(), 1u) << "a silent reader says nothing more";
}

TEST_F(SimulatedReader0001Test, CutsOrSpoilsThePacketsItIsToldTo) {
  play(square(5000, 0.2));
  reader_->flipBitInNextPacket();
  ASSERT_TRUE(reader_->swipe());
  const Bytes good = SimulatedReader0001::cardPacket(Reader0001Card::testCard());
  const Bytes spoilt = reader_->said().back().packet;
  ASSERT_EQ(spoilt.size(), good.size());
  EXPECT_NE(spoilt, good);
  EXPECT_NE(SimulatedReader0001::crc8(std::span<const uint8_t>(spoilt.data(), spoilt.size() - 1)), spoilt.back());

  std::vector<float> whole, cut;
  SimulatedReader0001::render(good, 0.3, kRate, 0, whole);
  SimulatedReader0001::render(good, 0.3, kRate, 0, cut, good.size() * 4);
  EXPECT_NEAR(static_cast<double>(whole.size() - cut.size()), good.size() * 4 * kRate / 2000, 2);
}

}  // namespace
}  // namespace standin
