#include "reader/f0002/CSwiperController1.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/media/AudioSession.h"
#include "platform/media/Jack.h"
#include "platform/media/MediaVolume.h"
#include "platform/testing/Testing.h"
#include "reader/f0002/SpeedPlist.h"
#include "reader/f0002/Swiper1Modem.h"
#include "reader/f0002/Swiper1TestHarness.h"

namespace nvx::reader {
namespace {

using standin::SimulatedReader0002;
using testing::Swiper1Harness;
using Bytes = std::vector<uint8_t>;

const Bytes kDeviceInfo{0xE1, 0x06, 0x02};
const Bytes kDeviceInfoSecondForm{0xE1, 0x06, 0x03};
const Bytes kStopRead{0xE1, 0x03, 0x02};

class CSwiperController1Test : public ::testing::Test {
 protected:
  Swiper1Harness h_;
  testing::DriverEventRecorder& events() { return *h_.recorder(); }
  bool ended() { return events().endEvents() > 0; }
  bool waitForEnd(double seconds = 60) { return h_.pumpUntil([&] { return ended(); }, seconds); }
  void swipeAndWait() {
    h_.c1()->startCSwiper();
    ASSERT_TRUE(h_.swipe());
    ASSERT_TRUE(waitForEnd());
  }
  size_t count(const Bytes& command) {
    auto heard = h_.reader().commands();
    return static_cast<size_t>(std::count(heard.begin(), heard.end(), command));
  }
};

TEST_F(CSwiperController1Test, ReadsTheKsnThenASwipeWithTheCardFieldsTheReaderSent) {
  h_.plugReader();
  EXPECT_EQ(events().last("onGetKsnCompleted")->text, "CBC3201306010042");

  events().clear();
  swipeAndWait();
  EXPECT_EQ(events().sessionNames(),
            (std::vector<std::string>{"onWaitingForDevice", "onWaitingForCardSwipe", "onDecodeCompleted"}));
  const auto& card = events().last("onDecodeCompleted")->card;
  EXPECT_EQ(card, h_.expectedCard());
  EXPECT_EQ(card.formatID, "99");
  EXPECT_EQ(card.maskedPAN, "622202******0123");
  EXPECT_EQ(card.expiryDate, "25/12");
  EXPECT_EQ(card.track2Length, 37);
  EXPECT_EQ(card.track3Length, 104);
  EXPECT_EQ(card.encTracks.size(), 64u);
  EXPECT_EQ(card.randomNumber.size(), 16u);
  EXPECT_EQ(h_.c1()->getCSwiperState(), 0);
  EXPECT_FALSE(h_.c1()->isPowerOn());

  // Each swipe sends new random bytes.
  std::string first = card.randomNumber;
  events().clear();
  swipeAndWait();
  EXPECT_NE(events().last("onDecodeCompleted")->card.randomNumber, first);
}

TEST_F(CSwiperController1Test, RaisesTheVolumeWhileTheReaderWorksAndRestoresIt) {
  platform::media::MediaVolume::shared().setVolume(0.4f);
  h_.plugReader();
  auto history = platform::media::MediaVolume::shared().history();
  ASSERT_GE(history.size(), 3u);
  EXPECT_FLOAT_EQ(history[history.size() - 2], 1.0f);
  EXPECT_FLOAT_EQ(history.back(), 0.4f);
  EXPECT_FLOAT_EQ(h_.c1()->currentVolume(), 0.4f);
}

TEST_F(CSwiperController1Test, CalibratesFromColdSavesTheSpeedAndStartsFromItInTheNextRun) {
  h_.plugReader();
  auto text = SpeedPlist::read(SpeedPlist::path());
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, swiper1_modem_speed_string());
  const auto speed = Swiper1Modem::shared().speed();
  EXPECT_GE(speed.S, 11);
  EXPECT_EQ(speed.F, 9);
  EXPECT_GT(h_.reader().probesHeard(), 3) << "a full search";
  EXPECT_EQ(h_.reader().wakeTonesHeard(), 1);

