#include "reader/f0003/NLSwiperController.h"

#include <gtest/gtest.h>

#include "platform/foundation/UserDefaults.h"
#include "platform/media/AudioSession.h"
#include "platform/media/Jack.h"
#include "platform/media/MediaVolume.h"
#include "platform/testing/Testing.h"
#include "reader/f0003/AudioHelper.h"
#include "reader/f0003/NLFrame.h"
#include "reader/f0003/NLTestHarness.h"
#include "reader/f0003/PhoneController.h"

namespace nvx::reader {
namespace {

using Bytes = std::vector<uint8_t>;
using standin::Reader0003Card;
using standin::SimulatedReader0003;
using testing::NLHarness;
using Names = std::vector<std::string>;

const Bytes kKsn{0x60, 0x03, 0x20, 0x15, 0x11, 0x00, 0x00, 0x27};

class NLSwiperControllerTest : public ::testing::Test {
 protected:
  NLHarness h_;
  testing::DriverEventRecorder& events() { return *h_.recorder(); }
  bool waitForEnd(double seconds = 20) { return h_.pumpUntil([&] { return events().endEvents() > 0; }, seconds); }
  // A swipe session up to the reader's KSN reply (which uses up the session's retry).
  void armed() {
    events().clear();
    h_.nl()->startCSwiper();
    ASSERT_TRUE(h_.pumpUntil([&] { return events().has("onWaitingForCardSwipe") && h_.reader().isArmed(); }, 10));
  }
};

TEST_F(NLSwiperControllerTest, ReadsTheKsnThenASwipeWithTheCardsFields) {
  h_.plugReader();
  EXPECT_EQ(events().sessionNames(), Names{"onGetKsnCompleted"});
  EXPECT_EQ(events().last("onGetKsnCompleted")->text, "6003201511000027");
  EXPECT_EQ(h_.reader().startCommandsHeard(), 1);

  events().clear();
  h_.nl()->startCSwiper();
  ASSERT_TRUE(h_.swipe());
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(events().sessionNames(), (Names{"onWaitingForDevice", "onWaitingForCardSwipe", "onCardSwipeDetected",
                                            "onDecodingStart", "onDecodeCompleted"}));
  const auto& card = events().last("onDecodeCompleted")->card;
  EXPECT_EQ(card, h_.expectedCard());
  EXPECT_EQ(card.maskedPAN, "622202 ********* 0123");
  EXPECT_EQ(h_.nl()->getCSwiperState(), 0);
  EXPECT_EQ(h_.nl()->status(), 0);
  ASSERT_TRUE(h_.nl()->cardInfo());
  EXPECT_EQ(h_.nl()->cardInfo()->formatType, 32);
  // The audio stops with the session.
  EXPECT_FALSE(AudioHelper::sharedHelper()->isOutgoingRunning());
  EXPECT_FALSE(AudioHelper::sharedHelper()->isIncomingRunning());
}

TEST_F(NLSwiperControllerTest, AReaderThatNeverAnswersGetsOneMoreStartCommandThenTheSessionFails) {
  struct Case {
    bool ksnRead;
    int32_t code;
    const char* text;
  } cases[] = {{false, -2, "刷卡器启动失败"}, {true, -3, "取ksn失败"}};
  h_.plugReader(false);
  h_.reader().setSilent(true);
  for (const auto& c : cases) {
    events().clear();
    const int heard = h_.reader().startCommandsHeard();
    const auto started = platform::clock().now();
    if (c.ksnRead) h_.nl()->getCSwiperKsn();
    else h_.nl()->startCSwiper();
    // (The recorder takes -2 for a refused start, which ends nothing: wait for the error itself.)
    ASSERT_TRUE(h_.pumpUntil([&] { return events().has("onError"); }, 10));
    EXPECT_NEAR(platform::toSecs(platform::clock().now() - started), 5.0, 0.05);
    EXPECT_EQ(h_.reader().startCommandsHeard() - heard, 2);
    ASSERT_TRUE(events().last("onError"));
    EXPECT_EQ(events().last("onError")->value, c.code);
    EXPECT_EQ(events().last("onError")->text, c.text);
    EXPECT_EQ(events().count("onError"), 1u);
    EXPECT_EQ(h_.nl()->getCSwiperState(), 0);
  }
}

TEST_F(NLSwiperControllerTest, TheRetryAnsweredReadsTheKsn) {
  h_.plugReader(false);
  h_.reader().ignoreStartCommands(1);
  events().clear();
  h_.nl()->getCSwiperKsn();
  ASSERT_TRUE(waitForEnd(10));
  EXPECT_EQ(events().sessionNames(), Names{"onGetKsnCompleted"});
  EXPECT_EQ(h_.reader().startCommandsHeard(), 2);
}

TEST_F(NLSwiperControllerTest, AKsnReadStartedBeforeThePresencePollSawTheReaderGoesOn) {
  h_.nl();
  platform::media::Jack::shared().plug(h_.readerPtr());
  h_.nl()->getCSwiperKsn();  // the route is there; the poll has not looked yet
  ASSERT_TRUE(waitForEnd(10));
  EXPECT_EQ(events().sessionNames(), Names{"onGetKsnCompleted"});
  EXPECT_TRUE(events().has("onDevicePlugged"));
}

TEST_F(NLSwiperControllerTest, InvertedRepliesAndAReaderWiredTheOtherWayRoundWork) {
  for (auto config : {SimulatedReader0003::Config{.invertReplies = true}, SimulatedReader0003::Config{.wiredReversed = true}}) {
    platform::media::Jack::shared().unplug();
    platform::RunLoop::main().advance(0.5);
    NLHarness h(config);
    h.plugReader();
    EXPECT_EQ(h.recorder()->sessionNames(), Names{"onGetKsnCompleted"});
    EXPECT_EQ(h.reader().startCommandsHeard(), 1);
  }
}

TEST_F(NLSwiperControllerTest, WhatTheReaderSaysAfterItsKsnDecidesHowTheSwipeEnds) {
  const Bytes card = SimulatedReader0003::cardMessage(Reader0003Card::testCard(), kKsn, Bytes(8, 0x42), false);
  Bytes badBlock(card.begin() + 3, card.end() - 2);
  badBlock[21 - 3 + 1] = 2;  // H below 4
  struct Case {
    const char* name;
    Bytes message;
    Names ending;
    int32_t value;
  } cases[] = {
      {"failed swipe 'Z!'", NLFrame::build(Bytes{'Z', '!'}), {"onCardSwipeDetected", "onDecodingStart", "onDecodeError"}, 0},
      {"other error 'Z'", NLFrame::build(Bytes{'Z', 'x'}), {"onCardSwipeDetected", "onDecodingStart", "onError"}, 3},
      {"failure '^'", NLFrame::build(Bytes{'^', 0}), {"onCardSwipeDetected", "onDecodingStart", "onDecodeError"}, 0},
      {"unknown type", NLFrame::build(Bytes{'Q', 0}), {"onDecodeError"}, 3},
      {"card block out of range", NLFrame::build(badBlock), {"onCardSwipeDetected", "onDecodingStart", "onDecodeError"}, 2},
  };
  h_.plugReader();
  for (const auto& c : cases) {
    const int heard = h_.reader().startCommandsHeard();
    armed();
    ASSERT_TRUE(h_.reader().swipeWithMessage(c.message)) << c.name;
    ASSERT_TRUE(waitForEnd()) << c.name;
    h_.pumpUntil([] { return false; }, 3.0);  // no retry, no second end
    Names names = events().sessionNames();
    ASSERT_GE(names.size(), 2u) << c.name;
    EXPECT_EQ(Names(names.end() - static_cast<std::ptrdiff_t>(c.ending.size()), names.end()), c.ending) << c.name;
    EXPECT_EQ(events().endEvents(), 1u) << c.name;
    EXPECT_EQ(events().events.back().value, c.value) << c.name;
    if (c.ending.back() == "onError") {
      EXPECT_EQ(events().events.back().text, "未知解码错误");
    }
    EXPECT_EQ(h_.reader().startCommandsHeard() - heard, 1) << c.name << ": no retry";
    EXPECT_EQ(h_.nl()->getCSwiperState(), 0) << c.name;
  }
}

TEST_F(NLSwiperControllerTest, ARandomFieldOfAllFFTakesTheNextEightBytesAndMovesTheCardBlock) {
  NLHarness h({.randomAllFF = true});
  h.plugReader();
  h.recorder()->clear();
  h.nl()->startCSwiper();
  ASSERT_TRUE(h.swipe());
  ASSERT_TRUE(h.pumpUntil([&] { return h.recorder()->has("onDecodeCompleted"); }, 20));
  EXPECT_EQ(h.recorder()->last("onDecodeCompleted")->card, h.expectedCard());
}

TEST_F(NLSwiperControllerTest, TheSecondKsnLayoutAndOneTooShortForIt) {
  h_.plugReader(false);
  h_.reader().setKsnReply(SimulatedReader0003::ksnReplySecondLayout(kKsn));
  events().clear();
  h_.nl()->getCSwiperKsn();
  ASSERT_TRUE(waitForEnd(10));
  EXPECT_EQ(events().last("onGetKsnCompleted")->text, "6003201511000027");

  // 20 bytes: the KSN would be read past the message. A failed KSN read, after the retry.
  Bytes shortReply = SimulatedReader0003::ksnReplySecondLayout(kKsn);
  Bytes data(shortReply.begin() + 3, shortReply.begin() + 18);
  h_.reader().setKsnReply(NLFrame::build(data));
  events().clear();
  const int heard = h_.reader().startCommandsHeard();
  h_.nl()->getCSwiperKsn();
  ASSERT_TRUE(waitForEnd(10));
  EXPECT_EQ(events().sessionNames(), Names{"onError"});
  EXPECT_EQ(events().last("onError")->value, -3);
  EXPECT_EQ(events().last("onError")->text, "取ksn失败");
  EXPECT_EQ(h_.reader().startCommandsHeard() - heard, 2);
}

TEST_F(NLSwiperControllerTest, AShortMessageIsAFailedMessage) {
  h_.plugReader();
  armed();
  h_.nl()->onReceivedMessage(Bytes{0xA5, 0x00, 0x01, ':', 0x00, 0x5A});
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(events().sessionNames().back(), "onDecodeError");
  EXPECT_EQ(events().last("onDecodeError")->value, 1);
}

TEST_F(NLSwiperControllerTest, UnpluggingDuringTheSwipeWaitInterruptsTheSession) {
  h_.plugReader();
  armed();
  h_.unplugReader();
  h_.pumpUntil([] { return false; }, 1.0);
  Names names = events().names();
  ASSERT_GE(names.size(), 2u);
  EXPECT_EQ(Names(names.end() - 2, names.end()), (Names{"onInterrupted", "onDeviceUnplugged"}));
  EXPECT_EQ(h_.nl()->getCSwiperState(), 0);
  EXPECT_FALSE(AudioHelper::sharedHelper()->isOutgoingRunning());
  h_.pumpUntil([] { return false; }, 60);
  EXPECT_FALSE(events().has("onTimeout"));

  // Without plug events the interruption still comes.
  h_.nl()->setDetectDeviceChange(false);
  platform::media::Jack::shared().plug(h_.readerPtr());
  h_.pumpUntil([] { return false; }, 1.0);
  events().clear();
  platform::media::Jack::shared().unplug();
  h_.pumpUntil([] { return false; }, 1.0);
  EXPECT_EQ(events().names(), Names{"onInterrupted"});
}

TEST_F(NLSwiperControllerTest, TheVolumeIsHeldAt085WhileTheReaderWorksAndTheUsersComesBack) {
  auto& volume = platform::media::MediaVolume::shared();
  auto& defaults = platform::UserDefaults::standard();
  volume.setVolume(0.4f);
  h_.plugReader();
  EXPECT_FLOAT_EQ(volume.volume(), 0.85f);
  EXPECT_TRUE(defaults.boolean(PhoneController::kUserSetVolumeKey));
  EXPECT_NEAR(defaults.real(PhoneController::kUserDefaultsVolumeKey), 0.4, 1e-6);

  // A second start keeps the first saved volume.
  events().clear();
  h_.nl()->getCSwiperKsn();
  ASSERT_TRUE(waitForEnd(10));
  EXPECT_NEAR(defaults.real(PhoneController::kUserDefaultsVolumeKey), 0.4, 1e-6);

  h_.nl()->deleteCSwiper();
  EXPECT_FLOAT_EQ(volume.volume(), 0.4f);
  EXPECT_FALSE(defaults.boolean(PhoneController::kUserSetVolumeKey));

  // Saved by a run that ended without deleting its driver: the next run's driver puts it back.
  volume.setVolume(0.3f);
  PhoneController::setMobileVolumeMax();
  platform::testing::restart();
  platform::media::MediaVolume::shared().setVolume(0.85f);
  NLSwiperController::sharedInstance()->deleteCSwiper();
  EXPECT_FLOAT_EQ(platform::media::MediaVolume::shared().volume(), 0.3f);
}

TEST_F(NLSwiperControllerTest, ADeletedDriverIsSilentAndTheNextOneIsNew) {
  h_.plugReader();
  armed();
  auto old = h_.nl();
  old->deleteCSwiper();
  EXPECT_EQ(old->getCSwiperState(), 0);
  ASSERT_TRUE(h_.reader().swipe());
  h_.pumpUntil([] { return false; }, 60);
  EXPECT_EQ(events().endEvents(), 0u);
  EXPECT_NE(NLSwiperController::sharedInstance(), old);
}

TEST_F(NLSwiperControllerTest, AudioSetUpFailuresAreReportedWithTheirCodes) {
  auto& session = platform::media::AudioSession::sharedInstance();
  struct Case {
    const char* call;
    int32_t code;
    const char* text;
  } cases[] = {{"setCategory", -5, "音频初始化失败"}, {"setActive", -6, "音频会话设置失败"},
               {"inputChannelCount", -5, "音频初始化失败"}};
  for (const auto& c : cases) {
    session.failNext(c.call);
    auto recorder = std::make_shared<testing::DriverEventRecorder>();
    auto driver = NLSwiperController::sharedInstance();
    driver->setDelegate(recorder);
    h_.pumpUntil([] { return false; }, 0.1);
    ASSERT_TRUE(recorder->has("onError")) << c.call;
    EXPECT_EQ(recorder->last("onError")->value, c.code) << c.call;
    EXPECT_EQ(recorder->last("onError")->text, c.text) << c.call;
    driver->deleteCSwiper();
  }

  // An input queue that cannot be made: the start fails, once more on the retry's wait, with -2.
  h_.plugReader(false);
  session.failNext("InputQueue::create");
  events().clear();
  h_.nl()->startCSwiper();
  ASSERT_TRUE(h_.pumpUntil([&] { return events().has("onError"); }, 10));
  EXPECT_EQ(events().last("onError")->value, -2);
  EXPECT_EQ(events().last("onError")->text, "刷卡器启动失败");
  EXPECT_EQ(h_.nl()->getCSwiperState(), 0);
}

}  // namespace
}  // namespace nvx::reader
