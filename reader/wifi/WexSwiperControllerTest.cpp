#include "reader/wifi/WexSwiperController.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/foundation/Log.h"
#include "platform/net/UdpSocket.h"
#include "reader/wifi/WexTestHarness.h"

namespace nvx::reader::testing {
namespace {

using standin::SimulatedWifiBox;
using Reply = SimulatedWifiBox::Reply;
using Names = std::vector<std::string>;

class WexSwiperControllerTest : public ::testing::Test {
 protected:
  WexHarness h_;
  DriverEventRecorder& events() { return *h_.recorder(); }
  WexSwiperController& wex() { return *h_.wex(); }
  SimulatedWifiBox& box() { return h_.box(); }

  bool pump(const std::function<bool()>& pred, double seconds = 10.0) { return h_.pumpUntil(pred, seconds); }
  void idle(double seconds) { h_.pumpUntil([] { return false; }, seconds); }
  bool ended() { return events().endEvents() > 0; }

  // Reads the KSN once, so that later card reads go straight to the card command.
  void learnKsn() {
    wex().getCSwiperKsn();
    ASSERT_TRUE(pump([&] { return events().has("onGetKsnCompleted"); }));
    ASSERT_TRUE(pump([&] { return wex().getCSwiperState() == 0; }));
    events().clear();
  }
  // A box that announces itself busy, seen by the driver; no events recorded yet.
  void plugBusyBox() {
    box().setBusy(true);
    wex();
    ASSERT_TRUE(box().start().isOk());
    ASSERT_TRUE(pump([&] { return wex().isDevicePresent(); }));
    events().clear();
  }
  // A card read with the KSN known, up to the armed reader.
  void armCardRead() {
    ASSERT_NO_FATAL_FAILURE(h_.plugReader());
    ASSERT_NO_FATAL_FAILURE(learnKsn());
    wex().startCSwiper();
    ASSERT_TRUE(pump([&] { return box().isArmed() && events().has("onWaitingForCardSwipe"); }));
  }
};

TEST_F(WexSwiperControllerTest, DescribesItsVersion) {
  EXPECT_EQ(wex().description(), "Version = 0.6.1");
}

TEST_F(WexSwiperControllerTest, HeartbeatPlugsTheBoxAndItsTextTellsReadyOrBusy) {
  wex();
  EXPECT_FALSE(wex().isDevicePresent());
  box().setBusy(true);
  ASSERT_TRUE(box().start().isOk());
  ASSERT_TRUE(pump([&] { return wex().isDevicePresent(); }));
  EXPECT_FALSE(wex().isDeviceReady());
  EXPECT_EQ(events().names(), Names{"onDevicePlugged"});

  box().setBusy(false);
  ASSERT_TRUE(pump([&] { return wex().isDeviceReady(); }, 2.0));
  idle(10.0);
  EXPECT_EQ(events().count("onDevicePlugged"), 1u);  // one plug for a stream of heartbeats
}

TEST_F(WexSwiperControllerTest, AStartOnABusyBoxIsTriedAgainAfterASecondAndAHalf) {
  ASSERT_NO_FATAL_FAILURE(plugBusyBox());

  // Still busy then: refused.
  wex().startCSwiper();
  idle(1.4);
  EXPECT_TRUE(events().events.empty());
  ASSERT_TRUE(pump([&] { return ended() || events().has("onError"); }, 1.0));
  ASSERT_EQ(events().sessionNames(), Names{"onError"});
  EXPECT_EQ(events().last("onError")->value, kReaderErrorBusy);
  EXPECT_EQ(events().last("onError")->text, "设备正在被占用，请稍后再试");
  EXPECT_EQ(wex().getCSwiperState(), 0);
  EXPECT_EQ(box().connectionsAccepted(), 0);

  // Ready by then: the request goes through.
  events().clear();
  wex().startCSwiper();
  box().setBusy(false);
  ASSERT_TRUE(pump([&] { return box().isArmed(); }, 5.0));
  EXPECT_EQ(events().sessionNames(), (Names{"onWaitingForDevice", "onWaitingForCardSwipe"}));
}

TEST_F(WexSwiperControllerTest, ARequestWhileAnotherWaitsForTheBoxIsRefusedAndLeavesItAlone) {
  ASSERT_NO_FATAL_FAILURE(plugBusyBox());
  wex().getCSwiperKsn();
  wex().startCSwiper();
  ASSERT_EQ(events().sessionNames(), Names{"onError"});
  EXPECT_EQ(events().last("onError")->text, "设备状态为非空闲状态");
  box().setBusy(false);
  ASSERT_TRUE(pump([&] { return events().has("onGetKsnCompleted"); }, 5.0));
  EXPECT_EQ(box().commands(), std::vector<uint8_t>{0x03});  // still the KSN read, not a card read
}

TEST_F(WexSwiperControllerTest, StopWhileWaitingForABusyBoxWithdrawsTheRequest) {
  ASSERT_NO_FATAL_FAILURE(plugBusyBox());
  wex().startCSwiper();
  wex().stopCSwiper();
  box().setBusy(false);
  idle(5.0);
  EXPECT_TRUE(events().sessionNames().empty());
  EXPECT_EQ(box().connectionsAccepted(), 0);
}

TEST_F(WexSwiperControllerTest, AStartDuringARequestIsRefusedAsNotIdle) {
  ASSERT_NO_FATAL_FAILURE(armCardRead());
  wex().startCSwiper();
  ASSERT_EQ(events().count("onError"), 1u);
  EXPECT_EQ(events().last("onError")->text, "设备状态为非空闲状态");
  EXPECT_EQ(wex().getCSwiperState(), 2);
}

TEST_F(WexSwiperControllerTest, TheFirstCardReadOnANewLinkReadsTheKsnFirstOnTheSameLink) {
  ASSERT_NO_FATAL_FAILURE(h_.plugReader());
  wex().startCSwiper();
  ASSERT_TRUE(h_.swipe());
  ASSERT_TRUE(pump([&] { return ended(); }));
  EXPECT_EQ(box().commands(), (std::vector<uint8_t>{0x03, 0x0A}));
  EXPECT_EQ(box().connectionsAccepted(), 1);
  EXPECT_EQ(wex().ksn(), "123456789ABCDEF0");
  EXPECT_EQ(events().sessionNames(),
            (Names{"onWaitingForDevice", "onWaitingForCardSwipe", "onCardSwipeDetected", "onDecodingStart",
                   "onDecodeCompleted"}));

  // The KSN is known now: the next read asks for the card alone, on a new link.
  events().clear();
  wex().startCSwiper();
  ASSERT_TRUE(h_.swipe());
  ASSERT_TRUE(pump([&] { return ended(); }));
  EXPECT_EQ(box().commands(), (std::vector<uint8_t>{0x03, 0x0A, 0x0A}));
  EXPECT_EQ(box().connectionsAccepted(), 2);
}

TEST_F(WexSwiperControllerTest, ABoxThatComesBackHasItsKsnReadAgain) {
  ASSERT_NO_FATAL_FAILURE(h_.plugReader());
  ASSERT_NO_FATAL_FAILURE(learnKsn());
  box().setHeartbeating(false);
  ASSERT_TRUE(pump([&] { return !wex().isDevicePresent(); }));
  box().setKsn({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08});
  box().setHeartbeating(true);
  ASSERT_TRUE(pump([&] { return wex().isDevicePresent() && wex().isDeviceReady(); }, 10.0));
  EXPECT_EQ(wex().ksn(), "");
  events().clear();
  wex().startCSwiper();
  ASSERT_TRUE(h_.swipe());
  ASSERT_TRUE(pump([&] { return ended(); }));
  ASSERT_TRUE(events().has("onDecodeCompleted"));
  EXPECT_EQ(events().last("onDecodeCompleted")->card.ksn, "0102030405060708");
}

TEST_F(WexSwiperControllerTest, TheCardResultCarriesTheBoxsFields) {
  struct Case {
    std::string pan;
    std::string masked;
  };
  const Case cases[] = {
      {"6222021234567890123", "622202*********0123"},   // 19 digits: the padding is cut
      {"62220212345678901234", "622202**********1234"}, // 20 digits: no padding at all
      {"4111111111111111", "411111******1111"},
      {"1234567890", "1234567890"},                     // too short to hide anything
  };
  ASSERT_NO_FATAL_FAILURE(h_.plugReader());
  ASSERT_NO_FATAL_FAILURE(learnKsn());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pan);
    events().clear();
    standin::WifiBoxCard card = standin::WifiBoxCard::testCard();
    card.pan = c.pan;
    card.expiry = "2806";
    card.track1Length = 76;
    card.track2Length = 37;
    card.track3Length = 104;
    card.encryptedTracks = {0x00, 0x55, 0xAA, 0xFF, 0x0F, 0xA0};
    box().setNextRandom({0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x23, 0x45, 0x67});
    wex().startCSwiper();
    ASSERT_TRUE(pump([&] { return box().isArmed(); }));
    ASSERT_TRUE(box().swipe(card));
    ASSERT_TRUE(pump([&] { return ended(); }));
    const DriverEvent* result = events().last("onDecodeCompleted");
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->card.formatID, std::nullopt);
    EXPECT_EQ(result->card.ksn, "123456789ABCDEF0");
    EXPECT_EQ(result->card.encTracks, "0055AAFF0FA0");
    EXPECT_EQ(result->card.track1Length, 76);
    EXPECT_EQ(result->card.track2Length, 37);
    EXPECT_EQ(result->card.track3Length, 104);
    EXPECT_EQ(result->card.randomNumber, "DEADBEEF01234567");
    EXPECT_EQ(result->card.maskedPAN, c.masked);
    EXPECT_EQ(result->card.expiryDate, "2806");
    EXPECT_EQ(result->card.cardHolderName, std::nullopt);
    EXPECT_EQ(result->state, 3);  // the link closes after the result
    ASSERT_TRUE(pump([&] { return wex().getCSwiperState() == 0; }));
  }
}

