#include "reader/f0003/NLDemodulator.h"

#include <bit>
#include <cstdlib>

#include "reader/f0003/NLFrame.h"

namespace nvx::reader {

namespace {

constexpr size_t kStartRun = 10;     // more than this many short half-waves start a signal
constexpr size_t kGoesOnRun = 5;     // more than this many at a buffer's end: it goes on
constexpr size_t kGoesOnWindow = 100;
constexpr size_t kGoesOnMaxWidth = 14;
constexpr size_t kMinBits = 25;

bool syncLike(const NLDemodulator::HalfWave& h) {
  return h.width >= NLDemodulator::kSyncMin && h.width <= NLDemodulator::kSyncMax && NLDemodulator::strong(h.peak);
}

size_t firstStrong(std::span<const int16_t> samples, size_t from) {
  while (from < samples.size() && !NLDemodulator::strong(samples[from])) ++from;
  return from;
}

}  // namespace

NLDemodulator::HalfWave NLDemodulator::halfWaveAt(std::span<const int16_t> samples, size_t start) {
  HalfWave h;
  h.start = start;
  int sign = 0;
  size_t i = start;
  for (; i < samples.size(); ++i) {
    const int x = samples[i];
    if (sign == 0 && x != 0) sign = x > 0 ? 1 : -1;
    if (x * sign < 0) break;
    if (std::abs(x) > std::abs(h.peak)) h.peak = x;
  }
  h.width = i - start;
  return h;
}

bool NLDemodulator::signalStarts(std::span<const int16_t> buffer) {
  size_t run = 0;
  for (size_t at = firstStrong(buffer, 0); at < buffer.size();) {
    const HalfWave h = halfWaveAt(buffer, at);
    run = syncLike(h) ? run + 1 : 0;
    if (run > kStartRun) return true;
    at = h.end();
  }
  return false;
}

bool NLDemodulator::signalGoesOn(std::span<const int16_t> buffer) {
  const size_t from = buffer.size() > kGoesOnWindow ? buffer.size() - kGoesOnWindow : 0;
  size_t run = 0;
  size_t end = buffer.size();
  while (end > from) {
    // One half-wave backwards from end.
    int sign = 0, peak = 0;
    size_t i = end;
    while (i > from) {
      const int x = buffer[i - 1];
      if (sign == 0 && x != 0) sign = x > 0 ? 1 : -1;
      if (x * sign < 0) break;
      if (std::abs(x) > std::abs(peak)) peak = x;
      --i;
    }
    const size_t width = end - i;
    run = width >= kSyncMin && width <= kGoesOnMaxWidth && strong(peak) ? run + 1 : 0;
    if (run > kGoesOnRun) return true;
    end = i;
  }
  return false;
}

std::optional<std::vector<uint8_t>> NLDemodulator::bitsToMessage(std::span<const uint8_t> bits) {
  if (bits.size() < 5) return std::nullopt;
  const size_t groups = (bits.size() - 5) / 9;
  std::vector<uint8_t> bytes;
  bytes.reserve(groups);
  bool inverted = false;
  for (size_t g = 0; g < groups; ++g) {
    uint8_t byte = 0;
    for (size_t k = 0; k < 8; ++k) byte = static_cast<uint8_t>((byte << 1) | (bits[9 * g + k] & 1));
    uint8_t parity = bits[9 * g + 8] & 1;
    if (g == 0 && parity != std::popcount(byte) % 2) inverted = true;
    if (inverted) {
      byte = static_cast<uint8_t>(~byte);
      parity ^= 1;
    }
    if (parity != std::popcount(byte) % 2) return std::nullopt;
    bytes.push_back(byte);
  }
  const size_t n = bytes.size();
  if (n < kMinMessageBytes) return std::nullopt;
  if (NLFrame::crc8(std::span<const uint8_t>(bytes).subspan(1, n - 3)) != bytes[n - 2]) return std::nullopt;
  return bytes;
}

std::vector<std::vector<uint8_t>> NLDemodulator::demodulate(std::span<const int16_t> store) {
  std::vector<std::vector<uint8_t>> messages;
  std::vector<uint8_t> bits;
  bits.reserve(kMaxBits);
  size_t s = 0;
  while (messages.size() < kMaxMessages) {
    // Sync: a run of short half-waves ended by a wide one.
    size_t W = 0, K = 0;
    size_t dataStart = 0;
    bool found = false;
    size_t at = firstStrong(store, s);
    while (at < store.size()) {
      const HalfWave h = halfWaveAt(store, at);
      if (syncLike(h)) {
        W += h.width;
        if (++K > kSyncMaxCount) return messages;
        at = h.end();
        continue;
      }
      if (h.width >= kDataMarkMin && K >= kSyncMinCount && strong(h.peak)) {
        dataStart = h.start + h.width / 2;
        found = true;
        break;
      }
      W = K = 0;
      at = firstStrong(store, h.end());
    }
    if (!found) return messages;

    // Timing from the sync.
    const double mean = static_cast<double>(W) / static_cast<double>(K);
    const size_t w1 = W / K;
    const size_t w2 = 2 * W / K;
    const auto shortest = static_cast<size_t>(0.7 * mean);
    const auto longestSingle = static_cast<size_t>(1.5 * mean);
    const auto longestDouble = static_cast<size_t>(1.3 * 2.0 * mean);

    // Manchester bits.
    bits.clear();
    bool midBit = false;
    size_t pos = dataStart;
    while (bits.size() < kMaxBits && pos < store.size()) {
      const HalfWave h = halfWaveAt(store, pos);
      if (h.width < shortest || h.width > longestDouble || !strong(h.peak)) break;
      const uint8_t bit = h.peak > 0 ? 1 : 0;
      if (!midBit) {
        if (h.width > longestSingle + 1) break;
        bits.push_back(bit);
        midBit = true;
      } else {
        if (h.width > longestDouble + 2) break;
        const size_t toDouble = h.width > w2 ? h.width - w2 : w2 - h.width;
        const size_t toSingle = h.width > w1 ? h.width - w1 : w1 - h.width;
        if (toDouble <= toSingle) bits.push_back(bit);
        else midBit = false;
      }
      pos = h.end();
    }
    if (bits.size() >= kMinBits) {
      if (auto message = bitsToMessage(bits)) messages.push_back(std::move(*message));
    }
    if (store.size() < kStoreEndMargin || pos >= store.size() - kStoreEndMargin) break;
    s = pos + kResumeAfter;
  }
  return messages;
}

}  // namespace nvx::reader
