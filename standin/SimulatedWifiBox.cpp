#include "standin/SimulatedWifiBox.h"

#include <algorithm>

#include "platform/foundation/Clock.h"
#include "platform/net/NetConfig.h"

namespace standin {

namespace {

constexpr const char* kReady = "NVX_IDT_TAVi-0";
constexpr const char* kBusy = "NVX_IDT_TAVi-1";
constexpr const char* kPhoneHeartbeat = "NVX_IDT_TAVi-3";
constexpr uint8_t kCommandKsn = 0x03;
constexpr uint8_t kCommandReadCard = 0x0A;
constexpr uint8_t kOutcomeBoxTimeout = 0x02;
constexpr uint8_t kOutcomeSwipeFailed = 0x03;
constexpr size_t kMaxData = 253;  // L = 255

uint8_t xorOf(const Bytes& bytes, size_t from, size_t to) {
  uint8_t value = 0;
  for (size_t i = from; i < to; ++i) value ^= bytes[i];
  return value;
}

}  // namespace

WifiBoxCard WifiBoxCard::testCard() {
  WifiBoxCard card;
  card.pan = "6222021234567890123";
  card.expiry = "2512";
  card.track1Length = 0;
  card.track2Length = 37;
  card.track3Length = 0;
  for (uint8_t i = 0; i < 24; ++i) card.encryptedTracks.push_back(static_cast<uint8_t>(0xE0 + i * 7));
  return card;
}

SimulatedWifiBox::Config SimulatedWifiBox::configFromNetConfig() {
  const auto& net = platform::net::NetConfig::current();
  Config config;
  config.address = std::string(platform::net::NetConfig::kLoopbackGateway);
  config.phoneAddress = std::string(platform::net::NetConfig::kLoopbackPhone);
  config.presencePort = net.presencePort;
  config.heartbeatPort = net.heartbeatPort;
  config.commandPort = net.commandPort;
  return config;
}

SimulatedWifiBox::Config SimulatedWifiBox::onFreePorts() {
  Config config;
  config.address = std::string(platform::net::NetConfig::kLoopbackGateway);
  config.phoneAddress = std::string(platform::net::NetConfig::kLoopbackPhone);
  config.presencePort = 0;
  config.heartbeatPort = 0;
  config.commandPort = 0;
  config.publishPorts = true;
  return config;
}

SimulatedWifiBox::SimulatedWifiBox(Config config) : config_(std::move(config)) {}

SimulatedWifiBox::~SimulatedWifiBox() { stop(); }

platform::Status SimulatedWifiBox::bindPorts() {
  if (udp_) return platform::Status::success();
  auto udp = std::make_unique<platform::net::UdpSocket>();
  if (platform::Status s = udp->bind(config_.address, config_.heartbeatPort); !s) return s;
  udp->setReceiveHandler([this](const platform::net::Datagram& datagram) {
    if (running_ && datagram.data == kPhoneHeartbeat) ++phoneHeartbeats_;
    return false;
  });
  if (platform::Status s = udp->receive(); !s) return s;
  if (config_.presencePort == 0) {
    // Nothing arrives here: the socket only keeps the port from being handed to anyone else.
    auto hold = std::make_unique<platform::net::UdpSocket>();
    if (platform::Status s = hold->bind(config_.address, 0); !s) return s;
    config_.presencePort = hold->localPort();
    presenceHold_ = std::move(hold);
  }
  config_.heartbeatPort = udp->localPort();
  udp_ = std::move(udp);
  publish();
  return platform::Status::success();
}

void SimulatedWifiBox::publish() const {
  if (!config_.publishPorts) return;
  auto& net = platform::net::NetConfig::current();
  net.presencePort = config_.presencePort;
  net.heartbeatPort = config_.heartbeatPort;
  net.commandPort = config_.commandPort;  // 0 until it first listens: nobody is there yet
}

platform::Status SimulatedWifiBox::start() {
  if (running_) return platform::Status::success();
  if (platform::Status s = bindPorts(); !s) return s;
  listener_ = std::make_unique<platform::net::TcpSocket>();
  if (platform::Status s = listener_->listen(config_.address, config_.commandPort,
                                             [this](std::unique_ptr<platform::net::TcpSocket> link) {
                                               accepted(std::move(link));
                                             });
      !s) {
    listener_.reset();
    return s;
  }
  // A box powered on again listens where it listened before.
  config_.commandPort = listener_->localPort();
  publish();
  running_ = true;
  heartbeat();
  heartbeatTimer_ = platform::RunLoop::main().every(platform::secs(config_.heartbeatInterval),
                                                    [this] { heartbeat(); }, this);
  return platform::Status::success();
}

void SimulatedWifiBox::stop() {
  if (heartbeatTimer_) platform::RunLoop::main().cancel(heartbeatTimer_);
  heartbeatTimer_ = 0;
  link_.reset();
  listener_.reset();
  pending_.clear();
  armed_ = false;
  running_ = false;
}

void SimulatedWifiBox::heartbeat() {
  if (!running_ || !heartbeating_ || !udp_) return;
  std::string text = busy_ ? kBusy : kReady;
  (void)udp_->sendTo(text, config_.phoneAddress, config_.presencePort);
  (void)udp_->sendTo(text, config_.phoneAddress, config_.heartbeatPort);
  ++heartbeatsSent_;
}

void SimulatedWifiBox::accepted(std::unique_ptr<platform::net::TcpSocket> link) {
  // One phone at a time: a new link replaces the old one.
  link_ = std::move(link);
  pending_.clear();
  armed_ = false;
  ++connections_;
  link_->setDataHandler([this](const std::string& bytes) { received(bytes); });
  link_->setDisconnectHandler([this](const std::optional<platform::net::NetError>&) {
    armed_ = false;
    pending_.clear();
    link_.reset();
  });
}

void SimulatedWifiBox::received(const std::string& bytes) {
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
  // Command frames: AA 02 code 00 0F LRC. Anything else is skipped a byte at a time.
  while (pending_.size() >= 6) {
    bool valid = pending_[0] == 0xAA && pending_[1] == 0x02 && pending_[3] == 0x00 && pending_[4] == 0x0F &&
                 pending_[5] == xorOf(pending_, 0, 5);
    if (!valid) {
      pending_.erase(pending_.begin());
      continue;
    }
    uint8_t code = pending_[2];
    pending_.erase(pending_.begin(), pending_.begin() + 6);
    command(code);
    if (!link_) return;
  }
}

void SimulatedWifiBox::command(uint8_t code) {
  commands_.push_back(code);
  if (nextReply_) {
    Bytes bytes = std::move(*nextReply_);
    nextReply_.reset();
    sendRaw(bytes);
    return;
  }
  if (code == kCommandKsn) answer(ksnReply_, kCommandKsn, config_.ksn);
  else if (code == kCommandReadCard) armed_ = true;
}

bool SimulatedWifiBox::swipe(const WifiBoxCard& card) {
  if (!armed_ || !link_) return false;
  armed_ = false;
  lastRandom_ = newRandom();
  if (nextReply_) {
    Bytes bytes = std::move(*nextReply_);
    nextReply_.reset();
    sendRaw(bytes);
    return true;
  }
  if (cardReply_ == Reply::SwipeFailed) {
    sendRaw(frame(kCommandReadCard, kOutcomeSwipeFailed, {}));
    return true;
  }
  WifiBoxCard read = card;
  if (cardReply_ == Reply::OverLong) {
    // The longest track block that still fits a reply: L = 255.
    read.encryptedTracks.resize(kMaxData - 25, 0x5A);
  }
  answer(cardReply_, kCommandReadCard, cardData(read, lastRandom_));
  return true;
}

bool SimulatedWifiBox::timeOut() {
  if (!armed_ || !link_) return false;
  armed_ = false;
  sendRaw(frame(kCommandReadCard, kOutcomeBoxTimeout, {}));
  return true;
}

void SimulatedWifiBox::dropLink() {
  link_.reset();
  pending_.clear();
  armed_ = false;
}

bool SimulatedWifiBox::sendRaw(const Bytes& bytes) {
  if (!link_) return false;
  link_->write(std::string(bytes.begin(), bytes.end()), 0);
  return true;
}

void SimulatedWifiBox::answer(Reply shape, uint8_t sw1, const Bytes& data) {
  switch (shape) {
    case Reply::Normal:
    case Reply::SwipeFailed:
      sendRaw(frame(sw1, 0x00, data));
      return;
    case Reply::Malformed:
      // Byte 1 makes it a whole reply of 7 bytes; no 55 anywhere.
      sendRaw(Bytes{0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00});
      return;
    case Reply::LengthOne:
      // Two bytes ahead of the frame make it a whole reply of 7 bytes (a shorter one is no reply).
      sendRaw(Bytes{0x00, 0x03, 0x55, 0x01, sw1, 0x0F, static_cast<uint8_t>(sw1 ^ 0x01 ^ 0x5A)});
      return;
    case Reply::ShortCardData:
      sendRaw(frame(sw1, 0x00, Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(std::min<size_t>(data.size(), 10)))));
      return;
    case Reply::OverLong: {
      Bytes padded = data;
      if (sw1 != kCommandReadCard) padded.resize(kMaxData, 0x00);
      Bytes bytes = frame(sw1, 0x00, padded);
      // A whole "swipe failed" outcome right behind it, in the same write: not part of the reply.
      Bytes stray = frame(kCommandReadCard, kOutcomeSwipeFailed, {});
      bytes.insert(bytes.end(), stray.begin(), stray.end());
      sendRaw(bytes);
      return;
    }
    case Reply::CheckFailed: {
      Bytes bytes = frame(sw1, 0x00, data);
      bytes.back() ^= 0xFF;
      sendRaw(bytes);
      return;
    }
    case Reply::BadEndByte: {
      Bytes bytes = frame(sw1, 0x00, data);
      bytes[bytes.size() - 2] = 0x0E;
      sendRaw(bytes);
      return;
    }
    case Reply::Unknown:
      sendRaw(frame(0x07, 0x00, data));
      return;
    case Reply::Silent:
      return;
    case Reply::DropLink:
      dropLink();
      return;
  }
}

