#include "platform/foundation/ThreadActivity.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/foundation/RunLoop.h"
#include "platform/testing/Testing.h"

namespace platform {
namespace {

void waitFor(const std::atomic<bool>& flag) {
  while (!flag.load()) std::this_thread::yield();
}

// Two detached threads, A then B, in the same step: A sees B only while B is busy (not while B
// sits in a Thread::Idle scope), and the main thread, which holds no busy unit, sees nobody.
TEST(ThreadActivityTest, OthersBusyInCurrentStepCountsOnlyOtherBusyThreads) {
  std::atomic<bool> aChecked{false}, bStarted{false}, aSawB{false}, bIdle{false}, aDone{false};
  std::atomic<bool> alone{true}, withB{false}, withBIdle{true};

  EXPECT_FALSE(ThreadActivity::othersBusyInCurrentStep());
  Thread::detach("activity-a", [&] {
    alone = ThreadActivity::othersBusyInCurrentStep();
    aChecked = true;
    waitFor(bStarted);
    withB = ThreadActivity::othersBusyInCurrentStep();
    aSawB = true;
    waitFor(bIdle);
    withBIdle = ThreadActivity::othersBusyInCurrentStep();
    aDone = true;
  });
  waitFor(aChecked);
  Thread::detach("activity-b", [&] {
    bStarted = true;
    waitFor(aSawB);
    Thread::Idle idle;
    bIdle = true;
    waitFor(aDone);
  });
  waitFor(bStarted);
  EXPECT_FALSE(ThreadActivity::othersBusyInCurrentStep());  // the main thread holds no unit
  EXPECT_TRUE(testing::noThreadLeft());
  EXPECT_FALSE(alone);
  EXPECT_TRUE(withB);
  EXPECT_FALSE(withBIdle);
}

TEST(ThreadActivityTest, LiveCountFollowsDetachedThreadsAndAResetLeavesNone) {
  EXPECT_EQ(ThreadActivity::liveCount(), 0);
  std::atomic<bool> started{false};
  Thread::detach("activity-short", [] {});
  Thread::detach("activity-long", [&] {
    started = true;
    Thread::Idle idle;
    while (!Thread::stopping()) std::this_thread::yield();  // until a reset
  });
  waitFor(started);
  // The short one stops counting once its body has returned; the long one counts until joined.
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (ThreadActivity::liveCount() > 1 && std::chrono::steady_clock::now() < limit) std::this_thread::yield();
  EXPECT_EQ(ThreadActivity::liveCount(), 1);
  testing::restart();  // joins them both
  EXPECT_EQ(ThreadActivity::liveCount(), 0);
  EXPECT_TRUE(testing::noThreadLeft());
}

}  // namespace
}  // namespace platform
