// The input collector of the 0003-0006 readers: it watches the microphone buffer by buffer for
// the start of a signal, keeps the buffer before it as lead-in, records until the signal ends
// (or the store of 49,999 samples is full) and then hands the recording over to be decoded.
//
//   Framed replies: a signal starts with a run of short strong half-waves (NLDemodulator::
//   signalStarts) and goes on while a buffer ends in one (signalGoesOn).
//   Raw stripes: a swipe starts in a buffer with more than 20 zero crossings ending half-waves
//   beyond +-800, and has ended in a buffer with no more than 5 beyond +-1,000.
//
// One object per input queue; used on the queue's thread only.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace nvx::reader {

class NLSignalCollector {
 public:
  enum class Mode { Framed, Raw };
  static constexpr size_t kStoreSamples = 49999;
  static constexpr int kRawStartLevel = 800;
  static constexpr size_t kRawStartCrossings = 20;  // more than this
  static constexpr int kRawEndLevel = 1000;
  static constexpr size_t kRawEndCrossings = 5;     // this many or fewer

  explicit NLSignalCollector(Mode mode);

  // Takes one buffer. True when the recording is complete and is to be decoded now
  // (recording()); reset() then empties the store.
  bool feed(std::span<const int16_t> buffer);
  std::span<const int16_t> recording() const { return store_; }
  bool collecting() const { return collecting_; }
  void reset();

  // Zero crossings in the buffer that end a half-wave whose extreme lies beyond +-level.
  static size_t crossings(std::span<const int16_t> buffer, int level);

 private:
  bool starts(std::span<const int16_t> buffer) const;
  bool goesOn(std::span<const int16_t> buffer) const;

  Mode mode_;
  bool collecting_ = false;
  bool overflow_ = false;
  std::vector<int16_t> store_;
};

}  // namespace nvx::reader
