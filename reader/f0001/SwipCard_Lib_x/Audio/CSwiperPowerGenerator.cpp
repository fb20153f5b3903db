#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperPowerGenerator.h"

#include <algorithm>
#include <cmath>

#include "platform/device/Device.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/OutputQueue.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperCommandGenerator.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_UIDeviceHardware.h"

namespace nvx::reader {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr int16_t kToneHigh = 32767;
constexpr int16_t kToneLow = -32767;
constexpr uint8_t kSwipeCommand = 6;
constexpr uint8_t kKsnCommand = 2;
constexpr uint8_t kEndlessToneCommand = 16;

// The byte count for a duration, within the queue's limits.
unsigned bufferBytes(double seconds) {
  const double bytes = CSwiperPowerGenerator::kRate * seconds * CSwiperPowerGenerator::kBytesPerFrame;
  return static_cast<unsigned>(std::clamp(bytes, 2048.0, 65536.0));
}

// A square wave: the sign of the sine, cut to an integer first.
int16_t square(double frequency, int t) {
  const int v = static_cast<int>(32760.0 * std::sin(kTwoPi * frequency * t / CSwiperPowerGenerator::kRate));
  return v >= 0 ? kToneHigh : kToneLow;
}

void putBigEndian(int16_t v, uint8_t* out) {
  const auto u = static_cast<uint16_t>(v);
  out[0] = static_cast<uint8_t>(u >> 8);
  out[1] = static_cast<uint8_t>(u & 0xFF);
}

}  // namespace

std::shared_ptr<CSwiperPowerGenerator> CSwiperPowerGenerator::create() {
  return std::shared_ptr<CSwiperPowerGenerator>(new CSwiperPowerGenerator());
}

CSwiperPowerGenerator::~CSwiperPowerGenerator() { DisposeToneQueue(); }

void CSwiperPowerGenerator::renderFrames(const CSwiperCommandGenerator* commander, int t, unsigned frames,
                                         uint8_t* out) {
  const uint8_t id = commander ? commander->cmdId() : 0;
  for (unsigned i = 0; i < frames; ++i, ++t) {
    int16_t left = 0, right = 0;
    switch (id) {
      case kSwipeCommand:
        if (t <= 8819) left = right = square(5000, t);
        break;
      case kKsnCommand:
        if (t <= 4409) left = right = square(2000, t);
        break;
      case kEndlessToneCommand:
        left = right = square(1000, t);
        break;
      default:
        if (commander && 2 * static_cast<int64_t>(t) + 1 < commander->wavLength()) {
          left = commander->wav()[2 * static_cast<size_t>(t)];
          right = commander->wav()[2 * static_cast<size_t>(t) + 1];
        }
        break;
    }
    putBigEndian(left, out + 4 * i);
    putBigEndian(right, out + 4 * i + 2);
  }
}

CSwiperAudioFailure CSwiperPowerGenerator::OpenToneQueue() {
  using platform::media::AudioFormat;
  using platform::media::SampleType;
  std::weak_ptr<CSwiperPowerGenerator> weak = weak_from_this();
  auto created = platform::media::OutputQueue::create(
      AudioFormat{static_cast<double>(kRate), 2, SampleType::S16BE, true},
      [weak](platform::media::OutputQueue&, platform::media::QueueBuffer& buffer) {
        if (auto self = weak.lock()) self->FillToneBuffer(buffer);
      },
      &platform::RunLoop::main());
  if (!created) return CSwiperAudioError{"AudioQueueNew failed", created.status.code()};
  queue_ = std::move(created.value);

  const unsigned bytes = bufferBytes(kBufferSeconds);
  framesPerBuffer_ = bytes / kBytesPerFrame;
  for (auto*& buffer : buffers_) {
    auto allocated = queue_->allocateBuffer(bytes);
    if (!allocated) return CSwiperAudioError{"AudioQueueAllocateBuffer failed", allocated.status.code()};
    buffer = allocated.value;
  }
  runningListener_ = queue_->addRunningListener([weak](bool running) {
    if (auto self = weak.lock()) self->isRunning_ = running;
  });
  const float volume = CSwiper_UIDeviceHardware::platform() == "iPhone3,3" ? kQuietDeviceVolume : 1.0f;
  if (auto status = queue_->setVolume(volume); !status) return CSwiperAudioError{"set queue volume", status.code()};
  return std::nullopt;
}

CSwiperAudioFailure CSwiperPowerGenerator::StartTone(bool resume) {
  if (!queue_) {
    if (auto failure = OpenToneQueue()) return failure;
  }
  isDone_ = false;
  if (!resume) packetsPlayed_ = 0;
  framesPlayed_ = 0;
  for (auto* buffer : buffers_) {
    if (buffer) FillToneBuffer(*buffer);
  }
  if (auto status = queue_->start(); !status) return CSwiperAudioError{"AudioQueueStart failed", status.code()};
  // The queue's own notice comes on a later pass of the loop; the player counts as running now.
  isRunning_ = true;
  return std::nullopt;
}

void CSwiperPowerGenerator::FillToneBuffer(platform::media::QueueBuffer& buffer) {
  if (isDone_ || !queue_) return;
  if (framesPerBuffer_ == 0) {
    isDone_ = true;
    (void)queue_->stop(false);
    return;
  }
  const auto commander = commander_.lock();
  renderFrames(commander.get(), framesPlayed_, framesPerBuffer_, buffer.data.data());
  buffer.byteSize = framesPerBuffer_ * kBytesPerFrame;
  if (auto status = queue_->enqueue(buffer); !status) return;
  packetsPlayed_ += framesPerBuffer_;
  framesPlayed_ += static_cast<int>(framesPerBuffer_);
}

void CSwiperPowerGenerator::StopTone() {
  if (queue_) (void)queue_->stop(true);
  isRunning_ = false;
}

CSwiperAudioFailure CSwiperPowerGenerator::SetToneVolume(float volume) {
  if (!queue_) return std::nullopt;
  if (auto status = queue_->setVolume(volume); !status) return CSwiperAudioError{"set queue volume", status.code()};
  return std::nullopt;
}

void CSwiperPowerGenerator::DisposeToneQueue() {
  runningListener_.cancel();
  if (queue_) queue_->dispose();
  queue_.reset();
  for (auto*& buffer : buffers_) buffer = nullptr;
  isRunning_ = false;
}

}  // namespace nvx::reader
