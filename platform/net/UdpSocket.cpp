#include "platform/net/UdpSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"
#include "platform/net/SocketAddress.h"

namespace platform::net {

struct UdpSocket::Impl : std::enable_shared_from_this<UdpSocket::Impl> {
  int fd = -1;
  bool bound = false;
  bool watching = false;
  bool receiving = false;
  uint64_t receiveGeneration = 0;
  TimerId timeoutTimer = 0;
  std::optional<int> injectedError;
  ReceiveHandler onReceive;
  ErrorHandler onReceiveError;
  ErrorHandler onSendError;

  Status open() {
    if (fd >= 0) return Status::success();
    fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return Status::error(systemError(errno).description);
    return Status::success();
  }

  uint16_t port() const { return boundPort(fd); }

  void watch() {
    if (watching || fd < 0) return;
    watching = true;
    std::weak_ptr<Impl> weak = weak_from_this();
    RunLoop::main().addFd(fd, POLLIN, [weak](short) {
      if (auto self = weak.lock()) self->readable();
    });
  }

  void unwatch() {
    if (!watching) return;
    watching = false;
    RunLoop::main().removeFd(fd);
  }

  void cancelTimeout() {
    if (timeoutTimer) RunLoop::main().cancel(timeoutTimer);
    timeoutTimer = 0;
  }

  // The receive under way ends with an error.
  void failReceive(const NetError& error) {
    receiving = false;
    cancelTimeout();
    unwatch();
    auto handler = onReceiveError;
    if (handler) handler(error);
  }

  void readable() {
    auto keep = shared_from_this();
    while (receiving && fd >= 0) {
      if (injectedError) {
        int err = *injectedError;
        injectedError.reset();
        failReceive(systemError(err));
        return;
      }
      char buffer[65536];
      sockaddr_in from{};
      socklen_t fromLen = sizeof from;
      ssize_t n = ::recvfrom(fd, buffer, sizeof buffer, MSG_DONTWAIT,
                             reinterpret_cast<sockaddr*>(&from), &fromLen);
      if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK) return;
        if (errno == EINTR) continue;
        // An ICMP report about an earlier send is not a receive failure of this socket.
        if (errno == ECONNREFUSED) continue;
        failReceive(systemError(errno));
        return;
      }
      Datagram datagram;
      datagram.data.assign(buffer, static_cast<size_t>(n));
      char host[INET_ADDRSTRLEN] = {0};
      ::inet_ntop(AF_INET, &from.sin_addr, host, sizeof host);
      datagram.host = host;
      datagram.port = ntohs(from.sin_port);
      uint64_t generation = receiveGeneration;
      auto handler = onReceive;  // the handler may replace itself or close the socket
      bool taken = handler ? handler(datagram) : false;
      if (taken && receiving && generation == receiveGeneration) {
        receiving = false;
        cancelTimeout();
        unwatch();
      }
    }
  }

  void close() {
    unwatch();
    cancelTimeout();
    receiving = false;
    if (fd >= 0) ::close(fd);
    fd = -1;
    bound = false;
  }
};

namespace {

// Open sockets, for the receive-failure hook of the tests.
struct UdpRegistry {
  std::mutex mutex;
  std::vector<std::weak_ptr<UdpSocket::Impl>> sockets;

  void add(const std::shared_ptr<UdpSocket::Impl>& impl) {
    std::lock_guard<std::mutex> lock(mutex);
    std::erase_if(sockets, [](const auto& w) { return w.expired(); });
    sockets.push_back(impl);
  }
};

}  // namespace

UdpSocket::UdpSocket() : impl_(std::make_shared<Impl>()) {
  Process::current().shared<UdpRegistry>().add(impl_);
}

UdpSocket::~UdpSocket() { impl_->close(); }

