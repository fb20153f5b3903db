#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperSignalReceiver.h"

#include <gtest/gtest.h>

#include "reader/f0001/CSwiperLineTestSupport.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_WavBuffer.h"
#include "standin/SimulatedReader0001.h"

namespace nvx::reader {
namespace {

using testing::CSwiperLine;
using Tracking = CSwiper_DecodeMagController;
constexpr size_t kBuffer = 4411;

// The capture without the audio system: the line cut into 0.1 s buffers as the input queue
// hands them over.
class Capture {
 public:
  explicit Capture(unsigned timeoutBuffers = Tracking::kDefaultTimeoutBuffers, int delay = 0) {
    receiver.resetForCapture();
    receiver.tracking().setTimeoutBuffers(timeoutBuffers);
    receiver.setDelayBuffers(delay);
  }
  // Feeds the line; the tracking state after each buffer.
  std::vector<unsigned> feed(const CSwiperLine& line) {
    auto samples = line.samples();
    samples.resize((samples.size() + kBuffer - 1) / kBuffer * kBuffer, 0);
    std::vector<unsigned> states;
    for (size_t at = 0; at < samples.size(); at += kBuffer) {
      receiver.processBuffer(std::span<const int16_t>(samples.data() + at, kBuffer));
      states.push_back(receiver.tracking().state());
    }
    return states;
  }

