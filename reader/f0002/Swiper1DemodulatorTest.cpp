#include "reader/f0002/Swiper1Demodulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "platform/media/AudioFormat.h"
#include "reader/f0002/Swiper1Frame.h"
#include "standin/SimulatedReader0002.h"

namespace nvx::reader {
namespace {

using standin::SimulatedReader0002;
using Bytes = std::vector<uint8_t>;
using Found = Swiper1Demodulator::Found;

constexpr uint32_t kRate = 176400;
constexpr size_t kWindow = kRate / 500;

// A microphone line: silence and the reader's intervals, heard as the modem hears it (the high
// byte of each 16-bit sample).
class Line {
 public:
  Line& quiet(size_t windows) {
    x_.insert(x_.end(), windows * kWindow, 0.0f);
    return *this;
  }
  Line& say(const std::vector<double>& intervals, double amplitude = 0.5, double clockError = 0, bool invert = false) {
    SimulatedReader0002::render(intervals, kRate, amplitude, clockError, invert, x_);
    return *this;
  }
  // Pads with silence up to the next window, then `windows` more.
  Line& settle(size_t windows = 3) {
    x_.resize((x_.size() + kWindow - 1) / kWindow * kWindow, 0.0f);
    return quiet(windows);
  }
  Line& noise(double rms, uint32_t seed) {
    std::mt19937 gen(seed);
    std::normal_distribution<float> n(0.0f, static_cast<float>(rms));
    for (float& v : x_) v += n(gen);
    return *this;
  }
  Line& offset(float dc) {
    for (float& v : x_) v += dc;
    return *this;
  }
  Line& hum(double amplitude, double hz) {
    for (size_t i = 0; i < x_.size(); ++i)
      x_[i] += static_cast<float>(amplitude * std::sin(6.283185307179586 * hz * static_cast<double>(i) / kRate));
    return *this;
  }
  std::vector<int8_t> heard() const {
    std::vector<int8_t> out;
    out.reserve(x_.size());
    for (float v : x_) out.push_back(static_cast<int8_t>(platform::media::floatToS16(v) >> 8));
    return out;
  }
  size_t size() const { return x_.size(); }

