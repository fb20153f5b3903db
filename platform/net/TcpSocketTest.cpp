#include "platform/net/TcpSocket.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/foundation/RunLoop.h"
#include "platform/net/testing/HeldPorts.h"

namespace platform::net {
namespace {

constexpr auto kIo = std::chrono::milliseconds(2000);

// A listening socket that keeps every connection and what it receives.
struct Server {
  TcpSocket listener;
  std::vector<std::unique_ptr<TcpSocket>> links;
  std::string received;
  Server() {
    EXPECT_TRUE(listener.listen("127.0.0.1", 0, [this](std::unique_ptr<TcpSocket> link) {
      link->setDataHandler([this](const std::string& bytes) { received += bytes; });
      links.push_back(std::move(link));
    }).isOk());
  }
  uint16_t port() const { return listener.localPort(); }
};

struct Client {
  TcpSocket socket;
  int connects = 0;
  std::string received;
  std::vector<long> written;
  std::vector<std::optional<NetError>> disconnects;
  Client() {
    socket.setConnectHandler([this] { ++connects; });
    socket.setDataHandler([this](const std::string& bytes) { received += bytes; });
    socket.setWriteHandler([this](long tag) { written.push_back(tag); });
    socket.setDisconnectHandler([this](const std::optional<NetError>& e) { disconnects.push_back(e); });
  }
};

TEST(TcpSocketTest, ConnectWriteAndReadBothWays) {
  Server server;
  Client client;
  ASSERT_TRUE(client.socket.connect("127.0.0.1", server.port(), secs(10)).isOk());
  EXPECT_EQ(client.connects, 0);  // reported by the loop, never inside connect()
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return client.connects == 1 && server.links.size() == 1; }, kIo));
  EXPECT_TRUE(client.socket.isConnected());

  client.socket.write("\xAA\x02\x03", 1);
  client.socket.write(std::string("\x00\x0F\xA4", 3), 2);
  EXPECT_TRUE(client.written.empty());  // completions come on a later pass
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return server.received.size() == 6 && client.written.size() == 2; }, kIo));
  EXPECT_EQ(server.received, std::string("\xAA\x02\x03\x00\x0F\xA4", 6));
  EXPECT_EQ(client.written, (std::vector<long>{1, 2}));

  server.links[0]->write("reply", 0);
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return client.received == "reply"; }, kIo));
}

TEST(TcpSocketTest, ALargeWriteArrivesWhole) {
  Server server;
  Client client;
  ASSERT_TRUE(client.socket.connect("127.0.0.1", server.port(), secs(10)).isOk());
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return client.connects == 1; }, kIo));
  std::string big(4 << 20, 'x');
  for (size_t i = 0; i < big.size(); i += 4096) big[i] = static_cast<char>(i / 4096);
  client.socket.write(big, 7);
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return server.received.size() == big.size(); }, std::chrono::milliseconds(10000)));
  EXPECT_EQ(server.received, big);
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return client.written.size() == 1; }, kIo));
}

TEST(TcpSocketTest, ARefusedConnectionIsReportedAsADisconnectWithItsError) {
  Client client;
  const testing::HeldPort refusing;  // bound for the test, never listening
  ASSERT_TRUE(client.socket.connect("127.0.0.1", refusing.port(), secs(10)).isOk());
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return !client.disconnects.empty(); }, kIo));
  ASSERT_TRUE(client.disconnects[0].has_value());
  EXPECT_EQ(client.disconnects[0]->code, ECONNREFUSED);
  EXPECT_EQ(client.disconnects[0]->description, "Connection refused");
  EXPECT_EQ(client.connects, 0);
  RunLoop::main().advance(20.0);
  EXPECT_EQ(client.disconnects.size(), 1u);  // the connect timer went with it
}

