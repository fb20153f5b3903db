#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperSignalReceiver.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/media/AudioSession.h"
#include "platform/media/InputQueue.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_WavBuffer.h"

namespace nvx::reader {

namespace {

using State = CSwiper_DecodeMagController::State;

bool stores(unsigned state) {
  return state == State::DECODE_MAG_CONTROLLER_WAV_STATE_IDLE ||
         state == State::DECODE_MAG_CONTROLLER_WAV_STATE_WAITING_SWIPE;
}

}  // namespace

CSwiperSignalReceiver::CSwiperSignalReceiver(std::shared_ptr<CSwiper_WavBuffer> store) : store_(std::move(store)) {}

CSwiperSignalReceiver::~CSwiperSignalReceiver() { stop(); }

unsigned CSwiperSignalReceiver::framesPerBuffer(double rate) {
  return static_cast<unsigned>(std::ceil(rate * static_cast<double>(kBufferSeconds)));
}

void CSwiperSignalReceiver::resetForCapture() {
  filter_.clear();
  tracking_.reset(CSwiper_DecodeMagController::kDefaultTimeoutBuffers);
  lastState_ = State::DECODE_MAG_CONTROLLER_WAV_STATE_WAITING_SWIPE;
  totalSamples_ = 0;
}

CSwiperAudioFailure CSwiperSignalReceiver::start() {
  stop();
  resetForCapture();
  auto fail = [](const char* message, platform::media::AudioStatus status) -> CSwiperAudioFailure {
    CSwiperAudioError error{message, status.code()};
    error.report();
    return error;
  };
  auto& session = platform::media::AudioSession::sharedInstance();
  if (auto status = session.setPreferredSampleRate(kRequestedRate); !status) {
    return fail("couldn't set hardware sample rate", status);
  }
  auto hardwareRate = session.hardwareSampleRate();
  if (!hardwareRate) return fail("couldn't get hardware sample rate", hardwareRate.status);
  rate_ = hardwareRate.value;

  auto created = platform::media::InputQueue::create(
      platform::media::AudioFormat::s16(hardwareRate.value, 1),
      [this](platform::media::InputQueue& queue, platform::media::QueueBuffer& buffer) {
        const size_t n = buffer.byteSize / sizeof(int16_t);
        std::vector<int16_t> samples(n);
        std::memcpy(samples.data(), buffer.data.data(), n * sizeof(int16_t));
        processBuffer(samples);
        if (isRunning_) (void)queue.enqueue(buffer);
      });
  if (!created) return fail("AudioQueueNewInput failed", created.status);
  queue_ = std::move(created.value);

  const unsigned frames = framesPerBuffer(queue_->format().rate);
  const size_t bytes = frames * static_cast<size_t>(queue_->format().bytesPerFrame());
  for (int i = 0; i < kBuffers; ++i) {
    auto buffer = queue_->allocateBuffer(bytes);
    if (!buffer) return fail("AudioQueueAllocateBuffer failed", buffer.status);
    if (auto status = queue_->enqueue(*buffer.value); !status) return fail("AudioQueueEnqueueBuffer failed", status);
  }
  if (auto status = queue_->setMeteringEnabled(true); !status) {
    return fail("AudioQueueSetProperty kAudioQueueProperty_EnableLevelMetering Enable failed", status);
  }
  if (auto duration = session.preferredIOBufferDuration(); !duration) {
    return fail("couldn't get preferred hardware IO buffer duration", duration.status);
  }
  isRunning_ = true;
  if (auto status = queue_->start(); !status) {
    isRunning_ = false;
    return fail("AudioQueueStart failed", status);
  }
  return std::nullopt;
}

void CSwiperSignalReceiver::stop() {
  isRunning_ = false;
  if (!queue_) return;
  if (auto status = queue_->stop(); !status) CSwiperAudioError{"AudioQueueStop failed", status.code()}.report();
  queue_->dispose();
  queue_.reset();
}

void CSwiperSignalReceiver::processBuffer(std::span<const int16_t> samples) {
  const size_t n = samples.size();
  if (n == 0) return;
  double sum = 0;
  for (int16_t s : samples) {
    const double y = filter_.step(s);
    sum += y * y;
  }
  const double power = sum / static_cast<double>(n);
  lastPower_ = power;
  totalSamples_ += n;

  unsigned state;
  if (int delay = delayBuffers_.load(); delay > 0) {
    delayBuffers_ = delay - 1;
    state = lastState_;
  } else {
    state = tracking_.step(power);
  }

  if (stores(state)) {
    store_->storeAtStart(samples);
  } else {
    store_->append(samples);
  }
  if (state == State::DECODE_MAG_CONTROLLER_WAV_STATE_SWIPE_FINISHED &&
      lastState_ == State::DECODE_MAG_CONTROLLER_WAV_STATE_SWIPING) {
    store_->markSwipeEnd();
  }
  packetsRecorded_ += n;
  lastState_ = state;
}

}  // namespace nvx::reader