TEST_F(WexSwiperControllerTest, TheLongestReplyIsReadWholeAndWhatFollowsItIsDropped) {
  ASSERT_NO_FATAL_FAILURE(h_.plugReader());
  ASSERT_NO_FATAL_FAILURE(learnKsn());
  box().setCardReply(Reply::OverLong);
  wex().startCSwiper();
  ASSERT_TRUE(h_.swipe());
  ASSERT_TRUE(pump([&] { return ended(); }));
  idle(2.0);
  const DriverEvent* result = events().last("onDecodeCompleted");
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(result->card.encTracks.size(), (253u - 25u) * 2);
  EXPECT_EQ(result->card.expiryDate, "2512");
  EXPECT_EQ(events().endEvents(), 1u);  // the stray "swipe failed" behind it is no reply
}

TEST_F(WexSwiperControllerTest, RepliesSplitAcrossReceptionsAreJoined) {
  ASSERT_NO_FATAL_FAILURE(h_.plugReader());
  box().setKsnReply(Reply::Silent);
  wex().getCSwiperKsn();
  ASSERT_TRUE(pump([&] { return box().commands().size() == 1; }));
  auto frame = SimulatedWifiBox::frame(0x03, 0x00, {0xAB, 0xCD});
  box().sendRaw({frame.begin(), frame.begin() + 3});
  idle(0.5);
  EXPECT_FALSE(ended());
  box().sendRaw({frame.begin() + 3, frame.end()});
  ASSERT_TRUE(pump([&] { return ended(); }));
  ASSERT_EQ(events().sessionNames(), Names{"onGetKsnCompleted"});
  EXPECT_EQ(events().last("onGetKsnCompleted")->text, "ABCD");
}

