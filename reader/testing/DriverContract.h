// Test-only: the contract every card-reader driver keeps, as a typed GoogleTest suite written
// against the driver interface alone. A reader family runs it with a harness of its own:
//
//   INSTANTIATE_TYPED_TEST_SUITE_P(Wex, DriverContract, ::testing::Types<WexHarness>);
//
// A Harness is default constructible (once per test, after the process reset) and provides:
//   std::shared_ptr<CTSwiperController> driver();    the driver, its receiver set to recorder()
//   std::shared_ptr<DriverEventRecorder> recorder();
//   void plugReader();        the reader becomes present (the driver sees it)
//   void unplugReader();      it goes away (the driver sees that too)
//   bool swipe();             waits until the reader is armed, then swipes the test card
//   bool pumpUntil(std::function<bool()> pred, double virtualSeconds);
//                             runs the loop (real I/O, virtual time) until pred() or the limit
//   std::string expectedKsn();
//   CardResult expectedCard();          the result of the test card's swipe just made
//   double swipeTimeout();              the session's swipe time-out in seconds
//   static constexpr bool kRefusesBusyStart;   a start while busy answers onError -2
//   static constexpr bool kWaitsForDeviceBeforeLooking;   (optional) a swipe request says
//                             onWaitingForDevice before it finds that no reader is there
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "reader/CTSwiperController.h"
#include "reader/testing/DriverEventRecorder.h"

namespace nvx::reader::testing {

template <class Harness>
class DriverContract : public ::testing::Test {
 protected:
  Harness h_;

  DriverEventRecorder& events() { return *h_.recorder(); }

  bool ended() { return events().endEvents() > 0; }

  // The session's events (presence events left out) are in the allowed order: each name is one
  // of `order` and none comes before one that stands earlier in `order`.
  static void expectInOrder(const std::vector<std::string>& seen, const std::vector<std::string>& order) {
    size_t at = 0;
    for (const auto& name : seen) {
      auto it = std::find(order.begin() + static_cast<std::ptrdiff_t>(at), order.end(), name);
      ASSERT_NE(it, order.end()) << "unexpected or out-of-order event " << name;
      at = static_cast<size_t>(it - order.begin());
    }
  }

  void expectIdleAfterEnd() {
    ASSERT_FALSE(events().stateAfterEnd.empty());
    for (int32_t state : events().stateAfterEnd) EXPECT_EQ(state, 0);
    EXPECT_EQ(h_.driver()->getCSwiperState(), 0);
  }
};

TYPED_TEST_SUITE_P(DriverContract);

TYPED_TEST_P(DriverContract, KsnReadEndsInTheSerialNumberAlone) {
  auto driver = this->h_.driver();
  this->h_.plugReader();
  this->events().clear();
  driver->getCSwiperKsn();
  ASSERT_TRUE(this->h_.pumpUntil([&] { return this->ended(); }, 10.0));
  this->h_.pumpUntil([] { return false; }, 1.0);  // nothing else may follow

  auto seen = this->events().sessionNames();
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), "onGetKsnCompleted");
  EXPECT_EQ(this->events().endEvents(), 1u);
  for (const auto& name : seen) {
    EXPECT_TRUE(name == "onWaitingForDevice" || name == "onGetKsnCompleted") << name;
  }
  EXPECT_EQ(this->events().last("onGetKsnCompleted")->text, this->h_.expectedKsn());
  this->expectIdleAfterEnd();
}

TYPED_TEST_P(DriverContract, SwipeEventsComeInOrderAndTheResultEndsTheSession) {
  auto driver = this->h_.driver();
  this->h_.plugReader();
  this->events().clear();
  ASSERT_EQ(driver->getCSwiperState(), 0);
  driver->startCSwiper();
  ASSERT_TRUE(this->h_.swipe());
  ASSERT_TRUE(this->h_.pumpUntil([&] { return this->ended(); }, 10.0));
  this->h_.pumpUntil([] { return false; }, 1.0);

  auto seen = this->events().sessionNames();
  this->expectInOrder(seen, {"onWaitingForDevice", "onWaitingForCardSwipe", "onCardSwipeDetected",
                             "onDecodingStart", "onDecodeCompleted"});
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), "onDecodeCompleted");
  EXPECT_EQ(this->events().count("onWaitingForCardSwipe"), 1u);
  EXPECT_EQ(this->events().endEvents(), 1u);
  EXPECT_EQ(this->events().last("onDecodeCompleted")->card, this->h_.expectedCard());
  this->expectIdleAfterEnd();
}

