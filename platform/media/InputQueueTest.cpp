#include "platform/media/InputQueue.h"

#include <gtest/gtest.h>

#include "platform/foundation/RunLoop.h"
#include "platform/media/AudioEngine.h"
#include "platform/media/AudioSession.h"
#include "platform/media/Jack.h"

namespace platform::media {
namespace {

// Speaks a ramp: sample k of the run is (k mod 1000) / 32768.
class RampPeer : public Peer {
 public:
  void hear(std::span<const float>, std::span<const float>, double) override {}
  void speak(std::span<float> mic, double) override {
    for (float& s : mic) s = static_cast<float>(next_++ % 1000) / 32768.0f;
  }

 private:
  size_t next_ = 0;   // the engine thread's own
};

TEST(InputQueueTest, FullBuffersReachTheCallbackOnTheAudioThreadInOrder) {
  Jack::shared().plug(std::make_shared<RampPeer>());
  // The capture of family 0001: mono S16 at 44.1 kHz, buffers of 4,411 frames.
  std::vector<int16_t> recorded;
  std::vector<size_t> sizes;
  bool onMain = false;
  auto created = InputQueue::create(AudioFormat::s16(44100, 1), [&](InputQueue& q, QueueBuffer& b) {
    onMain = onMain || RunLoop::main().isMainThread() || !AudioEngine::onEngineThread();
    sizes.push_back(b.byteSize);
    auto* s = reinterpret_cast<const int16_t*>(b.data.data());
    recorded.insert(recorded.end(), s, s + b.byteSize / 2);
    EXPECT_TRUE(q.enqueue(b));
  });
  ASSERT_TRUE(created);
  InputQueue& queue = *created.value;
  for (int i = 0; i < 3; ++i) {
    auto b = queue.allocateBuffer(8822);
    ASSERT_TRUE(b);
    ASSERT_TRUE(queue.enqueue(*b.value));
  }
  ASSERT_TRUE(queue.start());
  RunLoop::main().advance(1.0);
  ASSERT_TRUE(queue.stop());
  EXPECT_FALSE(onMain);
  EXPECT_EQ(sizes, std::vector<size_t>(9, 8822));   // 44,100 frames fill 9 whole buffers
  ASSERT_EQ(recorded.size(), 9u * 4411);
  for (size_t k = 0; k < recorded.size(); ++k) ASSERT_EQ(recorded[k], static_cast<int16_t>(k % 1000)) << k;
}

TEST(InputQueueTest, WithoutAQueuedBufferTheSoundIsLost) {
  Jack::shared().plug(std::make_shared<RampPeer>());
  std::vector<QueueBuffer*> full;
  auto created = InputQueue::create(AudioFormat::s16(44100, 2), [&](InputQueue&, QueueBuffer& b) { full.push_back(&b); });
  ASSERT_TRUE(created);
  auto b = created.value->allocateBuffer(441 * 4);
  ASSERT_TRUE(b);
  ASSERT_TRUE(created.value->enqueue(*b.value));
  ASSERT_TRUE(created.value->start());
  RunLoop::main().advance(0.03);
  ASSERT_EQ(full.size(), 1u);   // the next two hardware buffers had nowhere to go
  ASSERT_TRUE(created.value->enqueue(*b.value));
  RunLoop::main().advance(0.01);
  ASSERT_EQ(full.size(), 2u);
  auto* s = reinterpret_cast<const int16_t*>(b.value->data.data());
  EXPECT_EQ(s[0], static_cast<int16_t>((3 * 441) % 1000));   // stereo: both channels the same
  EXPECT_EQ(s[1], s[0]);
}

TEST(InputQueueTest, MeteringMeasuresTheLastBuffer) {
  class Level : public Peer {
   public:
    void hear(std::span<const float>, std::span<const float>, double) override {}
    void speak(std::span<float> mic, double) override {
      for (size_t i = 0; i < mic.size(); ++i) mic[i] = i % 2 ? 0.5f : -0.25f;
    }
  };
  Jack::shared().plug(std::make_shared<Level>());
  auto created = InputQueue::create(AudioFormat::s16(44100, 1), [](InputQueue& q, QueueBuffer& b) { (void)q.enqueue(b); });
  ASSERT_TRUE(created);
  InputQueue& queue = *created.value;
  EXPECT_EQ(queue.currentLevels().status.code(), AudioStatus::kUnsupportedProperty);
  ASSERT_TRUE(queue.setMeteringEnabled(true));
  auto b = queue.allocateBuffer(882);
  ASSERT_TRUE(b);
  ASSERT_TRUE(queue.enqueue(*b.value));
  ASSERT_TRUE(queue.start());
  RunLoop::main().advance(0.01);
  auto levels = queue.currentLevels();
  ASSERT_TRUE(levels);
  ASSERT_EQ(levels.value.size(), 1u);
  EXPECT_FLOAT_EQ(levels.value[0].average, (221 * 0.25f + 220 * 0.5f) / 441);   // 441 frames, even ones -0.25
  EXPECT_FLOAT_EQ(levels.value[0].peak, 0.5f);
}

TEST(InputQueueTest, FailuresAndMisuseAreReported) {
  AudioSession::sharedInstance().failNext("InputQueue::create");
  EXPECT_EQ(InputQueue::create(AudioFormat::s16(44100, 1), {}).status.code(), AudioStatus::kUnspecified);
  EXPECT_EQ(InputQueue::create(AudioFormat::s16(-1, 1), {}).status.code(), AudioStatus::kFormatNotSupported);
  auto created = InputQueue::create(AudioFormat::s16(44100, 2), {});
  ASSERT_TRUE(created);
  EXPECT_EQ(created.value->allocateBuffer(3).status.code(), AudioStatus::kInvalidParameter);   // less than a frame
  AudioSession::sharedInstance().failNext("InputQueue::start", fourCharCode("!dev"));
  EXPECT_EQ(created.value->start().code(), fourCharCode("!dev"));
  EXPECT_FALSE(created.value->isRunning());
  created.value->dispose();
  EXPECT_EQ(created.value->start().code(), AudioStatus::kDisposed);
}

}  // namespace
}  // namespace platform::media
