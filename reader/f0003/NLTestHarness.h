// Test-only: the 0003-0006 driver against the simulated reader in the headset jack, on the
// virtual clock. plugReader reads the KSN as the reader gate does before a swipe.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/foundation/RunLoop.h"
#include "platform/media/Jack.h"
#include "reader/f0003/NLSwiperController.h"
#include "reader/testing/DriverEventRecorder.h"
#include "standin/SimulatedReader0003.h"

namespace nvx::reader::testing {

class NLHarness {
 public:
  static constexpr bool kRefusesBusyStart = false;

  explicit NLHarness(standin::SimulatedReader0003::Config config = {})
      : reader_(std::make_shared<standin::SimulatedReader0003>(std::move(config))),
        recorder_(std::make_shared<DriverEventRecorder>()) {}

  standin::SimulatedReader0003& reader() { return *reader_; }
  std::shared_ptr<standin::SimulatedReader0003> readerPtr() { return reader_; }
  std::shared_ptr<DriverEventRecorder> recorder() { return recorder_; }

  std::shared_ptr<NLSwiperController> nl() {
    if (!driver_) {
      driver_ = NLSwiperController::sharedInstance();
      driver_->setDelegate(recorder_);
      recorder_->driver = driver_;
    }
    return driver_;
  }
  std::shared_ptr<CTSwiperController> driver() { return nl(); }

  void plugReader(bool readKsn = true) {
    nl();
    platform::media::Jack::shared().plug(reader_);
    EXPECT_TRUE(pumpUntil([&] { return recorder_->has("onDevicePlugged"); }, 2.0));
    if (!readKsn) return;
    recorder_->clear();
    driver_->getCSwiperKsn();
    EXPECT_TRUE(pumpUntil([&] { return recorder_->endEvents() > 0; }, 10.0));
    EXPECT_EQ(driver_->SN(), expectedKsn());
  }
  void unplugReader() {
    platform::media::Jack::shared().unplug();
    EXPECT_TRUE(pumpUntil([&] { return recorder_->has("onDeviceUnplugged"); }, 2.0));
  }
  // As a user does: once the screen asks for the card.
  bool swipe() {
    auto ready = [&] { return driver_->getCSwiperState() == NLSwiperController::kRunWaitingForSwipe && reader_->isArmed(); };
    if (!pumpUntil(ready, 10.0)) return false;
    return reader_->swipe(card_);
  }
  bool pumpUntil(const std::function<bool()>& pred, double virtualSeconds) {
    return platform::RunLoop::main().runUntil(pred, platform::secs(virtualSeconds));
  }

  std::string expectedKsn() const { return "6003201511000027"; }
  CardResult expectedCard() const {
    auto random = reader_->lastRandom();
    CardResult r;
    r.formatID = std::nullopt;
    r.ksn = expectedKsn();
    r.encTracks = upperHex(card_.encryptedTracks.data(), card_.encryptedTracks.size());
    r.track1Length = card_.track1Length;
    r.track2Length = card_.track2Length;
    r.track3Length = card_.track3Length;
    r.randomNumber = upperHex(random.data(), random.size());
    r.maskedPAN = "622202 ********* 0123";
    r.expiryDate = "2512";
    r.cardHolderName = std::nullopt;
    return r;
  }
  double swipeTimeout() const { return NLSwiperController::kDefaultSwipeTimeout; }
  const standin::Reader0003Card& card() const { return card_; }

  static std::string upperHex(const uint8_t* bytes, size_t count) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < count; ++i) {
      out += digits[bytes[i] >> 4];
      out += digits[bytes[i] & 15];
    }
    return out;
  }

 private:
  std::shared_ptr<standin::SimulatedReader0003> reader_;
  std::shared_ptr<DriverEventRecorder> recorder_;
  std::shared_ptr<NLSwiperController> driver_;
  standin::Reader0003Card card_ = standin::Reader0003Card::testCard();
};

}  // namespace nvx::reader::testing
