// An output audio queue: the application fills buffers and enqueues them; the queue plays them in
// order, one after the other, and hands each played buffer back through the fill callback on the
// run loop it was created for, to be filled and enqueued again. With nothing enqueued it plays
// silence. Its volume (0..1) scales what it plays, before the media volume.
#pragma once
#include <functional>
#include <memory>

#include "platform/media/AudioFormat.h"
#include "platform/media/AudioStatus.h"
#include "platform/media/QueueBuffer.h"
#include "platform/media/Subscription.h"

namespace platform {
class RunLoop;
}

namespace platform::media {

class OutputQueue {
 public:
  using Fill = std::function<void(OutputQueue& queue, QueueBuffer& buffer)>;

  // Creates the queue (failNext("OutputQueue::create")); kFormatNotSupported for an invalid
  // format. `fill` runs on `loop` (nullptr: the main loop) for each buffer that has been played.
  static AudioResult<std::unique_ptr<OutputQueue>> create(AudioFormat format, Fill fill, RunLoop* loop = nullptr);
  ~OutputQueue();   // dispose()
  OutputQueue(const OutputQueue&) = delete;
  OutputQueue& operator=(const OutputQueue&) = delete;

  const AudioFormat& format() const;
  // A buffer of `bytes` capacity (failNext("OutputQueue::allocateBuffer")); owned by the queue.
  AudioResult<QueueBuffer*> allocateBuffer(size_t bytes);
  // Queues the buffer's first byteSize bytes (whole frames) to be played after those queued before.
  // kInvalidBuffer for a buffer of another queue, one already queued or a size above its capacity.
  AudioStatus enqueue(QueueBuffer& buffer);
  // Starts playing from the next hardware buffer (failNext("OutputQueue::start")). Running listeners
  // hear true.
  AudioStatus start();
  // immediate: stops now; queued buffers are dropped (neither played nor handed back). Otherwise
  // the queue goes on until everything queued has played, then stops. Listeners hear false then.
  AudioStatus stop(bool immediate);
  bool isRunning() const;
  // 0..1 (larger values are taken as 1), applied from the next hardware buffer.
  AudioStatus setVolume(float volume);
  float volume() const;
  // Running-state changes, on the queue's run loop.
  [[nodiscard]] Subscription addRunningListener(std::function<void(bool running)> listener);
  // Stops at once and frees the buffers; no callback runs afterwards. Call it on the queue's loop.
  void dispose();

  struct Impl;

 private:
  explicit OutputQueue(std::shared_ptr<Impl> impl);
  std::shared_ptr<Impl> impl_;
};

}  // namespace platform::media
