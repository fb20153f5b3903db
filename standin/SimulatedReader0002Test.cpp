#include "standin/SimulatedReader0002.h"

#include <gtest/gtest.h>

#include <cmath>

namespace standin {
namespace {

using Said = SimulatedReader0002::Said;
constexpr double kRate = 176400;

// The phone's side, written here on its own: half-cycle lengths in frames.
std::vector<int> frames(std::initializer_list<std::pair<int, double>> runs) {
  std::vector<int> out;
  for (auto [count, micros] : runs) out.insert(out.end(), count, static_cast<int>(micros * kRate / 1e6));
  return out;
}

struct Burst {
  int S = 12;
  int preamble = 16;
  double sync = 700;
  std::vector<uint8_t> bytes;
  bool breakParity = false;
  bool unevenStartMark = false;

  std::vector<int> halfCycles() const {
    std::vector<int> hc = frames({{4, 2000}, {preamble, 250}, {1, sync}, {1, 2000}});
    const int zero = S + S / 2;
    for (int i = 0; i < 7; ++i) hc.push_back(unevenStartMark && i == 3 ? 2 * zero : zero);
    hc.push_back(zero + S);
    for (uint8_t b : bytes) {
      int ones = 0;
      for (int bit = 7; bit >= 0; --bit) {
        bool set = (b >> bit) & 1;
        ones += set;
        hc.push_back(set ? S : zero);
      }
      bool parityOne = ones % 2 == 0;
      if (breakParity) parityOne = !parityOne;
      hc.push_back(parityOne ? S : zero);
    }
    auto tail = frames({{2, 2000}});
    hc.insert(hc.end(), tail.begin(), tail.end());
    return hc;
  }
};

std::vector<uint8_t> frame(std::vector<uint8_t> payload) { return SimulatedReader0002::frame(payload); }

class SimulatedReader0002Test : public ::testing::Test {
 protected:
  std::unique_ptr<SimulatedReader0002> reader_ = std::make_unique<SimulatedReader0002>();
  double volume_ = 0.9;

  void use(SimulatedReader0002::Config config) { reader_ = std::make_unique<SimulatedReader0002>(std::move(config)); }

  // Plays half-cycles, then 60 ms of silence, in buffers of 10 ms as the audio engine does.
  void play(const std::vector<int>& hc) {
    std::vector<float> x;
    float level = static_cast<float>(volume_);
    for (int h : hc) {
      x.insert(x.end(), static_cast<size_t>(h), level);
      level = -level;
    }
    x.insert(x.end(), static_cast<size_t>(0.06 * kRate), 0.0f);
    std::vector<float> mic(1764);
    for (size_t at = 0; at < x.size(); at += 1764) {
      size_t n = std::min<size_t>(1764, x.size() - at);
      mic.assign(n, 0.0f);
      reader_->speak(mic, kRate);
      spoken_.insert(spoken_.end(), mic.begin(), mic.end());
      std::span<const float> block(x.data() + at, n);
      reader_->hear(block, block, kRate);
    }
  }
  void wake() { play(frames({{2, 2000}, {400, 500}, {4, 2000}})); }
  void send(const Burst& b) { play(b.halfCycles()); }
  std::vector<Said> said() const {
    std::vector<Said> out;
    for (const auto& u : reader_->said()) out.push_back(u.what);
    return out;
  }
  std::vector<float> spoken_;
};

const std::vector<uint8_t> kProbe{0xFF, 0x00, 0xAA, 0x55};

TEST_F(SimulatedReader0002Test, AnswersNothingUntilItHasHeardTheWakeTone) {
  send({.preamble = 6, .bytes = kProbe});
  EXPECT_TRUE(reader_->said().empty());
  EXPECT_EQ(reader_->probesHeard(), 1);
  wake();
  EXPECT_TRUE(reader_->isAwake());
  send({.preamble = 6, .bytes = kProbe});
  EXPECT_EQ(said(), std::vector<Said>{Said::LongTone});
  EXPECT_NEAR(reader_->halfBitMicros(), 12 * 1e6 / kRate, 1.0);
}

TEST_F(SimulatedReader0002Test, AcceptsProbesAtOrAboveItsMinimumHalfBitOnly) {
  wake();
  // 60 us is 10.6 frames.
  struct Case {
    int S;
    std::vector<uint8_t> bytes;
    Said answer;
  };
  const Case cases[] = {{10, kProbe, Said::Refusal}, {11, kProbe, Said::LongTone}, {40, kProbe, Said::LongTone},
                        {20, {0xFF, 0x00, 0xAA, 0x54}, Said::Refusal}, {20, {0xFF, 0x00, 0xAA}, Said::Refusal}};
  for (const Case& c : cases) {
    size_t before = reader_->said().size();
    send({.S = c.S, .preamble = 6, .bytes = c.bytes});
    ASSERT_EQ(reader_->said().size(), before + 1) << c.S;
    EXPECT_EQ(reader_->said().back().what, c.answer) << c.S;
  }
}

TEST_F(SimulatedReader0002Test, AcknowledgesAGoodFrameAndAnswersItsCommand) {
  wake();
  send({.bytes = frame({0xE1, 0x06, 0x02})});
  auto s = reader_->said();
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].what, Said::Acknowledge);
  EXPECT_EQ(s[1].what, Said::Reply);
  EXPECT_EQ(s[1].payload, (std::vector<uint8_t>{0xCB, 0xC3, 0x20, 0x13, 0x06, 0x01, 0x00, 0x42, 0x90, 0x00}));
  EXPECT_EQ(reader_->commands(), (std::vector<std::vector<uint8_t>>{{0xE1, 0x06, 0x02}}));

