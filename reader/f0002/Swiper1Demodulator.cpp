#include "reader/f0002/Swiper1Demodulator.h"

#include <algorithm>
#include <cmath>

namespace nvx::reader {

namespace {

// A window is loud only when its mean absolute deviation is this many times the background's
// (noise, hum and offsets stay quiet).
constexpr float kAboveQuietest = 3.0f;
// A level change counts once the signal is this fraction of its amplitude past the zero line.
constexpr float kHysteresis = 0.4f;
// No interval of data lasts this many times the threshold (a 0 lasts about 1.33 T).
constexpr float kLongestData = 2.5f;

// Mean absolute deviation about the mean and peak-to-peak of samples [from, to) (8-bit units).
void rawStats(std::span<const int8_t> x, size_t from, size_t to, float& mad, float& p2p) {
  mad = p2p = 0;
  if (to <= from) return;
  int64_t sum = 0;
  int lo = x[from], hi = x[from];
  for (size_t i = from; i < to; ++i) {
    sum += x[i];
    lo = std::min<int>(lo, x[i]);
    hi = std::max<int>(hi, x[i]);
  }
  const double mean = static_cast<double>(sum) / static_cast<double>(to - from);
  double dev = 0;
  for (size_t i = from; i < to; ++i) dev += std::fabs(x[i] - mean);
  mad = static_cast<float>(dev / static_cast<double>(to - from));
  p2p = static_cast<float>(hi - lo);
}

}  // namespace

float Swiper1Demodulator::Levels::background() const {
  const size_t n = std::min(looks, kLooks);
  if (n == 0) return 0;
  return *std::min_element(quietest.begin(), quietest.begin() + static_cast<std::ptrdiff_t>(n));
}

void Swiper1Demodulator::Levels::heard(float quietestWindow) { quietest[looks++ % kLooks] = quietestWindow; }

Swiper1Demodulator::Swiper1Demodulator(uint32_t rate) : rate_(rate == 0 ? 1 : rate) {}

int Swiper1Demodulator::thresholdForCode(int F, uint32_t rate) {
  int64_t oneMicros = (17 * static_cast<int64_t>(F) + F / 3 + 9) / 2;
  return static_cast<int>(static_cast<int64_t>(rate) * oneMicros * 3 / 2000000);
}

int Swiper1Demodulator::smoothing(int T) const {
  int k = std::min(T / 2, static_cast<int>(rate_ / 5000));
  return std::max(k, 1);
}

void Swiper1Demodulator::smooth(std::span<const int8_t> samples, size_t from, size_t to, int k) {
  to = std::min(to, samples.size());
  from = std::min(from, to);
  y_.resize(to - from);
  yBase_ = from;
  const size_t K = static_cast<size_t>(k);
  const size_t lo = from >= K - 1 ? from - (K - 1) : 0;
  int32_t sum = 0;
  for (size_t j = lo; j < from; ++j) sum += samples[j];
  const float scale = 1.0f / static_cast<float>(k);
  for (size_t i = from; i < to; ++i) {
    sum += samples[i];
    if (i >= K && i - K >= lo) sum -= samples[i - K];
    y_[i - from] = static_cast<float>(sum) * scale;
  }
}

float Swiper1Demodulator::smoothMad(size_t from, size_t to) const {
  if (to <= from) return 0;
  const float* y = y_.data() + (from - yBase_);
  const size_t n = to - from;
  double sum = 0;
  for (size_t i = 0; i < n; ++i) sum += y[i];
  const double mean = sum / static_cast<double>(n);
  double dev = 0;
  for (size_t i = 0; i < n; ++i) dev += std::fabs(y[i] - mean);
  return static_cast<float>(dev / static_cast<double>(n));
}

void Swiper1Demodulator::levelsOf(size_t from, size_t to, float& zero, float& hysteresis) {
  zero = hysteresis = 0;
  if (to <= from) return;
  const float* y = y_.data() + (from - yBase_);
  const size_t n = to - from;
  double sum = 0;
  for (size_t i = 0; i < n; ++i) sum += y[i];
  const double mean = sum / static_cast<double>(n);
  // The zero line lies midway between the two levels (the mean leans towards the level that
  // happens to last longer).
  double hi = 0, lo = 0;
  size_t nHi = 0, nLo = 0;
  for (size_t i = 0; i < n; ++i) {
    if (y[i] > mean) {
      hi += y[i];
      ++nHi;
    } else {
      lo += y[i];
      ++nLo;
    }
  }
  zero = static_cast<float>(nHi && nLo ? (hi / static_cast<double>(nHi) + lo / static_cast<double>(nLo)) / 2 : mean);
  // The signal's amplitude: the deviation that a tenth of the samples exceed.
  deviation_.resize(n);
  for (size_t i = 0; i < n; ++i) deviation_[i] = std::fabs(y[i] - zero);
  auto tenth = deviation_.begin() + static_cast<std::ptrdiff_t>(n - 1 - n / 10);
  std::nth_element(deviation_.begin(), tenth, deviation_.end());
  hysteresis = kHysteresis * *tenth;
}

void Swiper1Demodulator::changes(size_t from, size_t to, float zero, float hysteresis, int minKeep,
                                 size_t maxCount, float longest) {
  positions_.clear();
  positions_.push_back(from);
  if (to <= from + 1) return;
  const float* y = y_.data() + (from - yBase_);
  const size_t n = to - from;
  float prev = y[0] - zero;
  int state = prev > hysteresis ? 1 : (prev < -hysteresis ? -1 : 0);
  size_t lastUp = 0, lastDown = 0, kept = 0;
  const size_t keepAbove = static_cast<size_t>(std::max(minKeep, 0));
  bool over = false;
  auto emit = [&](size_t at) {
    if (at - kept > keepAbove) {
      if (longest > 0 && static_cast<float>(at - kept) > longest) {
        over = true;  // the reader has stopped: what follows is not data
        return;
      }
      positions_.push_back(from + at);
      kept = at;
    }
  };
  for (size_t i = 1; i < n && !over && positions_.size() <= maxCount; ++i) {
    float v = y[i] - zero;
    if (prev <= 0 && v > 0) lastUp = i;
    else if (prev > 0 && v <= 0) lastDown = i;
    prev = v;
    if (v > hysteresis) {
      if (state < 0) emit(lastUp);
      state = 1;
    } else if (v < -hysteresis) {
      if (state > 0) emit(lastDown);
      state = -1;
    }
  }
}

Swiper1Demodulator::Detection Swiper1Demodulator::detect(std::span<const int8_t> samples, int T, Levels& levels) {
  Detection d;
  const size_t W = std::max<size_t>(rate_ / 500, 1);
  const size_t nw = samples.size() / W;
  if (nw < 4) return d;

  // The fixed floors and the frame levels on the samples as captured; the comparison with the
  // background on the smoothed samples, where the line's noise is weaker and the reader's
  // signal hardly so.
  smooth(samples, 0, nw * W, smoothing(T));
  windowMad_.resize(nw);
  windowP2p_.resize(nw);
  windowSmooth_.resize(nw);
  float quietest = 0;
  for (size_t w = 0; w < nw; ++w) {
    rawStats(samples, w * W, (w + 1) * W, windowMad_[w], windowP2p_[w]);
    windowSmooth_[w] = smoothMad(w * W, (w + 1) * W);
    quietest = w == 0 ? windowSmooth_[w] : std::min(quietest, windowSmooth_[w]);
  }
  levels.heard(quietest);
  const float background = levels.background();
  auto loud = [&](size_t w) {
    float madFloor = std::max(2.0f * static_cast<float>(levels.B), levels.M1 / 5.0f);
    float p2pFloor = std::max(2.0f * static_cast<float>(levels.A), levels.M2 / 5.0f);
    return windowMad_[w] > madFloor && windowP2p_[w] > p2pFloor && windowSmooth_[w] > kAboveQuietest * background;
  };

  const size_t minFrame = static_cast<size_t>(rate_) * 5 / 1000;
  // 0.4 ms < interval < 0.6 ms
  auto preambleLike = [&](size_t iv) { return iv * 2500 > rate_ && iv * 5000 < static_cast<size_t>(rate_) * 3; };

  size_t w = 0;
  for (;;) {
    size_t ws = w;
    while (ws < nw && !loud(ws)) ++ws;
    if (ws >= nw) {
      // Nothing loud: all but the last window examined may go; that window stays as the quiet
      // level for the next look, and what came after it has not been examined yet.
      d.found = Found::Nothing;
      d.consumable = (nw - 1) * W;
      return d;
    }
    size_t we = ws + 1;
    while (we < nw && loud(we)) ++we;
    const size_t start = ws * W;
    if (we >= nw) {
      d.found = Found::Pending;
      d.start = start;
      d.consumable = start >= W ? start - W : 0;
      return d;
    }
    const size_t end = (we + 1) * W;
    w = we + 1;
    if (end - start < minFrame) continue;

    float mad = 0, p2p = 0;
    rawStats(samples, start, end, mad, p2p);
    levels.M1 = std::max(levels.M1, mad);
    levels.M2 = std::max(levels.M2, p2p);
    if (mad < levels.M1 / 5.0f) continue;

    smooth(samples, start, end, smoothing(T));
    float zero = 0, hysteresis = 0;
    levelsOf(start, end, zero, hysteresis);
    changes(start, end, zero, hysteresis, 2, kMaxDetectIntervals, 0);
    const size_t count = positions_.size() - 1;
    if (count <= 9) continue;

    size_t run = 0, ender = count;
    bool found = false;
    for (size_t i = 0; i < count; ++i) {
      if (preambleLike(positions_[i + 1] - positions_[i])) {
        ++run;
        continue;
      }
      if (run >= kMinFrameRun) {
        found = true;
        ender = i;
        break;
      }
      run = 0;
    }
    if (!found && run >= kMinFrameRun) found = true;  // the run lasts to the last interval seen
    if (!found) continue;

    d.start = start;
    d.end = end;
    d.consumable = end;
    if (ender < count) {
      d.dataStart = positions_[ender + 1];
      if (count - ender - 1 >= 10) d.dataStart = positions_[ender + 3];
    } else {
      d.dataStart = positions_[count];
    }
    d.found = run >= kMinLongToneRun ? Found::LongTone : Found::Frame;
    return d;
  }
}

std::vector<int> Swiper1Demodulator::intervals(std::span<const int8_t> samples, size_t from, size_t to, int T,
                                               size_t maxCount) {
  std::vector<int> out;
  to = std::min(to, samples.size());
  if (to <= from) return out;
  smooth(samples, from, to, smoothing(T));
  float zero = 0, hysteresis = 0;
  levelsOf(from, to, zero, hysteresis);
  changes(from, to, zero, hysteresis, std::max(2, T / 3), maxCount, kLongestData * static_cast<float>(T));
  out.reserve(positions_.size());
  for (size_t i = 1; i < positions_.size(); ++i) out.push_back(static_cast<int>(positions_[i] - positions_[i - 1]));
  return out;
}

Swiper1Demodulator::Decoded Swiper1Demodulator::decode(std::span<const int8_t> samples, size_t from, size_t to,
                                                       int T) {
  Decoded out;
  std::vector<int> iv = intervals(samples, from, to, T, kMaxDecodeIntervals);
  const size_t groups = iv.size() / 9;
  out.bytes.reserve(groups);
  for (size_t g = 0; g < groups; ++g) {
    int ones = 0;
    uint8_t byte = 0;
    for (size_t b = 0; b < 9; ++b) {
      int bit = iv[g * 9 + b] < T ? 1 : 0;
      ones += bit;
      if (b < 8) byte = static_cast<uint8_t>((byte << 1) | bit);
    }
    if (ones % 2 == 0) {
      out.bytes.clear();
      out.parityError = true;
      return out;
    }
    out.bytes.push_back(byte);
  }
  return out;
}

Swiper1Demodulator::PatternResult Swiper1Demodulator::analyse(std::span<const int8_t> samples, size_t from,
                                                              size_t to, int T) {
  PatternResult r;
  std::vector<int> iv = intervals(samples, from, to, T, kMaxDetectIntervals);
  if (iv.size() < kPatternIntervals) return r;
  const int X = *std::max_element(iv.begin(), iv.begin() + 9);
  const int N = *std::min_element(iv.begin() + 9, iv.begin() + 17);
  r.pattern = Pattern::Bad;
  if (!(X + 1 < N && 6 * X / 5 < N)) return r;
  r.threshold = (X + N) / 2;
  for (size_t i = 18; i < kPatternIntervals; ++i) {
    bool ok = (i % 2 == 1) ? iv[i] >= r.threshold : iv[i] <= r.threshold;
    if (!ok) return r;
  }
  r.pattern = Pattern::Good;
  return r;
}

}  // namespace nvx::reader
