#include "platform/net/NetConfig.h"

#include <cstdlib>
#include <cstring>

#include "platform/foundation/Process.h"

namespace platform::net {

NetError systemError(int errnoValue) {
  char buffer[256];
  // The GNU strerror_r returns the text (possibly not in buffer).
  const char* text = strerror_r(errnoValue, buffer, sizeof buffer);
  return NetError{errnoValue, text ? std::string(text) : std::string()};
}

NetConfig::NetConfig() {
  const char* name = std::getenv("NVX_WIFI_IF");
  wifiInterface = (name && *name) ? name : "lo";
}

NetConfig& NetConfig::current() { return Process::current().shared<NetConfig>(); }

void NetConfig::useLoopbackNetwork() {
  listenAddress = std::string(kLoopbackPhone);
  fakeInterface = InterfaceInfo{{"IP", std::string(kLoopbackPhone)},
                                {"NETMASK", "255.0.0.0"},
                                {"BROADCAST", "127.255.255.255"},
                                {"INTERFACE", "lo"}};
  fakeGateway = std::string(kLoopbackGateway);
}

}  // namespace platform::net
