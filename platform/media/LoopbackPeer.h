// A loopback plug for the headset socket: what the phone plays on the left channel comes back into
// the microphone one hardware buffer later (at `echoGain`). It keeps everything it heard, and can
// speak a fixed level instead of the echo. Used by tests and diagnostics.
#pragma once
#include <mutex>
#include <optional>
#include <vector>

#include "platform/media/Peer.h"

namespace platform::media {

class LoopbackPeer : public Peer {
 public:
  explicit LoopbackPeer(float echoGain = 1.0f) : echoGain_(echoGain) {}

  void hear(std::span<const float> left, std::span<const float> right, double rate) override {
    std::lock_guard<std::mutex> lock(mutex_);
    heardLeft_.insert(heardLeft_.end(), left.begin(), left.end());
    heardRight_.insert(heardRight_.end(), right.begin(), right.end());
    last_.assign(left.begin(), left.end());
    rate_ = rate;
    ++blocks_;
  }

  void speak(std::span<float> mic, double) override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++spoken_;
    for (size_t i = 0; i < mic.size(); ++i) {
      if (level_) mic[i] = *level_;
      else if (i < last_.size()) mic[i] = last_[i] * echoGain_;
    }
  }

  // Speak this constant level instead of the echo (nullopt: echo again).
  void speakLevel(std::optional<float> level) {
    std::lock_guard<std::mutex> lock(mutex_);
    level_ = level;
  }

  std::vector<float> heardLeft() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return heardLeft_;
  }
  std::vector<float> heardRight() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return heardRight_;
  }
  size_t blocksHeard() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return blocks_;
  }
  size_t timesSpoken() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return spoken_;
  }
  double rate() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return rate_;
  }

 private:
  mutable std::mutex mutex_;
  float echoGain_;
  std::optional<float> level_;
  std::vector<float> last_;
  std::vector<float> heardLeft_, heardRight_;
  size_t blocks_ = 0;
  size_t spoken_ = 0;
  double rate_ = 0;
};

}  // namespace platform::media
