// The 0008 driver against the simulated reader in the headset jack, on the virtual clock.
#include "reader/f0008/CTSwiperController.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "platform/foundation/Sandbox.h"
#include "platform/media/AudioSession.h"
#include "platform/media/MediaVolume.h"
#include "reader/SwiperDriverFactory.h"
#include "reader/f0008/CTSwiperTestHarness.h"

namespace nvx::reader::testing {
namespace {

using f0008::CTSwiperController;
using Names = std::vector<std::string>;
using standin::SimulatedReader0008;

class CTSwiperControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    h.ct()->setDetectDeviceChange(true);
    h.plugReader();
    events().clear();
  }

  DriverEventRecorder& events() { return *h.recorder(); }
  std::shared_ptr<CTSwiperController> driver() { return h.ct(); }
  // Starts a session and waits until the reader is armed.
  void armed() {
    driver()->startCSwiper();
    ASSERT_TRUE(h.pumpUntil([&] { return events().has("onWaitingForCardSwipe"); }, 10.0));
    ASSERT_TRUE(h.reader().isArmed());
    ASSERT_EQ(driver()->getCSwiperState(), CTSwiperController::kStateArmed);
  }
  size_t heard(uint8_t code) {
    auto all = h.reader().commands();
    return static_cast<size_t>(std::count(all.begin(), all.end(), code));
  }

  CTSwiperHarness h;
};

TEST_F(CTSwiperControllerTest, ASilentReaderHearsTheKsnCommandThreeTimesTwoAndAHalfSecondsApartThenTheReadFails) {
  h.reader().setSilent(true);
  driver()->getCSwiperKsn();
  const std::pair<double, size_t> heardBy[] = {{2.4, 1}, {2.5, 2}, {2.5, 3}};
  for (auto [seconds, count] : heardBy) {
    h.pump(seconds);
    EXPECT_EQ(heard(0x21), count);
    EXPECT_EQ(events().endEvents(), 0u);
  }
  h.pump(0.2);  // 2.5 s after the third command was prepared
  ASSERT_EQ(events().sessionNames(), Names{"onError"});
  EXPECT_EQ(events().last("onError")->value, kReaderErrorKsn);
  EXPECT_EQ(events().last("onError")->text, "通信超时");
  EXPECT_EQ(driver()->getCSwiperState(), 0);
  h.pump(10);
  EXPECT_EQ(heard(0x21), 3u);
  EXPECT_EQ(events().sessionNames().size(), 1u);
}

TEST_F(CTSwiperControllerTest, KsnRepliesThatFailAreAskedAgainUntilTheAttemptsAreUsedUp) {
  struct Case {
    const char* name;
    int corrupted;
    Names events;
    size_t commands;
  };
  const Case cases[] = {
      {"one bad reply", 1, {"onGetKsnCompleted"}, 2},
      {"two bad replies", 2, {"onGetKsnCompleted"}, 3},
      {"three bad replies", 3, {"onError"}, 3},
  };
  size_t before = 0;
  for (const Case& c : cases) {
    events().clear();
    h.reader().corruptReplies(c.corrupted);
    driver()->getCSwiperKsn();
    ASSERT_TRUE(h.pumpUntil([&] { return events().endEvents() > 0; }, 20.0)) << c.name;
    EXPECT_EQ(events().sessionNames(), c.events) << c.name;
    EXPECT_EQ(heard(0x21) - before, c.commands) << c.name;
    before = heard(0x21);
    if (c.events.front() == "onError") {
      EXPECT_EQ(events().last("onError")->value, kReaderErrorKsn);
      EXPECT_EQ(events().last("onError")->text, "通信错误");
    } else {
      EXPECT_EQ(events().last("onGetKsnCompleted")->text, h.expectedKsn());
    }
    EXPECT_EQ(driver()->getCSwiperState(), 0);
  }
}

