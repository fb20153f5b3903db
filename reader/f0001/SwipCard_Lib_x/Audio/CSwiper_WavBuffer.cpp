#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_WavBuffer.h"

#include <algorithm>

namespace nvx::reader {

void CSwiper_WavBuffer::reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::fill(samples_.begin(), samples_.end(), 0);
  length_ = 0;
  decodeLength_ = 0;
  resetPending_ = false;
}

void CSwiper_WavBuffer::requestReset() {
  std::lock_guard<std::mutex> lock(mutex_);
  resetPending_ = true;
}

void CSwiper_WavBuffer::takePendingResetLocked() {
  if (!resetPending_) return;
  resetPending_ = false;
  std::fill(samples_.begin(), samples_.begin() + static_cast<std::ptrdiff_t>(length_), 0);
  length_ = 0;
  decodeLength_ = 0;
}

void CSwiper_WavBuffer::storeAtStart(std::span<const int16_t> buffer) {
  std::lock_guard<std::mutex> lock(mutex_);
  takePendingResetLocked();
  if (buffer.size() > samples_.size()) return;
  std::copy(buffer.begin(), buffer.end(), samples_.begin());
  length_ = buffer.size();
}

void CSwiper_WavBuffer::append(std::span<const int16_t> buffer) {
  std::lock_guard<std::mutex> lock(mutex_);
  takePendingResetLocked();
  if (buffer.size() > samples_.size() - length_) return;
  std::copy(buffer.begin(), buffer.end(), samples_.begin() + static_cast<std::ptrdiff_t>(length_));
  length_ += buffer.size();
}

void CSwiper_WavBuffer::markSwipeEnd() {
  std::lock_guard<std::mutex> lock(mutex_);
  decodeLength_ = length_;
}

std::vector<int16_t> CSwiper_WavBuffer::decodeSamples() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return {samples_.begin(), samples_.begin() + static_cast<std::ptrdiff_t>(decodeLength_)};
}

size_t CSwiper_WavBuffer::length() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return length_;
}

size_t CSwiper_WavBuffer::decodeLength() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return decodeLength_;
}

bool CSwiper_WavBuffer::resetPending() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return resetPending_;
}

}  // namespace nvx::reader
