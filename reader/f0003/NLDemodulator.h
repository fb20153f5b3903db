// The reader's side of the 0003-0006 audio link, as the phone hears it on the microphone
// (48,000 samples/s, signed 16 bits). A reply is a Manchester signal: a sync of short half-waves
// (3 to 7 samples, peaks beyond +-5,000), one half-wave at least 8 samples wide whose second
// half is the first half of the first bit, then the bits: a bit is a positive (1) or negative
// (0) half of the nominal width w1 followed by the opposite half, so a half-wave of about 2 w1
// carries one bit's second half and the next bit's first. The bits form groups of 9, 8 data bits
// most significant first and an even parity bit; a first byte whose parity fails means the line
// is inverted. The bytes are a frame (NLFrame) of at least 7 bytes whose check byte holds.
//
// Plain functions over sample buffers; the audio helper runs them on the input queue's thread.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace nvx::reader {

struct NLDemodulator {
  static constexpr int kPeak = 5000;             // a peak counts from this magnitude on
  static constexpr size_t kSyncMin = 3;          // sync half-wave widths
  static constexpr size_t kSyncMax = 7;
  static constexpr size_t kSyncMaxCount = 300;   // more: no sync in the store
  static constexpr size_t kSyncMinCount = 8;
  static constexpr size_t kDataMarkMin = 8;      // the half-wave that ends the sync
  static constexpr size_t kMaxBits = 2400;
  static constexpr size_t kMaxMessages = 3;
  static constexpr size_t kMinMessageBytes = 7;
  static constexpr size_t kResumeAfter = 100;    // samples after a message's end
  static constexpr size_t kStoreEndMargin = 500;

  struct HalfWave {
    size_t start = 0;
    size_t width = 0;
    int peak = 0;  // the extreme sample, with its sign (0 for a run of zeros)
    size_t end() const { return start + width; }
  };

  static bool strong(int sample) { return sample >= kPeak || sample <= -kPeak; }
  // The half-wave from `start`: it runs while the samples keep their sign (0 belongs to either).
  static HalfWave halfWaveAt(std::span<const int16_t> samples, size_t start);

  // The input collector's tests on one buffer. A signal starts at the first strong sample with a
  // run of more than 10 half-waves 3 to 7 samples wide with strong peaks after it.
  static bool signalStarts(std::span<const int16_t> buffer);
  // The signal goes on: the last 100 samples, read backwards, hold more than 5 consecutive
  // half-waves 3 to 14 samples wide with strong peaks.
  static bool signalGoesOn(std::span<const int16_t> buffer);

  // The accepted messages of a recording, in order (at most 3).
  static std::vector<std::vector<uint8_t>> demodulate(std::span<const int16_t> store);
  // The bits of one message (each 0 or 1) as its bytes, when they make an accepted message.
  static std::optional<std::vector<uint8_t>> bitsToMessage(std::span<const uint8_t> bits);
};

}  // namespace nvx::reader
