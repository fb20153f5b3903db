// The application's media (music player) volume, 0..1: the system output volume every stream is
// scaled by before it leaves the phone. One per process.
#pragma once
#include <mutex>
#include <vector>

#include "platform/foundation/Process.h"
#include "platform/media/Subscription.h"

namespace platform::media {

class MediaVolume {
 public:
  static MediaVolume& shared();

  float volume() const;                 // 1.0 at start
  void setVolume(float v);              // clipped to 0..1; listeners hear every set, on the setting thread
  [[nodiscard]] Subscription observe(std::function<void(float)> listener);
  // Tests: every value set so far, in order.
  std::vector<float> history() const;

 private:
  friend class platform::Process;
  MediaVolume() = default;
  mutable std::mutex mutex_;
  float volume_ = 1.0f;
  std::vector<float> history_;
  ListenerList<float> listeners_;
};

}  // namespace platform::media
