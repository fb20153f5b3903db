// The reader's side of the 0002 link as the phone hears it: the reader answers with "intervals",
// a signal whose level changes carry the bits in the time between two changes. A reply is
//   a preamble of 12 to 24 intervals of 0.4-0.6 ms (25 or more: a "long tone", the reader's
//   acceptance of a transmit-calibration probe),
//   the interval that ends the preamble and two more,
//   per byte 8 intervals, most significant bit first, shorter than T for a 1, and a ninth that
//   makes the count of 1s odd.
// The demodulator works on the capture ring's 8-bit samples (the high byte of the microphone's
// 16-bit values).
//
// Frames are found by their energy in windows of 2 ms; a crossing of the zero line ends an
// interval. To keep working under noise, hum and a DC offset: a window is loud only well above
// the background (the quietest window heard over the last second) as well as above the fixed
// floors; for the crossings the
// samples are smoothed with a short moving average (about a third of a 1 bit, which delays every
// level change alike and so leaves the intervals as they were), the zero line lies midway
// between the two levels, a level change counts only once the signal has gone a good way past
// the zero line (it is placed where the signal crossed it), and the data end at an interval far
// longer than any bit (the reader has stopped; the rest is the line's noise).
#pragma once
#include <cstddef>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace nvx::reader {

class Swiper1Demodulator {
 public:
  // Energy thresholds (8-bit units): A and B are the fixed floors; M1 and M2, the largest mean
  // absolute amplitude and peak-to-peak amplitude of a frame heard so far, grow over the run.
  struct Levels {
    int A = 2;
    int B = 2;
    float M1 = 0;
    float M2 = 0;
    // The quietest window of each of the last looks (about a second of them): the background.
    static constexpr size_t kLooks = 50;
    std::array<float, kLooks> quietest{};
    size_t looks = 0;
    float background() const;
    void heard(float quietestWindow);
  };

  enum class Found {
    Nothing,   // no frame (yet)
    Pending,   // a frame has begun and not yet ended
    Frame,     // a frame: its data lies in [dataStart, end)
    LongTone,  // a preamble of 25 intervals or more
  };

  struct Detection {
    Found found = Found::Nothing;
    size_t start = 0;      // where the frame begins (Pending, Frame, LongTone)
    size_t dataStart = 0;  // Frame, LongTone
    size_t end = 0;        // Frame, LongTone
    // Samples the ring may drop from its front: when nothing loud was heard, all windows
    // examined but the last; up to a window before a frame that has not ended yet (the window
    // kept tells the quiet level, and samples after the last whole window were not examined);
    // the frame's end once it has been taken.
    size_t consumable = 0;
  };

  struct Decoded {
    std::vector<uint8_t> bytes;
    bool parityError = false;
  };

  enum class Pattern { TooShort, Bad, Good };
  struct PatternResult {
    Pattern pattern = Pattern::TooShort;
    int threshold = 0;  // Good (and Bad after the first test): the midpoint of short and long
  };

  static constexpr size_t kMaxDetectIntervals = 61;
  static constexpr size_t kMaxDecodeIntervals = 5000;
  static constexpr size_t kMinFrameRun = 12;
  static constexpr size_t kMinLongToneRun = 25;
  static constexpr size_t kPatternIntervals = 32;

  explicit Swiper1Demodulator(uint32_t rate);
  uint32_t rate() const { return rate_; }

  // The receive threshold of speed code F, in samples: a 1 lasts about (17F + F/3 + 9)/2 us, a 0
  // twice that; the threshold sits at 1.5 times a 1.
  static int thresholdForCode(int F, uint32_t rate);
  // The smoothing length for threshold T.
  int smoothing(int T) const;

  // Looks for the first frame in the ring's samples. T is the current receive threshold (it sets
  // the smoothing). M1 and M2 grow with every frame of at least 5 ms.
  Detection detect(std::span<const int8_t> samples, int T, Levels& levels);
  // Decodes the bytes of the region [from, to) at threshold T. Whole groups of 9 intervals only.
  Decoded decode(std::span<const int8_t> samples, size_t from, size_t to, int T);
  // Checks a receive-calibration reply in [from, to) sent at the speed whose threshold is T:
  // 9 short intervals, 8 long ones, one more, then short and long alternating up to interval 31.
  PatternResult analyse(std::span<const int8_t> samples, size_t from, size_t to, int T);

  // The intervals of [from, to) as decoding sees them (intervals not longer than max(2, T/3)
  // samples are merged into the next), at most maxCount.
  std::vector<int> intervals(std::span<const int8_t> samples, size_t from, size_t to, int T, size_t maxCount);

 private:
  // Smooths samples [from, to) into y_ (y_[0] is sample from), in 8-bit units.
  void smooth(std::span<const int8_t> samples, size_t from, size_t to, int k);
  // Level changes of y_ in [from, to) around `zero`, counted once the signal is `hysteresis`
  // past it; positions_ gets from followed by each kept change. Changes closer than minKeep + 1
  // to the last kept one are dropped. At most maxCount intervals; with longest > 0, an interval
  // longer than that ends the list (the reader has stopped).
  void changes(size_t from, size_t to, float zero, float hysteresis, int minKeep, size_t maxCount, float longest);
  // Mean absolute deviation of y_ in [from, to) about its mean.
  float smoothMad(size_t from, size_t to) const;
  // The zero line and the hysteresis of y_ in [from, to).
  void levelsOf(size_t from, size_t to, float& zero, float& hysteresis);

  uint32_t rate_;
  std::vector<float> y_;
  size_t yBase_ = 0;  // the sample index of y_[0]
  std::vector<size_t> positions_;
  std::vector<float> deviation_;
  std::vector<float> windowMad_;
  std::vector<float> windowP2p_;
  std::vector<float> windowSmooth_;
};

}  // namespace nvx::reader
