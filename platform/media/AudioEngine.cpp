#include "platform/media/AudioEngine.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <thread>

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ThreadActivity.h"
#include "platform/media/AudioSession.h"
#include "platform/media/Jack.h"
#include "platform/media/MediaVolume.h"

namespace platform::media {

namespace {

thread_local bool tOnEngine = false;

// On the real clock, an engine that fell this far behind (a stopped debugger, an overloaded
// machine) starts counting again from now instead of racing through the backlog.
constexpr Duration kMaxLag = std::chrono::milliseconds(500);

std::string rateText(double rate) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", rate);
  return text;
}

// On the virtual clock, threads woken at the same instant run at once. So that a buffer comes out
// the same way every run, the engine lets the others woken with it (and main-loop timers due now)
// finish their step first: whatever a driver does at a buffer's end goes into that buffer. A
// thread that never blocks on the clock is not waited for longer than a moment.
void letOthersGoFirst() {
  VirtualClock* vc = virtualClock();
  if (!vc) return;
  auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
  for (;;) {
    bool othersBusy = ThreadActivity::othersBusyInCurrentStep();
    bool timerDue = false;
    if (RunLoop* main = Process::current().sharedIfExists<RunLoop>()) {
      auto due = main->nextDeadline();
      timerDue = due && *due <= vc->now();
    }
    if ((!othersBusy && !timerDue) || Thread::stopping() || std::chrono::steady_clock::now() > limit) return;
    std::this_thread::yield();
  }
}

}  // namespace

struct AudioEngine::Impl {
  // Held by the engine thread for a whole buffer, and by stop() to wait for a buffer under way.
  std::mutex stepMutex;
  // Guards what follows.
  mutable std::mutex mutex;
  std::vector<std::shared_ptr<Stream>> streams;   // running, in start order
  bool threadAlive = false;
  double rate = 0;
  size_t frames = 0;
  TimePoint start{};
  uint64_t step = 0;                               // buffers of this run processed
  std::atomic<uint64_t> processed{0};

  // The engine thread's own.
  std::vector<float> mic, left, right;

  TimePoint deadlineLocked() const {
    double ns = static_cast<double>(step + 1) * static_cast<double>(frames) * 1e9 / rate;
    return start + Duration(static_cast<int64_t>(std::llround(ns)));
  }

  bool isRunningLocked(const Stream* s) const {
    return std::any_of(streams.begin(), streams.end(), [s](const auto& p) { return p.get() == s; });
  }

  static void run(const std::shared_ptr<Impl>& self) {
    tOnEngine = true;
    for (;;) {
      TimePoint deadline;
      {
        std::lock_guard<std::mutex> lock(self->mutex);
        if (self->streams.empty() || Thread::stopping()) {
          self->threadAlive = false;
          return;
        }
        deadline = self->deadlineLocked();
        TimePoint now = clock().now();
        if (!clock().isVirtual() && now - deadline > kMaxLag) {
          self->start = now - Duration(static_cast<int64_t>(std::llround(
                                   static_cast<double>(self->frames) * 1e9 / self->rate)));
          self->step = 0;
          deadline = now;
        }
      }
      clock().sleepFor(deadline - clock().now());
      if (Thread::stopping()) continue;  // the top of the loop ends the thread
      if (clock().now() < deadline) continue;
      letOthersGoFirst();
      std::lock_guard<std::mutex> stepLock(self->stepMutex);
      std::vector<std::shared_ptr<Stream>> snapshot;
      size_t frames;
      double rate;
      {
        std::lock_guard<std::mutex> lock(self->mutex);
        if (self->streams.empty()) continue;
        // The run may have been started afresh while this thread slept (all streams stopped and
        // one started again): wait for the new timeline's deadline.
        if (clock().now() < self->deadlineLocked()) continue;
        snapshot = self->streams;
        frames = self->frames;
        rate = self->rate;
      }
      self->processBuffer(snapshot, frames, rate);
      std::lock_guard<std::mutex> lock(self->mutex);
      ++self->step;
    }
  }

