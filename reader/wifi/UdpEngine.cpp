#include "reader/wifi/UdpEngine.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Text16.h"
#include "platform/net/NetConfig.h"
#include "platform/net/NetworkInfo.h"

namespace nvx::reader {

namespace {

constexpr double kReceiveTimeout = 3.2;
constexpr std::string_view kHeartbeatMark = "NVX_IDT_TAVi";

}  // namespace

UdpEngine::UdpEngine(std::weak_ptr<UdpEngineDelegate> delegate) : delegate_(std::move(delegate)) {}

UdpEngine::~UdpEngine() { close(); }

void UdpEngine::refreshUdpConnection() {
  auto info = platform::net::NetworkInfo::getNetworkInfo();
  auto ip = info.find("IP");
  ClientIP_ = ip == info.end() ? std::string() : ip->second;
  UdpServer_ = platform::net::NetworkInfo::getGateway();
  openUDPServer();
}

void UdpEngine::openUDPServer() {
  auto& config = platform::net::NetConfig::current();
  socket_ = std::make_unique<platform::net::UdpSocket>();  // the old socket is closed
  socket_->setReceiveHandler([this](const platform::net::Datagram& datagram) {
    received(datagram);
    return true;
  });
  socket_->setReceiveErrorHandler([this](const platform::net::NetError& error) {
    if (auto delegate = delegate_.lock()) delegate->udpCallbackError("udp消息接收失败：" + error.description);
  });
  socket_->setSendErrorHandler([this](const platform::net::NetError& error) {
    if (auto delegate = delegate_.lock()) delegate->udpCallbackError("udp消息发送失败：" + error.description);
  });
  platform::Status status = socket_->bind(config.listenAddress, config.heartbeatPort);
  if (status) status = socket_->enableBroadcast(true);
  if (!status) {
    if (auto delegate = delegate_.lock()) delegate->udpCallbackError(status.message());
    return;
  }
  (void)socket_->receive(platform::secs(kReceiveTimeout));
}

void UdpEngine::received(const platform::net::Datagram& datagram) {
  auto delegate = delegate_.lock();  // keeps the driver, and so this engine, alive meanwhile
  if (!delegate) return;
  // The next receive first, whatever this datagram turns out to be.
  (void)socket_->receive(platform::secs(kReceiveTimeout));
  // The phone's own datagrams (its broadcasts come back to it) are no heartbeat.
  if (datagram.host == ClientIP_ || datagram.host == "::ffff:" + ClientIP_) return;
  if (!platform::isValidUtf8(datagram.data)) return;
  if (datagram.data.find(kHeartbeatMark) == std::string::npos) return;
  // Only the gateway itself: 10.0.0.12 is not 10.0.0.1, and without a gateway nothing is.
  if (UdpServer_.empty() || (datagram.host != UdpServer_ && datagram.host != "::ffff:" + UdpServer_)) return;
  delegate->udpDataReceived(datagram.data);
}

bool UdpEngine::sendDataString(const std::string& text) {
  if (UdpServer_.empty()) return false;
  if (!socket_) socket_ = std::make_unique<platform::net::UdpSocket>();
  auto& config = platform::net::NetConfig::current();
  if (platform::Status sent = socket_->sendTo(text, UdpServer_, config.heartbeatPort); !sent) {
    if (auto delegate = delegate_.lock()) delegate->udpCallbackError("udp 消息发送失败");
  }
  return true;
}

void UdpEngine::close() { socket_.reset(); }

}  // namespace nvx::reader
