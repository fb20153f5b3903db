#include "reader/TaviDetector.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/net/NetConfig.h"
#include "platform/net/testing/HeldPorts.h"
#include "reader/wifi/WexTestHarness.h"

namespace nvx::reader {
namespace {

using testing::pumpUntil;

class Listener : public TaviListener {
 public:
  std::vector<std::string> events;
  void onTaviConnected() override { events.push_back("connected"); }
  void onTaviDisConnected() override { events.push_back("disconnected"); }
};

class TaviDetectorTest : public ::testing::Test {
 protected:
  TaviDetectorTest() {
    EXPECT_TRUE(readerPorts_.isHeld());
    EXPECT_TRUE(box_.bind("127.0.0.1", 0).isOk());
  }

  TaviDetector& detector() { return TaviDetector::sharedDetector(); }

  // n datagrams of any content, then until the detector has counted them all.
  void send(int n) {
    uint8_t before = detector().detectCount();
    for (int i = 0; i < n; ++i)
      ASSERT_TRUE(box_.sendTo("x", "127.0.0.2", platform::net::NetConfig::current().presencePort).isOk());
    auto expected = static_cast<uint8_t>(before + n);
    ASSERT_TRUE(platform::RunLoop::main().drainIoUntil([&] { return detector().detectCount() == expected; },
                                                       std::chrono::milliseconds(2000)))
        << n;
  }
  void idle(double seconds) { pumpUntil([] { return false; }, seconds); }

  // The box's ports, held for the test and published.
  platform::net::testing::HeldReaderPorts readerPorts_;
  std::shared_ptr<Listener> listener_ = std::make_shared<Listener>();
  platform::net::UdpSocket box_;
};

TEST_F(TaviDetectorTest, TheFirstDatagramConnectsAndAFloodConnectsOnce) {
  detector().startListen(listener_);
  EXPECT_FALSE(detector().isTaviConnected());
  send(1);
  EXPECT_TRUE(detector().isTaviConnected());
  EXPECT_EQ(listener_->events, std::vector<std::string>{"connected"});
  send(40);
  EXPECT_EQ(listener_->events, std::vector<std::string>{"connected"});
}

TEST_F(TaviDetectorTest, ASilentWatchdogPeriodDisconnectsExactlyOnce) {
  detector().startListen(listener_);
  // Datagrams every second keep it connected.
  for (int i = 0; i < 6; ++i) {
    send(1);
    idle(1.0);
  }
  EXPECT_EQ(listener_->events, std::vector<std::string>{"connected"});
  // Gone between 2.5 and 5 s after the last datagram, and only once.
  idle(2.4);
  EXPECT_TRUE(detector().isTaviConnected());
  idle(2.6);
  EXPECT_FALSE(detector().isTaviConnected());
  idle(20.0);
  EXPECT_EQ(listener_->events, (std::vector<std::string>{"connected", "disconnected"}));
}

TEST_F(TaviDetectorTest, AMultipleOf256DatagramsBetweenTicksCountsAsSilence) {
  detector().startListen(listener_);
  send(1);
  idle(2.5);  // tick: the count moved
  ASSERT_TRUE(detector().isTaviConnected());
  send(256);
  idle(2.5);  // tick: the count is back where it was
  EXPECT_FALSE(detector().isTaviConnected());
  EXPECT_EQ(listener_->events, (std::vector<std::string>{"connected", "disconnected"}));
  send(255);
  idle(2.5);
  EXPECT_TRUE(detector().isTaviConnected());
}

TEST_F(TaviDetectorTest, AReceiveErrorDisconnectsAndListeningResumesOnAFreshSocket) {
  detector().startListen(listener_);
  send(1);
  platform::net::UdpSocket::failReceiveForTesting(platform::net::NetConfig::current().presencePort, EIO);
  ASSERT_TRUE(platform::RunLoop::main().drainIoUntil([&] { return !detector().isTaviConnected(); },
                                                     std::chrono::milliseconds(2000)));
  EXPECT_EQ(listener_->events, (std::vector<std::string>{"connected", "disconnected"}));
  send(1);
  EXPECT_TRUE(detector().isTaviConnected());
  EXPECT_EQ(listener_->events, (std::vector<std::string>{"connected", "disconnected", "connected"}));
}

TEST_F(TaviDetectorTest, StopListenIsSilentAndClosesThePort) {
  detector().startListen(listener_);
  send(3);
  detector().stopListen();
  EXPECT_FALSE(detector().isTaviConnected());
  EXPECT_EQ(detector().detectCount(), 1);
  ASSERT_TRUE(box_.sendTo("x", "127.0.0.2", platform::net::NetConfig::current().presencePort).isOk());
  idle(10.0);
  EXPECT_EQ(listener_->events, std::vector<std::string>{"connected"});
  EXPECT_EQ(detector().detectCount(), 1);
}

TEST_F(TaviDetectorTest, AListenerGoneMeanwhileHearsNothing) {
  detector().startListen(listener_);
  listener_.reset();
  send(1);
  EXPECT_TRUE(detector().isTaviConnected());
  idle(6.0);
  EXPECT_FALSE(detector().isTaviConnected());
}

TEST_F(TaviDetectorTest, TheSimulatedBoxIsFoundAndLost) {
  // The box's own ports, published before the detector binds.
  standin::SimulatedWifiBox box(standin::SimulatedWifiBox::onFreePorts());
  ASSERT_TRUE(box.bindPorts().isOk());
  detector().startListen(listener_);
  ASSERT_TRUE(box.start().isOk());
  ASSERT_TRUE(pumpUntil([&] { return detector().isTaviConnected(); }, 1.0));
  idle(20.0);
  box.stop();
  idle(5.0);
  EXPECT_EQ(listener_->events, (std::vector<std::string>{"connected", "disconnected"}));
}

}  // namespace
}  // namespace nvx::reader
