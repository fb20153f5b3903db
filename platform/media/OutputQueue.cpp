#include "platform/media/OutputQueue.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <deque>
#include <mutex>

#include "platform/foundation/RunLoop.h"
#include "platform/media/AudioEngine.h"
#include "platform/media/AudioSession.h"

namespace platform::media {

struct OutputQueue::Impl final : AudioEngine::Stream, std::enable_shared_from_this<OutputQueue::Impl> {
  AudioFormat format;
  Fill fill;
  RunLoop* loop = nullptr;
  std::atomic<OutputQueue*> owner{nullptr};
  std::atomic<bool> disposed{false};
  ListenerList<bool> runningListeners;

  mutable std::mutex mutex;               // guards what follows
  std::vector<std::unique_ptr<QueueBuffer>> buffers;
  std::deque<QueueBuffer*> queued;
  size_t offset = 0;                      // bytes of the head buffer already played
  float volume = 1.0f;
  bool running = false;
  bool stopWhenDrained = false;

  // The engine thread's own.
  std::vector<float> l, r;

  double rate() const override { return format.rate; }

  RunLoop& target() const { return *loop; }

  bool owns(const QueueBuffer* b) const {
    return std::any_of(buffers.begin(), buffers.end(), [b](const auto& p) { return p.get() == b; });
  }

  void announceRunning(bool on) {
    std::weak_ptr<Impl> weak = weak_from_this();
    target().post([weak, on] {
      auto self = weak.lock();
      if (self && !self->disposed) self->runningListeners.call(on);
    });
  }

  void process(const float*, float* left, float* right, size_t n) override {
    l.assign(n, 0.0f);
    r.assign(n, 0.0f);
    std::vector<QueueBuffer*> played;
    bool drained = false;
    float gain;
    {
      std::lock_guard<std::mutex> lock(mutex);
      const size_t bpf = static_cast<size_t>(format.bytesPerFrame());
      size_t done = 0;
      while (!queued.empty()) {
        QueueBuffer* head = queued.front();
        size_t usable = head->byteSize - head->byteSize % bpf;
        size_t take = std::min((usable - offset) / bpf, n - done);
        decodeFrames(head->data.data() + offset, take, format, l.data() + done, r.data() + done);
        offset += take * bpf;
        done += take;
        if (offset < usable) break;   // the buffer goes on in the next hardware buffer
        queued.pop_front();
        offset = 0;
        played.push_back(head);
        if (done == n) break;
      }
      gain = volume;
      drained = stopWhenDrained && queued.empty();
      if (drained) {
        running = false;
        stopWhenDrained = false;
      }
    }
    for (size_t i = 0; i < n; ++i) {
      left[i] += l[i] * gain;
      right[i] += r[i] * gain;
    }
    std::weak_ptr<Impl> weak = weak_from_this();
    for (QueueBuffer* b : played) {
      target().post([weak, b] {
        auto self = weak.lock();
        if (!self || self->disposed || !self->fill) return;
        if (OutputQueue* queue = self->owner.load()) self->fill(*queue, *b);
      });
    }
    if (drained) {
      AudioEngine::shared().stop(this);   // on the engine thread: no wait
      announceRunning(false);
    }
  }

  void stoppedBySystem() override {
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (!running) return;
      running = false;
      stopWhenDrained = false;
    }
    announceRunning(false);
  }
};

OutputQueue::OutputQueue(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}

AudioResult<std::unique_ptr<OutputQueue>> OutputQueue::create(AudioFormat format, Fill fill, RunLoop* loop) {
  if (auto failure = AudioSession::sharedInstance().takeFailure("OutputQueue::create"); !failure)
    return {failure, nullptr};
  if (!format.valid()) return {AudioStatus(AudioStatus::kFormatNotSupported), nullptr};
  auto impl = std::make_shared<Impl>();
  impl->format = format;
  impl->fill = std::move(fill);
  impl->loop = loop ? loop : &RunLoop::main();   // resolved here: the engine thread must not ask
  std::unique_ptr<OutputQueue> queue(new OutputQueue(impl));
  impl->owner = queue.get();
  return {AudioStatus::success(), std::move(queue)};
}

