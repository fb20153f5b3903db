#include "platform/net/UdpSocket.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/foundation/RunLoop.h"

namespace platform::net {
namespace {

constexpr auto kIo = std::chrono::milliseconds(2000);

struct Inbox {
  std::vector<Datagram> datagrams;
  std::vector<NetError> errors;
};

// A socket bound on loopback that records what it gets; `take` is the handler's answer.
std::unique_ptr<UdpSocket> receiver(Inbox& inbox, bool take, const char* address = "127.0.0.2") {
  auto socket = std::make_unique<UdpSocket>();
  EXPECT_TRUE(socket->bind(address, 0).isOk());
  socket->setReceiveHandler([&inbox, take](const Datagram& d) {
    inbox.datagrams.push_back(d);
    return take;
  });
  socket->setReceiveErrorHandler([&inbox](const NetError& e) { inbox.errors.push_back(e); });
  return socket;
}

TEST(UdpSocketTest, DatagramsArriveOnTheLoopWithTheirSender) {
  Inbox inbox;
  auto socket = receiver(inbox, false);
  ASSERT_TRUE(socket->receive().isOk());
  UdpSocket sender;
  ASSERT_TRUE(sender.bind("127.0.0.1", 0).isOk());
  ASSERT_TRUE(sender.sendTo("hello", "127.0.0.2", socket->localPort()).isOk());
  EXPECT_TRUE(inbox.datagrams.empty());  // only the run loop delivers
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return inbox.datagrams.size() == 1; }, kIo));
  EXPECT_EQ(inbox.datagrams[0].data, "hello");
  EXPECT_EQ(inbox.datagrams[0].host, "127.0.0.1");
  EXPECT_EQ(inbox.datagrams[0].port, sender.localPort());
}

TEST(UdpSocketTest, ADeclinedDatagramKeepsTheReceiveGoingATakenOneEndsIt) {
  for (bool take : {false, true}) {
    Inbox inbox;
    auto socket = receiver(inbox, take);
    ASSERT_TRUE(socket->receive().isOk());
    UdpSocket sender;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(sender.sendTo(std::to_string(i), "127.0.0.2", socket->localPort()).isOk());
    RunLoop::main().drainIoUntil([&] { return inbox.datagrams.size() == 3; }, std::chrono::milliseconds(take ? 100 : 2000));
    EXPECT_EQ(inbox.datagrams.size(), take ? 1u : 3u) << take;
    EXPECT_EQ(socket->isReceiving(), !take);
    if (take) {
      // The others wait in the socket for the next receive.
      ASSERT_TRUE(socket->receive().isOk());
      ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return inbox.datagrams.size() == 2; }, kIo));
      EXPECT_EQ(inbox.datagrams[1].data, "1");
    }
  }
}

TEST(UdpSocketTest, AReceiveTimesOutOnTheVirtualClockOnce) {
  Inbox inbox;
  auto socket = receiver(inbox, true);
  ASSERT_TRUE(socket->receive(secs(3.2)).isOk());
  RunLoop::main().advance(3.1);
  EXPECT_TRUE(inbox.errors.empty());
  RunLoop::main().advance(0.1);
  ASSERT_EQ(inbox.errors.size(), 1u);
  EXPECT_EQ(inbox.errors[0].code, ETIMEDOUT);
  EXPECT_FALSE(socket->isReceiving());
  RunLoop::main().advance(10.0);
  EXPECT_EQ(inbox.errors.size(), 1u);

  // A datagram taken before the time-out ends that receive: no time-out follows.
  ASSERT_TRUE(socket->receive(secs(3.2)).isOk());
  UdpSocket sender;
  ASSERT_TRUE(sender.sendTo("x", "127.0.0.2", socket->localPort()).isOk());
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return inbox.datagrams.size() == 1; }, kIo));
  RunLoop::main().advance(10.0);
  EXPECT_EQ(inbox.errors.size(), 1u);
}