TEST_F(WexSwiperControllerTest, SixByteOutcomesEndTheCardRead) {
  ASSERT_NO_FATAL_FAILURE(h_.plugReader());
  ASSERT_NO_FATAL_FAILURE(learnKsn());

  box().setCardReply(Reply::SwipeFailed);
  wex().startCSwiper();
  ASSERT_TRUE(h_.swipe());
  ASSERT_TRUE(pump([&] { return ended(); }));
  ASSERT_EQ(events().sessionNames(), (Names{"onWaitingForDevice", "onWaitingForCardSwipe", "onCardSwipeDetected",
                                            "onDecodingStart", "onDecodeError"}));
  EXPECT_EQ(events().last("onDecodeError")->value, 0);
  ASSERT_TRUE(pump([&] { return wex().getCSwiperState() == 0; }));

  events().clear();
  wex().startCSwiper();
  ASSERT_TRUE(pump([&] { return box().isArmed(); }));
  ASSERT_TRUE(box().timeOut());
  ASSERT_TRUE(pump([&] { return ended(); }));
  EXPECT_EQ(events().sessionNames(), (Names{"onWaitingForDevice", "onWaitingForCardSwipe", "onTimeout"}));
  idle(35.0);  // the read timer was stopped with it
  EXPECT_EQ(events().endEvents(), 1u);
  EXPECT_EQ(wex().getCSwiperState(), 0);
}

