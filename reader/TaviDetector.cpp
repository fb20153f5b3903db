#include "reader/TaviDetector.h"

#include "platform/foundation/Log.h"
#include "platform/net/NetConfig.h"

namespace nvx::reader {

namespace {

constexpr double kWatchdogInterval = 2.5;

// The count seen at the previous watchdog tick: one value for the whole run, whichever detector
// ticks (0 at start).
struct TaviWatchState {
  uint8_t lastDetectCount = 0;
};

}  // namespace

TaviDetector& TaviDetector::sharedDetector() { return platform::Process::current().shared<TaviDetector>(); }

TaviDetector::~TaviDetector() {
  if (receiveTimer_) platform::RunLoop::main().cancel(receiveTimer_);
  udpSocket_.reset();
}

void TaviDetector::startListen(std::weak_ptr<TaviListener> listener) {
  detectCount_ = 1;
  isTaviConnected_ = false;
  listener_ = std::move(listener);
  if (receiveTimer_) platform::RunLoop::main().cancel(receiveTimer_);
  receiveTimer_ = platform::RunLoop::main().every(platform::secs(kWatchdogInterval), [this] { reveiceWatch(); }, this);
  startUdpSocket();
}

void TaviDetector::stopListen() {
  udpSocket_.reset();
  detectCount_ = 1;
  isTaviConnected_ = false;
  if (receiveTimer_) platform::RunLoop::main().cancel(receiveTimer_);
  receiveTimer_ = 0;
  listener_.reset();
}

void TaviDetector::startUdpSocket() {
  auto& config = platform::net::NetConfig::current();
  udpSocket_.reset();  // the old socket lets go of the port first
  auto socket = std::make_unique<platform::net::UdpSocket>();
  if (platform::Status bound = socket->bind(config.listenAddress, config.presencePort); !bound)
    platform::log::warning("TaviDetector", "presence port not bound: " + bound.message());
  socket->setReceiveHandler([this](const platform::net::Datagram&) {
    ++detectCount_;  // wraps from 255 to 0
    performConnected();
    return false;    // declined: the same receive takes the next datagram too
  });
  socket->setReceiveErrorHandler([this](const platform::net::NetError& error) {
    platform::log::info("TaviDetector", "presence receive failed: " + error.description);
    performDisConnected();
    startUdpSocket();
  });
  // A socket that could not be bound cannot receive; the watchdog reports the box as gone.
  (void)socket->receive();
  udpSocket_ = std::move(socket);
}

void TaviDetector::reveiceWatch() {
  auto& state = platform::Process::current().shared<TaviWatchState>();
  if (detectCount_ == state.lastDetectCount) performDisConnected();
  state.lastDetectCount = detectCount_;
}

void TaviDetector::performConnected() {
  if (!isTaviConnected_) {
    if (auto listener = listener_.lock()) listener->onTaviConnected();
  }
  isTaviConnected_ = true;
}

void TaviDetector::performDisConnected() {
  if (isTaviConnected_) {
    if (auto listener = listener_.lock()) listener->onTaviDisConnected();
  }
  isTaviConnected_ = false;
}

}  // namespace nvx::reader
