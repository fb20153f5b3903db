#include "platform/media/DuplexUnit.h"

#include <mutex>
#include <vector>

#include "platform/media/StreamCore.h"

namespace platform::media {

struct DuplexUnit::Impl final : detail::UnitCore {
  AudioFormat format;
  Render render;
  bool inputEnabled = false;  // guarded by mutex

  std::vector<int16_t> io;    // the engine thread's own

  double rate() const override { return format.rate; }

  void process(const float* mic, float* left, float* right, size_t n) override {
    bool input;
    {
      std::lock_guard<std::mutex> lock(mutex);
      input = inputEnabled;
    }
    const size_t ch = static_cast<size_t>(format.channels);
    io.assign(n * ch, 0);
    if (input) {
      for (size_t i = 0; i < n; ++i) {
        int16_t s = floatToS16(mic[i]);
        for (size_t c = 0; c < ch; ++c) io[i * ch + c] = s;
      }
    }
    if (render) render(io.data(), n);
    for (size_t i = 0; i < n; ++i) {
      float l = s16ToFloat(io[i * ch]);
      left[i] += l;
      right[i] += ch > 1 ? s16ToFloat(io[i * ch + 1]) : l;
    }
  }
};

DuplexUnit::DuplexUnit(AudioFormat format, Render render) : impl_(std::make_shared<Impl>()) {
  impl_->format = format;
  impl_->render = std::move(render);
}

DuplexUnit::~DuplexUnit() { dispose(); }

const AudioFormat& DuplexUnit::format() const { return impl_->format; }

AudioStatus DuplexUnit::setInputEnabled(bool on) {
  if (auto failure = detail::injectedFailure("DuplexUnit::setInputEnabled"); !failure) return failure;
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->inputEnabled = on;
  return AudioStatus::success();
}

bool DuplexUnit::inputEnabled() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->inputEnabled;
}

AudioStatus DuplexUnit::initialize() {
  if (auto failure = detail::injectedFailure("DuplexUnit::initialize"); !failure) return failure;
  return detail::initializeUnit(*impl_, impl_->format.valid() && impl_->format.sample == SampleType::S16);
}

AudioStatus DuplexUnit::start() {
  if (auto failure = detail::injectedFailure("DuplexUnit::start"); !failure) return failure;
  return detail::startUnit(impl_);
}

AudioStatus DuplexUnit::stop() {
  if (auto failure = detail::injectedFailure("DuplexUnit::stop"); !failure) return failure;
  detail::stopUnit(*impl_);
  return AudioStatus::success();
}

bool DuplexUnit::isRunning() const { return impl_->isRunning(); }

void DuplexUnit::dispose() { detail::disposeUnit(*impl_); }

}  // namespace platform::media
