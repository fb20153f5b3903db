// Test-only: the Wi-Fi reader box driver against a simulated box on loopback, on ports it took,
// the loopback network (phone 127.0.0.2, gateway and box 127.0.0.1) and the virtual clock.
#pragma once
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"
#include "platform/net/NetConfig.h"
#include "platform/net/UdpSocket.h"
#include "platform/net/testing/HeldPorts.h"
#include "reader/testing/DriverEventRecorder.h"
#include "reader/wifi/WexProtocol.h"
#include "reader/wifi/WexSwiperController.h"
#include "standin/SimulatedWifiBox.h"

namespace nvx::reader::testing {

// Loopback traffic is handed on by the kernel in order but, on a loaded machine, late: a
// datagram or a reply the box has sent may not have reached the phone's socket for tens of
// milliseconds. A marker datagram sent behind it and awaited in real time tells when what went
// before has arrived, so that virtual time does not run on (firing the phone's receive time-out,
// its silence watch or its command timer) past traffic still on its way.
class LoopbackBarrier {
 public:
  LoopbackBarrier() {
    socket_.setReceiveHandler([this](const platform::net::Datagram&) {
      ++received_;
      return false;  // keep receiving
    });
    ready_ = socket_.bind("127.0.0.1", 0).isOk() && socket_.receive().isOk();
  }

  // Runs the loop until pred() holds or what was sent before now has arrived and been handled,
  // the handling sending nothing more (a command and the box's reply to it), or until limit of
  // real time has passed. True when pred() holds.
  bool settle(const std::function<bool()>& pred, std::chrono::milliseconds limit) {
    auto& loop = platform::RunLoop::main();
    const auto end = std::chrono::steady_clock::now() + limit;
    for (int round = 0; ready_ && round < kMaxRounds; ++round) {
      const uint64_t wanted = ++sent_;
      if (!socket_.sendTo("mark", "127.0.0.1", socket_.localPort()).isOk()) return pred();
      size_t ran = 0;
      while (received_ < wanted && std::chrono::steady_clock::now() < end) {
        if (pred()) return true;
        ran += loop.drainIo(std::chrono::milliseconds(1));
      }
      if (pred()) return true;
      if (received_ < wanted || ran <= 1) break;  // out of time, or only the marker came
    }
    return pred();
  }

 private:
  static constexpr int kMaxRounds = 8;
  platform::net::UdpSocket socket_;
  uint64_t sent_ = 0;
  uint64_t received_ = 0;
  bool ready_ = false;
};

// Runs the main loop until pred() holds or virtualSeconds of virtual time have passed: socket
// traffic in real time between the steps of virtual time, timer by timer, each step's traffic
// arrived before the next step. repliesIn, when given, tells when the other replies the test waits
// for (a server's over HTTP) are in; each step waits for it too, and for what the traffic set off.
inline bool pumpUntil(const std::function<bool()>& pred, double virtualSeconds,
                      const std::function<bool()>& repliesIn = nullptr) {
  auto& loop = platform::RunLoop::main();
  auto& barrier = platform::Process::current().shared<LoopbackBarrier>();
  auto settled = [&] {
    for (int round = 0; round < 8; ++round) {
      if (repliesIn) {
        loop.drainIoUntil([&] { return pred() || repliesIn(); }, std::chrono::seconds(10));
      } else if (loop.drainIoUntil(pred, std::chrono::milliseconds(5))) {
        // Callers that name no replies still give HTTP replies a moment of real time.
        return true;
      }
      if (pred() || barrier.settle(pred, std::chrono::seconds(2))) return true;
      if (!repliesIn || repliesIn()) break;
    }
    return pred();
  };
  auto end = platform::clock().now() + platform::secs(virtualSeconds);
  for (;;) {
    if (settled()) return true;
    auto next = loop.nextDeadline();
    auto now = platform::clock().now();
    if (!next || *next > end) {
      if (end > now) loop.advance(end - now);
      return settled();
    }
    loop.advance(std::max(*next - now, platform::Duration::zero()));
  }
}

// A TCP port on the box's address that nobody listens on and nobody else can take while this
// lives: bound, never listening, so a connection to it is refused.
using RefusingPort = platform::net::testing::HeldPort;

class WexHarness {
 public:
  static constexpr bool kRefusesBusyStart = true;

  WexHarness() {
    auto& net = platform::net::NetConfig::current();
    net.useLoopbackNetwork();
    // The box takes free ports and publishes them before the phone's sockets are made.
    box_ = std::make_unique<standin::SimulatedWifiBox>(standin::SimulatedWifiBox::onFreePorts());
    EXPECT_TRUE(box_->bindPorts().isOk());
    recorder_ = std::make_shared<DriverEventRecorder>();
  }

  standin::SimulatedWifiBox& box() { return *box_; }
  std::shared_ptr<DriverEventRecorder> recorder() { return recorder_; }

  std::shared_ptr<WexSwiperController> wex() {
    if (!driver_) {
      driver_ = WexSwiperController::sharedInstance();
      driver_->setDelegate(recorder_);
      driver_->setDetectDeviceChange(true);
      driver_->setSwipeTimeout(30.0);  // as the reader hub sets it
      recorder_->driver = driver_;
    }
    return driver_;
  }
  std::shared_ptr<CTSwiperController> driver() { return wex(); }

  void plugReader() {
    wex();
    if (!box_->isRunning()) {
      ASSERT_TRUE(box_->start().isOk());
    }
    ASSERT_TRUE(pumpUntil([&] { return driver_->isDevicePresent() && driver_->isDeviceReady(); }, 5.0));
  }
  void unplugReader() {
    box_->stop();
    ASSERT_TRUE(pumpUntil([&] { return !driver_->isDevicePresent(); }, 10.0));
  }
  bool swipe() {
    if (!pumpUntil([&] { return box_->isArmed(); }, 10.0)) return false;
    return box_->swipe(card_);
  }
  bool pumpUntil(const std::function<bool()>& pred, double virtualSeconds) {
    return testing::pumpUntil(pred, virtualSeconds);
  }

  std::string expectedKsn() const {
    return WexProtocol::ByteToHex(box_->config().ksn.data(), box_->config().ksn.size());
  }
  CardResult expectedCard() const {
    CardResult r;
    r.formatID = std::nullopt;
    r.ksn = expectedKsn();
    r.encTracks = WexProtocol::ByteToHex(card_.encryptedTracks.data(), card_.encryptedTracks.size());
    r.track1Length = card_.track1Length;
    r.track2Length = card_.track2Length;
    r.track3Length = card_.track3Length;
    r.randomNumber = WexProtocol::ByteToHex(box_->lastRandom().data(), 8);
    r.maskedPAN = "622202*********0123";
    r.expiryDate = card_.expiry;
    r.cardHolderName = std::nullopt;
    return r;
  }
  double swipeTimeout() const { return 30.0; }

 private:
  std::unique_ptr<standin::SimulatedWifiBox> box_;
  std::shared_ptr<DriverEventRecorder> recorder_;
  std::shared_ptr<WexSwiperController> driver_;
  standin::WifiBoxCard card_ = standin::WifiBoxCard::testCard();
};

}  // namespace nvx::reader::testing