Bytes SimulatedWifiBox::frame(uint8_t sw1, uint8_t sw2, const Bytes& data) {
  size_t n = std::min(data.size(), kMaxData);
  auto l = static_cast<uint8_t>(n + 2);
  Bytes bytes{0x55, l, sw1, sw2};
  bytes.insert(bytes.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(n));
  uint8_t check = static_cast<uint8_t>(sw1 ^ sw2 ^ l ^ 0x5A);
  for (size_t i = 0; i < n; ++i) check ^= data[i];
  bytes.push_back(0x0F);
  bytes.push_back(check);
  return bytes;
}

Bytes SimulatedWifiBox::cardData(const WifiBoxCard& card, const std::array<uint8_t, 8>& random) {
  Bytes data{card.track1Length, card.track2Length, card.track3Length};
  // The card number, two digits per byte, padded at the end with the digit value A.
  std::string digits = card.pan.substr(0, 20);
  digits.resize(20, ':');  // ':' - '0' == 10, the padding digit
  for (size_t i = 0; i < 20; i += 2) {
    data.push_back(static_cast<uint8_t>(((digits[i] - '0') << 4) | (digits[i + 1] - '0')));
  }
  data.insert(data.end(), random.begin(), random.end());
  data.insert(data.end(), card.encryptedTracks.begin(), card.encryptedTracks.end());
  std::string expiry = card.expiry.substr(0, 4);
  expiry.resize(4, '0');
  data.insert(data.end(), expiry.begin(), expiry.end());
  return data;
}

std::array<uint8_t, 8> SimulatedWifiBox::newRandom() {
  if (nextRandom_) {
    auto random = *nextRandom_;
    nextRandom_.reset();
    return random;
  }
  ++swipes_;
  std::array<uint8_t, 8> random{};
  uint64_t x = 0x9E3779B97F4A7C15ull * swipes_ + 0x1234567;
  for (auto& byte : random) {
    x ^= x >> 29;
    x *= 0xBF58476D1CE4E5B9ull;
    byte = static_cast<uint8_t>(x >> 56);
  }
  return random;
}

}  // namespace standin
