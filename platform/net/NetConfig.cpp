#include "platform/net/NetConfig.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <set>

#include "platform/foundation/Process.h"
#include "platform/net/SocketAddress.h"

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

namespace {

// Ports handed out since the last reset, so that one test never gets the same port twice.
struct PickedPorts {
  std::mutex mutex;
  std::set<uint16_t> ports;
};

// Binds a socket of the given type to port on every local address; the bound port or 0.
uint16_t bindProbe(int type, uint16_t port) {
  int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
  if (fd < 0) return 0;
  sockaddr_in addr = *ipv4Address("0.0.0.0", port);
  uint16_t bound = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 ? boundPort(fd) : 0;
  ::close(fd);
  return bound;
}

}  // namespace

uint16_t pickFreePort() {
  auto& picked = Process::current().shared<PickedPorts>();
  std::lock_guard<std::mutex> lock(picked.mutex);
  for (int attempt = 0; attempt < 200; ++attempt) {
    uint16_t port = bindProbe(SOCK_STREAM, 0);
    if (port == 0 || picked.ports.count(port)) continue;
    if (bindProbe(SOCK_DGRAM, port) != port) continue;
    picked.ports.insert(port);
    return port;
  }
  return 0;
}

}  // namespace platform::net
