// The TCP command link to the Wi-Fi reader box: writes command frames and cuts the box's
// replies out of the byte stream.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/net/TcpSocket.h"
#include "reader/wifi/WexProtocol.h"

namespace nvx::reader {

class SocketEngineDelegate {
 public:
  virtual ~SocketEngineDelegate() = default;
  virtual void onSocketDidConnect() = 0;
  virtual void onSocketWillDisconnectWithError(const platform::net::NetError& error) = 0;
  virtual void onSocketDidDisconnect() = 0;
  virtual void dataSendCompletedWithTag(long tag) = 0;
  // A complete reply other than a 6-byte card-read outcome.
  virtual void dataReceivedWithData(const Bytes& data) = 0;
  // The connection could not even be started.
  virtual void engineCallbackError(const std::string& description) = 0;
  // 6-byte outcomes: the box timed out waiting for a swipe; the swipe failed.
  virtual void engineOnTimeOut() = 0;
  virtual void engineOnSwipCardFailed() = 0;
};

class SocketEngine {
 public:
  explicit SocketEngine(std::weak_ptr<SocketEngineDelegate> delegate);
  ~SocketEngine();

  // Connects with a 10 s time-out; nothing when connected or connecting.
  void connectSocketServer(const std::string& address, uint16_t port);
  void sendData(const uint8_t* bytes, size_t count, long commandTag);
  // Closes the connection (no callback follows).
  void disConnect();
  // Empties the reply being received.
  void initReadData();
  // Appends bytes of the stream and hands on the reply once complete (at L + 4 bytes; what
  // follows it in the same reception is dropped).
  void checkReadCompleted(const uint8_t* bytes, size_t count);
  bool isConnected() const;

 private:
  std::weak_ptr<SocketEngineDelegate> delegate_;
  std::unique_ptr<platform::net::TcpSocket> socket_;
  Bytes readData_;
};

}  // namespace nvx::reader
