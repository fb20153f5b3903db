// IPv4 socket addresses as the sockets and the port probe use them.
#pragma once
#include <netinet/in.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace platform::net {

// host:port as a socket address; nothing when host is not dotted IPv4 text.
std::optional<sockaddr_in> ipv4Address(std::string_view host, uint16_t port);

// The local port the socket fd is bound to; 0 for a closed descriptor (negative) or an error.
uint16_t boundPort(int fd);

}  // namespace platform::net
