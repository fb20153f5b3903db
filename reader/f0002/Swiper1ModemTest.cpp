// The modem against the simulated reader through the headset jack, on the virtual clock.
#include "reader/f0002/Swiper1Modem.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/foundation/RunLoop.h"
#include "platform/media/Jack.h"
#include "platform/media/MediaVolume.h"
#include "reader/f0002/Swiper1Frame.h"
#include "standin/SimulatedReader0002.h"

namespace nvx::reader {
namespace {

using standin::SimulatedReader0002;
using Bytes = std::vector<uint8_t>;
using Said = SimulatedReader0002::Said;

constexpr uint32_t kRate = 176400;
const Bytes kDeviceInfo{0xE1, 0x06, 0x02};

class Swiper1ModemTest : public ::testing::Test {
 protected:
  std::shared_ptr<SimulatedReader0002> reader_ = std::make_shared<SimulatedReader0002>();
  Swiper1Modem& modem_ = Swiper1Modem::shared();

  void plug() { platform::media::Jack::shared().plug(reader_); }

  // Runs fn on a worker thread (as the driver does) while the main loop moves the virtual clock.
  int onWorker(const std::function<int()>& fn, double limitSeconds = 120) {
    auto result = std::make_shared<std::atomic<int>>(0);
    auto done = std::make_shared<std::atomic<bool>>(false);
    platform::Thread::detach("modem-test", [fn, result, done] {
      *result = fn();
      *done = true;
    });
    EXPECT_TRUE(platform::RunLoop::main().runUntil([&] { return done->load(); }, platform::secs(limitSeconds)))
        << "the operation did not end";
    return *result;
  }
  int start() {
    return onWorker([] { return swiper1_modem_start(kRate, kRate); });
  }
  // A device-information exchange: the reply length, or the code.
  int ask(Bytes* reply = nullptr) {
    Bytes local;
    Bytes* out = reply ? reply : &local;
    return onWorker([out] { return swiper1_modem_transceive(kDeviceInfo, out, 3000); });
  }
  size_t count(Said what) const {
    auto said = reader_->said();
    return static_cast<size_t>(std::count_if(said.begin(), said.end(), [&](const auto& u) { return u.what == what; }));
  }
  Bytes expectedKsnReply() const {
    Bytes r{0xCB, 0xC3, 0x20, 0x13, 0x06, 0x01, 0x00, 0x42, 0x90, 0x00};
    return r;
  }
};

TEST_F(Swiper1ModemTest, FromColdItWakesTheReaderCalibratesBothWaysAndReadsTheKsn) {
  plug();
  ASSERT_EQ(start(), 0);
  EXPECT_FALSE(modem_.isCalibrated());
  Bytes reply;
  ASSERT_EQ(ask(&reply), 10);
  EXPECT_EQ(reply, expectedKsnReply());
  EXPECT_TRUE(modem_.isCalibrated());
  EXPECT_EQ(modem_.wakeTonesPlayed(), 1);
  EXPECT_EQ(reader_->wakeTonesHeard(), 1);
  // Full searches: the transmit side settles at or just above the reader's minimum half-bit
  // (60 us = 10.6 frames), the receive side at the smallest code it tried that decoded.
  auto speed = modem_.speed();
  EXPECT_GE(speed.S, 11);
  EXPECT_LE(speed.S, 13);
  EXPECT_EQ(speed.F, 9);
  EXPECT_EQ(reader_->speedCode(), 9);
  EXPECT_GT(reader_->probesHeard(), 3);
  EXPECT_EQ(reader_->commands(), std::vector<Bytes>{kDeviceInfo});

  // A second exchange needs no calibration.
  int probes = reader_->probesHeard();
  ASSERT_EQ(ask(&reply), 10);
  EXPECT_EQ(reader_->probesHeard(), probes);
  EXPECT_EQ(modem_.wakeTonesPlayed(), 1);
  onWorker([] {
    swiper1_modem_close();
    return 0;
  });
  EXPECT_FALSE(modem_.isRunning());
}

TEST_F(Swiper1ModemTest, ASavedSpeedIsRefinedAfterTheWakeToneOfEveryStart) {
  plug();
  ASSERT_EQ(start(), 0);
  ASSERT_EQ(ask(), 10);
  const std::string saved = swiper1_modem_speed_string();
  auto learnt = modem_.speed();
  onWorker([] {
    swiper1_modem_close();
    return 0;
  });

  ASSERT_EQ(start(), 0);
  ASSERT_EQ(swiper1_modem_apply_speed_string(saved), 0);
  EXPECT_TRUE(modem_.isCalibrated());
  int probes = reader_->probesHeard();
  ASSERT_EQ(ask(), 10);
  EXPECT_EQ(modem_.wakeTonesPlayed(), 2) << "every start wakes the reader, a saved speed or not";
  EXPECT_EQ(reader_->probesHeard(), probes + 1) << "one probe confirms the saved speed";
  EXPECT_EQ(modem_.speed().S, learnt.S);
  EXPECT_EQ(modem_.speed().F, learnt.F);
}

TEST_F(Swiper1ModemTest, TheSpeedTextCarriesItsOwnCheck) {
  ASSERT_EQ(swiper1_modem_apply_speed_string("200719"), 0);  // 20 ^ 7 = 19
  EXPECT_EQ(swiper1_modem_speed_string(), "200719");
  EXPECT_TRUE(modem_.isCalibrated());

  struct Case {
    const char* text;
    int result;
  };
  const Case cases[] = {
      {"120911", 255},   // 12 ^ 9 = 5
      {"7040110", 255},  // a check of 110 written with three digits reads back as 11
      {"2007", 255},     // too short
      {"", 255},
      {"20a719", 255},
      {"000000", 255},   // passes its check but is no speed
      {"331245", 0},     // 33 ^ 12 = 45; the rest is ignored
  };
  for (const Case& c : cases) {
    auto before = modem_.speed();
    EXPECT_EQ(swiper1_modem_apply_speed_string(c.text), c.result) << c.text;
    if (c.result != 0) {
      EXPECT_EQ(modem_.speed().S, before.S) << c.text;
      EXPECT_EQ(modem_.speed().F, before.F) << c.text;
    }
  }
  EXPECT_EQ(modem_.speed().S, 33);
  EXPECT_EQ(modem_.speed().F, 12);
  EXPECT_EQ(swiper1_modem_speed_string(), "331245");
}

TEST_F(Swiper1ModemTest, AnOverLongPayloadGivesMinus4WithoutASound) {
  plug();
  ASSERT_EQ(start(), 0);
  int bursts = modem_.burstsPlayed();
  Bytes longest(Swiper1Frame::kMaxPayload + 1, 0x11);
  EXPECT_EQ(onWorker([&] { return swiper1_modem_transceive(longest, nullptr, 0); }), kSwiper1PayloadTooLong);
  EXPECT_EQ(modem_.burstsPlayed(), bursts);
}

TEST_F(Swiper1ModemTest, WithoutTheUnitNothingIsSentOrReceived) {
  Bytes reply;
  EXPECT_EQ(onWorker([&] { return swiper1_modem_transceive(kDeviceInfo, &reply, 100); }), kSwiper1SendNotRunning);
  EXPECT_EQ(onWorker([&] { return swiper1_modem_transceive({}, &reply, 100); }), kSwiper1ReceiveNotRunning);
}

TEST_F(Swiper1ModemTest, ABurstTooLongForTheTransmitBufferIsRefusedBeforeAnythingIsWritten) {
  plug();
  ASSERT_EQ(start(), 0);
  ASSERT_EQ(ask(), 10);
  // Steps slower can take the half-bit up to 255 frames; from 148 on the largest frame needs
  // more than the 960,000 frames of the transmit buffer.
  modem_.setHalfBitForTesting(150);
  const int bursts = modem_.burstsPlayed();
  const size_t heard = reader_->commands().size();
  Bytes zeros(Swiper1Frame::kMaxPayload, 0x00);
  EXPECT_EQ(onWorker([&] { return swiper1_modem_transceive(zeros, nullptr, 0); }), kSwiper1BurstTooLong);
  EXPECT_EQ(modem_.burstsPlayed(), bursts);
  platform::RunLoop::main().advance(0.5);
  EXPECT_EQ(reader_->commands().size(), heard);
  // A short command still goes at that speed.
  EXPECT_EQ(onWorker([] { return swiper1_modem_transceive(Bytes{0xE1, 0x03, 0x02}, nullptr, 0); }), 0);
}

TEST_F(Swiper1ModemTest, AReplyWithABadCheckIsAskedForAgain) {
  plug();
  ASSERT_EQ(start(), 0);
  ASSERT_EQ(ask(), 10);
  reader_->corruptReplies(2);
  Bytes reply;
  EXPECT_EQ(ask(&reply), 10);
  EXPECT_EQ(reply, expectedKsnReply());
  EXPECT_EQ(reader_->commands().size(), 2u) << "the command went once; the reply was sent three times";
  auto said = reader_->said();
  EXPECT_EQ(std::count_if(said.begin(), said.end(), [](const auto& u) { return u.what == Said::Reply; }), 4);
}

TEST_F(Swiper1ModemTest, SixBadRepliesGiveMinus12AfterAFinalResendRequest) {
  plug();
  ASSERT_EQ(start(), 0);
  ASSERT_EQ(ask(), 10);
  const size_t repliesBefore = count(Said::Reply);
  reader_->corruptReplies(1000);
  EXPECT_EQ(ask(), kSwiper1NoValidReply);
  platform::RunLoop::main().advance(0.3);
  // The reply and five resends; the resend request after the sixth gets a seventh.
  EXPECT_EQ(count(Said::Reply) - repliesBefore, 7u);

  reader_->corruptReplies(5);
  Bytes reply;
  EXPECT_EQ(ask(&reply), 10) << "the sixth reply checks";
}

TEST_F(Swiper1ModemTest, AReplyCutShortIsAskedForAgain) {
  plug();
  ASSERT_EQ(start(), 0);
  ASSERT_EQ(ask(), 10);
  reader_->cutNextReply();
  Bytes reply;
  EXPECT_EQ(ask(&reply), 10);
  EXPECT_EQ(reply, expectedKsnReply());
}

TEST_F(Swiper1ModemTest, AFrameTheReaderCouldNotCheckIsSentAgain) {
  plug();
  ASSERT_EQ(start(), 0);
  ASSERT_EQ(ask(), 10);
  reader_->corruptHeard(1);
  Bytes reply;
  EXPECT_EQ(ask(&reply), 10);
  EXPECT_EQ(count(Said::ResendRequest), 1u);
  EXPECT_EQ(reader_->commands().size(), 2u);
}

TEST_F(Swiper1ModemTest, ASilentReaderFailsTheCalibration) {
  reader_->setSilent(true);
  plug();
  ASSERT_EQ(start(), 0);
  EXPECT_EQ(ask(), kSwiper1TransmitSilent);
  EXPECT_FALSE(modem_.isCalibrated());
  EXPECT_EQ(reader_->probesHeard(), 4);

  // Nothing plugged at all: the same.
  platform::media::Jack::shared().unplug();
  EXPECT_EQ(ask(), kSwiper1TransmitSilent);
}

TEST_F(Swiper1ModemTest, TheReaderIsHeardThroughItsLinesFaults) {
  struct Case {
    const char* name;
    std::function<void(SimulatedReader0002&)> set;
  };
  const Case cases[] = {
      {"noise", [](auto& r) { r.setNoise(0.05); }},
      {"clock 2 % fast", [](auto& r) { r.setClockError(0.02); }},
      {"clock 2 % slow", [](auto& r) { r.setClockError(-0.02); }},
      {"polarity inverted", [](auto& r) { r.setInvertPolarity(true); }},
      {"slow reader", [](auto& r) { r.setMinimumHalfBitMicros(300); }},
  };
  for (const Case& c : cases) {
    reader_ = std::make_shared<SimulatedReader0002>();
    c.set(*reader_);
    plug();
    ASSERT_EQ(start(), 0) << c.name;
    ASSERT_TRUE(swiper1_modem_apply_speed_string("200719") == 0);  // a speed that is no longer right
    Bytes reply;
    EXPECT_EQ(ask(&reply), 10) << c.name;
    EXPECT_EQ(reply, expectedKsnReply()) << c.name;
    onWorker([] {
      swiper1_modem_close();
      return 0;
    });
  }
}

TEST_F(Swiper1ModemTest, AWeakReaderIsHeardUnlessALoudOneCameBeforeItInTheSameRun) {
  reader_->setAmplitude(0.06);  // 7 to 8 levels of the 8-bit samples
  plug();
  ASSERT_EQ(start(), 0);
  Bytes reply;
  EXPECT_EQ(ask(&reply), 10);
  EXPECT_EQ(reply, expectedKsnReply());

  // The frame levels grow over the run: after a reader eight times as loud, the same weak reader
  // is below a fifth of them.
  reader_ = std::make_shared<SimulatedReader0002>();
  plug();
  ASSERT_EQ(swiper1_modem_apply_speed_string("200719"), 0);
  onWorker([] {
    swiper1_modem_close();
    return swiper1_modem_start(kRate, kRate);
  });
  ASSERT_EQ(ask(), 10);
  auto weak = std::make_shared<SimulatedReader0002>();
  weak->setAmplitude(0.06);  // as the first one, heard well above
  reader_ = weak;
  plug();
  onWorker([] {
    swiper1_modem_close();
    return swiper1_modem_start(kRate, kRate);
  });
  EXPECT_EQ(ask(), kSwiper1TransmitSilent);
  EXPECT_GT(weak->wakeTonesHeard(), 0) << "the reader heard the phone and answered";
  EXPECT_GT(weak->said().size(), 0u);
}

TEST_F(Swiper1ModemTest, TheHalfBitFollowsTheReadersMinimum) {
  reader_->setMinimumHalfBitMicros(300);  // 52.9 frames
  plug();
  ASSERT_EQ(start(), 0);
  ASSERT_EQ(ask(), 10);
  EXPECT_GE(modem_.speed().S, 53);
  EXPECT_LE(modem_.speed().S, 55);
  EXPECT_NEAR(reader_->halfBitMicros(), modem_.speed().S * 1e6 / kRate, 1.0);
}

TEST_F(Swiper1ModemTest, AMutedPhoneIsNotHeardByTheReader) {
  platform::media::MediaVolume::shared().setVolume(0.02f);
  plug();
  ASSERT_EQ(start(), 0);
  EXPECT_EQ(ask(), kSwiper1TransmitSilent);
  EXPECT_EQ(reader_->wakeTonesHeard(), 0);
}

TEST_F(Swiper1ModemTest, AnInterruptEndsAWaitAtOnce) {
  plug();
  ASSERT_EQ(start(), 0);
  ASSERT_EQ(ask(), 10);
  auto result = std::make_shared<std::atomic<int>>(1);
  auto done = std::make_shared<std::atomic<bool>>(false);
  platform::Thread::detach("modem-test", [result, done] {
    Bytes reply;
    *result = swiper1_modem_transceive({}, &reply, 30000);  // waits for a card that never comes
    *done = true;
  });
  platform::RunLoop::main().advance(2.0);
  ASSERT_FALSE(done->load());
  const auto before = platform::clock().now();
  swiper1_modem_interrupt();
  EXPECT_TRUE(platform::RunLoop::main().runUntil([&] { return done->load(); }, platform::secs(0.1)));
  EXPECT_EQ(result->load(), kSwiper1Interrupted);
  EXPECT_LT(platform::clock().now() - before, platform::secs(0.05));

  // With nothing running, an interrupt leaves nothing behind for the next operation.
  swiper1_modem_interrupt();
  EXPECT_EQ(ask(), 10);

  // A caller's cancel flag ends the operation too.
  std::atomic<bool> cancel{true};
  EXPECT_EQ(onWorker([&] { return swiper1_modem_transceive(kDeviceInfo, nullptr, 0, &cancel); }), kSwiper1Interrupted);
}

}  // namespace
}  // namespace nvx::reader
