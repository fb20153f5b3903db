#include "platform/media/OutputQueue.h"

#include <gtest/gtest.h>

#include "platform/foundation/RunLoop.h"
#include "platform/media/AudioEngine.h"
#include "platform/media/AudioSession.h"
#include "platform/media/Jack.h"
#include "platform/media/LoopbackPeer.h"
#include "platform/media/MediaVolume.h"

namespace platform::media {
namespace {

constexpr size_t kStep = 441;  // frames of one hardware buffer at 44.1 kHz

// Fills a stereo S16 buffer of `frames` frames with one value.
void fillConstant(QueueBuffer& b, size_t frames, int16_t v) {
  auto* s = reinterpret_cast<int16_t*>(b.data.data());
  for (size_t i = 0; i < 2 * frames; ++i) s[i] = v;
  b.byteSize = frames * 4;
}

class OutputQueueTest : public ::testing::Test {
 protected:
  void SetUp() override { Jack::shared().plug(peer); }
  std::shared_ptr<LoopbackPeer> peer = std::make_shared<LoopbackPeer>();
};

TEST_F(OutputQueueTest, PlayedBuffersComeBackOnTheMainLoopAndPlayWithoutAGap) {
  int16_t next = 1;
  int fills = 0;
  auto created = OutputQueue::create(AudioFormat::s16(44100, 2), [&](OutputQueue& q, QueueBuffer& b) {
    EXPECT_TRUE(RunLoop::main().isMainThread());
    ++fills;
    fillConstant(b, kStep, next++);
    EXPECT_TRUE(q.enqueue(b));
  });
  ASSERT_TRUE(created);
  OutputQueue& queue = *created.value;
  for (int i = 0; i < 3; ++i) {
    auto b = queue.allocateBuffer(kStep * 4);
    ASSERT_TRUE(b);
    fillConstant(*b.value, kStep, next++);
    ASSERT_TRUE(queue.enqueue(*b.value));
  }
  ASSERT_TRUE(queue.start());
  RunLoop::main().advance(0.1);
  EXPECT_EQ(fills, 10);
  auto heard = peer->heardLeft();
  ASSERT_EQ(heard.size(), 10 * kStep);
  for (size_t i = 0; i < heard.size(); ++i) ASSERT_EQ(heard[i], s16ToFloat(static_cast<int16_t>(1 + i / kStep))) << i;
}

TEST_F(OutputQueueTest, BuffersOfAnyLengthPlayBackToBackAndNothingQueuedIsSilence) {
  auto created = OutputQueue::create(AudioFormat::s16(44100, 2), [](OutputQueue&, QueueBuffer&) {});
  ASSERT_TRUE(created);
  OutputQueue& queue = *created.value;
  auto a = queue.allocateBuffer(1000 * 4 + 3);   // a stray partial frame is not played
  auto b = queue.allocateBuffer(100 * 4);
  ASSERT_TRUE(a && b);
  fillConstant(*a.value, 1000, 1000);
  a.value->byteSize += 3;
  fillConstant(*b.value, 100, 2000);
  ASSERT_TRUE(queue.enqueue(*a.value));
  ASSERT_TRUE(queue.enqueue(*b.value));
  EXPECT_EQ(queue.enqueue(*b.value).code(), AudioStatus::kInvalidBuffer);   // already queued
  ASSERT_TRUE(queue.start());
  RunLoop::main().advance(0.03);
  auto heard = peer->heardLeft();
  ASSERT_EQ(heard.size(), 3 * kStep);
  for (size_t i = 0; i < heard.size(); ++i) {
    float expected = i < 1000 ? s16ToFloat(1000) : i < 1100 ? s16ToFloat(2000) : 0.0f;
    ASSERT_EQ(heard[i], expected) << i;
  }
  EXPECT_TRUE(queue.isRunning());
}

TEST_F(OutputQueueTest, StopAfterTheQueuedAudioOrAtOnce) {
  std::vector<bool> running;
  auto created = OutputQueue::create(AudioFormat::s16(44100, 2), [](OutputQueue&, QueueBuffer&) {});
  ASSERT_TRUE(created);
  OutputQueue& queue = *created.value;
  auto listening = queue.addRunningListener([&](bool on) {
    EXPECT_TRUE(RunLoop::main().isMainThread());
    running.push_back(on);
  });
  std::vector<QueueBuffer*> buffers;
  for (int i = 0; i < 2; ++i) {
    auto b = queue.allocateBuffer(kStep * 4);
    ASSERT_TRUE(b);
    fillConstant(*b.value, kStep, 5000);
    buffers.push_back(b.value);
    ASSERT_TRUE(queue.enqueue(*b.value));
  }
  ASSERT_TRUE(queue.start());
  ASSERT_TRUE(queue.stop(false));
  EXPECT_TRUE(queue.isRunning());
  RunLoop::main().advance(0.01);
  EXPECT_TRUE(queue.isRunning());     // the second buffer is still to play
  RunLoop::main().advance(0.01);
  EXPECT_FALSE(queue.isRunning());
  EXPECT_EQ(running, (std::vector<bool>{true, false}));
  EXPECT_EQ(peer->heardLeft().size(), 2 * kStep);
  EXPECT_EQ(peer->heardLeft().back(), s16ToFloat(5000));

  // At once: what was queued is dropped, never played.
  ASSERT_TRUE(queue.enqueue(*buffers[0]));
  ASSERT_TRUE(queue.enqueue(*buffers[1]));
  ASSERT_TRUE(queue.start());
  RunLoop::main().advance(0.01);
  ASSERT_TRUE(queue.stop(true));
  EXPECT_FALSE(queue.isRunning());
  RunLoop::main().advance(0.05);
  EXPECT_EQ(peer->heardLeft().size(), 3 * kStep);
  EXPECT_EQ(running, (std::vector<bool>{true, false, true, false}));
  ASSERT_TRUE(queue.enqueue(*buffers[1]));   // free again
}

TEST_F(OutputQueueTest, QueueVolumeAndMediaVolumeMultiply) {
  struct Case {
    float queueVolume;
    float mediaVolume;
    float heard;   // for a sample of 0.5
  };
  const Case cases[] = {
      {1.0f, 1.0f, 0.5f}, {0.5f, 1.0f, 0.25f}, {0.5f, 0.5f, 0.125f}, {0.35f, 1.0f, 0.175f},
      {5.0f, 1.0f, 0.5f},   // above 1 counts as 1
      {1.0f, 0.0f, 0.0f},   // media volume 0: the peer hears silence
  };
  for (const Case& c : cases) {
    auto created = OutputQueue::create(AudioFormat::s16(44100, 2), [](OutputQueue&, QueueBuffer&) {});
    ASSERT_TRUE(created);
    OutputQueue& queue = *created.value;
    auto b = queue.allocateBuffer(kStep * 4);
    ASSERT_TRUE(b);
    fillConstant(*b.value, kStep, 16384);
    ASSERT_TRUE(queue.enqueue(*b.value));
    ASSERT_TRUE(queue.setVolume(c.queueVolume));
    MediaVolume::shared().setVolume(c.mediaVolume);
    size_t before = peer->heardLeft().size();
    ASSERT_TRUE(queue.start());
    RunLoop::main().advance(0.01);
    queue.dispose();
    auto heard = peer->heardLeft();
    ASSERT_EQ(heard.size(), before + kStep);
    EXPECT_FLOAT_EQ(heard.back(), c.heard) << c.queueVolume << " x " << c.mediaVolume;
    EXPECT_FLOAT_EQ(peer->heardRight().back(), c.heard);
  }
}

TEST_F(OutputQueueTest, BigEndianAndUnsignedStreamsSoundTheSame) {
  struct Case {
    AudioFormat format;
    std::vector<uint8_t> frame;   // one frame: left then right
  };
  const Case cases[] = {
      {{44100, 2, SampleType::S16BE, true}, {0x40, 0x00, 0xE0, 0x00}},
      {{44100, 2, SampleType::U8, true}, {0xC0, 0x60}},
      {{44100, 2, SampleType::S16, true}, {0x00, 0x40, 0x00, 0xE0}},
  };
  for (const Case& c : cases) {
    auto created = OutputQueue::create(c.format, [](OutputQueue&, QueueBuffer&) {});
    ASSERT_TRUE(created);
    auto b = created.value->allocateBuffer(kStep * c.frame.size());
    ASSERT_TRUE(b);
    for (size_t i = 0; i < kStep; ++i) std::copy(c.frame.begin(), c.frame.end(), b.value->data.begin() + i * c.frame.size());
    b.value->byteSize = b.value->capacity();
    ASSERT_TRUE(created.value->enqueue(*b.value));
    ASSERT_TRUE(created.value->start());
    RunLoop::main().advance(0.01);
    created.value->dispose();
    EXPECT_EQ(peer->heardLeft().back(), 0.5f);
    EXPECT_EQ(peer->heardRight().back(), -0.25f);
  }
}

TEST_F(OutputQueueTest, FailuresAndMisuseAreReported) {
  EXPECT_EQ(OutputQueue::create({44100, 3, SampleType::S16, true}, {}).status.code(), AudioStatus::kFormatNotSupported);
  AudioSession::sharedInstance().failNext("OutputQueue::create");
  EXPECT_EQ(OutputQueue::create(AudioFormat::s16(44100, 2), {}).status.code(), AudioStatus::kUnspecified);

  auto created = OutputQueue::create(AudioFormat::s16(44100, 2), {});
  ASSERT_TRUE(created);
  auto other = OutputQueue::create(AudioFormat::s16(44100, 2), {});
  ASSERT_TRUE(other);
  auto foreign = other.value->allocateBuffer(16);
  ASSERT_TRUE(foreign);
  EXPECT_EQ(created.value->enqueue(*foreign.value).code(), AudioStatus::kInvalidBuffer);
  auto mine = created.value->allocateBuffer(16);
  ASSERT_TRUE(mine);
  mine.value->byteSize = 17;
  EXPECT_EQ(created.value->enqueue(*mine.value).code(), AudioStatus::kInvalidBuffer);

  AudioSession::sharedInstance().failNext("OutputQueue::start", -66681);
  EXPECT_EQ(created.value->start().code(), -66681);
  EXPECT_FALSE(created.value->isRunning());
  EXPECT_FALSE(AudioEngine::shared().running());
  EXPECT_TRUE(created.value->start());

  created.value->dispose();
  EXPECT_FALSE(AudioEngine::shared().running());
  EXPECT_EQ(created.value->start().code(), AudioStatus::kDisposed);
}

TEST_F(OutputQueueTest, FillsRunOnTheQueuesOwnLoopAndNoneAfterDispose) {
  RunLoop own;   // a loop nobody drives but this test
  int fills = 0;
  std::vector<bool> running;
  auto created = OutputQueue::create(AudioFormat::s16(44100, 2), [&](OutputQueue&, QueueBuffer&) { ++fills; }, &own);
  ASSERT_TRUE(created);
  auto listening = created.value->addRunningListener([&](bool on) { running.push_back(on); });
  std::vector<QueueBuffer*> buffers;
  for (int i = 0; i < 2; ++i) {
    auto b = created.value->allocateBuffer(kStep * 4);
    ASSERT_TRUE(b);
    fillConstant(*b.value, kStep, 1);
    ASSERT_TRUE(created.value->enqueue(*b.value));
  }
  ASSERT_TRUE(created.value->start());
  RunLoop::main().advance(0.01);
  EXPECT_EQ(fills, 0);                    // posted to the queue's loop, not the main one
  EXPECT_TRUE(running.empty());
  own.runUntilIdle();
  EXPECT_EQ(fills, 1);
  EXPECT_EQ(running, std::vector<bool>{true});

  RunLoop::main().advance(0.01);          // the second buffer has played: its fill is posted ...
  created.value.reset();                  // ... and the queue goes first
  own.runUntilIdle();
  EXPECT_EQ(fills, 1);
}

}  // namespace
}  // namespace platform::media
