#include "standin/SimulatedReader0003.h"

#include <gtest/gtest.h>

#include <cmath>

namespace standin {
namespace {

constexpr double kRate = 48000;
constexpr float kLevel = 0.85f;  // the phone's output at the reader's volume

// The phone's side, written here on its own: levels of the left channel (+1 high, -1 low).
struct PhoneSignal {
  std::vector<int> levels;

  void run(size_t frames, int level) { levels.insert(levels.end(), frames, level); }
  void tone2400(size_t cycles) {
    for (size_t i = 0; i < cycles; ++i) {
      run(10, -1);
      run(10, 1);
    }
  }
  void idle(size_t frames) {
    for (size_t i = 0; i < frames; ++i) levels.push_back((i / 20) % 2 == 0 ? 1 : -1);
  }
  void byte(uint8_t b, bool breakParity = false) {
    run(5, -1);
    int ones = 0;
    for (int i = 0; i < 8; ++i) {
      const int bit = (b >> i) & 1;
      ones += bit;
      run(5, bit ? 1 : -1);
    }
    run(5, (ones % 2 == 1) != breakParity ? 1 : -1);
    run(30, 1);
  }
  // The frame's code bytes, then the whole signal once more inverted, as the phone sends it.
  void command(const Bytes& frame, bool withRepeat = true) {
    const size_t from = levels.size();
    run(80, 1);
    for (int i = 0; i < 3; ++i) byte(0xBD);
    for (uint8_t b : frame) {
      for (int shift : {4, 0}) {
        uint8_t code = 0;
        for (int bit = 3; bit >= 0; --bit) code = static_cast<uint8_t>((code << 2) | ((((b >> shift) >> bit) & 1) ? 2 : 1));
        byte(code);
      }
    }
    const size_t to = levels.size();
    tone2400(10);
    if (withRepeat) {
      for (size_t i = from; i < to; ++i) levels.push_back(-levels[i]);
    }
    tone2400(10);
  }
};

class SimulatedReader0003Test : public ::testing::Test {
 protected:
  std::unique_ptr<SimulatedReader0003> reader_ = std::make_unique<SimulatedReader0003>();
  std::vector<float> spoken_;

  // Plays the signal, then 200 ms of idle tone, in buffers of 10 ms as the audio engine does.
  void play(PhoneSignal s) {
    s.idle(static_cast<size_t>(0.2 * kRate));
    std::vector<float> left, right;
    for (int l : s.levels) {
      left.push_back(kLevel * static_cast<float>(l));
      right.push_back(-kLevel * static_cast<float>(l));
    }
    std::vector<float> mic;
    for (size_t at = 0; at < left.size(); at += 480) {
      const size_t n = std::min<size_t>(480, left.size() - at);
      mic.assign(n, 0.0f);
      reader_->speak(mic, kRate);
      spoken_.insert(spoken_.end(), mic.begin(), mic.end());
      reader_->hear(std::span<const float>(left).subspan(at, n), std::span<const float>(right).subspan(at, n), kRate);
    }
  }
  void silence(size_t frames) {
    std::vector<float> zero(frames, 0.0f);
    reader_->hear(zero, zero, kRate);
  }
  static PhoneSignal startCommand(bool wake = true, bool withRepeat = true) {
    PhoneSignal s;
    if (wake) s.tone2400(100);
    s.command(SimulatedReader0003::frame(Bytes{0x3D, 0x00}), withRepeat);
    return s;
  }
  // Whether the spoken sound holds the message's half-cells (read in the middle of each).
  bool said(const Bytes& message) const {
    size_t start = 0;
    while (start < spoken_.size() && std::fabs(spoken_[start]) < 0.1f) ++start;
    const auto cells = SimulatedReader0003::replyHalfCells(message);
    if (start + cells.size() * 5 > spoken_.size()) return false;
    for (size_t i = 0; i < cells.size(); ++i) {
      if ((spoken_[start + 5 * i + 2] > 0) != (cells[i] > 0)) return false;
    }
    return true;
  }
};

TEST_F(SimulatedReader0003Test, AnAwakeReaderAnswersTheStartCommandWithItsKsnAndIsArmedOnceItIsSaid) {
  play(startCommand());
  EXPECT_EQ(reader_->wakeUpsHeard(), 1);
  EXPECT_EQ(reader_->commands(), std::vector<Bytes>{Bytes({0x3D, 0x00})});
  EXPECT_TRUE(said(SimulatedReader0003::ksnReply(SimulatedReader0003::Config{}.ksn)));
  EXPECT_TRUE(reader_->isArmed());
}

TEST_F(SimulatedReader0003Test, WithoutTheWakeUpToneACommandIsHeardButNotAnswered) {
  play(startCommand(false));
  EXPECT_EQ(reader_->startCommandsHeard(), 1);
  EXPECT_FALSE(reader_->isArmed());
  EXPECT_TRUE(std::all_of(spoken_.begin(), spoken_.end(), [](float x) { return x == 0.0f; }));
}

TEST_F(SimulatedReader0003Test, AReaderWiredTheOtherWayRoundHearsTheInvertedRepeat) {
  reader_ = std::make_unique<SimulatedReader0003>(SimulatedReader0003::Config{.wiredReversed = true});
  play(startCommand(true, false));
  EXPECT_EQ(reader_->startCommandsHeard(), 0) << "the first copy is upside down for it";
  play(startCommand(true, true));
  EXPECT_EQ(reader_->startCommandsHeard(), 1);
}

TEST_F(SimulatedReader0003Test, FramesThatDoNotCheckAreNoCommands) {
  Bytes badCheck = SimulatedReader0003::frame(Bytes{0x3D, 0x00});
  badCheck[5] ^= 1;
  PhoneSignal s;
  s.tone2400(100);
  s.command(badCheck);
  play(s);
  EXPECT_TRUE(reader_->commands().empty());
}

TEST_F(SimulatedReader0003Test, SilenceTakesThePowerAndTheArmingAway) {
  play(startCommand());
  ASSERT_TRUE(reader_->isArmed());
  silence(static_cast<size_t>(0.03 * kRate));
  EXPECT_FALSE(reader_->isPowered());
  EXPECT_FALSE(reader_->isArmed());
  EXPECT_FALSE(reader_->swipe());

  // A raw-stripe reader plays the stripe whenever it is swiped.
  reader_ = std::make_unique<SimulatedReader0003>(SimulatedReader0003::Config{.raw = true});
  EXPECT_TRUE(reader_->swipe());
  std::vector<float> mic(48000);
  reader_->speak(mic, kRate);
  EXPECT_GT(*std::max_element(mic.begin(), mic.end()), 0.4f);
}

TEST_F(SimulatedReader0003Test, StripeBitsAreF2FCharactersWithOddParityAndTheLrc) {
  // ';' 11 (1101, parity 0), '1' (1000, 0), '?' 15 (1111, 1), LRC 11 ^ 1 ^ 15 = 5 (1010, 1).
  EXPECT_EQ(SimulatedReader0003::stripeBits(";1?"),
            std::string(25, '0') + "11010" + "10000" + "11111" + "10101" + std::string(25, '0'));
  EXPECT_EQ(SimulatedReader0003::crc8(Bytes{'1', '2', '3', '4', '5', '6', '7', '8', '9'}), 0xA1);
}

}  // namespace
}  // namespace standin
