#include "platform/media/InputQueue.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "platform/media/StreamCore.h"

namespace platform::media {

struct InputQueue::Impl final : detail::QueueCore<InputQueue> {
  Filled filled;

  // Guarded by mutex.
  size_t filledBytes = 0;     // of the head buffer
  bool metering = false;
  std::vector<Level> levels;

  std::vector<Level> measure(const QueueBuffer& b) const {
    std::vector<Level> out(static_cast<size_t>(format.channels));
    const size_t bpf = static_cast<size_t>(format.bytesPerFrame());
    const size_t frames = b.byteSize / bpf;
    for (int c = 0; c < format.channels; ++c) {
      double sum = 0;
      float peak = 0;
      for (size_t i = 0; i < frames; ++i) {
        float v = std::fabs(sampleToFloat(b.data.data() + i * bpf + c * format.bytesPerSample(), format.sample));
        sum += v;
        peak = std::max(peak, v);
      }
      out[static_cast<size_t>(c)] = {frames ? static_cast<float>(sum / static_cast<double>(frames)) : 0.0f,
                                     std::min(peak, 1.0f)};
    }
    return out;
  }

  void process(const float* mic, float*, float*, size_t n) override {
    std::vector<QueueBuffer*> full;
    {
      std::lock_guard<std::mutex> lock(mutex);
      const size_t bpf = static_cast<size_t>(format.bytesPerFrame());
      size_t done = 0;
      while (done < n && !queued.empty()) {
        QueueBuffer* head = queued.front();
        size_t usable = head->capacity() - head->capacity() % bpf;
        size_t take = std::min((usable - filledBytes) / bpf, n - done);
        encodeMono(mic + done, take, format, head->data.data() + filledBytes);
        filledBytes += take * bpf;
        done += take;
        if (filledBytes < usable) break;
        head->byteSize = usable;
        queued.pop_front();
        filledBytes = 0;
        if (metering) levels = measure(*head);
        full.push_back(head);
      }
      // With no buffer queued the rest of the sound is lost, as on the phone.
    }
    InputQueue* queue = owner.load();
    if (!queue || !filled) return;
    for (QueueBuffer* b : full) filled(*queue, *b);
  }

  void stoppedBySystem() override {
    std::lock_guard<std::mutex> lock(mutex);
    running = false;
    filledBytes = 0;
  }
};

InputQueue::InputQueue(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) { impl_->owner = this; }

AudioResult<std::unique_ptr<InputQueue>> InputQueue::create(AudioFormat format, Filled filled) {
  if (auto refused = Impl::refuseCreate("InputQueue::create", format); !refused) return {refused, nullptr};
  auto impl = std::make_shared<Impl>();
  impl->format = format;
  impl->filled = std::move(filled);
  return {AudioStatus::success(), std::unique_ptr<InputQueue>(new InputQueue(std::move(impl)))};
}

InputQueue::~InputQueue() { dispose(); }

const AudioFormat& InputQueue::format() const { return impl_->format; }

AudioResult<QueueBuffer*> InputQueue::allocateBuffer(size_t bytes) {
  return impl_->allocate("InputQueue::allocateBuffer", bytes, static_cast<size_t>(impl_->format.bytesPerFrame()));
}

AudioStatus InputQueue::enqueue(QueueBuffer& buffer) {
  return impl_->enqueue("InputQueue::enqueue", buffer, [](QueueBuffer& b) {
    b.byteSize = 0;   // the queue sets it when it hands the buffer back
    return true;
  });
}

AudioStatus InputQueue::start() {
  if (auto refused = impl_->refuseCall("InputQueue::start"); !refused) return refused;
  return detail::startStream(impl_).status;
}

AudioStatus InputQueue::stop() {
  if (auto refused = impl_->refuseCall("InputQueue::stop"); !refused) return refused;
  AudioEngine::shared().stop(impl_.get());
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->running = false;
  impl_->filledBytes = 0;
  return AudioStatus::success();
}

bool InputQueue::isRunning() const { return impl_->isRunning(); }

AudioStatus InputQueue::setMeteringEnabled(bool on) {
  if (auto failure = detail::injectedFailure("InputQueue::setMeteringEnabled"); !failure) return failure;
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->metering = on;
  impl_->levels.assign(static_cast<size_t>(impl_->format.channels), Level{});
  return AudioStatus::success();
}

AudioResult<std::vector<InputQueue::Level>> InputQueue::currentLevels() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  if (!impl_->metering) return {AudioStatus(AudioStatus::kUnsupportedProperty), {}};
  return {AudioStatus::success(), impl_->levels};
}

void InputQueue::dispose() { impl_->dispose(); }

}  // namespace platform::media
