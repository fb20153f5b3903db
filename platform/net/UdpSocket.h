// An IPv4 UDP socket whose callbacks run on the main run loop.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/foundation/Clock.h"
#include "platform/foundation/Status.h"
#include "platform/net/NetConfig.h"

namespace platform::net {

struct Datagram {
  std::string data;
  std::string host;   // the sender's address, dotted IPv4 text
  uint16_t port = 0;  // the sender's port
};

class UdpSocket {
 public:
  // Returns true when the datagram is taken, which ends this receive; false declines it and keeps
  // the same receive going, so that the next datagram comes to the handler as well.
  using ReceiveHandler = std::function<bool(const Datagram&)>;
  using ErrorHandler = std::function<void(const NetError&)>;

  UdpSocket();
  ~UdpSocket();  // closes the socket; no callback runs afterwards
  UdpSocket(const UdpSocket&) = delete;
  UdpSocket& operator=(const UdpSocket&) = delete;

  // Binds to address:port ("0.0.0.0" every local address, port 0 any free port).
  Status bind(std::string_view address, uint16_t port);
  Status enableBroadcast(bool on);

  void setReceiveHandler(ReceiveHandler handler);
  // A receive that timed out or failed (the receive is over).
  void setReceiveErrorHandler(ErrorHandler handler);
  // A datagram the system refused to send.
  void setSendErrorHandler(ErrorHandler handler);

  // Starts one receive, replacing the one under way; timeout zero waits without limit. The
  // socket must be bound.
  Status receive(Duration timeout = Duration::zero());
  // Sends at once (the socket is bound to a free port when it is not bound yet). An error when
  // the send cannot start (closed socket, bad address); a refusal by the system goes to the
  // send-error handler on a later pass of the loop.
  Status sendTo(std::string_view bytes, std::string_view host, uint16_t port);
  void close();

  bool isOpen() const;
  bool isReceiving() const;
  uint16_t localPort() const;

  // Tests: every open socket bound to localPort fails its receive with errnoValue (the one under
  // way, or else its next one).
  static void failReceiveForTesting(uint16_t localPort, int errnoValue);

  struct Impl;

 private:
  std::shared_ptr<Impl> impl_;
};

}  // namespace platform::net
