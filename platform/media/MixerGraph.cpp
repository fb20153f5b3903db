#include "platform/media/MixerGraph.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/media/AudioFormat.h"
#include "platform/media/StreamCore.h"

namespace platform::media {

struct MixerGraph::Impl final : detail::UnitCore {
  struct Input {
    std::shared_ptr<Render> render;
    bool enabled = true;
    float volume = 1.0f;
  };

  double sampleRate = 44100.0;

  // Guarded by mutex.
  std::vector<Input> inputs;
  std::shared_ptr<MicInput> mic;
  float outputVolume = 1.0f;

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

  bool validInput(int input) const { return input >= 0 && static_cast<size_t>(input) < inputs.size(); }
};

using detail::injectedFailure;

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
  if (auto failure = injectedFailure("MixerGraph::setRender"); !failure) return failure;
  std::lock_guard<std::mutex> lock(impl_->mutex);
  if (!impl_->validInput(input)) return AudioStatus(AudioStatus::kInvalidElement);
  impl_->inputs[static_cast<size_t>(input)].render = std::make_shared<Render>(std::move(render));
  return AudioStatus::success();
}

AudioStatus MixerGraph::setMicCallback(MicInput mic) {
  if (auto failure = injectedFailure("MixerGraph::setMicCallback"); !failure) return failure;
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->mic = std::make_shared<MicInput>(std::move(mic));
  return AudioStatus::success();
}

AudioStatus MixerGraph::setInputEnabled(int input, bool on) {
  if (auto failure = injectedFailure("MixerGraph::setInputEnabled"); !failure) return failure;
  std::lock_guard<std::mutex> lock(impl_->mutex);
  if (!impl_->validInput(input)) return AudioStatus(AudioStatus::kInvalidElement);
  impl_->inputs[static_cast<size_t>(input)].enabled = on;
  return AudioStatus::success();
}

AudioStatus MixerGraph::setInputVolume(int input, float volume) {
  if (auto failure = injectedFailure("MixerGraph::setInputVolume"); !failure) return failure;
  if (std::isnan(volume)) return AudioStatus(AudioStatus::kInvalidParameter);
  std::lock_guard<std::mutex> lock(impl_->mutex);
  if (!impl_->validInput(input)) return AudioStatus(AudioStatus::kInvalidElement);
  impl_->inputs[static_cast<size_t>(input)].volume = std::clamp(volume, 0.0f, 1.0f);
  return AudioStatus::success();
}

AudioStatus MixerGraph::setOutputVolume(float volume) {
  if (auto failure = injectedFailure("MixerGraph::setOutputVolume"); !failure) return failure;
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
  if (auto failure = injectedFailure("MixerGraph::initialize"); !failure) return failure;
  // The rate and the number of inputs are fixed at construction.
  const bool formatOk = impl_->sampleRate > 0 && impl_->sampleRate <= 192000.0 && !impl_->inputs.empty();
  return detail::initializeUnit(*impl_, formatOk);
}

AudioStatus MixerGraph::start() {
  if (auto failure = injectedFailure("MixerGraph::start"); !failure) return failure;
  return detail::startUnit(impl_);
}

AudioStatus MixerGraph::stop() {
  if (auto failure = injectedFailure("MixerGraph::stop"); !failure) return failure;
  detail::stopUnit(*impl_);
  return AudioStatus::success();
}

bool MixerGraph::running() const { return impl_->isRunning(); }

void MixerGraph::dispose() { detail::disposeUnit(*impl_); }

}  // namespace platform::media
