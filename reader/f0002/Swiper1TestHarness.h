// Test-only: the 0002 driver against the simulated reader in the headset jack, on the virtual
// clock. plugReader reads the KSN as the reader gate does before a swipe, so that a card result
// carries it.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/foundation/RunLoop.h"
#include "platform/media/Jack.h"
#include "reader/f0002/CSwiperController1.h"
#include "reader/testing/DriverEventRecorder.h"
#include "standin/SimulatedReader0002.h"

namespace nvx::reader::testing {

inline std::string upperHex(const uint8_t* bytes, size_t count) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}

class Swiper1Harness {
 public:
  static constexpr bool kRefusesBusyStart = true;

  Swiper1Harness()
      : reader_(std::make_shared<standin::SimulatedReader0002>()), recorder_(std::make_shared<DriverEventRecorder>()) {}

  standin::SimulatedReader0002& reader() { return *reader_; }
  std::shared_ptr<standin::SimulatedReader0002> readerPtr() { return reader_; }
  std::shared_ptr<DriverEventRecorder> recorder() { return recorder_; }

  std::shared_ptr<CSwiperController1> c1() {
    if (!driver_) {
      driver_ = CSwiperController1::create();
      driver_->setDelegate(recorder_);
      recorder_->driver = driver_;
    }
    return driver_;
  }
  std::shared_ptr<CTSwiperController> driver() { return c1(); }

  void plugReader(bool readKsn = true) {
    c1();
    platform::media::Jack::shared().plug(reader_);
    EXPECT_TRUE(pumpUntil([&] { return driver_->isDevicePresent(); }, 2.0));
    if (!readKsn) return;
    recorder_->clear();
    driver_->getCSwiperKsn();
    EXPECT_TRUE(pumpUntil([&] { return recorder_->has("onGetKsnCompleted") || recorder_->has("onError"); }, 60.0));
    EXPECT_EQ(driver_->ksn(), expectedKsn());
  }
  void unplugReader() {
    platform::media::Jack::shared().unplug();
    EXPECT_TRUE(pumpUntil([&] { return !driver_->isDevicePresent(); }, 2.0));
  }
  bool swipe() {
    if (!pumpUntil([&] { return reader_->isArmed(); }, 60.0)) return false;
    return reader_->swipe(card_);
  }
  bool pumpUntil(const std::function<bool()>& pred, double virtualSeconds) {
    return platform::RunLoop::main().runUntil(pred, platform::secs(virtualSeconds));
  }

  std::string expectedKsn() const { return "CBC3201306010042"; }
  CardResult expectedCard() const {
    CardResult r;
    r.formatID = "99";
    r.ksn = expectedKsn();
    r.encTracks = upperHex(card_.encryptedTracks.data(), card_.encryptedTracks.size());
    r.track1Length = 0;
    r.track2Length = card_.track2Length;
    r.track3Length = card_.track3Length;
    auto random = reader_->lastRandom();
    r.randomNumber = upperHex(random.data(), random.size());
    r.maskedPAN = "622202******0123";
    r.expiryDate = "25/12";
    r.cardHolderName = std::nullopt;
    return r;
  }
  double swipeTimeout() const { return CSwiperController1::kDefaultSwipeTimeout / 1000.0; }
  const standin::Reader0002Card& card() const { return card_; }

 private:
  std::shared_ptr<standin::SimulatedReader0002> reader_;
  std::shared_ptr<DriverEventRecorder> recorder_;
  std::shared_ptr<CSwiperController1> driver_;
  standin::Reader0002Card card_ = standin::Reader0002Card::testCard();
};

}  // namespace nvx::reader::testing