TYPED_TEST_P(DriverContract, StartWhileBusyIsRefusedAndTheRunningSessionGoesOn) {
  auto driver = this->h_.driver();
  this->h_.plugReader();
  this->events().clear();
  driver->startCSwiper();
  ASSERT_TRUE(this->h_.pumpUntil([&] { return this->events().has("onWaitingForCardSwipe"); }, 10.0));
  ASSERT_NE(driver->getCSwiperState(), 0);

  driver->startCSwiper();
  this->h_.pumpUntil([] { return false; }, 0.5);
  if (TypeParam::kRefusesBusyStart) {
    ASSERT_EQ(this->events().count("onError"), 1u);
    EXPECT_EQ(this->events().last("onError")->value, kReaderErrorBusy);
  }
  EXPECT_EQ(this->events().endEvents(), 0u);

  ASSERT_TRUE(this->h_.swipe());
  ASSERT_TRUE(this->h_.pumpUntil([&] { return this->ended(); }, 10.0));
  EXPECT_EQ(this->events().sessionNames().back(), "onDecodeCompleted");
  EXPECT_EQ(this->events().endEvents(), 1u);
  EXPECT_EQ(this->events().count("onWaitingForCardSwipe"), 1u);
  this->expectIdleAfterEnd();
}

TYPED_TEST_P(DriverContract, NoReaderAnswersNoDeviceDetectedAndStaysIdle) {
  auto driver = this->h_.driver();
  for (auto request : {&CTSwiperController::startCSwiper, &CTSwiperController::getCSwiperKsn}) {
    this->events().clear();
    ((*driver).*request)();
    ASSERT_TRUE(this->h_.pumpUntil([&] { return this->ended(); }, 10.0));
    this->h_.pumpUntil([] { return false; }, 1.0);
    std::vector<std::string> expected{"onNoDeviceDetected"};
    if constexpr (requires { TypeParam::kWaitsForDeviceBeforeLooking; }) {
      if (TypeParam::kWaitsForDeviceBeforeLooking && request == &CTSwiperController::startCSwiper) {
        expected.insert(expected.begin(), "onWaitingForDevice");
      }
    }
    EXPECT_EQ(this->events().sessionNames(), expected);
    this->expectIdleAfterEnd();
  }
}

TYPED_TEST_P(DriverContract, TimeOutEndsTheSessionOnceAndANewSessionWorks) {
  auto driver = this->h_.driver();
  this->h_.plugReader();
  this->events().clear();
  driver->startCSwiper();
  ASSERT_TRUE(this->h_.pumpUntil([&] { return this->events().has("onWaitingForCardSwipe"); }, 10.0));
  ASSERT_TRUE(this->h_.pumpUntil([&] { return this->ended(); }, this->h_.swipeTimeout() + 1.0));
  this->h_.pumpUntil([] { return false; }, this->h_.swipeTimeout());  // no late second end
  EXPECT_EQ(this->events().sessionNames().back(), "onTimeout");
  EXPECT_EQ(this->events().endEvents(), 1u);
  this->expectIdleAfterEnd();

  this->events().clear();
  driver->startCSwiper();
  ASSERT_TRUE(this->h_.swipe());
  ASSERT_TRUE(this->h_.pumpUntil([&] { return this->ended(); }, 10.0));
  EXPECT_EQ(this->events().sessionNames().back(), "onDecodeCompleted");
  EXPECT_EQ(this->events().endEvents(), 1u);
}

TYPED_TEST_P(DriverContract, StopEndsTheSessionWithAtMostAnInterruption) {
  auto driver = this->h_.driver();
  this->h_.plugReader();
  this->events().clear();
  driver->startCSwiper();
  ASSERT_TRUE(this->h_.pumpUntil([&] { return this->events().has("onWaitingForCardSwipe"); }, 10.0));
  driver->stopCSwiper();
  EXPECT_EQ(driver->getCSwiperState(), 0);
  this->h_.pumpUntil([] { return false; }, this->h_.swipeTimeout() + 1.0);
  EXPECT_LE(this->events().endEvents(), 1u);
  for (const auto& e : this->events().events) {
    if (DriverEventRecorder::isEndEvent(e)) {
      EXPECT_EQ(e.name, "onInterrupted");
    }
  }
  EXPECT_EQ(driver->getCSwiperState(), 0);
}

TYPED_TEST_P(DriverContract, AReceiverGoneDuringASessionHearsNothingAndNothingBreaks) {
  auto driver = this->h_.driver();
  this->h_.plugReader();
  auto screen = std::make_shared<DriverEventRecorder>();
  screen->driver = driver;
  driver->setDelegate(screen);
  driver->startCSwiper();
  ASSERT_TRUE(this->h_.pumpUntil([&] { return screen->has("onWaitingForCardSwipe"); }, 10.0));
  std::weak_ptr<DriverEventRecorder> gone = screen;
  screen.reset();  // the screen was popped while the reader waits for the swipe
  ASSERT_TRUE(gone.expired());
  ASSERT_TRUE(this->h_.swipe());
  EXPECT_TRUE(this->h_.pumpUntil([&] { return driver->getCSwiperState() == 0; }, 10.0));
}

REGISTER_TYPED_TEST_SUITE_P(DriverContract, KsnReadEndsInTheSerialNumberAlone,
                            SwipeEventsComeInOrderAndTheResultEndsTheSession,
                            StartWhileBusyIsRefusedAndTheRunningSessionGoesOn,
                            NoReaderAnswersNoDeviceDetectedAndStaysIdle,
                            TimeOutEndsTheSessionOnceAndANewSessionWorks,
                            StopEndsTheSessionWithAtMostAnInterruption,
                            AReceiverGoneDuringASessionHearsNothingAndNothingBreaks);

}  // namespace nvx::reader::testing
