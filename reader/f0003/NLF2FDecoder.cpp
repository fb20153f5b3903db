#include "reader/f0003/NLF2FDecoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

namespace nvx::reader {

namespace {

// --- the signal's bounds --------------------------------------------------------------------

constexpr int kStrongPeak = 451;
constexpr int kWeakRunReset = 3;
constexpr size_t kStrongRun = 20;     // more than this many
constexpr int kEndLevel = 450;
constexpr size_t kMinSignal = 800;    // more than this many samples

// --- peaks ------------------------------------------------------------------------------------

constexpr int kFirstThreshold = 1300;
constexpr int kThresholdUpdateAbove = 500;

struct HalfWave {
  size_t start = 0;
  size_t end = 0;       // one past its last sample
  size_t extreme = 0;   // the index of its extreme sample
  int peak = 0;         // the extreme sample, signed
};

// From `start`, while the samples keep their sign (0 belongs to either).
HalfWave halfWaveAt(std::span<const int16_t> s, size_t start, size_t limit) {
  HalfWave h;
  h.start = start;
  h.extreme = start;
  int sign = 0;
  size_t i = start;
  for (; i < limit; ++i) {
    const int x = s[i];
    if (sign == 0 && x != 0) sign = x > 0 ? 1 : -1;
    if (x * sign < 0) break;
    if (std::abs(x) > std::abs(h.peak)) {
      h.peak = x;
      h.extreme = i;
    }
  }
  h.end = i;
  return h;
}

struct Peak {
  int value = 0;
  char mark = '?';      // '+', '-' or '?'
  size_t end = 0;       // where its half-wave ended
  size_t start = 0;
  size_t extreme = 0;
  size_t width() const { return end - start; }
};

struct Bounds {
  size_t begin = 0;
  size_t end = 0;
};

bool findBounds(std::span<const int16_t> s, Bounds& b) {
  size_t strong = 0, weak = 0, runStart = 0;
  bool found = false;
  for (size_t at = 0; at < s.size();) {
    const HalfWave h = halfWaveAt(s, at, s.size());
    if (std::abs(h.peak) >= kStrongPeak) {
      if (strong == 0) runStart = h.start;
      ++strong;
      weak = 0;
      if (strong > kStrongRun) {
        found = true;
        break;
      }
    } else if (++weak >= kWeakRunReset) {
      strong = 0;
      weak = 0;
    }
    at = h.end;
  }
  if (!found) return false;
  size_t last = s.size();
  while (last > 0 && std::abs(static_cast<int>(s[last - 1])) <= kEndLevel) --last;
  if (last == 0) return false;
  b.begin = runStart;
  b.end = last - 1;
  return b.end > b.begin && b.end - b.begin > kMinSignal;
}

std::vector<Peak> takePeaks(std::span<const int16_t> s, const Bounds& b) {
  std::vector<Peak> peaks;
  peaks.reserve(f2f::kMaxPeaks);
  int threshold = kFirstThreshold;
  char lastAccepted = 0;
  size_t previousWidth = 0;
  for (size_t at = b.begin; at <= b.end && peaks.size() < f2f::kMaxPeaks;) {
    const HalfWave h = halfWaveAt(s, at, b.end + 1);
    Peak p;
    p.value = h.peak;
    p.start = h.start;
    p.end = h.end;
    p.extreme = h.extreme;
    const int magnitude = std::abs(h.peak);
    const char sign = h.peak >= 0 ? '+' : '-';
    const bool accepted = (magnitude > threshold && p.width() > 2) || (lastAccepted != 0 && sign == lastAccepted) ||
                          (magnitude > 0.6 * threshold && 2 * p.width() > previousWidth);
    if (accepted) {
      p.mark = sign;
      lastAccepted = sign;
    }
    if (magnitude > kThresholdUpdateAbove) threshold = std::max(kFirstThreshold, (threshold + magnitude / 2) / 2);
    previousWidth = p.width();
    peaks.push_back(p);
    at = h.end;
  }
  return peaks;
}

void markSpikes(std::vector<Peak>& peaks) {
  const size_t n = peaks.size();
  if (n < 5) return;
  for (size_t i = 1; i + 4 <= n;) {
    Peak& a = peaks[i];
    Peak& m = peaks[i + 1];
    Peak& c = peaks[i + 2];
    const bool middleOther = (m.value >= 0) != (a.value >= 0) && (a.value >= 0) == (c.value >= 0);
    if (middleOther && std::abs(a.value) / 2 > std::abs(m.value) && std::abs(c.value) / 2 > std::abs(m.value)) {
      m.mark = '?';
      a.mark = a.value >= 0 ? '+' : '-';
      c.mark = c.value >= 0 ? '+' : '-';
      i += 3;
    } else {
      ++i;
    }
  }
}

// --- intervals --------------------------------------------------------------------------------

enum class Timing { HalfWaveStart, PeakExtreme };

std::vector<int> measureIntervals(const std::vector<Peak>& peaks, Timing timing) {
  std::vector<int> intervals;
  intervals.reserve(f2f::kMaxIntervals);
  size_t ref = 1;
  while (ref < peaks.size() && peaks[ref].mark == '?') ++ref;
  if (ref >= peaks.size()) return intervals;
  int runningMax = std::abs(peaks[ref].value);
  long lastReversal = static_cast<long>(peaks[ref].start);
  char current = peaks[ref].mark;
  int skip = 0;
  int secondReference = kFirstThreshold;
  for (size_t i = ref + 1; i < peaks.size() && intervals.size() < f2f::kMaxIntervals; ++i) {
    const Peak& p = peaks[i];
    const int magnitude = std::abs(p.value);
    runningMax = std::max(runningMax, magnitude);
    if (p.mark == '?') {
      ++skip;
      continue;
    }
    if (p.mark == current) {
      skip = 0;
      continue;
    }
    bool candidate = 4 * magnitude >= runningMax;
    if (!candidate) {
      int largest = magnitude;
      for (size_t k = i + 1; k <= i + 3 && k < peaks.size(); ++k) {
        if (peaks[k].mark == current) break;
        if (peaks[k].mark == '?') continue;
        largest = std::max(largest, std::abs(peaks[k].value));
      }
      candidate = 16 * largest >= runningMax;
    }
    if (!candidate) {
      ++skip;
      continue;
    }
    long position = -1;
    if (timing == Timing::HalfWaveStart) {
      const size_t back = static_cast<size_t>(skip + 1) / 2;
      const size_t j = back < i ? i - back : 0;
      position = static_cast<long>(peaks[j].start);
    } else {
      for (size_t k = i; k-- > 0;) {
        if (std::abs(peaks[k].value) > secondReference) {
          position = static_cast<long>(peaks[k].extreme);
          secondReference = std::abs(peaks[k].value) / 2;
          break;
        }
      }
    }
    const long interval = position - lastReversal;
    if (position >= 0 && intervals.size() >= 3 &&
        !(8 * interval >= intervals.back() && interval > 2)) {
      ++skip;
      continue;
    }
    current = p.mark;
    skip = 0;
    if (position < 0 || interval <= 0) continue;  // no reversal to time it by
    intervals.push_back(static_cast<int>(interval));
    lastReversal = position;
  }
  return intervals;
}

// --- bits -------------------------------------------------------------------------------------

bool between(int x, int low, int high) { return x >= low && x <= high; }

// The look-ahead's vote: the next three bits parse as whole bits and halves of the period.
int lookAhead(const std::vector<int>& I, size_t i, int g) {
  const size_t n = I.size();
  int h = g;
  size_t p = i;
  for (int step = 0; step < 3; ++step) {
    if (p + 1 >= n) return 0;
    const int l = I[p];
    const int follower = I[p + 1];
    if (4 * l > 3 * h && std::abs(l + follower - h) > h / 4) {
      h += follower;
      p += 1;
    } else if (std::abs(l + follower - h) <= h / 4) {
      if (p + 3 >= n) return 0;
      h += I[p + 2] + I[p + 3];
      p += 2;
    } else {
      return 0;
    }
    h /= 2;
  }
  return 4 * I[i] > 3 * g ? -300 : 300;
}

std::string readBits(std::vector<int> I) {
  std::string bits;
  const size_t n = I.size();
  for (int& x : I) x *= 4;
  // A steady start: 4 intervals of at least 10, each within a quarter of itself of the one before.
  size_t start = n;
  for (size_t k = 0; k + 50 <= n; ++k) {
    bool steady = true;
    for (size_t m = k; m < k + 4 && steady; ++m) {
      steady = I[m] >= 10 && (m == k || std::abs(I[m] - I[m - 1]) <= I[m] / 4);
    }
    if (steady) {
      start = k;
      break;
    }
  }
  if (start == n) return bits;
  int history[4] = {I[start + 3], I[start + 2], I[start + 1], I[start]};  // newest first
  int g = (I[start] + I[start + 1] + I[start + 2] + I[start + 3]) / 4;

  for (size_t i = start; i + 4 < n && bits.size() < f2f::kMaxBits;) {
    const int l = I[i], t = I[i + 1], c = I[i + 2], d = I[i + 3], e = I[i + 4];
    if (16 * l < g) {
      ++i;
      continue;
    }
    const int r = lookAhead(I, i, g);
    const int u = std::abs(l - g);
    const int v = l + t - g;
    const auto outside = [g](int x) { return !between(4 * x, 3 * g, 5 * g); };
    int s;
    if (u < std::abs(v)) {
      s = r - 6;
      if (outside(t) && outside(t + c)) s += 2;
    } else if (std::abs(v) < u) {
      s = (outside(c) && outside(c + d)) ? (r | 3) : (r | 3) + 2;
    } else {
      s = r | 1;
    }
    if (i - start < 10 && 8 * v > g && 2 * t > g && 2 * l > g) s -= 5;
    if (4 * t < g || 4 * l < 3 * g) s += 3;
    if (2 * l < g) s += 1;
    if (4 * (l + t) < 3 * g) s -= 1;
    if (4 * t >= 3 * g) s -= 1;
    s -= 2;
    if (!(4 * (l + t) > 5 * g)) s += 1;
    if (4 * (t + c) >= 3 * g) s -= 1;
    if (!(4 * u > g)) s -= 2;
    if (4 * std::abs(v) < g) s += 2;
    if (4 * std::abs(t + c - g) < g) s -= 2;
    if (s > 0) {
      if (between(4 * (c + d), 2 * g, 3 * g) && 2 * (c + e) > 3 * g) s -= 5;
      if (3 * (l + t) > 4 * g) s -= 5;
    } else {
      if (between(4 * t, 2 * g, 3 * g) && 2 * (t + c) > 3 * g) s += 5;
      if (3 * (l + t) < 4 * g) s += 5;
    }
    int length;
    if (s >= 1) {
      bits += '1';
      length = l + t;
      i += 2;
    } else {
      bits += '0';
      length = l;
      i += 1;
    }
    length = std::min(length, 7 * g / 5);
    history[3] = history[2];
    history[2] = history[1];
    history[1] = history[0];
    history[0] = length;
    g = std::max(1, (2 * history[0] + history[1] + history[2] / 2 + history[3] / 2) / 4);
  }
  return bits;
}

// --- characters -------------------------------------------------------------------------------

constexpr int kStartSentinel = 11;
constexpr int kEndSentinel = 15;

// The character at p (5 bits): its value, or -1 for a wrong parity bit.
int character(std::string_view bits, size_t p) {
  int value = 0, ones = 0;
  for (int k = 0; k < 5; ++k) {
    const int b = bits[p + static_cast<size_t>(k)] == '1';
    ones += b;
    if (k < 4) value |= b << k;
  }
  return ones % 2 == 1 ? value : -1;
}

// One direction: the first track whose characters, end sentinel and LRC hold.
std::string search(std::string_view bits) {
  size_t zeros = 0;
  for (size_t p = 0; p + 10 <= bits.size(); ++p) {
    if (zeros > 4 && bits.substr(p, 5) == "11010" && bits.substr(p + 5, 5) != "11111") {
      std::string out(1, static_cast<char>(kStartSentinel + 0x30));
      int lrc = kStartSentinel;
      bool ended = false, ok = false;
      for (size_t q = p + 5; q + 5 <= bits.size(); q += 5) {
        const int ch = character(bits, q);
        if (ch < 0) break;
        if (ended) {
          ok = (ch & 0x0F) == lrc;
          break;
        }
        if (out.size() >= f2f::kMaxCharacters) break;
        out += static_cast<char>(ch + 0x30);
        lrc ^= ch;
        if (ch == kEndSentinel) ended = true;
      }
      if (ok) return out;
      // The search goes on after the sentinel.
      p += 4;
      zeros = 0;
      continue;
    }
    zeros = bits[p] == '0' ? zeros + 1 : 0;
  }
  return {};
}

}  // namespace

namespace f2f {

std::string track2FromBits(std::string_view bits) {
  std::string out = search(bits);
  if (out.empty()) {
    // Turned round even when something looked like a start sentinel: read backwards, the digits
    // of almost any card hold that pattern after five zeros somewhere, and it would keep a swipe
    // the other way from ever being read.
    std::string reversed(bits.rbegin(), bits.rend());
    out = search(reversed);
  }
  return out;
}

}  // namespace f2f

int decode_f2f_track2(const int16_t* samples, size_t count, char* output, size_t outputSize) {
  if (!samples || !output || outputSize == 0) return -1;
  output[0] = 0;
  std::span<const int16_t> s(samples, count);
  Bounds bounds;
  if (!findBounds(s, bounds)) return -1;
  std::vector<Peak> peaks = takePeaks(s, bounds);
  markSpikes(peaks);
  std::string track;
  for (Timing timing : {Timing::HalfWaveStart, Timing::PeakExtreme}) {
    track = f2f::track2FromBits(readBits(measureIntervals(peaks, timing)));
    if (!track.empty()) break;
  }
  if (track.empty() || track.size() + 1 > outputSize) return -1;
  std::memcpy(output, track.data(), track.size());
  output[track.size()] = 0;
  const int written = static_cast<int>(track.size());
  std::fill(track.begin(), track.end(), '\0');
  return written;
}

}  // namespace nvx::reader
