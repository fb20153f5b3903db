// The samples of one family 0001 recording (16-bit mono, up to 8 s at 44.1 kHz): the capture
// stores into it on the audio thread while the decoder copies the finished swipe out of it on
// its worker thread and the recorder resets it on the main thread, so every access is locked.
#pragma once
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

namespace nvx::reader {

class CSwiper_WavBuffer {
 public:
  static constexpr size_t kCapacity = 352800;

  CSwiper_WavBuffer() : samples_(kCapacity, 0) {}

  // Zeroed and empty.
  void reset();
  // Cleared before the next store.
  void requestReset();
  // The buffer becomes the whole content (nothing is stored when it exceeds the capacity).
  void storeAtStart(std::span<const int16_t> buffer);
  // Appended (dropped when it would overflow).
  void append(std::span<const int16_t> buffer);
  // What is stored now belongs to the finished swipe.
  void markSwipeEnd();
  // The samples of the finished swipe.
  std::vector<int16_t> decodeSamples() const;

  size_t length() const;
  size_t decodeLength() const;
  bool resetPending() const;

 private:
  void takePendingResetLocked();

  mutable std::mutex mutex_;
  std::vector<int16_t> samples_;
  size_t length_ = 0;
  size_t decodeLength_ = 0;
  bool resetPending_ = false;
};

}  // namespace nvx::reader