TEST_F(WexSwiperControllerTest, ASwipeFailedOutcomeDuringAKsnReadIsNoCardEvent) {
  ASSERT_NO_FATAL_FAILURE(h_.plugReader());
  box().setNextReplyBytes(SimulatedWifiBox::frame(0x03, 0x03, {}));
  wex().getCSwiperKsn();
  ASSERT_TRUE(pump([&] { return ended(); }));
  ASSERT_EQ(events().sessionNames(), Names{"onError"});
  EXPECT_EQ(events().last("onError")->value, kReaderErrorKsn);
  EXPECT_EQ(events().last("onError")->text, "初始化设备超时");
}

// A reply counts only for the command the box was asked; a card reply during a serial-number
// read must never come out as a card result (it would carry no serial number), and a reply too
// short to be one is no reply at all. The request goes on and takes the right reply after it.
TEST_F(WexSwiperControllerTest, OnlyAReplyToTheOutstandingCommandIsTaken) {
  const Bytes ksnFrame = SimulatedWifiBox::frame(0x03, 0x00, {0x01, 0x02, 0x03, 0x04});
  const Bytes cardFrame = SimulatedWifiBox::frame(
      0x0A, 0x00, SimulatedWifiBox::cardData(standin::WifiBoxCard::testCard(), {1, 2, 3, 4, 5, 6, 7, 8}));
  const Bytes fourBytes{0x55, 0x00, 0x0F, 0x5A};                   // L = 0
  const Bytes fiveBytes{0x55, 0x01, 0x03, 0x0F, 0x03 ^ 0x01 ^ 0x5A};  // L = 1
  struct Case {
    const char* name;
    bool cardRead;
    Bytes stray;
  };
  const Case cases[] = {
      {"a card reply during a KSN read", false, cardFrame},
      {"a KSN reply during a card read", true, ksnFrame},
      {"4 bytes during a KSN read", false, fourBytes},
      {"5 bytes during a KSN read", false, fiveBytes},
      {"4 bytes during a card read", true, fourBytes},
      {"5 bytes during a card read", true, fiveBytes},
  };
  ASSERT_NO_FATAL_FAILURE(h_.plugReader());
  platform::log::Capture log;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Names waiting;
    if (c.cardRead) {
      box().setKsnReply(Reply::Normal);
      ASSERT_NO_FATAL_FAILURE(learnKsn());
      wex().startCSwiper();
      ASSERT_TRUE(pump([&] { return box().isArmed() && events().has("onWaitingForCardSwipe"); }));
      waiting = {"onWaitingForDevice", "onWaitingForCardSwipe"};
    } else {
      events().clear();
      box().setKsnReply(Reply::Silent);
      const size_t asked = box().commands().size();
      wex().getCSwiperKsn();
      ASSERT_TRUE(pump([&] { return box().commands().size() > asked; }));
    }
    log.clear();
    ASSERT_TRUE(box().sendRaw(c.stray));
    ASSERT_TRUE(pump([&] { return log.contains("ignored") || ended(); }, 1.0));
    EXPECT_EQ(events().sessionNames(), waiting);
    EXPECT_EQ(wex().getCSwiperState(), 2);

    if (c.cardRead) {
      ASSERT_TRUE(h_.swipe());
      ASSERT_TRUE(pump([&] { return ended(); }));
      ASSERT_TRUE(events().has("onDecodeCompleted"));
      EXPECT_EQ(events().last("onDecodeCompleted")->card.ksn, h_.expectedKsn());
    } else {
      ASSERT_TRUE(box().sendRaw(SimulatedWifiBox::frame(0x03, 0x00, box().config().ksn)));
      ASSERT_TRUE(pump([&] { return ended(); }));
      ASSERT_EQ(events().sessionNames(), Names{"onGetKsnCompleted"});
      EXPECT_EQ(events().last("onGetKsnCompleted")->text, h_.expectedKsn());
    }
    EXPECT_EQ(events().endEvents(), 1u);
    ASSERT_TRUE(pump([&] { return wex().getCSwiperState() == 0; }));
  }
}

