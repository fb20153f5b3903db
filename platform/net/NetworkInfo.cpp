#include "platform/net/NetworkInfo.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <net/route.h>
#include <netinet/in.h>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace platform::net {

namespace {

std::string dotted(const sockaddr* address) {
  if (!address || address->sa_family != AF_INET) return std::string();
  char text[INET_ADDRSTRLEN] = {0};
  ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
  return text;
}

bool hex(const std::string& text, uint32_t& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

InterfaceInfo NetworkInfo::getNetworkInfo() {
  const NetConfig& config = NetConfig::current();
  if (config.fakeInterface) return *config.fakeInterface;
  InterfaceInfo info;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return info;
  for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET) continue;
    if (config.wifiInterface != entry->ifa_name) continue;
    info["IP"] = dotted(entry->ifa_addr);
    info["NETMASK"] = dotted(entry->ifa_netmask);
    info["BROADCAST"] = (entry->ifa_flags & IFF_BROADCAST) ? dotted(entry->ifa_broadaddr) : std::string();
    info["INTERFACE"] = entry->ifa_name;
    break;
  }
  ::freeifaddrs(list);
  return info;
}

std::string NetworkInfo::gatewayFromRouteTable(std::string_view table) {
  // Iface Destination Gateway Flags RefCnt Use Metric Mask MTU Window IRTT; addresses in hex,
  // in the byte order of the machine (as in_addr).
  std::istringstream lines{std::string(table)};
  std::string line;
  std::string gateway;
  bool header = true;
  while (std::getline(lines, line)) {
    if (header) {
      header = false;
      if (line.rfind("Iface", 0) == 0) continue;
    }
    std::istringstream fields(line);
    std::string iface, destination, via, flags;
    if (!(fields >> iface >> destination >> via >> flags)) continue;
    uint32_t flagBits = 0;
    uint32_t gatewayBits = 0;
    uint32_t destinationBits = 0;
    if (!hex(flags, flagBits) || via.size() != 8 || !hex(via, gatewayBits) || destination.size() != 8 ||
        !hex(destination, destinationBits))
      continue;
    if (!(flagBits & RTF_GATEWAY)) continue;
    in_addr address{};
    address.s_addr = static_cast<in_addr_t>(gatewayBits);
    const auto* b = reinterpret_cast<const unsigned char*>(&address.s_addr);
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
    gateway = text;
  }
  return gateway;
}

std::string NetworkInfo::getGateway() {
  const NetConfig& config = NetConfig::current();
  if (config.fakeGateway) return *config.fakeGateway;
  std::ifstream file(config.routeTablePath);
  if (!file) return std::string();
  std::stringstream text;
  text << file.rdbuf();
  return gatewayFromRouteTable(text.str());
}

}  // namespace platform::net