  // The resend request brings the same reply again.
  send({.bytes = {0x02}});
  ASSERT_EQ(reader_->said().size(), 3u);
  EXPECT_EQ(reader_->said().back().payload, s[1].payload);
}

TEST_F(SimulatedReader0002Test, AsksForAResendOfAnythingItCannotReadOrCheck) {
  wake();
  auto badCheck = frame({0xE1, 0x06, 0x02});
  badCheck.back() ^= 1;
  auto badLength = frame({0xE1, 0x06, 0x02});
  badLength[2] = 4;
  struct Case {
    const char* name;
    Burst burst;
  };
  const Case cases[] = {
      {"wrong check byte", {.bytes = badCheck}},
      {"wrong length", {.bytes = badLength}},
      {"a parity error", {.bytes = frame({0xE1, 0x06, 0x02}), .breakParity = true}},
      {"an uneven start mark", {.bytes = frame({0xE1, 0x06, 0x02}), .unevenStartMark = true}},
      {"no 700 us mark", {.sync = 1400, .bytes = frame({0xE1, 0x06, 0x02})}},
      {"a half-bit shorter than it reads", {.S = 8, .bytes = frame({0xE1, 0x06, 0x02})}},
  };
  for (const Case& c : cases) {
    size_t before = reader_->said().size();
    send(c.burst);
    ASSERT_EQ(reader_->said().size(), before + 1) << c.name;
    EXPECT_EQ(reader_->said().back().what, Said::ResendRequest) << c.name;
  }
  EXPECT_TRUE(reader_->commands().empty());

  // Preambles of other lengths are not for it at all.
  for (int preamble : {3, 10, 30}) {
    size_t before = reader_->said().size();
    send({.preamble = preamble, .bytes = frame({0xE1, 0x06, 0x02})});
    EXPECT_EQ(reader_->said().size(), before) << preamble;
  }
}

TEST_F(SimulatedReader0002Test, ReadsThroughItsOwnClockBeingTwoPercentOff) {
  for (double error : {0.02, -0.02}) {
    SimulatedReader0002::Config config;
    config.clockError = error;
    use(config);
    wake();
    send({.bytes = frame({0xE1, 0x06, 0x02})});
    ASSERT_EQ(reader_->said().size(), 2u) << error;
    EXPECT_EQ(reader_->said()[0].what, Said::Acknowledge) << error;
  }
}