  // A new run of the client: the modem starts at its defaults, the saved speed is applied and
  // confirmed with one probe after the wake tone.
  const std::string saved = *text;
  platform::testing::restart();
  Swiper1Harness next;
  next.plugReader();
  EXPECT_EQ(next.reader().probesHeard(), 1);
  EXPECT_EQ(next.reader().wakeTonesHeard(), 1);
  EXPECT_EQ(swiper1_modem_speed_string(), saved);

  // A saved text whose check fails starts a full search again.
  platform::fs::writeAtomic(SpeedPlist::path(), SpeedPlist::serialize("120999"));
  platform::testing::restart();
  Swiper1Harness third;
  third.plugReader();
  EXPECT_GT(third.reader().probesHeard(), 3);
}

TEST_F(CSwiperController1Test, AtMostOneDriverObjectExists) {
  auto first = CSwiperController1::create();
  ASSERT_TRUE(first);
  EXPECT_FALSE(CSwiperController1::create());
  first.reset();
  EXPECT_TRUE(CSwiperController1::create()) << "releasing the object makes room for a new one";
}

TEST_F(CSwiperController1Test, UnpluggingDuringASwipeInterruptsItAndMutesTheOutput) {
  h_.plugReader();
  events().clear();
  h_.c1()->startCSwiper();
  ASSERT_TRUE(h_.pumpUntil([&] { return events().has("onWaitingForCardSwipe"); }, 60));
  ASSERT_FLOAT_EQ(platform::media::MediaVolume::shared().volume(), 1.0f);

  float volumeWhenTold = -1;
  struct Watch : testing::DriverEventRecorder {
    float* volume;
    void onDeviceUnplugged() override {
      *volume = platform::media::MediaVolume::shared().volume();
      DriverEventRecorder::onDeviceUnplugged();
    }
  };
  auto watch = std::make_shared<Watch>();
  watch->volume = &volumeWhenTold;
  watch->driver = h_.c1();
  h_.c1()->setDelegate(watch);

  h_.unplugReader();
  ASSERT_TRUE(h_.pumpUntil([&] { return h_.c1()->getCSwiperState() == 0 && !h_.c1()->isPowerOn(); }, 10));
  h_.pumpUntil([] { return false; }, 2);
  EXPECT_EQ(watch->names(), (std::vector<std::string>{"onDeviceUnplugged", "onInterrupted"}));
  EXPECT_FLOAT_EQ(volumeWhenTold, 0.0f);
  auto history = platform::media::MediaVolume::shared().history();
  EXPECT_NE(std::find(history.end() - 3, history.end(), 0.0f), history.end());
  EXPECT_TRUE(h_.c1()->ksn().empty()) << "the reader may come back as another";
  EXPECT_EQ(count(kStopRead), 0u) << "nobody to tell";
}

TEST_F(CSwiperController1Test, AKsnThatDoesNotBeginWithCBC3IsAskedForOnceMoreAfterTheSecondForm) {
  h_.reader().setFirstKsn(Bytes{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0});
  h_.plugReader();
  EXPECT_EQ(events().last("onGetKsnCompleted")->text, "CBC3201306010042");
  EXPECT_EQ(h_.reader().commands(), (std::vector<Bytes>{kDeviceInfo, kDeviceInfoSecondForm, kDeviceInfo}));

  // A reader that never gives a KSN beginning with CBC3 fails the read.
  h_.reader().setKsn(Bytes{0xCB, 0xC4, 0, 0, 0, 0, 0, 1});
  events().clear();
  h_.c1()->getCSwiperKsn();
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(events().sessionNames(), std::vector<std::string>{"onError"});
  EXPECT_EQ(events().last("onError")->value, kReaderErrorKsn);
  EXPECT_EQ(events().last("onError")->text, "fail to get ksn");
  EXPECT_TRUE(h_.c1()->ksn().empty());
}

TEST_F(CSwiperController1Test, AKsnReadFailsWhenTheReplyBreaksTheRules) {
  struct Case {
    const char* name;
    std::function<void(SimulatedReader0002&)> set;
  };
  const Case cases[] = {
      {"no 9000", [](auto& r) { r.setNextReply(Bytes{0xCB, 0xC3, 1, 2, 3, 4, 5, 6, 0x6A, 0x82}); }},
      {"too short for a KSN", [](auto& r) { r.setNextReply(Bytes{0xCB, 0xC3, 1, 0x90, 0x00}); }},
      {"bad replies every time", [](auto& r) { r.corruptReplies(1000); }},
      {"silent reader", [](auto& r) { r.setSilent(true); }},
  };
  for (const Case& c : cases) {
    Swiper1Harness h;
    c.set(h.reader());
    h.c1();
    platform::media::Jack::shared().plug(h.readerPtr());
    ASSERT_TRUE(h.pumpUntil([&] { return h.c1()->isDevicePresent(); }, 2));
    h.c1()->getCSwiperKsn();
    ASSERT_TRUE(h.pumpUntil([&] { return h.recorder()->endEvents() > 0; }, 120)) << c.name;
    ASSERT_TRUE(h.recorder()->last("onError")) << c.name;
    EXPECT_EQ(h.recorder()->last("onError")->value, kReaderErrorKsn) << c.name;
    EXPECT_EQ(h.c1()->getCSwiperState(), 0) << c.name;
    platform::media::Jack::shared().unplug();
    h.pumpUntil([] { return false; }, 1);
  }
}

TEST_F(CSwiperController1Test, AReplyWithABadCheckIsSentAgainAndTheSwipeStillSucceeds) {
  h_.plugReader();
  h_.reader().corruptReplies(1);
  events().clear();
  swipeAndWait();
  EXPECT_EQ(events().sessionNames().back(), "onDecodeCompleted");
  EXPECT_EQ(events().last("onDecodeCompleted")->card, h_.expectedCard());
}

TEST_F(CSwiperController1Test, CardRepliesTooShortForTheCardFieldsAreDecodeErrors) {
  struct Case {
    const char* name;
    Bytes payload;
    const char* end;
    std::string encTracks;
  };
  const Case cases[] = {
      {"exactly the card fields", {0x62, 0x22, 0x02, 0x01, 0x23, 0x25, 0x12, 37, 0, 0x90, 0x00}, "onDecodeCompleted", ""},
      {"one byte short of them", {0x62, 0x22, 0x02, 0x01, 0x23, 0x25, 0x12, 37, 0x90, 0x00}, "onDecodeError", ""},
      {"the status word alone", {0x90, 0x00}, "onDecodeError", ""},
      {"a single byte", {0x90}, "onDecodeError", ""},
  };
  h_.plugReader();
  for (const Case& c : cases) {
    h_.reader().setNextReply(c.payload);
    events().clear();
    swipeAndWait();
    EXPECT_EQ(events().sessionNames().back(), c.end) << c.name;
    if (auto* done = events().last("onDecodeCompleted")) {
      EXPECT_EQ(done->card.encTracks, c.encTracks) << c.name;
      EXPECT_EQ(done->card.maskedPAN, "622202******0123") << c.name;
      EXPECT_EQ(done->card.expiryDate, "25/12") << c.name;
    }
    if (auto* error = events().last("onDecodeError")) {
      EXPECT_EQ(error->value, 0) << c.name;
    }
    EXPECT_EQ(h_.c1()->getCSwiperState(), 0) << c.name;
  }
}

TEST_F(CSwiperController1Test, NoSwipeInTimeEndsWithTimeoutAfterTheReaderWasToldToStop) {
  h_.plugReader();
  events().clear();
  h_.c1()->startCSwiper();
  ASSERT_TRUE(h_.pumpUntil([&] { return events().has("onWaitingForCardSwipe"); }, 60));
  EXPECT_FALSE(h_.pumpUntil([&] { return ended(); }, 29.5));
  ASSERT_TRUE(waitForEnd(2));
  EXPECT_EQ(events().sessionNames().back(), "onTimeout");
  EXPECT_EQ(events().last("onTimeout")->state, 0);
  EXPECT_EQ(count(kStopRead), 1u);
  EXPECT_FALSE(h_.reader().isArmed());
  EXPECT_FALSE(h_.c1()->isPowerOn());
}

TEST_F(CSwiperController1Test, StopDuringTheSwipeWaitTellsTheReaderAndEndsWithAnInterruption) {
  h_.plugReader();
  events().clear();
  h_.c1()->startCSwiper();
  ASSERT_TRUE(h_.pumpUntil([&] { return events().has("onWaitingForCardSwipe"); }, 60));
  h_.c1()->stopCSwiper();
  EXPECT_EQ(h_.c1()->getCSwiperState(), 0);
  h_.c1()->startCSwiper();  // the reader is still being powered down
  ASSERT_TRUE(h_.pumpUntil([&] { return events().has("onInterrupted"); }, 10));
  EXPECT_EQ(events().sessionNames(), (std::vector<std::string>{"onWaitingForDevice", "onWaitingForCardSwipe",
                                                                "onError", "onInterrupted"}));
  EXPECT_EQ(events().last("onError")->value, kReaderErrorBusy);
  EXPECT_EQ(count(kStopRead), 1u);
  EXPECT_FALSE(h_.reader().isArmed());

  events().clear();
  swipeAndWait();
  EXPECT_EQ(events().sessionNames().back(), "onDecodeCompleted");
}

TEST_F(CSwiperController1Test, BusyRequestsAreRefusedAndAMissingReaderIsReported) {
  h_.c1()->getCSwiperKsn();
  h_.c1()->startCSwiper();
  EXPECT_EQ(events().names(), (std::vector<std::string>{"onNoDeviceDetected", "onNoDeviceDetected"}));

  h_.plugReader(false);
  events().clear();
  h_.c1()->getCSwiperKsn();
  h_.c1()->startCSwiper();
  h_.c1()->getCSwiperKsn();
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(events().sessionNames(), (std::vector<std::string>{"onError", "onError", "onGetKsnCompleted"}));
  for (const auto& e : events().events) {
    if (e.name == "onError") {
      EXPECT_EQ(e.value, kReaderErrorBusy);
      EXPECT_EQ(e.text, "ERROR_FAIL_TO_START");
    }
  }
}

TEST_F(CSwiperController1Test, AnAudioPathThatDoesNotStartGivesMinus5AndTheNextRequestWorks) {
  h_.plugReader(false);
  platform::media::AudioSession::sharedInstance().failNext("DuplexUnit::start");
  events().clear();
  h_.c1()->startCSwiper();
  ASSERT_TRUE(h_.pumpUntil([&] { return events().has("onError"); }, 10));
  EXPECT_EQ(events().last("onError")->value, kReaderErrorAudioPath);
  EXPECT_EQ(events().last("onError")->text, "ERROR_AUDIO_INITIALIZATION_FAIL");
  EXPECT_EQ(h_.c1()->getCSwiperState(), 0);

  events().clear();
  h_.c1()->getCSwiperKsn();
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(events().sessionNames(), std::vector<std::string>{"onGetKsnCompleted"});
}

TEST_F(CSwiperController1Test, PresenceFollowsTheRoute) {
  auto driver = h_.c1();
  EXPECT_FALSE(driver->isDevicePresent());
  platform::media::Jack::shared().plug(h_.readerPtr());
  ASSERT_TRUE(h_.pumpUntil([&] { return driver->isDevicePresent(); }, 1));
  EXPECT_FALSE(events().has("onDevicePlugged")) << "told 0.2 s later";
  h_.pumpUntil([] { return false; }, 0.3);
  EXPECT_EQ(events().names(), std::vector<std::string>{"onDevicePlugged"});

  platform::media::Jack::shared().unplug();
  h_.pumpUntil([] { return false; }, 0.5);
  EXPECT_EQ(events().names(), (std::vector<std::string>{"onDevicePlugged", "onDeviceUnplugged"}));

  // Plain headphones count as the reader; without detection nothing is told.
  driver->setDetectDeviceChange(false);
  platform::media::Jack::shared().plugHeadphones();
  h_.pumpUntil([] { return false; }, 0.5);
  EXPECT_TRUE(driver->isDevicePresent());
  EXPECT_EQ(events().names().size(), 2u);

  // Plugged and then unplugged within 0.2 s: no plug notice.
  driver->setDetectDeviceChange(true);
  platform::media::Jack::shared().unplug();
  h_.pumpUntil([] { return false; }, 0.5);
  events().clear();
  platform::media::Jack::shared().plug(h_.readerPtr());
  h_.pumpUntil([] { return false; }, 0.1);
  platform::media::Jack::shared().unplug();
  h_.pumpUntil([] { return false; }, 0.5);
  EXPECT_EQ(events().names(), std::vector<std::string>{"onDeviceUnplugged"});
}

TEST_F(CSwiperController1Test, ARouteNameThatCannotBeReadCountsAsPluggedOnAChangeButNotAtCreation) {
  auto& session = platform::media::AudioSession::sharedInstance();
  platform::media::Jack::shared().plug(h_.readerPtr());
  h_.pumpUntil([] { return false; }, 0.1);
  session.failNext("routeName");
  EXPECT_FALSE(h_.c1()->isDevicePresent());

  platform::media::Jack::shared().unplug();
  h_.pumpUntil([] { return false; }, 0.1);
  session.failNext("routeName");
  session.simulateRouteChange("Speaker", platform::media::RouteChangeReason::CategoryChange);
  session.simulateRouteChange("", platform::media::RouteChangeReason::NoSuitableRouteForCategory);
  EXPECT_TRUE(h_.pumpUntil([&] { return h_.c1()->isDevicePresent(); }, 1));
}

TEST_F(CSwiperController1Test, ADeletedDriverTellsNothingMore) {
  h_.plugReader();
  events().clear();
  h_.c1()->startCSwiper();
  ASSERT_TRUE(h_.pumpUntil([&] { return events().has("onWaitingForCardSwipe"); }, 60));
  h_.c1()->deleteCSwiper();
  h_.reader().swipe();
  platform::media::Jack::shared().unplug();
  ASSERT_TRUE(h_.pumpUntil([&] { return h_.c1()->getCSwiperState() == 0 && !h_.c1()->isPowerOn(); }, 10));
  h_.pumpUntil([] { return false; }, 1);
  EXPECT_EQ(events().names(), (std::vector<std::string>{"onWaitingForDevice", "onWaitingForCardSwipe"}));
  h_.c1()->startCSwiper();
  h_.c1()->getCSwiperKsn();
  EXPECT_EQ(events().names().size(), 2u);
}

TEST_F(CSwiperController1Test, RandomBytesAreNeverFFAndCoverEveryOtherValue) {
  std::set<uint8_t> seen;
  uint8_t bytes[64];
  for (int i = 0; i < 400; ++i) {
    ASSERT_TRUE(CSwiperController1::getRandom(bytes, sizeof bytes));
    for (uint8_t b : bytes) {
      ASSERT_NE(b, 0xFF);
      seen.insert(b);
    }
  }
  EXPECT_EQ(seen.size(), 255u);
}

}  // namespace
}  // namespace nvx::reader