TEST_F(CTSwiperControllerTest, AKsnReplyWithoutDataGivesTheAllFSerialNumber) {
  h.reader().setNextFrame({0x8F, 0x00, 0x01, 0x21, 0xAF});
  driver()->getCSwiperKsn();
  ASSERT_TRUE(h.pumpUntil([&] { return events().has("onGetKsnCompleted"); }, 10.0));
  EXPECT_EQ(events().last("onGetKsnCompleted")->text, "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(driver()->Ksn(), "FFFFFFFFFFFFFFFF");
}

TEST_F(CTSwiperControllerTest, AReaderThatNeverAnswersIsArmedAgainEveryTwoAndAHalfSecondsUntilTheStop) {
  h.reader().setSilent(true);
  driver()->startCSwiper();
  h.pump(11);
  EXPECT_EQ(heard(0x22), 5u);
  EXPECT_EQ(events().sessionNames(), Names{"onWaitingForDevice"});
  EXPECT_EQ(driver()->getCSwiperState(), CTSwiperController::kStateStarted);
  driver()->stopCSwiper();
  EXPECT_EQ(driver()->getCSwiperState(), 0);
  EXPECT_FALSE(driver()->isPowerOn());
  h.pump(20);
  EXPECT_EQ(heard(0x22), 5u);
  EXPECT_EQ(events().sessionNames(), Names{"onWaitingForDevice"});
}

TEST_F(CTSwiperControllerTest, ACardTheReaderCouldNotReadEndsInADecodeErrorZeroAlone) {
  armed();
  auto card = standin::Reader0008Card::testCard();
  card.status = 3;
  ASSERT_TRUE(h.swipe(card));
  ASSERT_TRUE(h.pumpUntil([&] { return events().endEvents() > 0; }, 10.0));
  h.pump(1);
  EXPECT_EQ(events().sessionNames(), (Names{"onWaitingForDevice", "onWaitingForCardSwipe", "onDecodeError"}));
  EXPECT_EQ(events().last("onDecodeError")->value, 0);
  EXPECT_EQ(driver()->getCSwiperState(), 0);
}

// Anything but the card reply while the reader waits for the card ends the session with
// onCardSwipeDetected, onDecodingStart, onDecodeError 3.
TEST_F(CTSwiperControllerTest, AWrongReplyWhileWaitingForTheCardEndsTheSessionWithDecodeErrorThree) {
  const auto card = standin::Reader0008Card::testCard();
  auto payload = SimulatedReader0008::cardPayload(card, std::vector<uint8_t>(8, 0x11), std::vector<uint8_t>(8, 0x22));
  payload.resize(payload.size() - 3);  // ends inside the name
  struct Case {
    const char* name;
    std::function<void(SimulatedReader0008&)> spoil;
  };
  const Case cases[] = {
      {"a wrong check byte", [](SimulatedReader0008& r) { r.corruptReplies(1); }},
      {"a length beyond the frame", [](SimulatedReader0008& r) { r.shortenNextReply(); }},
      {"a reply cut mid-frame", [](SimulatedReader0008& r) { r.cutNextReply(); }},
      {"an unknown reply", [](SimulatedReader0008& r) { r.setNextFrame(SimulatedReader0008::frame(0x30, {})); }},
      {"a card payload cut inside a field",
       [&](SimulatedReader0008& r) { r.setNextFrame(SimulatedReader0008::frame(0x23, payload)); }},
  };
  for (const Case& c : cases) {
    events().clear();
    armed();
    c.spoil(h.reader());
    ASSERT_TRUE(h.swipe()) << c.name;
    ASSERT_TRUE(h.pumpUntil([&] { return events().endEvents() > 0; }, 10.0)) << c.name;
    h.pump(1);
    EXPECT_EQ(events().sessionNames(), (Names{"onWaitingForDevice", "onWaitingForCardSwipe", "onCardSwipeDetected",
                                              "onDecodingStart", "onDecodeError"}))
        << c.name;
    EXPECT_EQ(events().last("onDecodeError")->value, 3) << c.name;
    EXPECT_EQ(driver()->getCSwiperState(), 0) << c.name;
  }
}

TEST_F(CTSwiperControllerTest, AnExact20ReplyOrASecondArmingReplyWhileWaitingIsIgnored) {
  const std::vector<uint8_t> ignored[] = {{0x8F, 0x00, 0x01, 0x20, 0xAE}, {0x8F, 0x00, 0x02, 0x22, 0x00, 0xAF}};
  for (const auto& frame : ignored) {
    events().clear();
    armed();
    h.reader().setNextFrame(frame);
    ASSERT_TRUE(h.swipe());  // the reader says the frame instead of the card
    h.pump(2);
    EXPECT_EQ(events().sessionNames(), (Names{"onWaitingForDevice", "onWaitingForCardSwipe"}));
    EXPECT_EQ(driver()->getCSwiperState(), CTSwiperController::kStateArmed);
    // The session still ends at its swipe time-out.
    ASSERT_TRUE(h.pumpUntil([&] { return events().endEvents() > 0; }, driver()->swipeTimeout()));
    EXPECT_EQ(events().sessionNames().back(), "onTimeout");
  }
}

TEST_F(CTSwiperControllerTest, TheSwipeTimeOutEndsOnlyTheIntervalItWasSetFor) {
  armed();
  driver()->setSwipeTimeout(5.0);
  h.pump(30);
  EXPECT_EQ(events().endEvents(), 0u);
  EXPECT_EQ(driver()->getCSwiperState(), CTSwiperController::kStateArmed);
  driver()->stopCSwiper();

  events().clear();
  armed();
  h.pump(4.9);
  EXPECT_EQ(events().endEvents(), 0u);
  ASSERT_TRUE(h.pumpUntil([&] { return events().endEvents() > 0; }, 0.2));
  EXPECT_EQ(events().sessionNames().back(), "onTimeout");
}

TEST_F(CTSwiperControllerTest, UnpluggingDuringASessionStopsItWithTheUnplugEventAlone) {
  armed();
  events().clear();
  h.unplugReader();
  h.pump(40);
  EXPECT_EQ(events().names(), Names{"onDeviceUnplugged"});
  EXPECT_EQ(driver()->getCSwiperState(), 0);
  EXPECT_FALSE(driver()->isPowerOn());

  events().clear();
  h.plugReader();
  EXPECT_EQ(events().names(), Names{"onDevicePlugged"});
  armed();
  ASSERT_TRUE(h.reader().swipe());
  ASSERT_TRUE(h.pumpUntil([&] { return events().has("onDecodeCompleted"); }, 10.0));
  EXPECT_EQ(events().last("onDecodeCompleted")->card, h.expectedCard());
}

TEST_F(CTSwiperControllerTest, NoiseOnTheLineWhileTheReaderWaitsIsNoReply) {
  armed();
  for (double rms : {0.05, 0.2, 0.6}) {
    h.reader().sayNoise(3.0, rms);
    h.pump(3.5);
  }
  EXPECT_EQ(events().sessionNames(), (Names{"onWaitingForDevice", "onWaitingForCardSwipe"}));
  ASSERT_TRUE(h.swipe());
  ASSERT_TRUE(h.pumpUntil([&] { return events().has("onDecodeCompleted"); }, 10.0));
}

// Hiss on the microphone line 12 dB under the reply: it would cross the demodulator's dead band
// many times a reply, and keep the line from ever going quiet after it; the line filter takes
// it below.
TEST_F(CTSwiperControllerTest, TheKsnAndTheCardAreReadThroughHissTwelveDecibelsDown) {
  h.reader().setNoise(12000.0 / 32768.0 / std::pow(10.0, 12.0 / 20));
  driver()->getCSwiperKsn();
  ASSERT_TRUE(h.pumpUntil([&] { return events().has("onGetKsnCompleted") || events().endEvents() > 0; }, 10.0));
  EXPECT_EQ(events().sessionNames(), Names{"onGetKsnCompleted"});
  EXPECT_EQ(events().last("onGetKsnCompleted")->text, h.expectedKsn());
  events().clear();
  armed();
  ASSERT_TRUE(h.swipe());
  ASSERT_TRUE(h.pumpUntil([&] { return events().endEvents() > 0; }, 10.0));
  ASSERT_TRUE(events().has("onDecodeCompleted")) << ::testing::PrintToString(events().sessionNames());
  EXPECT_EQ(events().last("onDecodeCompleted")->card, h.expectedCard());
}

TEST_F(CTSwiperControllerTest, AStartWhileAKsnReadRunsIsRefusedAndAKsnReadWhileASessionRunsToo) {
  h.reader().setSilent(true);
  driver()->getCSwiperKsn();
  driver()->startCSwiper();
  h.pump(0.1);
  ASSERT_EQ(events().count("onError"), 1u);
  EXPECT_EQ(events().last("onError")->value, kReaderErrorBusy);
  EXPECT_EQ(events().last("onError")->text, "控制器状态不为IDLE");
  driver()->stopCSwiper();
  h.reader().setSilent(false);

  events().clear();
  armed();
  driver()->getCSwiperKsn();
  h.pump(0.1);
  ASSERT_EQ(events().count("onError"), 1u);
  EXPECT_EQ(events().last("onError")->value, kReaderErrorKsn);
  EXPECT_EQ(driver()->getCSwiperState(), CTSwiperController::kStateArmed) << "the session goes on";
}

TEST_F(CTSwiperControllerTest, AnAudioPathThatDoesNotStartIsReportedAndLeavesTheDriverIdle) {
  platform::media::AudioSession::sharedInstance().failNext("MixerGraph::start");
  driver()->startCSwiper();
  ASSERT_TRUE(h.pumpUntil([&] { return events().endEvents() > 0; }, 1.0));
  h.pump(3);
  EXPECT_EQ(events().sessionNames(), (Names{"onWaitingForDevice", "onError"}));
  EXPECT_EQ(events().last("onError")->value, -4);
  EXPECT_EQ(events().last("onError")->text, "初始化Audio失败");
  EXPECT_EQ(driver()->getCSwiperState(), 0);
}

// The output volume is raised for the reader and put back only when the driver is deleted;
// deleting joins the decode thread before anything is freed, and nothing is heard afterwards.
TEST_F(CTSwiperControllerTest, DeleteRestoresTheVolumeEndsTheDecodeThreadAndSilencesTheDriver) {
  auto& media = platform::media::MediaVolume::shared();
  media.setVolume(0.5f);
  driver()->getCSwiperKsn();
  ASSERT_TRUE(h.pumpUntil([&] { return events().has("onGetKsnCompleted"); }, 10.0));
  EXPECT_EQ(media.volume(), 1.0f);
  armed();
  ASSERT_TRUE(driver()->decodeThreadRunning());
  events().clear();

  driver()->deleteCSwiper();
  EXPECT_FALSE(driver()->decodeThreadRunning());
  EXPECT_EQ(media.volume(), 0.5f);
  EXPECT_EQ(driver()->getCSwiperState(), 0);
  driver()->startCSwiper();
  driver()->getCSwiperKsn();
  h.reader().swipe();
  h.pump(30);
  EXPECT_TRUE(events().events.empty());

  // The next shared driver is a new one, and it works.
  auto next = CTSwiperController::sharedInstance();
  ASSERT_NE(next, driver());
  auto recorder = std::make_shared<DriverEventRecorder>();
  next->setDelegate(recorder);
  next->getCSwiperKsn();
  ASSERT_TRUE(h.pumpUntil([&] { return recorder->has("onGetKsnCompleted"); }, 10.0));
  EXPECT_EQ(recorder->last("onGetKsnCompleted")->text, h.expectedKsn());
  next->deleteCSwiper();
}

TEST_F(CTSwiperControllerTest, NothingTheReaderSaysIsKeptOnDisk) {
  driver()->getCSwiperKsn();
  ASSERT_TRUE(h.pumpUntil([&] { return events().has("onGetKsnCompleted"); }, 10.0));
  armed();
  ASSERT_TRUE(h.swipe());
  ASSERT_TRUE(h.pumpUntil([&] { return events().has("onDecodeCompleted"); }, 10.0));
  const auto documents = platform::Sandbox::documents();
  if (std::filesystem::exists(documents)) {
    EXPECT_TRUE(std::filesystem::is_empty(documents));
  }
}

TEST_F(CTSwiperControllerTest, TheHubsFactoryHandsOutTheSharedDriverForModel0008) {
  auto made = SwiperDriverFactory::shared().create("0008");
  ASSERT_TRUE(made);
  EXPECT_EQ(made, std::static_pointer_cast<nvx::reader::CTSwiperController>(driver()));
}

}  // namespace
}  // namespace nvx::reader::testing