OutputQueue::~OutputQueue() { dispose(); }

const AudioFormat& OutputQueue::format() const { return impl_->format; }

AudioResult<QueueBuffer*> OutputQueue::allocateBuffer(size_t bytes) {
  if (auto failure = AudioSession::sharedInstance().takeFailure("OutputQueue::allocateBuffer"); !failure)
    return {failure, nullptr};
  if (impl_->disposed) return {AudioStatus(AudioStatus::kDisposed), nullptr};
  if (bytes == 0) return {AudioStatus(AudioStatus::kInvalidParameter), nullptr};
  auto buffer = std::make_unique<QueueBuffer>();
  buffer->data.assign(bytes, 0);
  QueueBuffer* raw = buffer.get();
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->buffers.push_back(std::move(buffer));
  return {AudioStatus::success(), raw};
}

AudioStatus OutputQueue::enqueue(QueueBuffer& buffer) {
  if (auto failure = AudioSession::sharedInstance().takeFailure("OutputQueue::enqueue"); !failure) return failure;
  if (impl_->disposed) return AudioStatus(AudioStatus::kDisposed);
  std::lock_guard<std::mutex> lock(impl_->mutex);
  if (!impl_->owns(&buffer) || buffer.byteSize > buffer.capacity() ||
      std::find(impl_->queued.begin(), impl_->queued.end(), &buffer) != impl_->queued.end())
    return AudioStatus(AudioStatus::kInvalidBuffer);
  impl_->queued.push_back(&buffer);
  return AudioStatus::success();
}

AudioStatus OutputQueue::start() {
  if (auto failure = AudioSession::sharedInstance().takeFailure("OutputQueue::start"); !failure) return failure;
  if (impl_->disposed) return AudioStatus(AudioStatus::kDisposed);
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (impl_->running) {
      impl_->stopWhenDrained = false;
      return AudioStatus::success();
    }
    impl_->running = true;
  }
  AudioStatus started = AudioEngine::shared().start(impl_);
  if (!started) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->running = false;
    return started;
  }
  impl_->announceRunning(true);
  return AudioStatus::success();
}

AudioStatus OutputQueue::stop(bool immediate) {
  if (auto failure = AudioSession::sharedInstance().takeFailure("OutputQueue::stop"); !failure) return failure;
  if (impl_->disposed) return AudioStatus(AudioStatus::kDisposed);
  if (!immediate) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (!impl_->running) return AudioStatus::success();
    if (!impl_->queued.empty()) {
      impl_->stopWhenDrained = true;
      return AudioStatus::success();
    }
  }
  AudioEngine::shared().stop(impl_.get());
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->queued.clear();
    impl_->offset = 0;
    impl_->stopWhenDrained = false;
    if (!impl_->running) return AudioStatus::success();
    impl_->running = false;
  }
  impl_->announceRunning(false);
  return AudioStatus::success();
}

bool OutputQueue::isRunning() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->running;
}

AudioStatus OutputQueue::setVolume(float volume) {
  if (auto failure = AudioSession::sharedInstance().takeFailure("OutputQueue::setVolume"); !failure) return failure;
  if (std::isnan(volume)) return AudioStatus(AudioStatus::kInvalidParameter);
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->volume = std::clamp(volume, 0.0f, 1.0f);
  return AudioStatus::success();
}

float OutputQueue::volume() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->volume;
}

Subscription OutputQueue::addRunningListener(std::function<void(bool)> listener) {
  return impl_->runningListeners.add(std::move(listener));
}

void OutputQueue::dispose() {
  if (impl_->disposed.exchange(true)) return;
  AudioEngine::shared().stop(impl_.get());
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->running = false;
  impl_->queued.clear();
  impl_->buffers.clear();
  impl_->owner = nullptr;
}

}  // namespace platform::media
