#include "platform/media/InputQueue.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <deque>
#include <mutex>

#include "platform/media/AudioEngine.h"
#include "platform/media/AudioSession.h"

namespace platform::media {

struct InputQueue::Impl final : AudioEngine::Stream {
  AudioFormat format;
  Filled filled;
  std::atomic<InputQueue*> owner{nullptr};
  std::atomic<bool> disposed{false};

  mutable std::mutex mutex;   // guards what follows
  std::vector<std::unique_ptr<QueueBuffer>> buffers;
  std::deque<QueueBuffer*> queued;
  size_t filledBytes = 0;     // of the head buffer
  bool running = false;
  bool metering = false;
  std::vector<Level> levels;

  double rate() const override { return format.rate; }

  bool owns(const QueueBuffer* b) const {
    return std::any_of(buffers.begin(), buffers.end(), [b](const auto& p) { return p.get() == b; });
  }

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

InputQueue::InputQueue(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}

AudioResult<std::unique_ptr<InputQueue>> InputQueue::create(AudioFormat format, Filled filled) {
  if (auto failure = AudioSession::sharedInstance().takeFailure("InputQueue::create"); !failure)
    return {failure, nullptr};
  if (!format.valid()) return {AudioStatus(AudioStatus::kFormatNotSupported), nullptr};
  auto impl = std::make_shared<Impl>();
  impl->format = format;
  impl->filled = std::move(filled);
  std::unique_ptr<InputQueue> queue(new InputQueue(impl));
  impl->owner = queue.get();
  return {AudioStatus::success(), std::move(queue)};
}

InputQueue::~InputQueue() { dispose(); }

const AudioFormat& InputQueue::format() const { return impl_->format; }

AudioResult<QueueBuffer*> InputQueue::allocateBuffer(size_t bytes) {
  if (auto failure = AudioSession::sharedInstance().takeFailure("InputQueue::allocateBuffer"); !failure)
    return {failure, nullptr};
  if (impl_->disposed) return {AudioStatus(AudioStatus::kDisposed), nullptr};
  if (bytes < static_cast<size_t>(impl_->format.bytesPerFrame())) return {AudioStatus(AudioStatus::kInvalidParameter), nullptr};
  auto buffer = std::make_unique<QueueBuffer>();
  buffer->data.assign(bytes, 0);
  QueueBuffer* raw = buffer.get();
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->buffers.push_back(std::move(buffer));
  return {AudioStatus::success(), raw};
}

AudioStatus InputQueue::enqueue(QueueBuffer& buffer) {
  if (auto failure = AudioSession::sharedInstance().takeFailure("InputQueue::enqueue"); !failure) return failure;
  if (impl_->disposed) return AudioStatus(AudioStatus::kDisposed);
  std::lock_guard<std::mutex> lock(impl_->mutex);
  if (!impl_->owns(&buffer) || std::find(impl_->queued.begin(), impl_->queued.end(), &buffer) != impl_->queued.end())
    return AudioStatus(AudioStatus::kInvalidBuffer);
  buffer.byteSize = 0;
  impl_->queued.push_back(&buffer);
  return AudioStatus::success();
}

AudioStatus InputQueue::start() {
  if (auto failure = AudioSession::sharedInstance().takeFailure("InputQueue::start"); !failure) return failure;
  if (impl_->disposed) return AudioStatus(AudioStatus::kDisposed);
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (impl_->running) return AudioStatus::success();
    impl_->running = true;
  }
  AudioStatus started = AudioEngine::shared().start(impl_);
  if (!started) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->running = false;
  }
  return started;
}

AudioStatus InputQueue::stop() {
  if (auto failure = AudioSession::sharedInstance().takeFailure("InputQueue::stop"); !failure) return failure;
  if (impl_->disposed) return AudioStatus(AudioStatus::kDisposed);
  AudioEngine::shared().stop(impl_.get());
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->running = false;
  impl_->filledBytes = 0;
  return AudioStatus::success();
}

bool InputQueue::isRunning() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->running;
}

AudioStatus InputQueue::setMeteringEnabled(bool on) {
  if (auto failure = AudioSession::sharedInstance().takeFailure("InputQueue::setMeteringEnabled"); !failure)
    return failure;
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

void InputQueue::dispose() {
  if (impl_->disposed.exchange(true)) return;
  AudioEngine::shared().stop(impl_.get());
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->running = false;
  impl_->queued.clear();
  impl_->buffers.clear();
  impl_->owner = nullptr;
}

}  // namespace platform::media
