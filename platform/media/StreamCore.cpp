#include "platform/media/StreamCore.h"

#include "platform/media/AudioSession.h"

namespace platform::media::detail {

AudioStatus injectedFailure(std::string_view call) { return AudioSession::sharedInstance().takeFailure(call); }

bool StreamCore::isRunning() const {
  std::lock_guard<std::mutex> lock(mutex);
  return running;
}

AudioResult<bool> startStream(const std::shared_ptr<StreamCore>& stream, const std::function<AudioStatus()>& refuse) {
  {
    std::lock_guard<std::mutex> lock(stream->mutex);
    if (AudioStatus refused = refuse ? refuse() : AudioStatus::success(); !refused) return {refused, false};
    if (stream->running) return {AudioStatus::success(), false};
    stream->running = true;
  }
  AudioStatus started = AudioEngine::shared().start(stream);
  if (!started) {
    std::lock_guard<std::mutex> lock(stream->mutex);
    stream->running = false;
    return {started, false};
  }
  return {AudioStatus::success(), true};
}

void UnitCore::stoppedBySystem() {
  std::lock_guard<std::mutex> lock(mutex);
  running = false;
}

AudioStatus initializeUnit(UnitCore& unit, bool formatOk) {
  std::lock_guard<std::mutex> lock(unit.mutex);
  if (unit.disposed) return AudioStatus(AudioStatus::kDisposed);
  if (!formatOk) return AudioStatus(AudioStatus::kFormatNotSupported);
  unit.initialized = true;
  return AudioStatus::success();
}

AudioStatus startUnit(const std::shared_ptr<UnitCore>& unit) {
  UnitCore& u = *unit;
  return startStream(unit, [&u] {
           if (u.disposed) return AudioStatus(AudioStatus::kDisposed);
           if (!u.initialized) return AudioStatus(AudioStatus::kUninitialized);
           return AudioStatus::success();
         }).status;
}

void stopUnit(UnitCore& unit) {
  AudioEngine::shared().stop(&unit);
  std::lock_guard<std::mutex> lock(unit.mutex);
  unit.running = false;
}

void disposeUnit(UnitCore& unit) {
  {
    std::lock_guard<std::mutex> lock(unit.mutex);
    if (unit.disposed) return;
    unit.disposed = true;
  }
  AudioEngine::shared().stop(&unit);
  std::lock_guard<std::mutex> lock(unit.mutex);
  unit.running = false;
  unit.initialized = false;
}

}  // namespace platform::media::detail