TEST_F(WexSwiperControllerTest, BadRepliesEndTheRequestWithTheirErrors) {
  struct Case {
    Reply reply;
    int32_t decodeResult;  // during a card read; -1: onError instead
    int32_t ksnCode;       // during a KSN read
    std::string ksnMessage;
  };
  const Case cases[] = {
      {Reply::Malformed, 2, -3, "刷卡器返回数据无效"},
      {Reply::LengthOne, 2, -3, "刷卡器返回数据无效"},
      {Reply::CheckFailed, 1, -3, "刷卡器返回数据错误，校验失败"},
      {Reply::BadEndByte, 1, -3, "刷卡器返回数据错误，校验失败"},
      {Reply::Unknown, -1, -1, "刷卡器返回数据无法识别"},
      {Reply::ShortCardData, 2, 0, ""},  // a short KSN is still a KSN
  };
  ASSERT_NO_FATAL_FAILURE(h_.plugReader());
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.reply));
    // The card read.
    box().setKsnReply(Reply::Normal);
    box().setCardReply(c.reply);
    ASSERT_NO_FATAL_FAILURE(learnKsn());
    wex().startCSwiper();
    ASSERT_TRUE(h_.swipe());
    ASSERT_TRUE(pump([&] { return ended(); }));
    if (c.decodeResult >= 0) {
      ASSERT_EQ(events().sessionNames(), (Names{"onWaitingForDevice", "onWaitingForCardSwipe", "onCardSwipeDetected",
                                                "onDecodingStart", "onDecodeError"}));
      EXPECT_EQ(events().last("onDecodeError")->value, c.decodeResult);
    } else {
      ASSERT_EQ(events().sessionNames().back(), "onError");
      EXPECT_EQ(events().last("onError")->value, kReaderErrorLink);
      EXPECT_EQ(events().last("onError")->text, c.ksnMessage);
    }
    EXPECT_EQ(wex().getCSwiperState(), 0);
    idle(35.0);
    EXPECT_EQ(events().endEvents(), 1u);

    // The KSN read.
    if (c.ksnCode == 0) continue;
    events().clear();
    box().setKsnReply(c.reply);
    wex().getCSwiperKsn();
    ASSERT_TRUE(pump([&] { return ended(); }));
    ASSERT_EQ(events().sessionNames(), Names{"onError"});
    EXPECT_EQ(events().last("onError")->value, c.ksnCode);
    EXPECT_EQ(events().last("onError")->text, c.ksnMessage);
    idle(6.0);  // no "初始化设备超时" afterwards
    EXPECT_EQ(events().endEvents(), 1u);
    EXPECT_EQ(wex().getCSwiperState(), 0);
    events().clear();
  }
}

