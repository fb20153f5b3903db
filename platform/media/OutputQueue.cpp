#include "platform/media/OutputQueue.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "platform/foundation/RunLoop.h"
#include "platform/media/StreamCore.h"

namespace platform::media {

struct OutputQueue::Impl final : detail::QueueCore<OutputQueue>, std::enable_shared_from_this<OutputQueue::Impl> {
  Fill fill;
  RunLoop* loop = nullptr;
  ListenerList<bool> runningListeners;

  // Guarded by mutex.
  size_t offset = 0;                      // bytes of the head buffer already played
  float volume = 1.0f;
  bool stopWhenDrained = false;

  // The engine thread's own.
  std::vector<float> l, r;

  RunLoop& target() const { return *loop; }

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

OutputQueue::OutputQueue(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) { impl_->owner = this; }

AudioResult<std::unique_ptr<OutputQueue>> OutputQueue::create(AudioFormat format, Fill fill, RunLoop* loop) {
  if (auto refused = Impl::refuseCreate("OutputQueue::create", format); !refused) return {refused, nullptr};
  auto impl = std::make_shared<Impl>();
  impl->format = format;
  impl->fill = std::move(fill);
  impl->loop = loop ? loop : &RunLoop::main();   // resolved here: the engine thread must not ask
  return {AudioStatus::success(), std::unique_ptr<OutputQueue>(new OutputQueue(std::move(impl)))};
}

OutputQueue::~OutputQueue() { dispose(); }

const AudioFormat& OutputQueue::format() const { return impl_->format; }

AudioResult<QueueBuffer*> OutputQueue::allocateBuffer(size_t bytes) {
  return impl_->allocate("OutputQueue::allocateBuffer", bytes, 1);
}

AudioStatus OutputQueue::enqueue(QueueBuffer& buffer) {
  return impl_->enqueue("OutputQueue::enqueue", buffer, [](QueueBuffer& b) { return b.byteSize <= b.capacity(); });
}

AudioStatus OutputQueue::start() {
  if (auto refused = impl_->refuseCall("OutputQueue::start"); !refused) return refused;
  auto started = detail::startStream(impl_, [this] {
    impl_->stopWhenDrained = false;   // a start while draining keeps it running
    return AudioStatus::success();
  });
  if (started.value) impl_->announceRunning(true);
  return started.status;
}

AudioStatus OutputQueue::stop(bool immediate) {
  if (auto refused = impl_->refuseCall("OutputQueue::stop"); !refused) return refused;
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

bool OutputQueue::isRunning() const { return impl_->isRunning(); }

AudioStatus OutputQueue::setVolume(float volume) {
  if (auto failure = detail::injectedFailure("OutputQueue::setVolume"); !failure) return failure;
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

void OutputQueue::dispose() { impl_->dispose(); }

}  // namespace platform::media