TEST(TcpSocketTest, AConnectThatNobodyAnswersTimesOut) {
  // A listener with a full backlog that never accepts: further handshakes are not answered.
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(::listen(fd, 0), 0);
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  uint16_t port = ntohs(addr.sin_port);
  std::vector<std::unique_ptr<Client>> fillers;
  Client client;
  for (int i = 0; i < 4; ++i) {
    fillers.push_back(std::make_unique<Client>());
    ASSERT_TRUE(fillers.back()->socket.connect("127.0.0.1", port, Duration::zero()).isOk());
  }
  RunLoop::main().drainIo(std::chrono::milliseconds(100));
  ASSERT_TRUE(client.socket.connect("127.0.0.1", port, secs(10)).isOk());
  RunLoop::main().drainIo(std::chrono::milliseconds(100));
  if (client.connects) {
    ::close(fd);
    GTEST_SKIP() << "the system answered a handshake beyond the backlog";
  }
  RunLoop::main().advance(9.9);
  EXPECT_TRUE(client.disconnects.empty());
  RunLoop::main().advance(0.1);
  ASSERT_EQ(client.disconnects.size(), 1u);
  ASSERT_TRUE(client.disconnects[0].has_value());
  EXPECT_EQ(client.disconnects[0]->code, ETIMEDOUT);
  EXPECT_FALSE(client.socket.isConnecting());
  ::close(fd);
}

TEST(TcpSocketTest, ThePeerClosingIsAnErrorClosingItHereIsSilent) {
  Server server;
  Client client;
  ASSERT_TRUE(client.socket.connect("127.0.0.1", server.port(), secs(10)).isOk());
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return client.connects == 1 && server.links.size() == 1; }, kIo));
  server.links[0]->write("last words", 0);
  RunLoop::main().drainIo(std::chrono::milliseconds(50));
  server.links[0]->disconnect();
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return !client.disconnects.empty(); }, kIo));
  EXPECT_EQ(client.received, "last words");  // what came before the close is delivered first
  ASSERT_TRUE(client.disconnects[0].has_value());
  EXPECT_EQ(client.disconnects[0]->description, "Socket closed by remote peer");
  EXPECT_FALSE(client.socket.isConnected());

  Client second;
  ASSERT_TRUE(second.socket.connect("127.0.0.1", server.port(), secs(10)).isOk());
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return second.connects == 1; }, kIo));
  second.socket.write("dropped?", 3);
  second.socket.disconnect();
  RunLoop::main().drainIo(std::chrono::milliseconds(100));
  RunLoop::main().advance(20.0);
  EXPECT_TRUE(second.disconnects.empty());
  EXPECT_TRUE(second.written.empty());  // no completion after the close either
}

TEST(TcpSocketTest, ConnectCannotStartTwiceOrWithoutAnAddress) {
  Server server;
  Client client;
  EXPECT_FALSE(client.socket.connect("gateway", server.port(), secs(10)).isOk());
  ASSERT_TRUE(client.socket.connect("127.0.0.1", server.port(), secs(10)).isOk());
  EXPECT_FALSE(client.socket.connect("127.0.0.1", server.port(), secs(10)).isOk());
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return client.connects == 1; }, kIo));
  EXPECT_FALSE(client.socket.connect("127.0.0.1", server.port(), secs(10)).isOk());
  TcpSocket second;
  EXPECT_FALSE(second.listen("127.0.0.1", server.port(), nullptr).isOk());
}

TEST(TcpSocketTest, AHandlerMayDestroyItsSocket) {
  Server server;
  auto client = std::make_unique<TcpSocket>();
  int calls = 0;
  client->setDataHandler([&](const std::string&) {
    ++calls;
    client.reset();
  });
  ASSERT_TRUE(client->connect("127.0.0.1", server.port(), secs(10)).isOk());
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return server.links.size() == 1; }, kIo));
  server.links[0]->write("one", 0);
  server.links[0]->disconnect();
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return calls == 1; }, kIo));
  RunLoop::main().drainIo(std::chrono::milliseconds(50));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(client, nullptr);
}

}  // namespace
}  // namespace platform::net