TEST_F(WexSwiperControllerTest, ASilentBoxTimesTheKsnReadOut) {
  ASSERT_NO_FATAL_FAILURE(h_.plugReader());
  box().setKsnReply(Reply::Silent);
  wex().getCSwiperKsn();
  idle(4.9);
  EXPECT_FALSE(ended());
  ASSERT_TRUE(pump([&] { return ended(); }, 0.5));
  ASSERT_EQ(events().sessionNames(), Names{"onError"});
  EXPECT_EQ(events().last("onError")->value, kReaderErrorKsn);
  EXPECT_EQ(events().last("onError")->text, "初始化设备超时");
  EXPECT_EQ(wex().getCSwiperState(), 0);
  EXPECT_FALSE(box().isLinked() && wex().getCSwiperState() != 0);
}

TEST_F(WexSwiperControllerTest, ALostLinkEndsTheRequestWithoutALateTimeOut) {
  for (bool cardRead : {false, true}) {
    SCOPED_TRACE(cardRead ? "card read" : "KSN read");
    if (cardRead) {
      box().setKsnReply(Reply::Normal);
      ASSERT_NO_FATAL_FAILURE(armCardRead());
      box().dropLink();
    } else {
      ASSERT_NO_FATAL_FAILURE(h_.plugReader());
      box().setKsnReply(Reply::DropLink);
      wex().getCSwiperKsn();
    }
    ASSERT_TRUE(pump([&] { return ended(); }));
    ASSERT_EQ(events().sessionNames().back(), "onError");
    EXPECT_EQ(events().last("onError")->value, kReaderErrorLink);
    EXPECT_EQ(events().last("onError")->text, "socket连接意外中断：Socket closed by remote peer");
    ASSERT_TRUE(pump([&] { return wex().getCSwiperState() == 0; }, 0.1));
    idle(35.0);  // neither the command timer nor the read timer is left
    EXPECT_EQ(events().endEvents(), 1u);
    EXPECT_TRUE(wex().isDevicePresent());
    events().clear();
  }
}

TEST_F(WexSwiperControllerTest, ARefusedConnectionIsALinkError) {
  ASSERT_NO_FATAL_FAILURE(h_.plugReader());
  const RefusingPort refusing;
  ASSERT_NE(refusing.port(), 0);
  platform::net::NetConfig::current().commandPort = refusing.port();
  wex().startCSwiper();
  ASSERT_TRUE(pump([&] { return ended(); }));
  ASSERT_EQ(events().sessionNames(), (Names{"onWaitingForDevice", "onError"}));
  EXPECT_EQ(events().last("onError")->text, "socket连接意外中断：Connection refused");
  idle(35.0);
  EXPECT_EQ(events().endEvents(), 1u);
  EXPECT_EQ(wex().getCSwiperState(), 0);
}

TEST_F(WexSwiperControllerTest, ALinkThatCannotStartEndsTheRequestAndLeavesItIdle) {
  // The link engine reports a connection that could not even start (no socket to be had): the
  // request ends at once, and neither its read timer nor its command timer is left behind.
  ASSERT_NO_FATAL_FAILURE(armCardRead());
  wex().engineCallbackError("Too many open files");
  ASSERT_EQ(events().sessionNames(), (Names{"onWaitingForDevice", "onWaitingForCardSwipe", "onError"}));
  EXPECT_EQ(events().last("onError")->value, kReaderErrorLink);
  EXPECT_EQ(events().last("onError")->text, "Too many open files");
  EXPECT_EQ(wex().getCSwiperState(), 0);
  idle(35.0);
  EXPECT_EQ(events().endEvents(), 1u);
}

