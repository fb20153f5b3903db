// An input audio queue: the application enqueues empty buffers; the queue fills them with the
// microphone in its format, one after the other, and hands each full buffer to the callback on the
// audio engine's thread (the application re-enqueues it there). With no buffer queued the sound
// is lost. Optional level metering over the last buffer handed back.
#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "platform/media/AudioFormat.h"
#include "platform/media/AudioStatus.h"
#include "platform/media/QueueBuffer.h"

namespace platform::media {

class InputQueue {
 public:
  // byteSize of the buffer tells how much was recorded (whole frames: its capacity rounded down).
  using Filled = std::function<void(InputQueue& queue, QueueBuffer& buffer)>;

  struct Level {
    float average = 0;   // mean absolute sample, 0..1
    float peak = 0;      // largest absolute sample, 0..1
  };

  // failNext("InputQueue::create"); kFormatNotSupported for an invalid format.
  static AudioResult<std::unique_ptr<InputQueue>> create(AudioFormat format, Filled filled);
  ~InputQueue();   // dispose()
  InputQueue(const InputQueue&) = delete;
  InputQueue& operator=(const InputQueue&) = delete;

  const AudioFormat& format() const;
  AudioResult<QueueBuffer*> allocateBuffer(size_t bytes);   // failNext("InputQueue::allocateBuffer")
  AudioStatus enqueue(QueueBuffer& buffer);                 // failNext("InputQueue::enqueue")
  AudioStatus start();                                      // failNext("InputQueue::start")
  // Stops now: the buffer being filled is dropped (handed back empty to nobody); no callback runs
  // once stop has returned (unless it is called from the callback itself).
  AudioStatus stop();                                       // failNext("InputQueue::stop")
  bool isRunning() const;
  AudioStatus setMeteringEnabled(bool on);                  // failNext("InputQueue::setMeteringEnabled")
  // One level per channel of the format; kUnsupportedProperty while metering is off.
  AudioResult<std::vector<Level>> currentLevels() const;
  void dispose();

  struct Impl;

 private:
  explicit InputQueue(std::shared_ptr<Impl> impl);
  std::shared_ptr<Impl> impl_;
};

}  // namespace platform::media
