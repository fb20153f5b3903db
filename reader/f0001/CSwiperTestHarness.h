// Test-only: the 0001 driver against the simulated reader in the headset jack, on the virtual
// clock.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/foundation/RunLoop.h"
#include "platform/media/Jack.h"
#include "reader/f0001/CSwiperController.h"
#include "reader/testing/DriverEventRecorder.h"
#include "standin/SimulatedReader0001.h"

namespace nvx::reader::testing {

class CSwiperHarness {
 public:
  static constexpr bool kRefusesBusyStart = false;
  // A swipe request says onWaitingForDevice before it looks for the reader.
  static constexpr bool kWaitsForDeviceBeforeLooking = true;

  CSwiperHarness()
      : reader_(std::make_shared<standin::SimulatedReader0001>()), recorder_(std::make_shared<DriverEventRecorder>()) {}

  standin::SimulatedReader0001& reader() { return *reader_; }
  std::shared_ptr<standin::SimulatedReader0001> readerPtr() { return reader_; }
  std::shared_ptr<DriverEventRecorder> recorder() { return recorder_; }

  std::shared_ptr<CSwiperController> c0() {
    if (!driver_) {
      driver_ = CSwiperController::create();
      driver_->setDelegate(recorder_);
      driver_->setDetectDeviceChange(true);
      recorder_->driver = driver_;
    }
    return driver_;
  }
  std::shared_ptr<CTSwiperController> driver() { return c0(); }

  void plugReader() {
    c0();
    platform::media::Jack::shared().plug(reader_);
    EXPECT_TRUE(pumpUntil([&] { return driver_->isDevicePresent(); }, 2.0));
  }
  void unplugReader() {
    platform::media::Jack::shared().unplug();
    EXPECT_TRUE(pumpUntil([&] { return !driver_->isDevicePresent(); }, 2.0));
  }
  // Waits until the reader has taken the swipe command (and the phone its acknowledgement),
  // then swipes the card.
  bool swipe() { return swipe(card_); }
  bool swipe(const standin::Reader0001Card& card) {
    if (!pumpUntil([&] { return reader_->isArmed(); }, 60.0)) return false;
    return reader_->swipe(card);
  }
  bool pumpUntil(const std::function<bool()>& pred, double virtualSeconds) {
    return platform::RunLoop::main().runUntil(pred, platform::secs(virtualSeconds));
  }

  std::string expectedKsn() const { return "2014060100001234"; }
  CardResult expectedCard() const {
    CardResult r;
    r.formatID = "39";
    r.ksn = "2014060100001234";  // the first 16 characters of the packet's 32
    // 16 * floor((ceil(37 / 2) + ceil(104 / 2) + 11) / 8) = 160 characters of the 304.
    static const char digits[] = "0123456789ABCDEF";
    for (size_t i = 0; i < 80; ++i) {
      const uint8_t b = card_.encryptedTracks[i];
      r.encTracks += digits[b >> 4];
      r.encTracks += digits[b & 15];
    }
    r.track1Length = 0;
    r.track2Length = 37;
    r.track3Length = 104;
    r.randomNumber = "5A0123456789ABCD";
    r.maskedPAN = "622202XXXXXXXXX0123";
    r.expiryDate = "2512";
    r.cardHolderName = "";
    return r;
  }
  // The phone gives up 27 s after the reader's acknowledgement (the recorder's count restarts
  // there).
  double swipeTimeout() const { return 28.5; }
  const standin::Reader0001Card& card() const { return card_; }

 private:
  std::shared_ptr<standin::SimulatedReader0001> reader_;
  std::shared_ptr<DriverEventRecorder> recorder_;
  std::shared_ptr<CSwiperController> driver_;
  standin::Reader0001Card card_ = standin::Reader0001Card::testCard();
};

}  // namespace nvx::reader::testing
