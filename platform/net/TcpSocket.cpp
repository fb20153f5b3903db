#include "platform/net/TcpSocket.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <deque>

#include "platform/foundation/RunLoop.h"
#include "platform/net/SocketAddress.h"

namespace platform::net {

struct TcpSocket::Impl : std::enable_shared_from_this<TcpSocket::Impl> {
  enum class State { Closed, Connecting, Connected, Listening };
  struct Pending {
    std::string bytes;
    size_t offset = 0;
    long tag = 0;
  };

  int fd = -1;
  State state = State::Closed;
  short watchedEvents = 0;
  uint64_t connection = 0;  // changes with every connect, accept and close
  TimerId connectTimer = 0;
  std::deque<Pending> writes;
  ConnectHandler onConnect;
  DataHandler onData;
  WriteHandler onWrite;
  DisconnectHandler onDisconnect;
  AcceptHandler onAccept;

  void watch() {
    short wanted = 0;
    if (fd >= 0) {
      switch (state) {
        case State::Connecting: wanted = POLLOUT; break;
        case State::Connected: wanted = static_cast<short>(POLLIN | (writes.empty() ? 0 : POLLOUT)); break;
        case State::Listening: wanted = POLLIN; break;
        case State::Closed: break;
      }
    }
    if (wanted == watchedEvents) return;
    if (watchedEvents) RunLoop::main().removeFd(fd);
    watchedEvents = wanted;
    if (!wanted) return;
    std::weak_ptr<Impl> weak = weak_from_this();
    RunLoop::main().addFd(fd, wanted, [weak](short revents) {
      if (auto self = weak.lock()) self->ready(revents);
    });
  }

  void closeNow() {
    if (watchedEvents && fd >= 0) RunLoop::main().removeFd(fd);
    watchedEvents = 0;
    if (connectTimer) RunLoop::main().cancel(connectTimer);
    connectTimer = 0;
    if (fd >= 0) ::close(fd);
    fd = -1;
    state = State::Closed;
    writes.clear();
    ++connection;
  }

  void fail(const NetError& error) {
    closeNow();
    auto handler = onDisconnect;
    if (handler) handler(error);
  }

  // Reports a failure on a later pass (failures found while starting an operation).
  void failLater(const NetError& error) {
    uint64_t id = connection;
    std::weak_ptr<Impl> weak = weak_from_this();
    RunLoop::main().post([weak, id, error] {
      auto self = weak.lock();
      if (self && self->connection == id) self->fail(error);
    });
  }

  void connected() {
    if (connectTimer) RunLoop::main().cancel(connectTimer);
    connectTimer = 0;
    state = State::Connected;
    watch();
    auto handler = onConnect;
    if (handler) handler();
  }

  void ready(short revents) {
    auto keep = shared_from_this();
    switch (state) {
      case State::Connecting: {
        int error = 0;
        socklen_t len = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0) error = errno;
        if (error) fail(systemError(error));
        else connected();
        return;
      }
      case State::Listening: acceptAll(); return;
      case State::Connected: break;
      case State::Closed: return;
    }
    uint64_t id = connection;
    if (revents & POLLOUT) flush();
    if (connection != id) return;
    if (revents & (POLLIN | POLLHUP | POLLERR)) readAll();
  }

  void readAll() {
    std::string data;
    bool ended = false;
    std::optional<NetError> error;
    for (;;) {
      char buffer[4096];
      ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
      if (n > 0) {
        data.append(buffer, static_cast<size_t>(n));
        continue;
      }
      if (n == 0) {
        ended = true;
      } else if (errno == EINTR) {
        continue;
      } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
        error = systemError(errno);
      }
      break;
    }
    uint64_t id = connection;
    if (!data.empty()) {
      auto handler = onData;
      if (handler) handler(data);
      if (connection != id) return;  // closed by the handler
    }
    if (error) fail(*error);
    else if (ended) fail(NetError{0, "Socket closed by remote peer"});
  }

  void flush() {
    std::vector<long> done;
    while (!writes.empty()) {
      Pending& front = writes.front();
      ssize_t n = ::send(fd, front.bytes.data() + front.offset, front.bytes.size() - front.offset,
                         MSG_NOSIGNAL | MSG_DONTWAIT);
      if (n < 0) {
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) break;
        failLater(systemError(errno));
        break;
      }
      front.offset += static_cast<size_t>(n);
      if (front.offset == front.bytes.size()) {
        done.push_back(front.tag);
        writes.pop_front();
      }
    }
    watch();
    // Write completions come on a later pass, never inside write().
    uint64_t id = connection;
    std::weak_ptr<Impl> weak = weak_from_this();
    for (long tag : done) {
      RunLoop::main().post([weak, id, tag] {
        auto self = weak.lock();
        if (!self || self->connection != id) return;
        auto handler = self->onWrite;
        if (handler) handler(tag);
      });
    }
  }

  void acceptAll() {
    for (;;) {
      int client = ::accept4(fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (client < 0) {
        if (errno == EINTR) continue;
        return;  // EAGAIN, or a connection that went away before it was taken
      }
      auto impl = std::make_shared<Impl>();
      impl->fd = client;
      impl->state = State::Connected;
      impl->watch();
      std::unique_ptr<TcpSocket> socket(new TcpSocket(impl));
      auto handler = onAccept;
      if (handler) handler(std::move(socket));
      if (state != State::Listening) return;
    }
  }
};

