// The heartbeat exchange with the Wi-Fi reader box, which sits at the gateway address: the box's
// datagrams come in on the heartbeat port, the phone's go to the same port on the gateway.
#pragma once
#include <memory>
#include <string>

#include "platform/net/UdpSocket.h"

namespace nvx::reader {

class UdpEngineDelegate {
 public:
  virtual ~UdpEngineDelegate() = default;
  // A bind, receive (including a receive time-out) or send failure, with its description.
  virtual void udpCallbackError(const std::string& message) = 0;
  // A heartbeat text of the box.
  virtual void udpDataReceived(const std::string& text) = 0;
};

class UdpEngine {
 public:
  explicit UdpEngine(std::weak_ptr<UdpEngineDelegate> delegate);
  ~UdpEngine();

  // Looks up the phone's own address and the gateway again and opens a new socket.
  void refreshUdpConnection();
  // A new socket on the heartbeat port, broadcast enabled, receiving with a 3.2 s time-out.
  void openUDPServer();
  // The box's address (the gateway).
  std::string getUdpServer() const { return UdpServer_; }
  const std::string& clientIP() const { return ClientIP_; }
  // Sends text to the box's heartbeat port; false (nothing sent) when no gateway is known.
  bool sendDataString(const std::string& text);
  // Closes the socket; no callback comes afterwards.
  void close();

 private:
  void received(const platform::net::Datagram& datagram);

  std::weak_ptr<UdpEngineDelegate> delegate_;
  std::string UdpServer_;
  std::string ClientIP_;
  std::unique_ptr<platform::net::UdpSocket> socket_;
};

}  // namespace nvx::reader
