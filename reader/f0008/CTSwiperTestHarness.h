// Test-only: the 0008 driver against the simulated reader in the headset jack, on the virtual
// clock.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/foundation/RunLoop.h"
#include "platform/media/Jack.h"
#include "reader/f0008/CTReply.h"
#include "reader/f0008/CTSwiperController.h"
#include "reader/testing/DriverEventRecorder.h"
#include "standin/SimulatedReader0008.h"

namespace nvx::reader::testing {

class CTSwiperHarness {
 public:
  static constexpr bool kRefusesBusyStart = true;

  CTSwiperHarness()
      : reader_(std::make_shared<standin::SimulatedReader0008>()), recorder_(std::make_shared<DriverEventRecorder>()) {}

  standin::SimulatedReader0008& reader() { return *reader_; }
  std::shared_ptr<standin::SimulatedReader0008> readerPtr() { return reader_; }
  std::shared_ptr<DriverEventRecorder> recorder() { return recorder_; }

  std::shared_ptr<f0008::CTSwiperController> ct() {
    if (!driver_) {
      driver_ = f0008::CTSwiperController::sharedInstance();
      driver_->setDelegate(recorder_);
      recorder_->driver = driver_;
    }
    return driver_;
  }
  std::shared_ptr<CTSwiperController> driver() { return ct(); }

  void plugReader() {
    ct();
    platform::media::Jack::shared().plug(reader_);
    EXPECT_TRUE(pumpUntil([&] { return driver_->isDevicePresent(); }, 2.0));
  }
  void unplugReader() {
    platform::media::Jack::shared().unplug();
    EXPECT_TRUE(pumpUntil([&] { return !driver_->isDevicePresent(); }, 2.0));
  }
  // Waits until the driver waits for the card and the reader is armed, then swipes.
  bool swipe(const standin::Reader0008Card& card) {
    auto armed = [&] { return driver_->getCSwiperState() == f0008::CTSwiperController::kStateArmed && reader_->isArmed(); };
    if (!pumpUntil(armed, 60.0)) return false;
    return reader_->swipe(card);
  }
  bool swipe() { return swipe(card_); }
  bool pumpUntil(const std::function<bool()>& pred, double virtualSeconds) {
    return platform::RunLoop::main().runUntil(pred, platform::secs(virtualSeconds));
  }
  // Lets virtual time pass.
  void pump(double virtualSeconds) { pumpUntil([] { return false; }, virtualSeconds); }

  std::string expectedKsn() const { return "8880201306010008"; }
  CardResult expectedCard() const {
    CardResult r;
    r.formatID = "9a01";
    r.ksn = expectedKsn();
    r.encTracks = f0008::CTReply::upperHex(card_.encryptedTracks);
    r.track1Length = 0;
    r.track2Length = 37;
    r.track3Length = 104;
    auto random = reader_->lastRandom();
    r.randomNumber = f0008::CTReply::upperHex(random);
    r.maskedPAN = "622202*********0123";
    r.expiryDate = "2512";
    r.cardHolderName = "ZHANG/SAN";
    return r;
  }
  double swipeTimeout() const { return driver_ ? driver_->swipeTimeout() : f0008::CTSwiperController::kDefaultSwipeTimeout; }
  const standin::Reader0008Card& card() const { return card_; }

 private:
  std::shared_ptr<standin::SimulatedReader0008> reader_;
  std::shared_ptr<DriverEventRecorder> recorder_;
  std::shared_ptr<f0008::CTSwiperController> driver_;
  standin::Reader0008Card card_ = standin::Reader0008Card::testCard();
};

}  // namespace nvx::reader::testing