TEST(UdpSocketTest, ANewReceiveFromTheHandlerReplacesTheOneThatTookTheDatagram) {
  Inbox inbox;
  auto socket = std::make_unique<UdpSocket>();
  ASSERT_TRUE(socket->bind("127.0.0.2", 0).isOk());
  socket->setReceiveHandler([&](const Datagram& d) {
    inbox.datagrams.push_back(d);
    EXPECT_TRUE(socket->receive(secs(3.2)).isOk());
    return true;
  });
  socket->setReceiveErrorHandler([&](const NetError& e) { inbox.errors.push_back(e); });
  ASSERT_TRUE(socket->receive(secs(3.2)).isOk());
  UdpSocket sender;
  ASSERT_TRUE(sender.sendTo("a", "127.0.0.2", socket->localPort()).isOk());
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return inbox.datagrams.size() == 1; }, kIo));
  EXPECT_TRUE(socket->isReceiving());
  RunLoop::main().advance(3.0);
  ASSERT_TRUE(sender.sendTo("b", "127.0.0.2", socket->localPort()).isOk());
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return inbox.datagrams.size() == 2; }, kIo));
  RunLoop::main().advance(3.0);
  EXPECT_TRUE(inbox.errors.empty());  // each datagram started a fresh 3.2 s
  RunLoop::main().advance(0.3);
  EXPECT_EQ(inbox.errors.size(), 1u);
}

TEST(UdpSocketTest, BindFailuresAreReported) {
  UdpSocket first;
  ASSERT_TRUE(first.bind("127.0.0.2", 0).isOk());
  UdpSocket second;
  Status taken = second.bind("127.0.0.2", first.localPort());
  EXPECT_FALSE(taken.isOk());
  EXPECT_EQ(taken.message(), "Address already in use");
  EXPECT_FALSE(second.bind("no-address", 0).isOk());
  EXPECT_TRUE(second.bind("127.0.0.2", 0).isOk());  // a later try on a free port works
  EXPECT_FALSE(second.bind("127.0.0.2", 0).isOk());  // but only once
  UdpSocket unbound;
  EXPECT_FALSE(unbound.receive().isOk());
  EXPECT_FALSE(unbound.sendTo("x", "not an address", 1).isOk());
}

TEST(UdpSocketTest, AnInjectedReceiveErrorEndsTheReceive) {
  Inbox inbox;
  auto socket = receiver(inbox, false);
  ASSERT_TRUE(socket->receive().isOk());
  UdpSocket::failReceiveForTesting(socket->localPort(), EIO);
  RunLoop::main().runUntilIdle();
  ASSERT_EQ(inbox.errors.size(), 1u);
  EXPECT_EQ(inbox.errors[0].code, EIO);
  EXPECT_FALSE(socket->isReceiving());
}

TEST(UdpSocketTest, AHandlerMayCloseItsSocket) {
  Inbox inbox;
  auto socket = std::make_unique<UdpSocket>();
  ASSERT_TRUE(socket->bind("127.0.0.2", 0).isOk());
  uint16_t port = socket->localPort();
  socket->setReceiveHandler([&](const Datagram& d) {
    inbox.datagrams.push_back(d);
    socket.reset();
    return false;
  });
  ASSERT_TRUE(socket->receive().isOk());
  UdpSocket sender;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(sender.sendTo("x", "127.0.0.2", port).isOk());
  RunLoop::main().drainIo(std::chrono::milliseconds(200));
  RunLoop::main().drainIo(std::chrono::milliseconds(50));
  EXPECT_EQ(inbox.datagrams.size(), 1u);
  EXPECT_EQ(socket, nullptr);
}

TEST(UdpSocketTest, BroadcastCanBeEnabled) {
  UdpSocket socket;
  EXPECT_TRUE(socket.enableBroadcast(true).isOk());
  EXPECT_TRUE(socket.bind("0.0.0.0", 0).isOk());
  EXPECT_TRUE(socket.sendTo("x", "127.255.255.255", 9).isOk());
}

}  // namespace
}  // namespace platform::net
