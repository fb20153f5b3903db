#include "platform/media/MediaVolume.h"

#include <algorithm>
#include <cmath>

namespace platform::media {

MediaVolume& MediaVolume::shared() { return Process::current().shared<MediaVolume>(); }

float MediaVolume::volume() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return volume_;
}

void MediaVolume::setVolume(float v) {
  if (std::isnan(v)) v = 0;
  v = std::clamp(v, 0.0f, 1.0f);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    volume_ = v;
    history_.push_back(v);
  }
  listeners_.call(v);
}

Subscription MediaVolume::observe(std::function<void(float)> listener) { return listeners_.add(std::move(listener)); }

std::vector<float> MediaVolume::history() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return history_;
}

}  // namespace platform::media