Status UdpSocket::bind(std::string_view address, uint16_t port) {
  if (impl_->bound) return Status::error("Cannot bind a socket more than once.");
  auto addr = ipv4Address(address, port);
  if (!addr) return Status::error("Invalid address: " + std::string(address));
  if (Status s = impl_->open(); !s) return s;
  if (::bind(impl_->fd, reinterpret_cast<const sockaddr*>(&*addr), sizeof *addr) != 0) {
    NetError error = systemError(errno);
    impl_->close();  // a fresh socket for a later try
    return Status::error(error.description);
  }
  impl_->bound = true;
  return Status::success();
}

Status UdpSocket::enableBroadcast(bool on) {
  if (Status s = impl_->open(); !s) return s;
  int value = on ? 1 : 0;
  if (::setsockopt(impl_->fd, SOL_SOCKET, SO_BROADCAST, &value, sizeof value) != 0)
    return Status::error(systemError(errno).description);
  return Status::success();
}

void UdpSocket::setReceiveHandler(ReceiveHandler handler) { impl_->onReceive = std::move(handler); }
void UdpSocket::setReceiveErrorHandler(ErrorHandler handler) { impl_->onReceiveError = std::move(handler); }
void UdpSocket::setSendErrorHandler(ErrorHandler handler) { impl_->onSendError = std::move(handler); }

Status UdpSocket::receive(Duration timeout) {
  if (impl_->fd < 0 || !impl_->bound) return Status::error("Cannot receive on a socket that is not bound.");
  impl_->cancelTimeout();
  impl_->receiving = true;
  uint64_t generation = ++impl_->receiveGeneration;
  std::weak_ptr<Impl> weak = impl_;
  if (timeout > Duration::zero()) {
    impl_->timeoutTimer = RunLoop::main().after(timeout, [weak, generation] {
      auto self = weak.lock();
      if (!self || !self->receiving || self->receiveGeneration != generation) return;
      self->timeoutTimer = 0;
      self->failReceive(NetError{ETIMEDOUT, "Receive operation timed out"});
    }, impl_.get());
  }
  if (impl_->injectedError) {
    // Reported on the next pass, as a failure of the system's receive would be.
    RunLoop::main().post([weak, generation] {
      auto self = weak.lock();
      if (self && self->receiving && self->receiveGeneration == generation) self->readable();
    });
  }
  impl_->watch();
  return Status::success();
}

Status UdpSocket::sendTo(std::string_view bytes, std::string_view host, uint16_t port) {
  auto addr = ipv4Address(host, port);
  if (!addr) return Status::error("Invalid address: " + std::string(host));
  if (Status s = impl_->open(); !s) return s;
  ssize_t n = ::sendto(impl_->fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT,
                       reinterpret_cast<const sockaddr*>(&*addr), sizeof *addr);
  if (n < 0) {
    NetError error = systemError(errno);
    std::weak_ptr<Impl> weak = impl_;
    RunLoop::main().post([weak, error] {
      auto self = weak.lock();
      if (!self || self->fd < 0) return;
      auto handler = self->onSendError;
      if (handler) handler(error);
    });
  }
  return Status::success();
}

void UdpSocket::close() { impl_->close(); }
bool UdpSocket::isOpen() const { return impl_->fd >= 0; }
bool UdpSocket::isReceiving() const { return impl_->receiving; }
uint16_t UdpSocket::localPort() const { return impl_->port(); }

void UdpSocket::failReceiveForTesting(uint16_t localPort, int errnoValue) {
  auto& registry = Process::current().shared<UdpRegistry>();
  std::vector<std::shared_ptr<Impl>> targets;
  {
    std::lock_guard<std::mutex> lock(registry.mutex);
    for (auto& weak : registry.sockets)
      if (auto impl = weak.lock(); impl && impl->fd >= 0 && impl->port() == localPort) targets.push_back(impl);
  }
  for (auto& impl : targets) {
    impl->injectedError = errnoValue;
    std::weak_ptr<Impl> weak = impl;
    RunLoop::main().post([weak] {
      auto self = weak.lock();
      if (self && self->receiving && self->injectedError) self->readable();
    });
  }
}

}  // namespace platform::net