 private:
  std::vector<float> x_;
};

std::vector<double> reply(const Bytes& bytes, int F) { return SimulatedReader0002::replyIntervals(bytes, F); }

std::vector<double> preambleThen(size_t preamble, double micros, const Bytes& bytes, int F) {
  std::vector<double> iv(preamble, micros);
  auto rest = reply(bytes, F);
  iv.insert(iv.end(), rest.begin() + 18, rest.end());  // the reader's own preamble is 18 intervals
  return iv;
}

struct Heard {
  Swiper1Demodulator::Detection detection;
  Swiper1Demodulator::Decoded decoded;
};

Heard listen(const std::vector<int8_t>& samples, int F, Swiper1Demodulator::Levels* levels = nullptr) {
  Swiper1Demodulator demod(kRate);
  Swiper1Demodulator::Levels fresh;
  Swiper1Demodulator::Levels& l = levels ? *levels : fresh;
  const int T = Swiper1Demodulator::thresholdForCode(F, kRate);
  Heard h;
  h.detection = demod.detect(samples, T, l);
  if (h.detection.found == Found::Frame) h.decoded = demod.decode(samples, h.detection.dataStart, h.detection.end, T);
  return h;
}

const Bytes kKsnFrame = Swiper1Frame::wrap(Bytes{0xCB, 0xC3, 0x20, 0x13, 0x06, 0x01, 0x00, 0x42, 0x90, 0x00});

TEST(Swiper1DemodulatorTest, TheThresholdSitsAtOneAndAHalfOnes) {
  struct Case {
    int F;
    uint32_t rate;
    int T;
  };
  // a 1 lasts (17F + F/3 + 9) / 2 us: 65 us for F = 7, 82 us for 9, 498 us for 57
  for (const Case& c : {Case{7, kRate, 17}, Case{9, kRate, 21}, Case{23, kRate, 53}, Case{57, kRate, 131},
                        Case{7, 44100, 4}, Case{57, 192000, 143}}) {
    EXPECT_EQ(Swiper1Demodulator::thresholdForCode(c.F, c.rate), c.T) << c.F << " at " << c.rate;
  }
}

TEST(Swiper1DemodulatorTest, DecodesAReplyAtEverySpeedTheSearchesUse) {
  for (int F : {7, 9, 15, 23, 40, 57}) {
    auto samples = Line().quiet(5).say(reply(kKsnFrame, F)).settle().heard();
    Heard h = listen(samples, F);
    ASSERT_EQ(h.detection.found, Found::Frame) << F;
    EXPECT_FALSE(h.decoded.parityError) << F;
    EXPECT_EQ(h.decoded.bytes, kKsnFrame) << F;
    EXPECT_EQ(h.detection.start, 5 * kWindow) << F;
    EXPECT_EQ(h.detection.consumable, h.detection.end) << F;
    EXPECT_LE(h.detection.end, samples.size()) << F;
  }
}

TEST(Swiper1DemodulatorTest, ThePreambleLengthTellsAFrameFromALongTone) {
  struct Case {
    size_t preamble;
    Found found;
  };
  for (const Case& c : {Case{11, Found::Nothing}, Case{12, Found::Frame}, Case{18, Found::Frame},
                        Case{24, Found::Frame}, Case{25, Found::LongTone}, Case{60, Found::LongTone}}) {
    auto samples = Line().quiet(4).say(preambleThen(c.preamble, 500, Bytes{0x01}, 9)).settle().heard();
    Heard h = listen(samples, 9);
    EXPECT_EQ(h.detection.found, c.found) << c.preamble << " preamble intervals";
    if (c.found == Found::Frame) {
      EXPECT_EQ(h.decoded.bytes, Bytes{0x01}) << c.preamble;
    }
    if (c.found == Found::Nothing) {
      EXPECT_EQ(h.detection.consumable, samples.size() / kWindow * kWindow - kWindow) << "all but a quiet window";
    }
  }
  // The reader's long tone is never decoded as data.
  auto tone = Line().quiet(4).say(SimulatedReader0002::longToneIntervals()).settle().heard();
  EXPECT_EQ(listen(tone, 9).detection.found, Found::LongTone);
}

TEST(Swiper1DemodulatorTest, PreambleIntervalsLieBetween04And06Milliseconds) {
  struct Case {
    double micros;
    bool frame;
  };
  for (const Case& c : {Case{390, false}, Case{420, true}, Case{580, true}, Case{610, false}}) {
    auto samples = Line().quiet(4).say(preambleThen(18, c.micros, Bytes{0x01}, 9)).settle().heard();
    EXPECT_EQ(listen(samples, 9).detection.found == Found::Frame, c.frame) << c.micros << " us";
  }
}

TEST(Swiper1DemodulatorTest, SkipsShortBurstsAndSoundsWithoutAPreambleAndFindsTheFrameAfterThem) {
  std::vector<double> click(6, 200);                 // 1.2 ms: shorter than a frame
  std::vector<double> chatter(100, 150);             // 15 ms without a preamble
  auto samples = Line()
                     .quiet(4).say(click).settle(4)
                     .say(chatter).settle(4)
                     .say(reply(kKsnFrame, 9)).settle()
                     .heard();
  Heard h = listen(samples, 9);
  ASSERT_EQ(h.detection.found, Found::Frame);
  EXPECT_EQ(h.decoded.bytes, kKsnFrame);
}

TEST(Swiper1DemodulatorTest, AFrameStillComingIsKeptFromAWindowBeforeItsStart) {
  auto samples = Line().quiet(6).say(reply(kKsnFrame, 9)).heard();
  samples.resize(samples.size() / 2);  // the rest has not been captured yet
  Heard h = listen(samples, 9);
  EXPECT_EQ(h.detection.found, Found::Pending);
  EXPECT_EQ(h.detection.start, 6 * kWindow);
  EXPECT_EQ(h.detection.consumable, 5 * kWindow);

  // Kept that way, the rest of it is found once it has come.
  auto whole = Line().quiet(6).say(reply(kKsnFrame, 9)).settle().heard();
  std::vector<int8_t> kept(whole.begin() + static_cast<std::ptrdiff_t>(h.detection.consumable), whole.end());
  Heard later = listen(kept, 9);
  ASSERT_EQ(later.detection.found, Found::Frame);
  EXPECT_EQ(later.decoded.bytes, kKsnFrame);

  EXPECT_EQ(listen(std::vector<int8_t>(3 * kWindow + 100, 0), 9).detection.consumable, 0u)
      << "fewer than four windows: nothing is examined, nothing dropped";
}

TEST(Swiper1DemodulatorTest, TooQuietASignalIsNotAFrame) {
  // Below the fixed floors: peak-to-peak 4 and mean absolute value 4 (8-bit units).
  auto faint = Line().quiet(4).say(reply(kKsnFrame, 9), 0.015).settle().heard();
  Heard h = listen(faint, 9);
  EXPECT_EQ(h.detection.found, Found::Nothing);
  EXPECT_EQ(h.detection.consumable, faint.size() / kWindow * kWindow - kWindow);
  // Just above them.
  auto weak = Line().quiet(4).say(reply(kKsnFrame, 9), 0.05).settle().heard();
  EXPECT_EQ(listen(weak, 9).decoded.bytes, kKsnFrame);
}

TEST(Swiper1DemodulatorTest, AfterALoudFrameAFifthOfItsLevelIsTooQuiet) {
  Swiper1Demodulator::Levels levels;
  auto loud = Line().quiet(4).say(reply(kKsnFrame, 9), 0.8).settle().heard();
  ASSERT_EQ(listen(loud, 9, &levels).decoded.bytes, kKsnFrame);
  EXPECT_GT(levels.M1, 80.0f);
  EXPECT_GT(levels.M2, 160.0f);

  auto faint = Line().quiet(4).say(reply(kKsnFrame, 9), 0.1).settle().heard();
  EXPECT_EQ(listen(faint, 9, &levels).detection.found, Found::Nothing);
  auto fair = Line().quiet(4).say(reply(kKsnFrame, 9), 0.3).settle().heard();
  EXPECT_EQ(listen(fair, 9, &levels).decoded.bytes, kKsnFrame);
}

TEST(Swiper1DemodulatorTest, AnIntervalOfTheWrongLengthIsAParityError) {
  auto iv = reply(kKsnFrame, 9);
  iv[18 + 3 + 9 * 4] *= 2;  // the first bit of the fifth byte (C3) becomes a 0
  Heard h = listen(Line().quiet(4).say(iv).settle().heard(), 9);
  ASSERT_EQ(h.detection.found, Found::Frame);
  EXPECT_TRUE(h.decoded.parityError);
  EXPECT_TRUE(h.decoded.bytes.empty());
}

TEST(Swiper1DemodulatorTest, OnlyWholeGroupsOfNineIntervalsAreBytes) {
  auto iv = reply(Bytes{0x5A, 0xC3}, 9);
  iv.insert(iv.end() - 1, 5, SimulatedReader0002::oneMicros(9));  // five stray intervals at the end
  Heard h = listen(Line().quiet(4).say(iv).settle().heard(), 9);
  EXPECT_EQ(h.decoded.bytes, (Bytes{0x5A, 0xC3}));

  auto cut = reply(Bytes{0x5A, 0xC3}, 9);
  cut.erase(cut.end() - 6, cut.end() - 1);  // the second byte loses its last intervals
  EXPECT_EQ(listen(Line().quiet(4).say(cut).settle().heard(), 9).decoded.bytes, Bytes{0x5A});
}

TEST(Swiper1DemodulatorTest, TheCalibrationPatternIsAnalysedAgainstItsOwnShortAndLongIntervals) {
  Swiper1Demodulator demod(kRate);
  Swiper1Demodulator::Levels levels;
  auto analyse = [&](const std::vector<double>& iv, int F) {
    auto samples = Line().quiet(4).say(iv).settle().heard();
    const int T = Swiper1Demodulator::thresholdForCode(F, kRate);
    auto d = demod.detect(samples, T, levels);
    EXPECT_EQ(d.found, Found::Frame);
    return demod.analyse(samples, d.dataStart, d.end, T);
  };
  for (int F : {7, 9, 23, 57}) {
    auto r = analyse(SimulatedReader0002::patternIntervals(F), F);
    EXPECT_EQ(r.pattern, Swiper1Demodulator::Pattern::Good) << F;
    const double one = SimulatedReader0002::oneMicros(F) * kRate / 1e6;
    EXPECT_NEAR(r.threshold, 1.5 * one, 2.0) << F;
  }

  const double one = SimulatedReader0002::oneMicros(23);
  auto close = SimulatedReader0002::patternIntervals(23);
  for (size_t i = 21 + 9; i < 21 + 17; ++i) close[i] = one * 1.1;  // long ones hardly longer than short
  EXPECT_EQ(analyse(close, 23).pattern, Swiper1Demodulator::Pattern::Bad);

  auto broken = SimulatedReader0002::patternIntervals(23);
  std::swap(broken[21 + 24], broken[21 + 25]);  // a short where a long belongs
  EXPECT_EQ(analyse(broken, 23).pattern, Swiper1Demodulator::Pattern::Bad);

  auto shortOne = SimulatedReader0002::patternIntervals(23);
  shortOne.erase(shortOne.begin() + 21 + 30, shortOne.end() - 1);  // 30 intervals and the last
  EXPECT_EQ(analyse(shortOne, 23).pattern, Swiper1Demodulator::Pattern::TooShort);
}

TEST(Swiper1DemodulatorTest, HearsThroughNoiseHumOffsetClockErrorAndInversion) {
  struct Case {
    const char* name;
    double amplitude, snrDb, dc, hum, clock;
    bool invert;
  };
  const Case cases[] = {
      {"20 dB", 0.5, 20, 0, 0, 0, false},
      {"10 dB, hum and offset", 0.5, 10, 0.03, 0.1, 0, false},
      {"clock 2 % fast, inverted", 0.5, 20, 0, 0, 0.02, true},
      {"clock 2 % slow", 0.5, 20, 0, 0, -0.02, false},
      {"weak and noisy", 0.06, 15, 0.01, 0, 0, false},
      {"clipped", 1.0, 20, 0.3, 0, 0, false},
  };
  for (const Case& c : cases) {
    for (int F : {7, 9, 23}) {
      for (uint32_t seed = 1; seed <= 5; ++seed) {
        Line line;
        line.quiet(6).say(reply(kKsnFrame, F), c.amplitude, c.clock, c.invert).settle();
        line.noise(c.amplitude / std::pow(10.0, c.snrDb / 20), seed).offset(static_cast<float>(c.dc)).hum(c.hum * c.amplitude, 50);
        Heard h = listen(line.heard(), F);
        EXPECT_EQ(h.decoded.bytes, kKsnFrame) << c.name << ", F " << F << ", seed " << seed;
      }
    }
  }
}

TEST(Swiper1DemodulatorTest, NoiseAloneNeverMakesAFrame) {
  Swiper1Demodulator demod(kRate);
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    Line line;
    line.quiet(100).noise(0.02 * seed, seed).hum(seed % 3 == 0 ? 0.2 : 0, 50);
    auto samples = line.heard();
    Swiper1Demodulator::Levels levels;
    for (int T : {17, 21, 53}) {
      auto d = demod.detect(samples, T, levels);
      EXPECT_TRUE(d.found == Found::Nothing || d.found == Found::Pending) << seed;
    }
  }
}

}  // namespace
}  // namespace nvx::reader
