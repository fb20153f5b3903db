// An IPv4 TCP connection (or listening socket) whose callbacks run on the main run loop.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Clock.h"
#include "platform/foundation/Status.h"
#include "platform/net/NetConfig.h"

namespace platform::net {

class TcpSocket {
 public:
  using ConnectHandler = std::function<void()>;
  using DataHandler = std::function<void(const std::string& bytes)>;
  using WriteHandler = std::function<void(long tag)>;
  // The connection is gone: with an error when it failed, was refused, timed out, was reset or was
  // closed by the peer. Closing it with disconnect() calls nothing.
  using DisconnectHandler = std::function<void(const std::optional<NetError>& error)>;
  using AcceptHandler = std::function<void(std::unique_ptr<TcpSocket> connection)>;

  TcpSocket();
  ~TcpSocket();  // closes; no callback runs afterwards
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  void setConnectHandler(ConnectHandler handler);
  void setDataHandler(DataHandler handler);
  void setWriteHandler(WriteHandler handler);
  void setDisconnectHandler(DisconnectHandler handler);

  // Starts connecting (timeout zero: no limit). An error when it cannot start (bad address, a
  // connection already open or under way); a later failure goes to the disconnect handler.
  // Once connected, everything that arrives goes to the data handler.
  Status connect(std::string_view host, uint16_t port, Duration timeout);
  // Queues bytes; the write handler gets tag once all of them have been handed to the system.
  void write(std::string bytes, long tag);
  // Closes the connection now (queued bytes not yet written are dropped).
  void disconnect();

  // Server side: accepts connections on address:port (port 0: any) and hands each over,
  // connected and reading.
  Status listen(std::string_view address, uint16_t port, AcceptHandler handler);

  bool isConnected() const;
  bool isConnecting() const;
  bool isListening() const;
  uint16_t localPort() const;

  struct Impl;

 private:
  explicit TcpSocket(std::shared_ptr<Impl> impl);
  std::shared_ptr<Impl> impl_;
};

}  // namespace platform::net
