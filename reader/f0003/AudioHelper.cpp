#include "reader/f0003/AudioHelper.h"

#include <algorithm>
#include <cstring>

#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/AudioEngine.h"
#include "platform/media/AudioSession.h"
#include "platform/media/InputQueue.h"
#include "platform/media/OutputQueue.h"
#include "reader/f0003/NLDemodulator.h"
#include "reader/f0003/NLLineConditioner.h"
#include "reader/f0003/NLModulator.h"
#include "reader/f0003/NLRawTrack.h"
#include "reader/f0003/NLSignalCollector.h"
#include "reader/f0003/PhoneController.h"

namespace nvx::reader {

namespace {

using platform::media::AudioEngine;
using platform::media::AudioFormat;
using platform::media::InputQueue;
using platform::media::OutputQueue;
using platform::media::QueueBuffer;
using platform::media::SampleType;

constexpr const char* kTag = "AudioHelper";

// A stopped queue is freed on the main loop: off it (the input thread ending a session) the
// queue's callbacks may still be on the stack.
template <class Queue>
void retire(std::unique_ptr<Queue> queue) {
  if (!queue) return;
  if (platform::RunLoop::main().isMainThread() && !AudioEngine::onEngineThread()) {
    queue.reset();
    return;
  }
  auto held = std::make_shared<std::unique_ptr<Queue>>(std::move(queue));
  platform::RunLoop::main().post([held] { held->reset(); });
}

// What one input queue's callback works with (its thread only).
struct InputContext {
  InputContext(NLSignalCollector::Mode m, int count) : mode(m), collector(m), channels(count) {}
  const NLSignalCollector::Mode mode;
  NLLineConditioner conditioner;  // framed replies only: the raw stripe's levels are its own
  NLSignalCollector collector;
  const int channels;
  std::vector<int16_t> samples;
};

}  // namespace

struct AudioHelperState {
  std::mutex mutex;
  std::shared_ptr<AudioHelper> helper;
};

std::shared_ptr<AudioHelper> AudioHelper::sharedHelper() {
  auto& state = platform::Process::current().shared<AudioHelperState>();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (!state.helper) {
    state.helper = std::shared_ptr<AudioHelper>(new AudioHelper());
    // A test's reset stops the queues before the audio engine goes.
    std::weak_ptr<AudioHelper> weak = state.helper;
    platform::Process::current().onShutdown([weak] {
      if (auto helper = weak.lock()) helper->shutdown();
    });
  }
  return state.helper;
}

void AudioHelper::removeHelper() {
  PhoneController::removeController();
  std::shared_ptr<AudioHelper> gone;
  auto& state = platform::Process::current().shared<AudioHelperState>();
  std::lock_guard<std::mutex> lock(state.mutex);
  gone = std::move(state.helper);
}

AudioHelper::AudioHelper() : command_(kOutputBufferBytes, 0) {}

AudioHelper::~AudioHelper() { shutdown(); }

void AudioHelper::shutdown() {
  stopIncomingAudio();
  stopOutgoingAudio();
}

void AudioHelper::setDelegate(std::weak_ptr<AudioHelperDelegate> delegate) {
  std::lock_guard<std::mutex> lock(mutex_);
  delegate_ = std::move(delegate);
}

std::shared_ptr<AudioHelperDelegate> AudioHelper::delegate() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return delegate_.lock();
}

void AudioHelper::report(int32_t code, const char* text) {
  platform::log::warning(kTag, std::string("audio link: ") + text);
  if (auto d = delegate()) d->onError(code, text);
}

// ---------------------------------------------------------------------------------- set-up

void AudioHelper::initAudioSession() {
  auto& session = platform::media::AudioSession::sharedInstance();
  if (!session.setCategory(platform::media::AudioCategory::PlayAndRecord).isOk()) {
    report(kErrorAudioInit, kErrorAudioInitText);
    return;
  }
  // Other audio may go on beside the reader's signal.
  if (!session.setCategory(platform::media::AudioCategory::PlayAndRecord, true).isOk() ||
      !session.setActive(true).isOk()) {
    report(kErrorSession, kErrorSessionText);
  }
}

void AudioHelper::initOutgoingState() {
  std::lock_guard<std::mutex> lock(mutex_);
  outFormat_ = AudioFormat{kRate, 2, SampleType::U8, true};
  if (wakeUp_.empty()) {
    wakeUp_.assign(NLModulator::kSignalBytes, 0);
    NLModulator::buildWakeUp(wakeUp_);
  }
}

void AudioHelper::initIncomingState() {
  auto channels = platform::media::AudioSession::sharedInstance().inputChannelCount();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    inFormat_ = AudioFormat{kRate, channels.isOk() ? channels.value : 1, SampleType::S16, true};
  }
  if (!channels.isOk()) report(kErrorAudioInit, kErrorAudioInitText);
}

AudioFormat AudioHelper::incomingFormat() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return inFormat_;
}

bool AudioHelper::isDetectedDevice() {
  return platform::media::AudioSession::sharedInstance().currentRoute().starts_with("Head");
}

// ---------------------------------------------------------------------------------- input