  std::shared_ptr<CSwiper_WavBuffer> store = std::make_shared<CSwiper_WavBuffer>();
  CSwiperSignalReceiver receiver{store};
};

TEST(CSwiperSignalReceiver, BuffersHold4411FramesAtTheUsualRate) {
  EXPECT_EQ(CSwiperSignalReceiver::framesPerBuffer(44100), 4411u);
  EXPECT_EQ(CSwiperSignalReceiver::framesPerBuffer(48000), 4801u);
}

TEST(CSwiperSignalReceiver, ASwipeStartsAtA2kHzPowerOf36Million) {
  struct Case {
    double hz;
    double rms;
    bool starts;
  };
  // The band-pass passes 2 kHz at (very nearly) gain 1: RMS 6,000 is the edge.
  const Case cases[] = {{2000, 6010, true}, {2000, 5990, false}, {1000, 20000, false}, {5000, 20000, false}};
  for (const Case& c : cases) {
    Capture capture;
    auto states = capture.feed(CSwiperLine().quiet(0.1).tone(c.hz, c.rms, 0.3));
    EXPECT_EQ(states[2] == Tracking::DECODE_MAG_CONTROLLER_WAV_STATE_SWIPING, c.starts) << c.hz << " " << c.rms;
  }
}

TEST(CSwiperSignalReceiver, ASwipeEndsWhenThePowerFallsOrAfter12Buffers) {
  // A long swipe signal is cut after 12 buffers; the decoder gets the waiting buffer, the 12 and
  // the one that ended it.
  Capture capture;
  auto states = capture.feed(CSwiperLine().quietFor(2 * kBuffer).tone(2000, 9000, 2.0));
  ASSERT_EQ(states[2], Tracking::DECODE_MAG_CONTROLLER_WAV_STATE_SWIPING);
  EXPECT_EQ(states[13], Tracking::DECODE_MAG_CONTROLLER_WAV_STATE_SWIPING);
  EXPECT_EQ(states[14], Tracking::DECODE_MAG_CONTROLLER_WAV_STATE_SWIPE_FINISHED);
  EXPECT_EQ(capture.store->decodeLength(), 61754u);

  // A short one ends in the first quiet buffer.
  Capture shortOne;
  states = shortOne.feed(CSwiperLine().quietFor(kBuffer).toneFor(2000, 9000, 3 * kBuffer + kBuffer / 2).quiet(0.3));
  EXPECT_EQ(states[1], Tracking::DECODE_MAG_CONTROLLER_WAV_STATE_SWIPING);
  EXPECT_EQ(states[4], Tracking::DECODE_MAG_CONTROLLER_WAV_STATE_SWIPING);
  EXPECT_EQ(states[5], Tracking::DECODE_MAG_CONTROLLER_WAV_STATE_SWIPE_FINISHED);
  EXPECT_EQ(shortOne.store->decodeLength(), 6 * kBuffer);
}

TEST(CSwiperSignalReceiver, OnlyThreeBuffersAtSwipePowerCountAsASwipeBeingSeen) {
  // The buffer that starts a swipe is not counted; the one in which the power falls is. So a
  // signal over 2 buffers leaves the count at 2 (no swipe-detected announcement follows), one
  // over 3 makes it 3.
  struct Case {
    size_t samples;
    unsigned detect;
  };
  for (const Case& c : {Case{kBuffer + kBuffer / 2, 2}, Case{2 * kBuffer + kBuffer / 2, 3}}) {
    Capture capture;
    auto states = capture.feed(CSwiperLine().quietFor(kBuffer).toneFor(2000, 9000, c.samples).quiet(0.3));
    EXPECT_EQ(states.back(), Tracking::DECODE_MAG_CONTROLLER_WAV_STATE_SWIPE_FINISHED) << c.samples;
    EXPECT_EQ(capture.receiver.tracking().detectBuffers(), c.detect) << c.samples;
  }
  // The simulated reader's command replies stay within that wherever they fall, even with its
  // clock 2 % slow; its card packets go beyond.
  const std::vector<uint8_t> ksn{1, 2, 3, 4, 5, 6, 7, 8};
  for (int lead = 0; lead < 100; lead += 3) {
    Capture reply;
    reply.feed(CSwiperLine()
                   .quiet(0.1 + lead / 1000.0)
                   .say(standin::SimulatedReader0001::ksnReply(ksn), 0.04, 0.5, -0.02)
                   .quiet(0.3));
    EXPECT_LE(reply.receiver.tracking().detectBuffers(), 2u) << lead;
    EXPECT_EQ(reply.receiver.tracking().state(), Tracking::DECODE_MAG_CONTROLLER_WAV_STATE_SWIPE_FINISHED) << lead;
    Capture card;
    card.feed(CSwiperLine()
                  .quiet(0.1 + lead / 1000.0)
                  .say(standin::SimulatedReader0001::cardPacket(standin::Reader0001Card::testCard()), 0.3)
                  .quiet(0.3));
    EXPECT_GT(card.receiver.tracking().detectBuffers(), 2u) << lead;
    EXPECT_EQ(card.receiver.tracking().state(), Tracking::DECODE_MAG_CONTROLLER_WAV_STATE_SWIPE_FINISHED) << lead;
  }
}

TEST(CSwiperSignalReceiver, DelayedBuffersCannotStartASwipe) {
  Capture capture(200, 5);
  auto states = capture.feed(CSwiperLine().tone(2000, 9000, 0.45).quiet(0.5));
  for (unsigned s : states) EXPECT_EQ(s, Tracking::DECODE_MAG_CONTROLLER_WAV_STATE_WAITING_SWIPE);
  EXPECT_EQ(capture.receiver.tracking().elapsedBuffers(), states.size() - 5);
}

TEST(CSwiperSignalReceiver, TheTimeOutComesOnTheBufferAfterItsCount) {
  for (unsigned timeout : {30u, 270u}) {
    Capture capture(timeout, 2);
    auto states = capture.feed(CSwiperLine().quiet(0.1 * (timeout + 3)));
    ASSERT_EQ(states.size(), timeout + 3);
    EXPECT_EQ(states[timeout + 1], Tracking::DECODE_MAG_CONTROLLER_WAV_STATE_WAITING_SWIPE) << timeout;
    EXPECT_EQ(states[timeout + 2], Tracking::DECODE_MAG_CONTROLLER_WAV_STATE_TIMEOUT) << timeout;
  }
}

TEST(CSwiperSignalReceiver, TheFilterRunsOnAcrossBuffersUntilTheCaptureStartsAgain) {
  Capture capture;
  // A tone that stops at a buffer's end: the filter still rings at the start of the next one.
  capture.feed(CSwiperLine().tone(2000, 9000, kBuffer / 44100.0));
  capture.feed(CSwiperLine().quiet(0.1));
  EXPECT_GT(capture.receiver.lastPower(), 1000.0);
  // A new capture starts from a quiet filter.
  capture.feed(CSwiperLine().tone(2000, 9000, kBuffer / 44100.0));
  capture.receiver.resetForCapture();
  capture.feed(CSwiperLine().quiet(0.1));
  EXPECT_EQ(capture.receiver.lastPower(), 0.0);
}

TEST(CSwiperSignalReceiver, WaitingBuffersReplaceEachOtherAndSwipeBuffersAppend) {
  Capture capture;
  capture.feed(CSwiperLine().quiet(0.3));
  EXPECT_EQ(capture.store->length(), kBuffer);
  capture.feed(CSwiperLine().tone(2000, 9000, 0.2));
  EXPECT_EQ(capture.store->length(), 3 * kBuffer);
  // A reset asked for meanwhile clears the store before the next buffer.
  capture.store->requestReset();
  capture.receiver.tracking().resetKeepingTimeout();
  capture.feed(CSwiperLine().quiet(0.1));
  EXPECT_EQ(capture.store->length(), kBuffer);
  EXPECT_EQ(capture.store->decodeLength(), 0u);
}

}  // namespace
}  // namespace nvx::reader
