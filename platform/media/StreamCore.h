// What the four audio streams (OutputQueue, InputQueue, DuplexUnit, MixerGraph) share under their
// own behaviour: the lock and the running flag, starting on the engine, the unit-style
// initialise/stop/dispose, and the audio queues' buffers. Internal to platform/media.
//
// Stopping and disposing: the engine lets go of the stream first, so no callback runs once these
// return; then the stream's flags change under its lock. So never call them holding the lock.
#pragma once
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/media/AudioEngine.h"
#include "platform/media/AudioFormat.h"
#include "platform/media/AudioStatus.h"
#include "platform/media/QueueBuffer.h"

namespace platform::media::detail {

// The failure a test queued for this call (AudioSession::failNext), else success.
AudioStatus injectedFailure(std::string_view call);

struct StreamCore : AudioEngine::Stream {
  mutable std::mutex mutex;   // guards running and the stream's own state
  bool running = false;

  bool isRunning() const;
};

// Marks the stream running and hands it to the engine; the mark is taken back when the engine
// refuses. `refuse`, if any, runs under the lock first: a failure it returns is returned unchanged.
// A stream already running stays as it is. The value tells whether this call started it.
AudioResult<bool> startStream(const std::shared_ptr<StreamCore>& stream,
                              const std::function<AudioStatus()>& refuse = nullptr);

// --- duplex unit and mixer graph ---

struct UnitCore : StreamCore {
  bool initialized = false;
  bool disposed = false;

  void stoppedBySystem() override;
};

// kDisposed after dispose, kFormatNotSupported unless formatOk.
AudioStatus initializeUnit(UnitCore& unit, bool formatOk);
// kDisposed after dispose, kUninitialized before initialize.
AudioStatus startUnit(const std::shared_ptr<UnitCore>& unit);
void stopUnit(UnitCore& unit);
void disposeUnit(UnitCore& unit);

// --- output and input queues ---

// The format, the buffers the queue allocated (it owns them) and, in order, those enqueued.
// Queue is the public class, reached through `owner` from the callbacks until disposal.
template <class Queue>
struct QueueCore : StreamCore {
  AudioFormat format;
  std::atomic<Queue*> owner{nullptr};
  std::atomic<bool> disposed{false};
  std::vector<std::unique_ptr<QueueBuffer>> buffers;   // guarded by mutex, as is what follows
  std::deque<QueueBuffer*> queued;

  double rate() const override { return format.rate; }

  // kFormatNotSupported for an invalid format.
  static AudioStatus refuseCreate(std::string_view call, const AudioFormat& format) {
    if (auto failure = injectedFailure(call); !failure) return failure;
    return format.valid() ? AudioStatus::success() : AudioStatus(AudioStatus::kFormatNotSupported);
  }

  // kInvalidParameter below minBytes.
  AudioResult<QueueBuffer*> allocate(std::string_view call, size_t bytes, size_t minBytes) {
    if (auto failure = injectedFailure(call); !failure) return {failure, nullptr};
    if (disposed) return {AudioStatus(AudioStatus::kDisposed), nullptr};
    if (bytes < minBytes) return {AudioStatus(AudioStatus::kInvalidParameter), nullptr};
    auto buffer = std::make_unique<QueueBuffer>();
    buffer->data.assign(bytes, 0);
    QueueBuffer* raw = buffer.get();
    std::lock_guard<std::mutex> lock(mutex);
    buffers.push_back(std::move(buffer));
    return {AudioStatus::success(), raw};
  }

  // kInvalidBuffer for a buffer of another queue, one already queued, or one `accept` refuses
  // (it runs under the lock, just before the buffer is queued, and may prepare it).
  template <class Accept>
  AudioStatus enqueue(std::string_view call, QueueBuffer& buffer, Accept accept) {
    if (auto failure = injectedFailure(call); !failure) return failure;
    if (disposed) return AudioStatus(AudioStatus::kDisposed);
    std::lock_guard<std::mutex> lock(mutex);
    const bool ours = std::any_of(buffers.begin(), buffers.end(), [&](const auto& b) { return b.get() == &buffer; });
    if (!ours || std::find(queued.begin(), queued.end(), &buffer) != queued.end() || !accept(buffer))
      return AudioStatus(AudioStatus::kInvalidBuffer);
    queued.push_back(&buffer);
    return AudioStatus::success();
  }

  // The injected failure or kDisposed, else success: the common start of start() and stop().
  AudioStatus refuseCall(std::string_view call) const {
    if (auto failure = injectedFailure(call); !failure) return failure;
    return disposed ? AudioStatus(AudioStatus::kDisposed) : AudioStatus::success();
  }

  void dispose() {
    if (disposed.exchange(true)) return;
    AudioEngine::shared().stop(this);
    std::lock_guard<std::mutex> lock(mutex);
    running = false;
    queued.clear();
    buffers.clear();
    owner = nullptr;
  }
};

}  // namespace platform::media::detail
