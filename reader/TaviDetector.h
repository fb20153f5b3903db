// Whether the Wi-Fi reader box is on the local network: it announces itself with datagrams on
// the presence port; it is gone when a whole watchdog period passes without one.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"
#include "platform/net/UdpSocket.h"

namespace nvx::reader {

class TaviListener {
 public:
  virtual ~TaviListener() = default;
  virtual void onTaviConnected() {}
  virtual void onTaviDisConnected() {}
};

class TaviDetector {
 public:
  static TaviDetector& sharedDetector();
  ~TaviDetector();

  // Starts listening afresh: not connected, the count at 1, a watchdog tick every 2.5 s.
  void startListen(std::weak_ptr<TaviListener> listener);
  // Stops listening without a notice.
  void stopListen();
  bool isTaviConnected() const { return isTaviConnected_; }
  // Datagrams received, counted modulo 256.
  uint8_t detectCount() const { return detectCount_; }

  // A new socket on the presence port (every local address) receiving without time-out.
  void startUdpSocket();
  // The watchdog tick: no datagram since the last tick (the count unchanged) means the box is gone.
  void reveiceWatch();
  void performConnected();
  void performDisConnected();

 private:
  friend class platform::Process;
  TaviDetector() = default;

  std::unique_ptr<platform::net::UdpSocket> udpSocket_;
  std::weak_ptr<TaviListener> listener_;
  platform::TimerId receiveTimer_ = 0;
  uint8_t detectCount_ = 1;
  bool isTaviConnected_ = false;
};

}  // namespace nvx::reader