TEST_F(WexSwiperControllerTest, WithoutAGatewayNoDatagramIsAHeartbeat) {
  platform::net::NetConfig::current().fakeGateway = "";
  wex();
  ASSERT_TRUE(box().start().isOk());
  idle(3.0);
  EXPECT_GT(box().heartbeatsSent(), 1);
  EXPECT_FALSE(wex().isDevicePresent());
  EXPECT_TRUE(events().events.empty());
}

TEST_F(WexSwiperControllerTest, ASilentBoxInterruptsTheSessionAndIsUnplugged) {
  ASSERT_NO_FATAL_FAILURE(armCardRead());
  box().setHeartbeating(false);
  ASSERT_TRUE(pump([&] { return events().has("onDeviceUnplugged"); }, 6.0));
  ASSERT_EQ(events().names(), (Names{"onWaitingForDevice", "onWaitingForCardSwipe", "onError", "onInterrupted",
                                     "onDeviceUnplugged"}));
  EXPECT_EQ(events().last("onError")->value, kReaderErrorLink);
  EXPECT_EQ(events().last("onError")->text, "接收UDP消息失败，UDP连接已断开");
  EXPECT_EQ(wex().getCSwiperState(), 0);
  EXPECT_FALSE(wex().isDevicePresent());

  // While it stays silent the phone keeps looking for it without a word.
  idle(30.0);
  EXPECT_EQ(events().count("onError"), 1u);
  box().setHeartbeating(true);
  ASSERT_TRUE(pump([&] { return wex().isDevicePresent(); }, 6.0));
  EXPECT_EQ(events().names().back(), "onDevicePlugged");
  EXPECT_FALSE(box().isLinked());
}

TEST_F(WexSwiperControllerTest, HeartbeatsThatStopWhileOtherDatagramsGoOnUnplugAfterFourAndAHalfSeconds) {
  ASSERT_NO_FATAL_FAILURE(armCardRead());
  box().setHeartbeating(false);
  // Other datagrams keep the phone's receive alive, so only the heartbeat watch can notice.
  platform::net::UdpSocket chatter;
  ASSERT_TRUE(chatter.bind("127.0.0.1", 0).isOk());
  auto port = platform::net::NetConfig::current().heartbeatPort;
  platform::RunLoop::main().every(platform::secs(0.5), [&] { (void)chatter.sendTo("HELLO", "127.0.0.2", port); }, &chatter);
  idle(3.5);
  EXPECT_TRUE(wex().isDevicePresent());
  ASSERT_TRUE(pump([&] { return events().has("onDeviceUnplugged"); }, 1.5));
  EXPECT_EQ(events().names(), (Names{"onWaitingForDevice", "onWaitingForCardSwipe", "onInterrupted", "onDeviceUnplugged"}));
  EXPECT_EQ(wex().getCSwiperState(), 0);  // the session ended with the box
  platform::RunLoop::main().cancelAllFor(&chatter);
  idle(35.0);
  EXPECT_FALSE(events().has("onTimeout"));  // the read timer went with the session
}

TEST_F(WexSwiperControllerTest, AReceiveErrorDisconnectsAndListeningResumes) {
  ASSERT_NO_FATAL_FAILURE(h_.plugReader());
  events().clear();
  platform::net::UdpSocket::failReceiveForTesting(platform::net::NetConfig::current().heartbeatPort, EIO);
  ASSERT_TRUE(pump([&] { return events().has("onDeviceUnplugged"); }, 1.0));
  EXPECT_EQ(events().names(), (Names{"onError", "onInterrupted", "onDeviceUnplugged"}));
  ASSERT_TRUE(pump([&] { return wex().isDevicePresent(); }, 6.0));
}

