#include "platform/media/AudioEngine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ThreadActivity.h"
#include "platform/media/AudioSession.h"
#include "platform/media/DuplexUnit.h"
#include "platform/media/Jack.h"
#include "platform/media/LoopbackPeer.h"
#include "platform/media/MediaVolume.h"
#include "platform/media/OutputQueue.h"
#include "platform/testing/Testing.h"

namespace platform::media {
namespace {

constexpr double kReaderRate = 176400;
constexpr size_t kReaderBuffer = 1764;  // 10 ms at 176.4 kHz

int16_t toneAt(size_t t) {
  return static_cast<int16_t>(std::lround(16000 * std::sin(2 * M_PI * 1000.0 * static_cast<double>(t) / kReaderRate)));
}

// A duplex unit that plays a tone burst of `toneFrames` and keeps what its microphone heard.
struct ToneUnit {
  std::vector<int16_t> mic;
  size_t played = 0;
  size_t toneFrames;
  DuplexUnit unit;

  explicit ToneUnit(size_t frames)
      : toneFrames(frames), unit(AudioFormat::s16(kReaderRate, 2), [this](int16_t* io, size_t n) {
          for (size_t i = 0; i < n; ++i) mic.push_back(io[2 * i]);
          for (size_t i = 0; i < n; ++i, ++played) {
            int16_t v = played < toneFrames ? toneAt(played) : 0;
            io[2 * i] = v;
            io[2 * i + 1] = v;
          }
        }) {
    EXPECT_TRUE(unit.setInputEnabled(true));
    EXPECT_TRUE(unit.initialize());
  }
};

std::vector<int16_t> loopbackRun() {
  Jack::shared().plug(std::make_shared<LoopbackPeer>());
  ToneUnit tone(3000);
  EXPECT_TRUE(tone.unit.start());
  RunLoop::main().advance(0.1);
  EXPECT_TRUE(tone.unit.stop());
  Jack::shared().unplug();
  return tone.mic;
}

TEST(AudioEngineTest, ALoopedBackToneReturnsOneBufferLateTheSameWayEveryRun) {
  std::vector<int16_t> first = loopbackRun();
  ASSERT_EQ(first.size(), 10 * kReaderBuffer);
  // The first buffer's microphone is silent: the peer has heard nothing yet.
  for (size_t i = 0; i < kReaderBuffer; ++i) ASSERT_EQ(first[i], 0) << i;
  // Then the tone, sample for sample, one buffer late; then silence.
  for (size_t t = 0; t < 3000; ++t) ASSERT_EQ(first[kReaderBuffer + t], toneAt(t)) << t;
  for (size_t i = kReaderBuffer + 3000; i < first.size(); ++i) ASSERT_EQ(first[i], 0) << i;

  std::vector<int16_t> second = loopbackRun();
  EXPECT_EQ(first, second);
}

TEST(AudioEngineTest, WhatAWorkerDoesAtABuffersEndGoesIntoThatBuffer) {
  // A driver thread wakes at the very instant a buffer ends (20 ms) and switches its signal on:
  // the buffer processed then carries it, every time.
  for (int run = 0; run < 10; ++run) {
    std::atomic<bool> on{false};
    size_t firstLoud = SIZE_MAX;
    size_t frame = 0;
    DuplexUnit unit(AudioFormat::s16(kReaderRate, 2), [&](int16_t*, size_t n) {
      for (size_t i = 0; i < n; ++i, ++frame) {
        if (on && firstLoud == SIZE_MAX) firstLoud = frame;
      }
    });
    ASSERT_TRUE(unit.initialize());
    ASSERT_TRUE(unit.start());
    Thread::detach("driver", [&on] {
      for (int k = 0; k < 4; ++k) clock().sleepFor(secs(0.005));
      on = true;
    });
    RunLoop::main().advance(0.05);
    ASSERT_TRUE(unit.stop());
    EXPECT_EQ(firstLoud, kReaderBuffer) << "run " << run;
  }
}

TEST(AudioEngineTest, AudioTakesExactlyItsDurationOnTheVirtualClock) {
  auto peer = std::make_shared<LoopbackPeer>();
  Jack::shared().plug(peer);
  auto& engine = AudioEngine::shared();
  ToneUnit tone(0);
  uint64_t before = engine.buffersProcessed();
  TimePoint start = clock().now();
  ASSERT_TRUE(tone.unit.start());
  EXPECT_EQ(engine.framesPerBuffer(), kReaderBuffer);

  RunLoop::main().advance(0.5);
  EXPECT_EQ(engine.buffersProcessed() - before, 50u);
  EXPECT_EQ(peer->heardLeft().size(), 88200u);  // half a second at 176.4 kHz
  EXPECT_EQ(tone.played, 88200u);
  RunLoop::main().advance(0.009);              // not yet the end of the next buffer
  EXPECT_EQ(engine.buffersProcessed() - before, 50u);
  RunLoop::main().advance(0.001);
  EXPECT_EQ(engine.buffersProcessed() - before, 51u);
  EXPECT_EQ(clock().now() - start, secs(0.51));

  // runUntil stops at the buffer where the condition came true.
  ASSERT_TRUE(RunLoop::main().runUntil([&] { return tone.played >= 3 * 88200; }, secs(10)));
  EXPECT_EQ(clock().now() - start, secs(1.5));
  ASSERT_TRUE(tone.unit.stop());
}

TEST(AudioEngineTest, TheHardwareBufferFollowsThePreferredDuration) {
  struct Case {
    double preferred;
    size_t frames;
  };
  const Case cases[] = {{0.005, 882}, {0.002, 882}, {0.02, 3528}, {0.5, 3528}, {0.0123, 2170}};
  for (const Case& c : cases) {
    ASSERT_TRUE(AudioSession::sharedInstance().setPreferredIOBufferDuration(c.preferred));
    ToneUnit tone(0);
    ASSERT_TRUE(tone.unit.start());
    EXPECT_EQ(AudioEngine::shared().framesPerBuffer(), c.frames) << c.preferred;
    auto duration = AudioSession::sharedInstance().ioBufferDuration();
    ASSERT_TRUE(duration);
    EXPECT_DOUBLE_EQ(duration.value, static_cast<double>(c.frames) / kReaderRate);
    RunLoop::main().advance(0.1);
    EXPECT_NEAR(static_cast<double>(tone.played), 17640.0, static_cast<double>(c.frames));
    ASSERT_TRUE(tone.unit.stop());
  }
}

TEST(AudioEngineTest, AnotherRateCannotRunAtTheSameTime) {
  log::Capture logs;
  ToneUnit tone(0);
  ASSERT_TRUE(tone.unit.start());
  auto queue = OutputQueue::create(AudioFormat::s16(44100, 2), [](OutputQueue&, QueueBuffer&) {});
  ASSERT_TRUE(queue);
  EXPECT_EQ(queue.value->start().code(), AudioStatus::kCannotStart);
  EXPECT_FALSE(queue.value->isRunning());
  EXPECT_TRUE(logs.contains("44100"));
  ASSERT_TRUE(tone.unit.stop());
  // Once the engine is free, the other rate may run.
  EXPECT_TRUE(queue.value->start());
  EXPECT_EQ(AudioEngine::shared().rate(), 44100);
}

TEST(AudioEngineTest, StoppingTheLastStreamEndsTheEngineThread) {
  auto& engine = AudioEngine::shared();
  {
    ToneUnit tone(0);
    ASSERT_TRUE(tone.unit.start());
    RunLoop::main().advance(0.05);
    EXPECT_TRUE(engine.running());
    EXPECT_EQ(ThreadActivity::liveCount(), 1);
    ASSERT_TRUE(tone.unit.stop());
    EXPECT_FALSE(engine.running());
    size_t played = tone.played;
    uint64_t processed = engine.buffersProcessed();
    RunLoop::main().advance(0.05);
    EXPECT_EQ(tone.played, played);           // no callback after stop
    EXPECT_EQ(engine.buffersProcessed(), processed);
    EXPECT_TRUE(testing::noThreadLeft());

    // A new start begins a new timeline from now.
    ASSERT_TRUE(tone.unit.start());
    RunLoop::main().advance(0.02);
    EXPECT_EQ(tone.played, played + 2 * kReaderBuffer);
  }  // dispose
  EXPECT_FALSE(engine.running());
  RunLoop::main().advance(0.05);
  EXPECT_TRUE(testing::noThreadLeft());
}

TEST(AudioEngineTest, AProcessResetJoinsARunningEngine) {
  auto tone = std::make_unique<ToneUnit>(0);
  ASSERT_TRUE(tone->unit.start());
  RunLoop::main().advance(0.05);
  ASSERT_EQ(ThreadActivity::liveCount(), 1);
  testing::restart();
  EXPECT_EQ(ThreadActivity::liveCount(), 0);
  EXPECT_FALSE(AudioEngine::shared().running());
  tone.reset();  // a stream that outlived the reset goes quietly
}

TEST(AudioEngineTest, ACallbackMayStopItsOwnStream) {
  size_t calls = 0;
  std::unique_ptr<DuplexUnit> unit;
  unit = std::make_unique<DuplexUnit>(AudioFormat::s16(kReaderRate, 2), [&](int16_t*, size_t) {
    if (++calls == 3) {
      EXPECT_TRUE(unit->stop());
    }
  });
  ASSERT_TRUE(unit->initialize());
  ASSERT_TRUE(unit->start());
  RunLoop::main().advance(0.1);
  EXPECT_EQ(calls, 3u);
  EXPECT_FALSE(unit->isRunning());
}

TEST(AudioEngineTest, NoCallbackRunsOnceStopHasReturnedOnAnotherThread) {
  // Another thread starts and stops the unit over and over while the engine steps: once stop()
  // has returned, the render callback must not run (a buffer under way is waited for).
  std::atomic<bool> stopped{true};
  std::atomic<int> renders{0};
  std::atomic<int> afterStop{0};
  DuplexUnit unit(AudioFormat::s16(kReaderRate, 2), [&](int16_t*, size_t) {
    ++renders;
    if (stopped) ++afterStop;
  });
  ASSERT_TRUE(unit.initialize());
  std::atomic<bool> done{false};
  std::thread other([&] {
    for (int i = 0; i < 200; ++i) {
      stopped = false;
      EXPECT_TRUE(unit.start());
      std::this_thread::yield();
      EXPECT_TRUE(unit.stop());
      stopped = true;
    }
    done = true;
  });
  while (!done) RunLoop::main().advance(0.01);
  other.join();
  RunLoop::main().advance(0.05);
  EXPECT_EQ(afterStop.load(), 0);
  EXPECT_FALSE(AudioEngine::shared().running());
}

TEST(AudioEngineTest, AnInterruptionStopsEveryStreamAndBlocksActivation) {
  auto& session = AudioSession::sharedInstance();
  std::vector<bool> heard;
  ASSERT_TRUE(session.initialize([&](bool begins) {
    EXPECT_TRUE(RunLoop::main().isMainThread());
    heard.push_back(begins);
  }));
  ASSERT_TRUE(session.setActive(true));
  ToneUnit tone(0);
  ASSERT_TRUE(tone.unit.start());
  RunLoop::main().advance(0.02);

  Jack::shared().interruption(true);
  EXPECT_FALSE(tone.unit.isRunning());
  EXPECT_FALSE(AudioEngine::shared().running());
  EXPECT_FALSE(session.isActive());
  EXPECT_EQ(session.setActive(true).code(), AudioStatus::kCannotInterruptOthers);
  size_t played = tone.played;
  RunLoop::main().advance(0.05);
  EXPECT_EQ(tone.played, played);
  EXPECT_EQ(heard, std::vector<bool>{true});

  Jack::shared().interruption(false);
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(heard, (std::vector<bool>{true, false}));
  EXPECT_FALSE(session.isActive());  // the application takes the audio back itself
  ASSERT_TRUE(session.setActive(true));
  ASSERT_TRUE(tone.unit.start());
  RunLoop::main().advance(0.01);
  EXPECT_EQ(tone.played, played + kReaderBuffer);
}

TEST(AudioEngineTest, TheMicrophoneIsSilentWithoutAPeerAMicrophoneOrPermission) {
  auto peer = std::make_shared<LoopbackPeer>();
  peer->speakLevel(0.5f);
  struct Case {
    const char* what;
    std::function<void()> setUp;
    int16_t expected;
  };
  const Case cases[] = {
      {"peer with a microphone", [&] { Jack::shared().plug(peer); }, 16384},
      {"input gain 0.5", [&] { ASSERT_TRUE(AudioSession::sharedInstance().setInputGain(0.5f)); }, 8192},
      {"record permission denied",
       [&] { AudioSession::sharedInstance().setRecordPermission(RecordPermission::Denied); }, 0},
      {"permission granted again",
       [&] { AudioSession::sharedInstance().setRecordPermission(RecordPermission::Granted); }, 8192},
      {"a peer without a microphone", [&] { Jack::shared().plug(peer, "Headphone", false); }, 0},
      {"headphones", [&] { Jack::shared().plugHeadphones(); }, 0},
      {"nothing plugged", [&] { Jack::shared().unplug(); }, 0},
  };
  for (const Case& c : cases) {
    c.setUp();
    ToneUnit tone(0);
    ASSERT_TRUE(tone.unit.start());
    RunLoop::main().advance(0.01);
    ASSERT_TRUE(tone.unit.stop());
    ASSERT_EQ(tone.mic.size(), kReaderBuffer) << c.what;
    EXPECT_EQ(tone.mic.front(), c.expected) << c.what;
    EXPECT_EQ(tone.mic.back(), c.expected) << c.what;
  }
}

TEST(AudioEngineTest, TheMediaVolumeScalesWhatThePeerHears) {
  auto peer = std::make_shared<LoopbackPeer>();
  Jack::shared().plug(peer);
  MediaVolume::shared().setVolume(0.5f);
  ToneUnit tone(kReaderBuffer);
  ASSERT_TRUE(tone.unit.start());
  RunLoop::main().advance(0.01);
  MediaVolume::shared().setVolume(0.0f);
  tone.toneFrames = 3 * kReaderBuffer;
  RunLoop::main().advance(0.01);
  ASSERT_TRUE(tone.unit.stop());
  auto heard = peer->heardLeft();
  ASSERT_EQ(heard.size(), 2 * kReaderBuffer);
  for (size_t t = 0; t < kReaderBuffer; ++t) ASSERT_FLOAT_EQ(heard[t], 0.5f * s16ToFloat(toneAt(t))) << t;
  for (size_t t = kReaderBuffer; t < heard.size(); ++t) ASSERT_EQ(heard[t], 0.0f) << t;
}

}  // namespace
}  // namespace platform::media
