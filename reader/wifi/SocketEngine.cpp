#include "reader/wifi/SocketEngine.h"

#include "platform/foundation/Clock.h"

namespace nvx::reader {

namespace {
constexpr double kConnectTimeout = 10.0;
}

SocketEngine::SocketEngine(std::weak_ptr<SocketEngineDelegate> delegate) : delegate_(std::move(delegate)) {}

SocketEngine::~SocketEngine() { disConnect(); }

void SocketEngine::connectSocketServer(const std::string& address, uint16_t port) {
  if (socket_ && (socket_->isConnected() || socket_->isConnecting())) return;
  socket_ = std::make_unique<platform::net::TcpSocket>();
  socket_->setConnectHandler([this] {
    auto delegate = delegate_.lock();  // keeps the driver, and so this engine, alive meanwhile
    if (delegate) delegate->onSocketDidConnect();
  });
  socket_->setDataHandler([this](const std::string& bytes) {
    auto delegate = delegate_.lock();
    if (!delegate) return;
    checkReadCompleted(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  });
  socket_->setWriteHandler([this](long tag) {
    auto delegate = delegate_.lock();
    if (delegate) delegate->dataSendCompletedWithTag(tag);
  });
  socket_->setDisconnectHandler([this](const std::optional<platform::net::NetError>& error) {
    auto delegate = delegate_.lock();
    if (!delegate) return;
    if (error) delegate->onSocketWillDisconnectWithError(*error);
    delegate->onSocketDidDisconnect();
  });
  if (platform::Status started = socket_->connect(address, port, platform::secs(kConnectTimeout)); !started) {
    socket_.reset();
    if (auto delegate = delegate_.lock()) delegate->engineCallbackError(started.message());
  }
}

void SocketEngine::sendData(const uint8_t* bytes, size_t count, long commandTag) {
  initReadData();
  if (!socket_) return;
  socket_->write(std::string(reinterpret_cast<const char*>(bytes), count), commandTag);
}

void SocketEngine::disConnect() {
  if (socket_) socket_->disconnect();
  readData_.clear();
}

void SocketEngine::initReadData() { readData_.clear(); }

bool SocketEngine::isConnected() const { return socket_ && socket_->isConnected(); }

void SocketEngine::checkReadCompleted(const uint8_t* bytes, size_t count) {
  // Never more than one whole reply is kept: the rest of a reception past it is dropped below.
  readData_.insert(readData_.end(), bytes, bytes + count);
  auto length = WexProtocol::completeReplyLength(readData_.data(), readData_.size());
  if (!length) return;
  Bytes reply(readData_.begin(), readData_.begin() + static_cast<std::ptrdiff_t>(*length));
  readData_.clear();
  auto delegate = delegate_.lock();
  if (!delegate) return;
  if (reply.size() == 6) {
    if (reply[3] == WexProtocol::kOutcomeSwipeFailed) delegate->engineOnSwipCardFailed();
    else if (reply[3] == WexProtocol::kOutcomeBoxTimeout) delegate->engineOnTimeOut();
    return;
  }
  delegate->dataReceivedWithData(reply);
}

}  // namespace nvx::reader
