#include "platform/net/SocketAddress.h"

#include <arpa/inet.h>
#include <sys/socket.h>

#include <string>

namespace platform::net {

std::optional<sockaddr_in> ipv4Address(std::string_view host, uint16_t port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  std::string text(host);
  if (::inet_pton(AF_INET, text.c_str(), &addr.sin_addr) != 1) return std::nullopt;
  return addr;
}

uint16_t boundPort(int fd) {
  if (fd < 0) return 0;
  sockaddr_in addr{};
  socklen_t len = sizeof addr;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return 0;
  return ntohs(addr.sin_port);
}

}  // namespace platform::net
