#include "reader/f0001/CSwiperController.h"

#include <gtest/gtest.h>

#include "platform/foundation/RunLoop.h"
#include "platform/media/AudioSession.h"
#include "platform/media/Jack.h"
#include "platform/media/MediaVolume.h"
#include "reader/SwiperDriverFactory.h"
#include "reader/f0001/CSwiperTestHarness.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperCommandGenerator.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperPowerGenerator.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperSignalReceiver.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_MagRecorder.h"

namespace nvx::reader {
namespace {

using platform::media::AudioSession;
using platform::media::Jack;
using standin::Reader0001Card;
using standin::SimulatedReader0001;
using testing::CSwiperHarness;
using Names = std::vector<std::string>;

class CSwiperControllerTest : public ::testing::Test {
 protected:
  CSwiperHarness h_;
  testing::DriverEventRecorder& events() { return *h_.recorder(); }
  bool ended() { return events().endEvents() > 0; }
  bool waitForEnd(double seconds = 60) { return h_.pumpUntil([&] { return ended(); }, seconds); }
  double now() const { return platform::toSecs(platform::clock().now().time_since_epoch()); }
  // Runs a swipe cycle with this card to its end.
  void swipeCard(const Reader0001Card& card) {
    events().clear();
    h_.c0()->startCSwiper();
    ASSERT_TRUE(h_.swipe(card));
    ASSERT_TRUE(waitForEnd());
    h_.pumpUntil([] { return false; }, 0.5);
  }
};

TEST_F(CSwiperControllerTest, ReadsTheKsnAndASwipeWithEveryEventInItsOrder) {
  h_.plugReader();
  events().clear();
  h_.c0()->getCSwiperKsn();
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(events().sessionNames(), Names{"onGetKsnCompleted"});
  EXPECT_EQ(events().last("onGetKsnCompleted")->text, "2014060100001234");
  EXPECT_EQ(h_.reader().heard(), std::vector<SimulatedReader0001::Heard>{SimulatedReader0001::Heard::KsnCommand});

  swipeCard(h_.card());
  EXPECT_EQ(events().sessionNames(), (Names{"onWaitingForDevice", "onWaitingForCardSwipe", "onCardSwipeDetected",
                                            "onDecodingStart", "onDecodeCompleted"}));
  EXPECT_EQ(events().last("onDecodeCompleted")->card, h_.expectedCard());
  EXPECT_EQ(events().last("onDecodeCompleted")->state, CSwiperController::kStateDecoded);
  EXPECT_EQ(h_.c0()->getCSwiperState(), 0);
  // The acknowledgement came and went without an event.
  auto said = h_.reader().said();
  ASSERT_GE(said.size(), 3u);
  EXPECT_EQ(said[1].what, SimulatedReader0001::Said::Acknowledge);
}

TEST_F(CSwiperControllerTest, GivesEachCardFormatsFields) {
  h_.plugReader();
  struct Case {
    uint8_t format;
    std::string formatID, name, maskedPAN, random;
    size_t tracks, ksn;
  };
  const Case cases[] = {
      {0x38, "38", "ZHANG/SAN", "622202XXXXXXXXX0123", "", 240, 20},
      {0x36, "36", "ZHANG/SAN", "622202XXXXXXXXX0123", "", 240, 20},
      {0x31, "31", "ZHANG/SAN", "622202XXXXXXXXX0123", "", 256, 20},
      {0x08, "38", "ZHANG/SAN", "622202XXXXXXXXX0123", "", 240, 20},
      {0x34, "34", "", "622202XXXXXXXXX0123", "", 304, 20},
      {0x40, "40", "", "6222021234567890123", "", 304, 20},
  };
  for (const Case& c : cases) {
    Reader0001Card card = Reader0001Card::testCard();
    card.format = c.format;
    card.name = "ZHANG/SAN^EXTRA";
    swipeCard(card);
    const auto* done = events().last("onDecodeCompleted");
    ASSERT_TRUE(done) << c.formatID;
    EXPECT_EQ(done->card.formatID, c.formatID);
    EXPECT_EQ(done->card.cardHolderName, c.name) << c.formatID;
    EXPECT_EQ(done->card.maskedPAN, c.maskedPAN) << c.formatID;
    EXPECT_EQ(done->card.encTracks.size(), c.tracks) << c.formatID;
    EXPECT_EQ(done->card.ksn.size(), c.ksn) << c.formatID;
    EXPECT_EQ(done->card.expiryDate, "2512") << c.formatID;
  }
}

TEST_F(CSwiperControllerTest, AFormat39CardCutsTracksAndKsnToWhatTheLengthsSay) {
  h_.plugReader();
  Reader0001Card card = Reader0001Card::testCard();
  card.track2Length = 37;
  card.track3Length = 0;
  swipeCard(card);
  const auto* done = events().last("onDecodeCompleted");
  ASSERT_TRUE(done);
  EXPECT_EQ(done->card.encTracks.size(), 48u);
  EXPECT_EQ(done->card.ksn, "2014060100001234");
  EXPECT_EQ(done->card.randomNumber, "5A0123456789ABCD");
}

TEST_F(CSwiperControllerTest, TheReadersShortReportsAndBadPacketsEndTheSwipe) {
  h_.plugReader();
  struct Case {
    const char* name;
    std::function<void(SimulatedReader0001&)> act;
    std::string end;
    int32_t value;
  };
  const Case cases[] = {
      {"its time-out", [](auto& r) { r.report(0xF0); }, "onTimeout", 0},
      {"its error", [](auto& r) { r.report(0xFF); }, "onDecodeError", 0},
      {"report FE", [](auto& r) { r.report(0xFE); }, "onDecodeError", 2},
      {"report FD", [](auto& r) { r.report(0xFD); }, "onDecodeError", 2},
      {"a flipped bit", [](auto& r) { r.flipBitInNextPacket(); r.swipe(); }, "onDecodeError", 1},
      {"a cut packet", [](auto& r) { r.cutNextPacket(); r.swipe(); }, "onDecodeError", 2},
  };
  for (const Case& c : cases) {
    events().clear();
    h_.c0()->startCSwiper();
    ASSERT_TRUE(h_.pumpUntil([&] { return h_.reader().isArmed(); }, 5)) << c.name;
    c.act(h_.reader());
    ASSERT_TRUE(waitForEnd()) << c.name;
    h_.pumpUntil([] { return false; }, 0.5);
    EXPECT_EQ(events().sessionNames().back(), c.end) << c.name;
    EXPECT_EQ(events().endEvents(), 1u) << c.name;
    if (c.end == "onDecodeError") {
      EXPECT_EQ(events().last("onDecodeError")->value, c.value) << c.name;
    }
    EXPECT_EQ(h_.c0()->getCSwiperState(), 0) << c.name;
  }
}

TEST_F(CSwiperControllerTest, TimeOutsComeAt27Point6And3Point3SecondsWithoutAnAnswer) {
  h_.reader().setSilent(true);
  h_.plugReader();
  struct Case {
    bool swipe;
    double at;
    std::string end;
  };
  for (const Case& c : {Case{true, 27.6, "onTimeout"}, Case{false, 3.3, "onError"}}) {
    events().clear();
    const double start = now();
    c.swipe ? h_.c0()->startCSwiper() : h_.c0()->getCSwiperKsn();
    ASSERT_TRUE(waitForEnd(40));
    EXPECT_NEAR(now() - start, c.at, 0.05) << c.end;
    EXPECT_EQ(events().sessionNames().back(), c.end);
    if (!c.swipe) {
      EXPECT_EQ(events().last("onError")->value, kReaderErrorKsn);
      EXPECT_EQ(events().last("onError")->text, "Get KSN fail");
    }
  }
}

TEST_F(CSwiperControllerTest, ARepliesInsideTheDelayAreIgnored) {
  h_.plugReader();
  // The KSN reply inside the first 0.2 s: the read times out.
  h_.reader().setKsnReplyAfter(0.12);
  events().clear();
  const double start = now();
  h_.c0()->getCSwiperKsn();
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(events().sessionNames(), Names{"onError"});
  EXPECT_NEAR(now() - start, 3.3, 0.05);

  // The acknowledgement inside the first 0.5 s: the swipe's time-out is not restarted by it.
  h_.reader().setAcknowledgeAfter(0.3);
  events().clear();
  const double swipeStart = now();
  h_.c0()->startCSwiper();
  ASSERT_TRUE(waitForEnd(40));
  EXPECT_EQ(events().sessionNames().back(), "onTimeout");
  EXPECT_NEAR(now() - swipeStart, 27.6, 0.05);

  // After the delay it is: the time-out counts from the acknowledgement.
  h_.reader().setAcknowledgeAfter(0.6);
  events().clear();
  const double again = now();
  h_.c0()->startCSwiper();
  ASSERT_TRUE(waitForEnd(40));
  EXPECT_EQ(events().sessionNames().back(), "onTimeout");
  EXPECT_GT(now() - again, 27.8);
}

TEST_F(CSwiperControllerTest, NoiseAndAQuietReaderMakeNoPacket) {
  // Too quiet to be taken for a reply: the KSN read times out.
  h_.reader().setAmplitude(0.25);
  h_.plugReader();
  events().clear();
  h_.c0()->getCSwiperKsn();
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(events().sessionNames(), Names{"onError"});

  // Loud noise alone: whatever the tracking makes of it, no card comes out.
  h_.reader().setSilent(true);
  h_.reader().setNoise(0.4);
  events().clear();
  h_.c0()->startCSwiper();
  ASSERT_TRUE(waitForEnd(40));
  EXPECT_FALSE(events().has("onDecodeCompleted"));
  EXPECT_EQ(events().endEvents(), 1u);
}

TEST_F(CSwiperControllerTest, AStopSuppressesTheResultOfADecodeUnderWay) {
  h_.plugReader();
  events().clear();
  h_.c0()->startCSwiper();
  ASSERT_TRUE(h_.swipe());
  ASSERT_TRUE(h_.pumpUntil([&] { return events().has("onCardSwipeDetected"); }, 10));
  h_.c0()->stopCSwiper();
  EXPECT_EQ(h_.c0()->stopCount(), 1);
  h_.pumpUntil([] { return false; }, 3);
  EXPECT_EQ(events().sessionNames(), (Names{"onWaitingForDevice", "onWaitingForCardSwipe", "onCardSwipeDetected",
                                            "onInterrupted"}));
  EXPECT_EQ(h_.c0()->getCSwiperState(), 0);
  EXPECT_FALSE(h_.c0()->magRecorder()->isRecording());

  // A stop on an idle driver says nothing; a second start goes on as usual.
  events().clear();
  h_.c0()->stopCSwiper();
  EXPECT_TRUE(events().events.empty());
  swipeCard(h_.card());
  EXPECT_EQ(events().sessionNames().back(), "onDecodeCompleted");
  EXPECT_EQ(h_.c0()->stopCount(), 0);
}

TEST_F(CSwiperControllerTest, AStopBeforeTheRecorderRunsInterruptsOnceAndAStartWhileRunningDoesNothing) {
  h_.plugReader();
  events().clear();
  h_.c0()->startCSwiper();
  h_.c0()->startCSwiper();
  EXPECT_EQ(events().count("onWaitingForDevice"), 1u);
  h_.c0()->stopCSwiper();
  EXPECT_EQ(events().sessionNames(), (Names{"onWaitingForDevice", "onInterrupted"}));
  h_.pumpUntil([] { return false; }, 2);
  EXPECT_EQ(events().sessionNames(), (Names{"onWaitingForDevice", "onInterrupted"})) << "no late onWaitingForCardSwipe";
}

TEST_F(CSwiperControllerTest, ASecondDriverIsRefusedToTheFirstOnesListenerAndTouchesNothing) {
  h_.plugReader();
  auto second = CSwiperController::create();
  ASSERT_TRUE(events().last("onError"));
  EXPECT_EQ(events().last("onError")->value, kReaderErrorSecondDriver);
  EXPECT_EQ(events().last("onError")->text, "Only one CSwiperController instance is allowed at the same time");
  EXPECT_FALSE(second->hasRecorder());

  auto secondListener = std::make_shared<testing::DriverEventRecorder>();
  second->setDelegate(secondListener);
  second->getCSwiperKsn();
  EXPECT_EQ(secondListener->names(), Names{"onNoDeviceDetected"});
  second.reset();

  // The first one goes on working, and still owns the recorder.
  swipeCard(h_.card());
  EXPECT_EQ(events().sessionNames().back(), "onDecodeCompleted");
  events().clear();
  auto third = CSwiperController::create();
  EXPECT_EQ(events().names(), Names{"onError"});
  EXPECT_FALSE(third->hasRecorder());
}

TEST_F(CSwiperControllerTest, TheSwipeTimeOutIsWholeSecondsFrom10To255) {
  h_.plugReader();
  struct Case {
    double set;
    int stored;
  };
  for (const Case& c : {Case{5, 10}, Case{300, 255}, Case{17.9, 17}, Case{-1, 10}, Case{42, 42}}) {
    h_.c0()->setSwipeTimeout(c.set);
    EXPECT_EQ(h_.c0()->swipeTimeoutSetting(), c.stored) << c.set;
    EXPECT_EQ(h_.c0()->swipeTimeout(), c.stored) << c.set;
    h_.c0()->startCSwiper();
    const auto& frame = h_.c0()->commander();
    EXPECT_EQ(frame->cmdId(), 0x06);
    // The frame carries the value in the command's third byte (frame byte 12).
    const auto bytes = CSwiperCommandGenerator::frameBytes(std::vector<uint8_t>{
        0x06, 0x04, static_cast<uint8_t>(c.stored), 0x00, 0x00, 0x00});
    EXPECT_EQ(bytes[12], c.stored);
    EXPECT_EQ(h_.c0()->magRecorder()->recorderAq()->tracking().timeoutBuffers(),
              static_cast<unsigned>((c.stored + 10) * 10)) << c.set;
    h_.c0()->stopCSwiper();
    h_.pumpUntil([] { return false; }, 1);
  }
}

TEST_F(CSwiperControllerTest, RouteChangesGivePlugAndUnplugByTheirReason) {
  auto driver = h_.c0();
  auto& session = AudioSession::sharedInstance();
  using Reason = platform::media::RouteChangeReason;
  struct Case {
    const char* from;
    const char* to;
    Reason reason;
    const char* event;  // nullptr: none
  };
  const Case cases[] = {
      {"Speaker", "HeadsetInOut", Reason::NewDeviceAvailable, "onDevicePlugged"},
      {"HeadsetInOut", "Speaker", Reason::OldDeviceUnavailable, "onDeviceUnplugged"},
      {"Speaker", "Headphone", Reason::NewDeviceAvailable, nullptr},
      {"Headphone", "Speaker", Reason::OldDeviceUnavailable, "onDeviceUnplugged"},
      {"Speaker", "HeadsetInOut", Reason::CategoryChange, "onDevicePlugged"},
      {"HeadsetInOut", "", Reason::NoSuitableRouteForCategory, "onDeviceUnplugged"},
      {"", "Receiver", Reason::CategoryChange, nullptr},
      {"Receiver", "HeadsetInOut", Reason::CategoryChange, nullptr},
      {"HeadsetInOut", "Speaker", Reason::Unknown, nullptr},
  };
  for (const Case& c : cases) {
    session.simulateRouteChange(c.from, Reason::Unknown);
    h_.pumpUntil([] { return false; }, 0.1);
    events().clear();
    session.simulateRouteChange(c.to, c.reason);
    h_.pumpUntil([] { return false; }, 0.1);
    EXPECT_EQ(events().names(), c.event ? Names{c.event} : Names{}) << c.from << " -> " << c.to;
  }
  // Without route watching nothing is told.
  driver->setDetectDeviceChange(false);
  events().clear();
  Jack::shared().plug(h_.readerPtr());
  Jack::shared().unplug();
  h_.pumpUntil([] { return false; }, 0.1);
  EXPECT_TRUE(events().events.empty());
}

TEST_F(CSwiperControllerTest, UnpluggingOrACallWhileWaitingInterruptsOnceButNotAfterTheSwipeWasSeen) {
  h_.plugReader();
  events().clear();
  h_.c0()->startCSwiper();
  ASSERT_TRUE(h_.pumpUntil([&] { return events().has("onWaitingForCardSwipe"); }, 5));
  h_.unplugReader();
  h_.pumpUntil([] { return false; }, 1);
  EXPECT_EQ(events().sessionNames(), (Names{"onWaitingForDevice", "onWaitingForCardSwipe", "onInterrupted"}));
  EXPECT_EQ(events().count("onDeviceUnplugged"), 1u);
  EXPECT_EQ(h_.c0()->getCSwiperState(), 0);

  h_.plugReader();
  events().clear();
  h_.c0()->startCSwiper();
  ASSERT_TRUE(h_.pumpUntil([&] { return events().has("onWaitingForCardSwipe"); }, 5));
  Jack::shared().interruption(true);
  h_.pumpUntil([] { return false; }, 1);
  Jack::shared().interruption(false);
  EXPECT_EQ(events().sessionNames().back(), "onInterrupted");
  EXPECT_EQ(events().count("onInterrupted"), 1u);

  // Once the swipe is seen, a change of route no longer stops the recording: the swipe decodes.
  events().clear();
  h_.c0()->startCSwiper();
  ASSERT_TRUE(h_.swipe());
  ASSERT_TRUE(h_.pumpUntil([&] { return events().has("onCardSwipeDetected"); }, 10));
  AudioSession::sharedInstance().simulateRouteChange("Speaker", platform::media::RouteChangeReason::CategoryChange);
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(events().sessionNames().back(), "onDecodeCompleted");
}

TEST_F(CSwiperControllerTest, NoReaderOrAFailingSessionIsNoDevice) {
  // Nothing plugged, or headphones without a microphone.
  for (bool headphones : {false, true}) {
    if (headphones) Jack::shared().plugHeadphones();
    events().clear();
    h_.c0()->getCSwiperKsn();
    EXPECT_EQ(events().names(), Names{"onNoDeviceDetected"});
    EXPECT_EQ(h_.c0()->getCSwiperState(), 0);
  }
  h_.plugReader();
  AudioSession::sharedInstance().failNext("setActive");
  events().clear();
  h_.c0()->getCSwiperKsn();
  EXPECT_EQ(events().names(), Names{"onNoDeviceDetected"});
  EXPECT_EQ(h_.c0()->getCSwiperState(), 0);
  EXPECT_FALSE(h_.c0()->isRunning());
}

TEST_F(CSwiperControllerTest, ASessionSetUpFailureIsToldOnceAndTheWaitForASwipeOnce) {
  struct Case {
    const char* call;
    int32_t code;
    const char* message;
  };
  for (const Case& c : {Case{"setCategory", kReaderErrorAudioPath, "Initialization fail"},
                        Case{"setActive", kReaderErrorAudioSession, "Cannot set audio session"}}) {
    CSwiperHarness h;
    AudioSession::sharedInstance().failNext(c.call);
    h.plugReader();
    h.pumpUntil([] { return false; }, 0.1);
    ASSERT_EQ(h.recorder()->sessionNames(), Names{"onError"}) << c.call;
    EXPECT_EQ(h.recorder()->last("onError")->value, c.code);
    EXPECT_EQ(h.recorder()->last("onError")->text, c.message);

    h.recorder()->clear();
    h.c0()->startCSwiper();
    ASSERT_TRUE(h.swipe());
    ASSERT_TRUE(h.pumpUntil([&] { return h.recorder()->has("onDecodeCompleted"); }, 10));
    EXPECT_EQ(h.recorder()->count("onWaitingForCardSwipe"), 1u) << c.call;
    Jack::shared().unplug();
    h.pumpUntil([] { return false; }, 0.1);
  }

  // A cycle started before the failure could be told makes it moot: the recording's start is
  // announced once, and the swipe is waited for once.
  CSwiperHarness h;
  AudioSession::sharedInstance().failNext("setCategory");
  Jack::shared().plug(h.readerPtr());
  h.c0()->startCSwiper();
  ASSERT_TRUE(h.swipe());
  ASSERT_TRUE(h.pumpUntil([&] { return h.recorder()->has("onDecodeCompleted"); }, 10));
  EXPECT_EQ(h.recorder()->sessionNames(), (Names{"onWaitingForDevice", "onWaitingForCardSwipe", "onCardSwipeDetected",
                                                 "onDecodingStart", "onDecodeCompleted"}));
}

TEST_F(CSwiperControllerTest, ACycleRaisesTheOutputVolumeAndPlaysTheCommandTone) {
  platform::media::MediaVolume::shared().setVolume(0.3f);
  h_.plugReader();
  events().clear();
  h_.c0()->getCSwiperKsn();
  ASSERT_TRUE(waitForEnd());
  EXPECT_FLOAT_EQ(platform::media::MediaVolume::shared().volume(), 1.0f) << "and it is not restored";
  EXPECT_EQ(events().sessionNames(), Names{"onGetKsnCompleted"});
  EXPECT_FALSE(h_.c0()->playerAq()->isRunning());
}

TEST_F(CSwiperControllerTest, TheHubsFactoryMakesThisDriverForModel0001) {
  auto driver = SwiperDriverFactory::shared().create("0001");
  ASSERT_TRUE(driver);
  EXPECT_TRUE(std::dynamic_pointer_cast<CSwiperController>(driver));
  driver.reset();
  EXPECT_NE(SwiperDriverFactory::shared().create("0001"), nullptr) << "a new one each time";
}

}  // namespace
}  // namespace nvx::reader
