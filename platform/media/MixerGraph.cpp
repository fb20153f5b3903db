#include "platform/media/MixerGraph.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/media/AudioEngine.h"
#include "platform/media/UnitLifecycle.h"
#include "platform/media/AudioFormat.h"
#include "platform/media/AudioSession.h"

namespace platform::media {

struct MixerGraph::Impl final : AudioEngine::Stream {
  struct Input {
    std::shared_ptr<Render> render;
    bool enabled = true;
    float volume = 1.0f;
  };

  double sampleRate = 44100.0;

  mutable std::mutex mutex;   // guards what follows
  std::vector<Input> inputs;
  std::shared_ptr<MicInput> mic;
  float outputVolume = 1.0f;
  bool initialized = false;
  bool running = false;
  bool disposed = false;

  std::vector<int16_t> l, r, mono;   // the engine thread's own

  double rate() const override { return sampleRate; }

  void process(const float* micIn, float* left, float* right, size_t n) override {
    std::vector<Input> now;
    std::shared_ptr<MicInput> micCallback;
    float out;
    {
      std::lock_guard<std::mutex> lock(mutex);
      now = inputs;
      micCallback = mic;
      out = outputVolume;
    }
    if (micCallback && *micCallback) {
      mono.resize(n);
      for (size_t i = 0; i < n; ++i) mono[i] = floatToS16(micIn[i]);
      (*micCallback)(mono.data(), n);
    }
    for (const Input& in : now) {
      if (!in.enabled || !in.render || !*in.render) continue;
      l.assign(n, 0);
      r.assign(n, 0);
      (*in.render)(l.data(), r.data(), n);
      float gain = in.volume * out;
      for (size_t i = 0; i < n; ++i) {
        left[i] += s16ToFloat(l[i]) * gain;
        right[i] += s16ToFloat(r[i]) * gain;
      }
    }
  }

  void stoppedBySystem() override {
    std::lock_guard<std::mutex> lock(mutex);
    running = false;
  }

  bool validInput(int input) const { return input >= 0 && static_cast<size_t>(input) < inputs.size(); }
};

namespace {
AudioStatus takeFailure(std::string_view call) { return AudioSession::sharedInstance().takeFailure(call); }
}  // namespace

MixerGraph::MixerGraph(double rate, int inputs) : impl_(std::make_shared<Impl>()) {
  impl_->sampleRate = rate;
  impl_->inputs.resize(static_cast<size_t>(std::max(0, inputs)));
}

MixerGraph::~MixerGraph() { dispose(); }

double MixerGraph::rate() const { return impl_->sampleRate; }

int MixerGraph::inputCount() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return static_cast<int>(impl_->inputs.size());
}

AudioStatus MixerGraph::setRender(int input, Render render) {
  if (auto failure = takeFailure("MixerGraph::setRender"); !failure) return failure;
  std::lock_guard<std::mutex> lock(impl_->mutex);
  if (!impl_->validInput(input)) return AudioStatus(AudioStatus::kInvalidElement);
  impl_->inputs[static_cast<size_t>(input)].render = std::make_shared<Render>(std::move(render));
  return AudioStatus::success();
}

AudioStatus MixerGraph::setMicCallback(MicInput mic) {
  if (auto failure = takeFailure("MixerGraph::setMicCallback"); !failure) return failure;
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->mic = std::make_shared<MicInput>(std::move(mic));
  return AudioStatus::success();
}

AudioStatus MixerGraph::setInputEnabled(int input, bool on) {
  if (auto failure = takeFailure("MixerGraph::setInputEnabled"); !failure) return failure;
  std::lock_guard<std::mutex> lock(impl_->mutex);
  if (!impl_->validInput(input)) return AudioStatus(AudioStatus::kInvalidElement);
  impl_->inputs[static_cast<size_t>(input)].enabled = on;
  return AudioStatus::success();
}

AudioStatus MixerGraph::setInputVolume(int input, float volume) {
  if (auto failure = takeFailure("MixerGraph::setInputVolume"); !failure) return failure;
  if (std::isnan(volume)) return AudioStatus(AudioStatus::kInvalidParameter);
  std::lock_guard<std::mutex> lock(impl_->mutex);
  if (!impl_->validInput(input)) return AudioStatus(AudioStatus::kInvalidElement);
  impl_->inputs[static_cast<size_t>(input)].volume = std::clamp(volume, 0.0f, 1.0f);
  return AudioStatus::success();
}

AudioStatus MixerGraph::setOutputVolume(float volume) {
  if (auto failure = takeFailure("MixerGraph::setOutputVolume"); !failure) return failure;
  if (std::isnan(volume)) return AudioStatus(AudioStatus::kInvalidParameter);
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->outputVolume = std::clamp(volume, 0.0f, 1.0f);
  return AudioStatus::success();
}

bool MixerGraph::inputEnabled(int input) const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->validInput(input) && impl_->inputs[static_cast<size_t>(input)].enabled;
}

float MixerGraph::inputVolume(int input) const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->validInput(input) ? impl_->inputs[static_cast<size_t>(input)].volume : 0.0f;
}

float MixerGraph::outputVolume() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->outputVolume;
}

AudioStatus MixerGraph::initialize() {
  if (auto failure = takeFailure("MixerGraph::initialize"); !failure) return failure;
  std::lock_guard<std::mutex> lock(impl_->mutex);
  if (impl_->disposed) return AudioStatus(AudioStatus::kDisposed);
  if (!(impl_->sampleRate > 0 && impl_->sampleRate <= 192000.0) || impl_->inputs.empty())
    return AudioStatus(AudioStatus::kFormatNotSupported);
  impl_->initialized = true;
  return AudioStatus::success();
}

AudioStatus MixerGraph::start() {
  if (auto failure = takeFailure("MixerGraph::start"); !failure) return failure;
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (impl_->disposed) return AudioStatus(AudioStatus::kDisposed);
    if (!impl_->initialized) return AudioStatus(AudioStatus::kUninitialized);
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

AudioStatus MixerGraph::stop() {
  if (auto failure = takeFailure("MixerGraph::stop"); !failure) return failure;
  detail::stopUnit(*impl_);
  return AudioStatus::success();
}

bool MixerGraph::running() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->running;
}

void MixerGraph::dispose() { detail::disposeUnit(*impl_); }

}  // namespace platform::media
