// Stopping and disposing the unit-style streams (duplex unit, mixer graph): the engine lets go of
// the stream first, so no render callback runs once these return; then the stream's own flags
// change under its lock. Each stream's Impl has `mutex`, `running`, `initialized` and `disposed`.
#pragma once
#include <mutex>

#include "platform/media/AudioEngine.h"

namespace platform::media::detail {

template <class Impl>
void stopUnit(Impl& impl) {
  AudioEngine::shared().stop(&impl);
  std::lock_guard<std::mutex> lock(impl.mutex);
  impl.running = false;
}

template <class Impl>
void disposeUnit(Impl& impl) {
  {
    std::lock_guard<std::mutex> lock(impl.mutex);
    if (impl.disposed) return;
    impl.disposed = true;
  }
  AudioEngine::shared().stop(&impl);
  std::lock_guard<std::mutex> lock(impl.mutex);
  impl.running = false;
  impl.initialized = false;
}

}  // namespace platform::media::detail
