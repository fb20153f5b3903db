#include "platform/foundation/Clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/foundation/RunLoop.h"

namespace platform {
namespace {

TEST(ClockTest, SecondsConvertToTheNearestNanosecond) {
  for (int ms = -2000; ms <= 100000; ++ms)
    ASSERT_EQ(secs(ms / 1000.0), std::chrono::milliseconds(ms)) << ms << " ms";
  EXPECT_EQ(secs(0.15), std::chrono::milliseconds(150));
  EXPECT_EQ(secs(3.2), std::chrono::milliseconds(3200));
  EXPECT_DOUBLE_EQ(toSecs(secs(27.6)), 27.6);
}

TEST(ClockTest, VirtualWallTimeFollowsVirtualTime) {
  VirtualClock* vc = virtualClock();
  ASSERT_NE(vc, nullptr);  // the test main installs one
  EXPECT_TRUE(vc->isVirtual());
  using namespace std::chrono;
  EXPECT_EQ(vc->wallNow(), time_point_cast<Duration>(sys_days(year(2013) / June / 1) + hours(2)));
  TimePoint start = vc->now();
  vc->advanceTo(start + secs(90));
  EXPECT_EQ(vc->wallNow() - VirtualClock::defaultWall(), secs(90));
  WallTime base = time_point_cast<Duration>(sys_days(year(2014) / January / 15));
  vc->setWall(base);
  vc->advanceTo(vc->now() + hours(24 * 14));
  EXPECT_EQ(vc->wallNow(), base + hours(24 * 14));
  vc->advanceTo(start);  // never backwards
  EXPECT_EQ(vc->now(), start + secs(90) + hours(24 * 14));
}

TEST(ClockTest, ZeroSleepsAndSatisfiedWaitsDoNotBlock) {
  clock().sleepFor(Duration::zero());
  clock().sleepFor(secs(-1));
  std::mutex m;
  std::condition_variable_any cv;
  std::unique_lock<std::mutex> lock(m);
  EXPECT_TRUE(clock().waitUntil(lock, cv, clock().now() + secs(5), [] { return true; }));
  EXPECT_FALSE(clock().waitUntil(lock, cv, clock().now(), [] { return false; }));  // already past
  EXPECT_EQ(virtualClock()->sleepers(), 0);
}

TEST(ClockTest, AnUntrackedThreadSleepsUntilTimeIsMovedPastItsDeadline) {
  VirtualClock* vc = virtualClock();
  std::atomic<bool> woke{false};
  TimePoint start = vc->now();
  std::thread sleeper([&] {
    clock().sleepFor(secs(2));
    woke = true;
  });
  while (vc->sleepers() == 0) std::this_thread::yield();
  EXPECT_EQ(vc->nextSleeperDeadline(), start + secs(2));
  vc->advanceTo(start + secs(1));
  EXPECT_FALSE(woke);
  EXPECT_EQ(vc->sleepers(), 1);
  vc->advanceTo(start + secs(2));
  sleeper.join();
  EXPECT_TRUE(woke);
  EXPECT_FALSE(vc->nextSleeperDeadline());
}

TEST(ClockTest, InstallingAClockReplacesTheProcessClock) {
  installClock(std::make_shared<RealClock>());
  EXPECT_EQ(virtualClock(), nullptr);
  EXPECT_FALSE(clock().isVirtual());
  TimePoint a = clock().now();
  clock().sleepFor(std::chrono::milliseconds(1));
  EXPECT_GE(clock().now() - a, std::chrono::milliseconds(1));
  installClock(std::make_shared<VirtualClock>());
  EXPECT_NE(virtualClock(), nullptr);
}

}  // namespace
}  // namespace platform
