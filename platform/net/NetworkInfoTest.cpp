#include "platform/net/NetworkInfo.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/net/TcpSocket.h"
#include "platform/net/UdpSocket.h"
#include "platform/net/testing/HeldPorts.h"

namespace platform::net {
namespace {

TEST(NetworkInfoTest, TheGatewayIsThatOfTheLastEntryThroughAGateway) {
  struct Case {
    const char* name;
    const char* table;
    const char* gateway;
  };
  const char* header = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
  const Case cases[] = {
      {"default route", "eth0\t00000000\t0101A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
                        "eth0\t0001A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n",
       "192.168.1.1"},
      {"the last one wins", "eth0\t00000000\t0101A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
                            "wlan0\t0000000A\t FE00000A\t0003\t0\t0\t600\t000000FF\t0\t0\t0\n"
                            "wlan0\t0000000A\tFE00000A\t0003\t0\t0\t600\t000000FF\t0\t0\t0\n",
       "10.0.0.254"},
      {"gateway flag missing", "eth0\t00000000\t0101A8C0\t0001\t0\t0\t100\t00000000\t0\t0\t0\n", ""},
      {"no routes", "", ""},
      {"garbage", "eth0\tzzzz\tyyyy\t0003\n\n\t\t\n", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NetworkInfo::gatewayFromRouteTable(std::string(header) + c.table), c.gateway) << c.name;
  }
}

TEST(NetworkInfoTest, TheGatewayIsReadFromTheConfiguredTable) {
  Path table = Sandbox::tmp() / "route";
  ASSERT_TRUE(fs::writeAtomic(table, "Iface\tDestination\tGateway\tFlags\n"
                                     "lo\t00000000\t0100007F\t0003\n"));
  NetConfig::current().routeTablePath = table.string();
  EXPECT_EQ(NetworkInfo::getGateway(), "127.0.0.1");
  NetConfig::current().routeTablePath = (Sandbox::tmp() / "missing").string();
  EXPECT_EQ(NetworkInfo::getGateway(), "");
}

TEST(NetworkInfoTest, TheInterfaceIsASetting) {
  NetConfig::current().wifiInterface = "lo";
  InterfaceInfo info = NetworkInfo::getNetworkInfo();
  EXPECT_EQ(info["IP"], "127.0.0.1");
  EXPECT_EQ(info["NETMASK"], "255.0.0.0");
  EXPECT_EQ(info["INTERFACE"], "lo");
  EXPECT_EQ(info.count("BROADCAST"), 1u);

  NetConfig::current().wifiInterface = "en0-not-here";
  EXPECT_TRUE(NetworkInfo::getNetworkInfo().empty());
}

TEST(NetworkInfoTest, TheLoopbackNetworkPutsThePhoneAndTheGatewayOnLoopback) {
  NetConfig::current().useLoopbackNetwork();
  InterfaceInfo info = NetworkInfo::getNetworkInfo();
  EXPECT_EQ(info["IP"], "127.0.0.2");
  EXPECT_EQ(info["NETMASK"], "255.0.0.0");
  EXPECT_EQ(info["BROADCAST"], "127.255.255.255");
  EXPECT_EQ(NetworkInfo::getGateway(), "127.0.0.1");
  EXPECT_EQ(NetConfig::current().listenAddress, "127.0.0.2");
}

TEST(NetworkInfoTest, SettingsStartFromTheDefaultsInEveryTest) {
  const NetConfig& config = NetConfig::current();
  EXPECT_EQ(config.presencePort, 9890);
  EXPECT_EQ(config.heartbeatPort, 9889);
  EXPECT_EQ(config.commandPort, 9888);
  EXPECT_EQ(config.listenAddress, "0.0.0.0");
  EXPECT_FALSE(config.fakeGateway.has_value());
}

// Ports held for a run with no box: published, distinct, nobody else is handed them while held,
// the phone still binds the datagram ones on its own address, and the command port refuses.
TEST(NetworkInfoTest, HeldReaderPortsArePublishedAndKeptFromOthers) {
  testing::HeldReaderPorts held;
  ASSERT_TRUE(held.isHeld());
  const auto& net = NetConfig::current();
  EXPECT_EQ(net.listenAddress, NetConfig::kLoopbackPhone);
  std::set<uint16_t> ports{net.presencePort, net.heartbeatPort, net.commandPort};
  EXPECT_EQ(ports.size(), 3u);

  for (uint16_t port : {net.presencePort, net.heartbeatPort}) {
    UdpSocket phone;
    EXPECT_TRUE(phone.bind(NetConfig::kLoopbackPhone, port).isOk()) << port;
    UdpSocket other;
    EXPECT_FALSE(other.bind(NetConfig::kLoopbackGateway, port).isOk()) << port;
  }
  TcpSocket other;
  EXPECT_FALSE(other.listen(NetConfig::kLoopbackGateway, net.commandPort, [](auto) {}).isOk());
  TcpSocket phone;
  std::optional<NetError> error;
  bool gone = false;
  phone.setDisconnectHandler([&](const std::optional<NetError>& e) {
    error = e;
    gone = true;
  });
  ASSERT_TRUE(phone.connect(NetConfig::kLoopbackGateway, net.commandPort, secs(10)).isOk());
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return gone; }, std::chrono::seconds(5)));
  ASSERT_TRUE(error);
  EXPECT_EQ(error->code, ECONNREFUSED);
}

}  // namespace
}  // namespace platform::net