void AudioHelper::startIncomingAudio() {
  if (inRunning_) return;
  const AudioFormat format = incomingFormat();
  auto d = delegate();
  const auto mode = d && d->readerType() != 1 ? NLSignalCollector::Mode::Raw : NLSignalCollector::Mode::Framed;
  auto context = std::make_shared<InputContext>(mode, std::max(1, format.channels));
  std::weak_ptr<AudioHelper> weak = weak_from_this();

  auto created = InputQueue::create(format, [weak, context](InputQueue& queue, QueueBuffer& buffer) {
    // The first channel of every frame.
    const size_t step = static_cast<size_t>(context->channels);
    const size_t frames = buffer.byteSize / (2 * step);
    context->samples.resize(frames);
    for (size_t i = 0; i < frames; ++i) std::memcpy(&context->samples[i], buffer.data.data() + 2 * step * i, 2);
    if (context->mode == NLSignalCollector::Mode::Framed) context->conditioner.process(context->samples);
    const bool complete = context->collector.feed(context->samples);
    if (!queue.isRunning()) return;
    (void)queue.enqueue(buffer);
    if (!complete) return;
    auto self = weak.lock();
    auto receiver = self ? self->delegate() : nullptr;
    if (!receiver) {
      context->collector.reset();
      return;
    }
    if (context->mode == NLSignalCollector::Mode::Framed) {
      auto messages = NLDemodulator::demodulate(context->collector.recording());
      context->collector.reset();
      for (auto& message : messages) receiver->onReceivedMessage(std::move(message));
    } else {
      nl_raw_track_to_card_data(context->collector.recording(), *receiver);
      context->collector.reset();
    }
  });
  if (!created.isOk()) {
    report(kErrorStart, kErrorStartText);
    return;
  }
  std::unique_ptr<InputQueue> queue = std::move(created.value);
  for (int i = 0; i < kQueueBuffers; ++i) {
    auto buffer = queue->allocateBuffer(kInputBufferBytes);
    if (!buffer.isOk() || !queue->enqueue(*buffer.value).isOk()) {
      report(kErrorStart, kErrorStartText);
      return;
    }
  }
  InputQueue* raw = queue.get();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    input_ = std::move(queue);
    inRunning_ = true;
  }
  if (!raw->start().isOk()) {
    std::unique_ptr<InputQueue> failed;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (input_.get() == raw) failed = std::move(input_);
      inRunning_ = false;
    }
    retire(std::move(failed));
    report(kErrorStart, kErrorStartText);
  }
}

void AudioHelper::stopIncomingAudio() {
  std::unique_ptr<InputQueue> queue;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!inRunning_) return;
    inRunning_ = false;
    queue = std::move(input_);
  }
  if (queue) (void)queue->stop();
  retire(std::move(queue));
}

// ---------------------------------------------------------------------------------- output

void AudioHelper::startOutgoingAudio() {
  PhoneController::setMobileVolumeMax();
  if (outRunning_) return;
  AudioFormat format;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    format = outFormat_;
  }
  std::weak_ptr<AudioHelper> weak = weak_from_this();
  auto created = OutputQueue::create(format, [weak](OutputQueue& queue, QueueBuffer& buffer) {
    if (auto self = weak.lock()) self->fillOutput(queue, buffer);
  });
  if (!created.isOk()) {
    report(kErrorStart, kErrorStartText);
    return;
  }
  std::unique_ptr<OutputQueue> queue = std::move(created.value);
  std::vector<QueueBuffer*> buffers;
  for (int i = 0; i < kQueueBuffers; ++i) {
    auto buffer = queue->allocateBuffer(kOutputBufferBytes);
    if (!buffer.isOk()) {
      report(kErrorStart, kErrorStartText);
      return;
    }
    buffers.push_back(buffer.value);
  }
  OutputQueue* raw = queue.get();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    output_ = std::move(queue);
    outRunning_ = true;
    playState_ = kPlayWakeUp;
    playing_ = nullptr;
  }
  for (QueueBuffer* buffer : buffers) fillOutput(*raw, *buffer);
  (void)raw->setVolume(kQueueVolume);
  if (!raw->start().isOk()) {
    std::unique_ptr<OutputQueue> failed;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (output_.get() == raw) failed = std::move(output_);
      outRunning_ = false;
      playState_ = kPlayStopped;
    }
    retire(std::move(failed));
    report(kErrorStart, kErrorStartText);
  }
}

void AudioHelper::stopOutgoingAudio() {
  std::unique_ptr<OutputQueue> queue;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!outRunning_) return;
    playState_ = kPlayStopped;
    outRunning_ = false;
    playing_ = nullptr;
    queue = std::move(output_);
  }
  if (queue) (void)queue->stop(true);
  retire(std::move(queue));
}

void AudioHelper::fillOutput(OutputQueue& queue, QueueBuffer& buffer) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!outRunning_ || output_.get() != &queue) return;
    if (playState_ == kPlayWakeUp || playState_ == kPlayCommand) {
      playing_ = playState_ == kPlayWakeUp ? &wakeUp_ : &command_;
      readPos_ = 0;
      readEnd_ = playing_->size();
      playState_ = kPlayIdle;
    }
    if (playing_) {
      const size_t n = std::min(buffer.capacity(), readEnd_ - readPos_);
      std::memcpy(buffer.data.data(), playing_->data() + readPos_, n);
      readPos_ += n;
      if (readPos_ >= readEnd_) playing_ = nullptr;
      buffer.byteSize = n;
    } else {
      NLModulator::writeIdleTone(buffer.data);
      buffer.byteSize = buffer.capacity();
    }
  }
  (void)queue.enqueue(buffer);
}

void AudioHelper::sendCommand(std::span<const uint8_t> command) {
  std::lock_guard<std::mutex> lock(mutex_);
  NLModulator::buildCommand(command_, command);
  playState_ = kPlayCommand;
}

int AudioHelper::playState() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return playState_;
}

std::vector<uint8_t> AudioHelper::wakeUpBuffer() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return wakeUp_;
}

std::vector<uint8_t> AudioHelper::commandBuffer() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return command_;
}

}  // namespace nvx::reader