  void processBuffer(const std::vector<std::shared_ptr<Stream>>& snapshot, size_t n, double rate) {
    mic.assign(n, 0.0f);
    left.assign(n, 0.0f);
    right.assign(n, 0.0f);

    auto& session = AudioSession::sharedInstance();
    auto& jack = Jack::shared();
    // 1. The microphone: the plugged peer's, when the application may record.
    if (auto speaker = jack.microphone(); speaker && session.recordPermission() != RecordPermission::Denied) {
      speaker->speak(std::span<float>(mic.data(), n), rate);
      float gain = session.inputGain();
      for (float& s : mic) s = std::clamp(s * gain, -1.0f, 1.0f);
    }
    // 2. The streams.
    for (const auto& stream : snapshot) {
      {
        std::lock_guard<std::mutex> lock(mutex);
        if (!isRunningLocked(stream.get())) continue;  // stopped by a callback meanwhile
      }
      stream->process(mic.data(), left.data(), right.data(), n);
    }
    // 3. The output, at the media volume, to whoever listens.
    float volume = MediaVolume::shared().volume();
    for (size_t i = 0; i < n; ++i) {
      left[i] = std::clamp(left[i] * volume, -1.0f, 1.0f);
      right[i] = std::clamp(right[i] * volume, -1.0f, 1.0f);
    }
    if (auto listener = jack.peer())
      listener->hear(std::span<const float>(left.data(), n), std::span<const float>(right.data(), n), rate);
    processed.fetch_add(1, std::memory_order_relaxed);
  }
};

AudioEngine::AudioEngine() : impl_(std::make_shared<Impl>()) {}
AudioEngine::~AudioEngine() = default;

AudioEngine& AudioEngine::shared() { return Process::current().shared<AudioEngine>(); }

bool AudioEngine::onEngineThread() { return tOnEngine; }

AudioStatus AudioEngine::start(std::shared_ptr<Stream> stream) {
  if (!stream) return AudioStatus(AudioStatus::kInvalidParameter);
  double rate = stream->rate();
  if (!(rate > 0 && rate <= 192000.0)) return AudioStatus(AudioStatus::kFormatNotSupported);
  double seconds = AudioSession::sharedInstance().configuredIOBufferDuration();
  bool startThread = false;
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (impl_->isRunningLocked(stream.get())) return AudioStatus::success();
    if (!impl_->streams.empty()) {
      if (impl_->rate != rate) {
        log::error("AudioEngine", "a stream at " + rateText(rate) + " frames/s cannot run while the engine runs at " +
                                      rateText(impl_->rate));
        return AudioStatus(AudioStatus::kCannotStart);
      }
    } else {
      // A new run: a new timeline at this rate, beginning now.
      impl_->rate = rate;
      impl_->frames = std::max<size_t>(1, static_cast<size_t>(std::llround(rate * seconds)));
      impl_->start = clock().now();
      impl_->step = 0;
      startThread = !impl_->threadAlive;
      impl_->threadAlive = true;
    }
    impl_->streams.push_back(std::move(stream));
  }
  if (startThread) {
    std::shared_ptr<Impl> impl = impl_;
    Thread::detach("audio-engine", [impl] { Impl::run(impl); });
  }
  return AudioStatus::success();
}

void AudioEngine::stop(const Stream* stream) {
  std::unique_lock<std::mutex> stepLock(impl_->stepMutex, std::defer_lock);
  if (!tOnEngine) stepLock.lock();
  std::shared_ptr<Stream> keep;  // released outside the lock
  std::lock_guard<std::mutex> lock(impl_->mutex);
  auto it = std::find_if(impl_->streams.begin(), impl_->streams.end(),
                         [stream](const auto& p) { return p.get() == stream; });
  if (it == impl_->streams.end()) return;
  keep = std::move(*it);
  impl_->streams.erase(it);
}

bool AudioEngine::isRunning(const Stream* stream) const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->isRunningLocked(stream);
}

void AudioEngine::stopAllBySystem() {
  std::vector<std::shared_ptr<Stream>> stopped;
  {
    std::unique_lock<std::mutex> stepLock(impl_->stepMutex, std::defer_lock);
    if (!tOnEngine) stepLock.lock();
    std::lock_guard<std::mutex> lock(impl_->mutex);
    stopped.swap(impl_->streams);
  }
  for (auto& s : stopped) s->stoppedBySystem();
}

bool AudioEngine::running() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return !impl_->streams.empty();
}

double AudioEngine::rate() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->rate;
}

size_t AudioEngine::framesPerBuffer() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->frames;
}

uint64_t AudioEngine::buffersProcessed() const { return impl_->processed.load(std::memory_order_relaxed); }

}  // namespace platform::media
