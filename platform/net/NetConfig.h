// Network settings of the reader links and small types shared by the sockets.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace platform::net {

// A failure of a socket operation: the system's error number (0 when none applies) and the text
// that the link code shows ("Connection refused", "Socket closed by remote peer", ...).
struct NetError {
  int code = 0;
  std::string description;
};

// The NetError of a system error number, with the system's text for it.
NetError systemError(int errnoValue);

// The interface facts NetworkInfo answers ("IP", "NETMASK", "BROADCAST", "INTERFACE").
using InterfaceInfo = std::map<std::string, std::string>;

// Settings of the local-network reader links: one per process (a fresh default set after every
// test reset). Tests choose free ports and the loopback network so that parallel runs never meet.
struct NetConfig {
  // Presence datagrams of the Wi-Fi reader box.
  uint16_t presencePort = 9890;
  // Heartbeat exchange between the phone and the box (the same port on both sides).
  uint16_t heartbeatPort = 9889;
  // The box's command port (TCP, on the gateway).
  uint16_t commandPort = 9888;
  // The local address the phone's UDP sockets bind to ("0.0.0.0": every local address).
  std::string listenAddress = "0.0.0.0";
  // The name of the Wi-Fi interface whose address and netmask NetworkInfo reads (the phone's
  // "en0"): NVX_WIFI_IF from the environment, else "lo". The one place this name is kept.
  std::string wifiInterface;
  // The kernel's IPv4 routing table.
  std::string routeTablePath = "/proc/net/route";
  // When set, NetworkInfo answers these instead of asking the system (tests and the simulator).
  std::optional<InterfaceInfo> fakeInterface;
  std::optional<std::string> fakeGateway;

  NetConfig();
  static NetConfig& current();

  // The loopback stand-in network: the phone is 127.0.0.2 (its UDP sockets bind there), the
  // gateway, where the simulated reader box listens, is 127.0.0.1.
  void useLoopbackNetwork();

  static constexpr std::string_view kLoopbackPhone = "127.0.0.2";
  static constexpr std::string_view kLoopbackGateway = "127.0.0.1";
};

}  // namespace platform::net