TEST_F(WexSwiperControllerTest, NoDeviceChangeNoticesWhenDetectionIsOff) {
  wex().setDetectDeviceChange(false);
  ASSERT_NO_FATAL_FAILURE(h_.plugReader());
  box().setHeartbeating(false);
  ASSERT_TRUE(pump([&] { return !wex().isDevicePresent(); }, 6.0));
  EXPECT_FALSE(events().has("onDevicePlugged"));
  EXPECT_FALSE(events().has("onDeviceUnplugged"));
  EXPECT_TRUE(events().has("onInterrupted"));
}

TEST_F(WexSwiperControllerTest, OnlyTheGatewaysHeartbeatsCount) {
  wex();
  struct Source {
    std::string address;
    std::string text;
  };
  // The phone's own datagrams (its broadcasts come back to it), strangers, and other texts.
  const Source ignored[] = {
      {"127.0.0.2", "NVX_IDT_TAVi-0"},
      {"127.0.0.3", "NVX_IDT_TAVi-0"},
      {"127.0.0.12", "NVX_IDT_TAVi-0"},  // its address text begins with the gateway's
      {"127.0.0.1", "HELLO"},
      {"127.0.0.1", std::string("NVX_IDT_TAVi-0\xff", 15)},
  };
  auto port = platform::net::NetConfig::current().heartbeatPort;
  for (const Source& s : ignored) {
    platform::net::UdpSocket sender;
    ASSERT_TRUE(sender.bind(s.address, 0).isOk());
    ASSERT_TRUE(sender.sendTo(s.text, "127.0.0.2", port).isOk());
  }
  idle(1.0);
  EXPECT_FALSE(wex().isDevicePresent());

  platform::net::UdpSocket box;
  ASSERT_TRUE(box.bind("127.0.0.1", 0).isOk());
  ASSERT_TRUE(box.sendTo("xNVX_IDT_TAVi-7", "127.0.0.2", port).isOk());
  ASSERT_TRUE(pump([&] { return wex().isDevicePresent(); }, 1.0));
  EXPECT_FALSE(wex().isDeviceReady());  // any text but exactly "NVX_IDT_TAVi-0" is busy
}

TEST_F(WexSwiperControllerTest, ThePhoneSendsItsHeartbeatOnlyWhileTheLinkIsUp) {
  ASSERT_NO_FATAL_FAILURE(h_.plugReader());
  idle(3.0);
  EXPECT_EQ(box().phoneHeartbeats(), 0);
  ASSERT_NO_FATAL_FAILURE(armCardRead());
  idle(4.0);
  int during = box().phoneHeartbeats();
  EXPECT_GE(during, 4);
  wex().stopCSwiper();
  idle(4.0);
  EXPECT_EQ(box().phoneHeartbeats(), during);
}

TEST_F(WexSwiperControllerTest, ASwipeTimeOutBelowThreeSecondsBecomesThirty) {
  wex().setSwipeTimeout(1.0);
  ASSERT_NO_FATAL_FAILURE(armCardRead());
  idle(29.0);
  EXPECT_FALSE(ended());
  ASSERT_TRUE(pump([&] { return ended(); }, 2.0));
  EXPECT_EQ(events().sessionNames().back(), "onTimeout");
  EXPECT_DOUBLE_EQ(wex().swipeTimeout(), 30.0);
}

TEST_F(WexSwiperControllerTest, ADeletedDriverIsSilentAndTheNextOneIsNew) {
  ASSERT_NO_FATAL_FAILURE(armCardRead());
  auto old = h_.wex();
  old->deleteCSwiper();
  EXPECT_EQ(old->getCSwiperState(), 0);
  box().setHeartbeating(false);
  idle(10.0);
  EXPECT_EQ(events().sessionNames(), (Names{"onWaitingForDevice", "onWaitingForCardSwipe"}));
  auto fresh = WexSwiperController::sharedInstance();
  EXPECT_NE(fresh, old);
  EXPECT_FALSE(fresh->isDevicePresent());
}

}  // namespace
}  // namespace nvx::reader::testing