TEST_F(SimulatedReader0002Test, ArmsForACardAndAnswersASwipeOnce) {
  wake();
  EXPECT_FALSE(reader_->swipe()) << "nothing asked for a card";
  send({.bytes = frame({0xE1, 0x02, 0x86, 0x03, 0x09, 0x01, 1, 2, 3, 4, 5, 6, 7, 8})});
  EXPECT_TRUE(reader_->isArmed());
  EXPECT_EQ(reader_->lastRandom(), (std::array<uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(said(), std::vector<Said>{Said::Acknowledge}) << "no reply until the swipe";

  EXPECT_TRUE(reader_->swipe());
  EXPECT_FALSE(reader_->swipe());
  auto reply = reader_->said().back();
  EXPECT_EQ(reply.what, Said::Reply);
  EXPECT_EQ(reply.payload, SimulatedReader0002::cardReply(Reader0002Card::testCard()));
  const std::vector<uint8_t> head{0x62, 0x22, 0x02, 0x01, 0x23, 0x25, 0x12, 37, 104};
  EXPECT_TRUE(std::equal(head.begin(), head.end(), reply.payload.begin()));
  EXPECT_EQ(reply.payload.size(), 9u + 32 + 2);

  send({.bytes = frame({0xE1, 0x02, 0x86, 0x03, 0x09, 0x01, 1, 2, 3, 4, 5, 6, 7, 8})});
  send({.bytes = frame({0xE1, 0x03, 0x02})});
  EXPECT_FALSE(reader_->isArmed());
  EXPECT_EQ(reader_->said().back().payload, (std::vector<uint8_t>{0x90, 0x00}));
}

TEST_F(SimulatedReader0002Test, LearnsTheSpeedCodeAndAnswersThePattern) {
  wake();
  send({.bytes = {0x03, 23}});
  ASSERT_EQ(said(), std::vector<Said>{Said::Pattern});
  EXPECT_EQ(reader_->said().back().code, 23);
  EXPECT_EQ(reader_->speedCode(), 23);
}

TEST_F(SimulatedReader0002Test, FallsAsleepWhenIdleUnlessArmed) {
  SimulatedReader0002::Config config;
  config.sleepAfterSeconds = 0.5;
  use(config);
  wake();
  play(std::vector<int>(1, static_cast<int>(0.6 * kRate)));  // 0.6 s of one level, then silence
  EXPECT_FALSE(reader_->isAwake());

  wake();
  send({.bytes = frame({0xE1, 0x02, 0x86, 0x03, 0x09, 0x01, 1, 2, 3, 4, 5, 6, 7, 8})});
  play(std::vector<int>(1, static_cast<int>(0.6 * kRate)));
  EXPECT_TRUE(reader_->isAwake());
}

TEST_F(SimulatedReader0002Test, AQuietPhoneIsNotHeard) {
  volume_ = 0.03;
  wake();
  EXPECT_FALSE(reader_->isAwake());
  EXPECT_EQ(reader_->wakeTonesHeard(), 0);
}

TEST_F(SimulatedReader0002Test, SpeaksIntervalsAtItsAmplitudeAndPolarity) {
  auto iv = SimulatedReader0002::replyIntervals(std::vector<uint8_t>{0x01}, 9);
  ASSERT_EQ(iv.size(), 18u + 3 + 9 + 1);
  EXPECT_EQ(iv[0], 500);
  EXPECT_EQ(iv[18], 1000);
  const double one = SimulatedReader0002::oneMicros(9);
  EXPECT_EQ(one, 82);
  EXPECT_EQ(iv[21], 2 * one);  // 0x01: seven 0s, a 1, then the parity 0
  EXPECT_EQ(iv[28], one);
  EXPECT_EQ(iv[29], 2 * one);

  std::vector<float> out;
  SimulatedReader0002::render(std::vector<double>{1000, 1000}, kRate, 0.5, 0.02, true, out);
  EXPECT_EQ(out.size(), static_cast<size_t>(std::llround(2000 * kRate / 1e6 / 1.02)));
  EXPECT_FLOAT_EQ(out.front(), -0.5f);
  EXPECT_FLOAT_EQ(out.back(), 0.5f);

  reader_->setAmplitude(0.3);
  reader_->setInvertPolarity(true);
  wake();
  send({.preamble = 6, .bytes = kProbe});
  auto [lo, hi] = std::minmax_element(spoken_.begin(), spoken_.end());
  EXPECT_NEAR(*hi, 0.3, 0.01);
  EXPECT_NEAR(*lo, -0.3, 0.01);
}

TEST_F(SimulatedReader0002Test, ASilentReaderSaysNothing) {
  reader_->setSilent(true);
  wake();
  send({.preamble = 6, .bytes = kProbe});
  send({.bytes = frame({0xE1, 0x06, 0x02})});
  EXPECT_TRUE(reader_->said().empty());
}

}  // namespace
}  // namespace standin