TcpSocket::TcpSocket() : impl_(std::make_shared<Impl>()) {}
TcpSocket::TcpSocket(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}
TcpSocket::~TcpSocket() { impl_->closeNow(); }

void TcpSocket::setConnectHandler(ConnectHandler handler) { impl_->onConnect = std::move(handler); }
void TcpSocket::setDataHandler(DataHandler handler) { impl_->onData = std::move(handler); }
void TcpSocket::setWriteHandler(WriteHandler handler) { impl_->onWrite = std::move(handler); }
void TcpSocket::setDisconnectHandler(DisconnectHandler handler) { impl_->onDisconnect = std::move(handler); }

Status TcpSocket::connect(std::string_view host, uint16_t port, Duration timeout) {
  if (impl_->state != Impl::State::Closed)
    return Status::error("Attempting to connect while connected or accepting connections.");
  auto addr = ipv4Address(host, port);
  if (!addr) return Status::error("Invalid address: " + std::string(host));
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return Status::error(systemError(errno).description);
  int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  impl_->closeNow();
  impl_->fd = fd;
  impl_->state = Impl::State::Connecting;
  int rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&*addr), sizeof *addr);
  if (rc != 0 && errno != EINPROGRESS) {
    impl_->failLater(systemError(errno));
    return Status::success();
  }
  // Even a connection made at once is reported on a later pass, through the descriptor.
  impl_->watch();
  if (timeout > Duration::zero()) {
    uint64_t id = impl_->connection;
    std::weak_ptr<Impl> weak = impl_;
    impl_->connectTimer = RunLoop::main().after(timeout, [weak, id] {
      auto self = weak.lock();
      if (!self || self->connection != id || self->state != Impl::State::Connecting) return;
      self->connectTimer = 0;
      self->fail(NetError{ETIMEDOUT, "Attempt to connect to host timed out"});
    }, impl_.get());
  }
  return Status::success();
}

void TcpSocket::write(std::string bytes, long tag) {
  if (impl_->state != Impl::State::Connected) return;
  impl_->writes.push_back(Impl::Pending{std::move(bytes), 0, tag});
  impl_->flush();
}

void TcpSocket::disconnect() { impl_->closeNow(); }

Status TcpSocket::listen(std::string_view address, uint16_t port, AcceptHandler handler) {
  if (impl_->state != Impl::State::Closed) return Status::error("The socket is already in use.");
  auto addr = ipv4Address(address, port);
  if (!addr) return Status::error("Invalid address: " + std::string(address));
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return Status::error(systemError(errno).description);
  int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&*addr), sizeof *addr) != 0 || ::listen(fd, 16) != 0) {
    NetError error = systemError(errno);
    ::close(fd);
    return Status::error(error.description);
  }
  impl_->fd = fd;
  impl_->state = Impl::State::Listening;
  impl_->onAccept = std::move(handler);
  impl_->watch();
  return Status::success();
}

bool TcpSocket::isConnected() const { return impl_->state == Impl::State::Connected; }
bool TcpSocket::isConnecting() const { return impl_->state == Impl::State::Connecting; }
bool TcpSocket::isListening() const { return impl_->state == Impl::State::Listening; }

uint16_t TcpSocket::localPort() const { return boundPort(impl_->fd); }

}  // namespace platform::net
