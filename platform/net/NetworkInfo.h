// The phone's own IPv4 address on the Wi-Fi interface and the gateway of its network.
#pragma once
#include <string>
#include <string_view>

#include "platform/net/NetConfig.h"

namespace platform::net {

class NetworkInfo {
 public:
  // "IP", "NETMASK", "BROADCAST" and "INTERFACE" of the IPv4 address of the Wi-Fi interface
  // (NetConfig::wifiInterface); an empty map when the interface has none.
  static InterfaceInfo getNetworkInfo();
  // The gateway address as "%d.%d.%d.%d": the gateway of the last routing-table entry that goes
  // through a gateway; empty when there is none.
  static std::string getGateway();
  // The same, read from the text of a routing table in the kernel's /proc/net/route layout.
  static std::string gatewayFromRouteTable(std::string_view table);
};

}  // namespace platform::net
