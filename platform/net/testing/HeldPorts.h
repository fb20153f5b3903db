// Ports a test keeps bound for its whole life. A port picked free, let go and bound again later
// can be handed to another test running at the same time in between; a port held bound cannot.
#pragma once
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "platform/net/NetConfig.h"

namespace platform::net::testing {

// A port the kernel hands out on the loopback gateway address, bound (never listening) until this
// goes. Nobody else is given it meanwhile; a TCP connection to it is refused at once, and a
// datagram to it is dropped. The phone may still bind the same port on its own address.
class HeldPort {
 public:
  explicit HeldPort(int type = SOCK_STREAM) {
    fd_ = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    ::inet_pton(AF_INET, std::string(NetConfig::kLoopbackGateway).c_str(), &addr.sin_addr);
    socklen_t length = sizeof addr;
    if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &length) == 0) {
      port_ = ntohs(addr.sin_port);
    }
  }
  ~HeldPort() {
    if (fd_ >= 0) ::close(fd_);
  }
  HeldPort(const HeldPort&) = delete;
  HeldPort& operator=(const HeldPort&) = delete;

  // 0 when the port could not be bound.
  uint16_t port() const { return port_; }

 private:
  int fd_ = -1;
  uint16_t port_ = 0;
};

// "http://127.0.0.1:<port>" + path on a held port: a server address where nobody answers.
inline std::string refusedUrl(const HeldPort& held, const std::string& path) {
  return "http://" + std::string(NetConfig::kLoopbackGateway) + ":" + std::to_string(held.port()) + path;
}

// The reader box's ports for a run that has no box: held on the gateway address and published
// into NetConfig::current() on the loopback network. The phone's presence and heartbeat sockets
// bind them on the phone's address; a connection to the command port is refused.
class HeldReaderPorts {
 public:
  HeldReaderPorts() { publish(); }
  // Again after the process was reset (a new run of the client in the same test).
  void publish() const {
    auto& net = NetConfig::current();
    net.useLoopbackNetwork();
    net.presencePort = presence_.port();
    net.heartbeatPort = heartbeat_.port();
    net.commandPort = command_.port();
  }
  bool isHeld() const { return presence_.port() && heartbeat_.port() && command_.port(); }

 private:
  HeldPort presence_{SOCK_DGRAM};
  HeldPort heartbeat_{SOCK_DGRAM};
  HeldPort command_{SOCK_STREAM};
};

}  // namespace platform::net::testing
