#include "platform/foundation/RunLoop.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/foundation/Clock.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"

namespace platform {
namespace {

// Seconds of virtual time since the test began (the test main installs a fresh virtual clock).
struct Elapsed {
  TimePoint start = clock().now();
  double operator()() const { return toSecs(clock().now() - start); }
};

TEST(RunLoopTest, DelayFiresAtItsDeadlineAndNotBefore) {
  Elapsed t;
  auto& loop = RunLoop::main();
  double firedAt = -1;
  loop.after(secs(2.0), [&] { firedAt = t(); });
  loop.advance(1.999);
  EXPECT_EQ(firedAt, -1);
  loop.advance(0.001);
  EXPECT_DOUBLE_EQ(firedAt, 2.0);
  EXPECT_DOUBLE_EQ(t(), 2.0);
  EXPECT_EQ(loop.timerCount(), 0u);
}

TEST(RunLoopTest, TimersFireByDeadlineThenBySchedulingOrder) {
  struct Case {
    std::vector<double> delays;
    std::string order;  // names of the timers (a, b, c, ...) in firing order
  };
  const std::vector<Case> cases = {
      {{3, 1, 2}, "bca"},
      {{1, 1, 1}, "abc"},              // equal deadlines: scheduling order
      {{2, 0.5, 2, 0.5}, "bdac"},
      {{0, 0, 1.5}, "abc"},
  };
  for (const auto& c : cases) {
    std::string order;
    for (size_t i = 0; i < c.delays.size(); ++i) {
      char name = static_cast<char>('a' + i);
      RunLoop::main().after(secs(c.delays[i]), [&order, name] { order += name; });
    }
    RunLoop::main().advance(5.0);
    EXPECT_EQ(order, c.order) << "case " << c.order;
  }
}

TEST(RunLoopTest, TimerScheduledFromATimerAndTasksItPostsRunBeforeTimeMoves) {
  Elapsed t;
  auto& loop = RunLoop::main();
  std::vector<std::pair<std::string, double>> log;
  loop.after(secs(1.0), [&] {
    log.emplace_back("first", t());
    loop.post([&] { log.emplace_back("posted", t()); });
    loop.after(secs(0.5), [&] { log.emplace_back("nested", t()); });
    loop.after(secs(0), [&] { log.emplace_back("zero", t()); });
  });
  loop.after(secs(1.2), [&] { log.emplace_back("second", t()); });
  loop.advance(2.0);
  std::vector<std::pair<std::string, double>> expected = {
      {"first", 1.0}, {"posted", 1.0}, {"zero", 1.0}, {"second", 1.2}, {"nested", 1.5}};
  EXPECT_EQ(log, expected);
}

TEST(RunLoopTest, DelayZeroRunsOnTheNextPassNotTheCurrentOne) {
  auto& loop = RunLoop::main();
  int fired = 0;
  loop.post([&] { loop.after(Duration::zero(), [&] { ++fired; }); });
  EXPECT_EQ(loop.runPending(), 1u);  // the post; the new delayed call waits for the next pass
  EXPECT_EQ(fired, 0);
  EXPECT_EQ(loop.runPending(), 1u);
  EXPECT_EQ(fired, 1);
}

TEST(RunLoopTest, RepeatingTimerKeepsItsRhythmUntilCancelled) {
  Elapsed t;
  auto& loop = RunLoop::main();
  std::vector<double> fires;
  TimerId id = 0;
  id = loop.every(secs(0.3), [&] {
    fires.push_back(t());
    if (fires.size() == 3) loop.cancel(id);  // a timer may cancel itself
  });
  loop.advance(0.25);
  EXPECT_TRUE(fires.empty());
  EXPECT_TRUE(loop.isScheduled(id));
  loop.advance(2.0);
  ASSERT_EQ(fires.size(), 3u);
  EXPECT_DOUBLE_EQ(fires[0], 0.3);
  EXPECT_DOUBLE_EQ(fires[1], 0.6);
  EXPECT_DOUBLE_EQ(fires[2], 0.9);
  EXPECT_FALSE(loop.isScheduled(id));
}

TEST(RunLoopTest, RepeatingTimerSkipsFiresMissedWhileTheLoopStood) {
  auto& loop = RunLoop::main();
  int fires = 0;
  loop.every(secs(1.0), [&] { ++fires; });
  virtualClock()->advanceTo(clock().now() + secs(3.5));  // time jumped without the loop
  loop.runUntilIdle();
  EXPECT_EQ(fires, 1);
  ASSERT_TRUE(loop.nextDeadline());
  EXPECT_EQ(*loop.nextDeadline() - clock().now(), secs(0.5));  // still on the 1 s grid
}

TEST(RunLoopTest, CancelAllForRemovesOnlyThatTargetsCalls) {
  auto& loop = RunLoop::main();
  int driver = 0, listener = 0;
  const char* other = "other";
  std::string fired;
  loop.after(secs(1), [&] { fired += "d1 "; }, &driver);
  loop.every(secs(0.5), [&] { fired += "d2 "; }, &driver);
  loop.after(secs(1), [&] { fired += "l "; }, &listener);
  loop.after(secs(1), [&] { fired += "o "; }, other);
  loop.after(secs(1), [&] { fired += "n "; });
  loop.cancelAllFor(&driver);
  loop.cancelAllFor(nullptr);  // untargeted calls are not a group
  loop.advance(1.0);
  EXPECT_EQ(fired, "l o n ");
}

TEST(RunLoopTest, CancelledCallNeverRunsEvenWhenDueInTheSamePass) {
  auto& loop = RunLoop::main();
  bool second = false;
  TimerId victim = 0;
  loop.after(secs(1), [&] { loop.cancel(victim); });
  victim = loop.after(secs(1), [&] { second = true; });
  loop.advance(1.0);
  EXPECT_FALSE(second);
  loop.cancel(victim);  // cancelling twice is harmless
  loop.cancel(12345);
}

TEST(RunLoopTest, PostAndWaitRunsInlineOnTheMainThread) {
  auto& loop = RunLoop::main();
  bool ran = false;
  loop.postAndWait([&] { ran = true; });
  EXPECT_TRUE(ran);  // no pass of the loop was needed
}

TEST(RunLoopTest, PostAndWaitFromAWorkerBlocksUntilTheMainThreadRanIt) {
  auto& loop = RunLoop::main();
  std::atomic<bool> onMain{false}, workerDone{false};
  std::atomic<int> order{0};
  int taskStep = 0, workerStep = 0;
  dispatchGlobal([&] {
    loop.postAndWait([&] {
      onMain = loop.isMainThread();
      taskStep = ++order;
    });
    workerStep = ++order;
    workerDone = true;
  });
  EXPECT_TRUE(loop.runUntil([&] { return workerDone.load(); }, secs(1)));
  EXPECT_TRUE(onMain);
  EXPECT_EQ(taskStep, 1);
  EXPECT_EQ(workerStep, 2);
}

TEST(RunLoopTest, DispatchGlobalWorksOffTheMainThreadAndPostsBack) {
  auto& loop = RunLoop::main();
  Elapsed t;
  std::thread::id workerThread, resultThread;
  int result = 0;
  dispatchGlobal([&] {
    workerThread = std::this_thread::get_id();
    int sum = 0;
    for (int i = 1; i <= 100; ++i) sum += i;
    dispatchMain([&, sum] {
      result = sum;
      resultThread = std::this_thread::get_id();
    });
  });
  EXPECT_TRUE(loop.runUntil([&] { return result != 0; }, secs(5)));
  EXPECT_EQ(result, 5050);
  EXPECT_NE(workerThread, std::this_thread::get_id());
  EXPECT_EQ(resultThread, std::this_thread::get_id());
  EXPECT_EQ(t(), 0.0);  // nothing needed virtual time
}

TEST(RunLoopTest, WorkerSleepingOnTheVirtualClockWakesOnlyWhenAdvanced) {
  auto& loop = RunLoop::main();
  Elapsed t;
  std::atomic<bool> awake{false};
  double postedAt = -1;
  dispatchGlobal([&] {
    clock().sleepFor(secs(1.0));
    awake = true;
    dispatchMain([&] { postedAt = t(); });
  });
  loop.advance(0.999);
  EXPECT_FALSE(awake);
  EXPECT_EQ(virtualClock()->sleepers(), 1);
  loop.advance(0.5);
  EXPECT_TRUE(awake);
  // The loop waited for the woken worker and ran its post at the time it woke.
  EXPECT_DOUBLE_EQ(postedAt, 1.0);
}

TEST(RunLoopTest, SleepingWorkersAndTimersInterleaveByDeadline) {
  auto& loop = RunLoop::main();
  std::vector<std::string> log;
  dispatchGlobal([&] {
    for (int i = 0; i < 3; ++i) {
      clock().sleepFor(secs(0.4));
      dispatchMain([&, i] { log.push_back("worker" + std::to_string(i)); });
    }
  });
  loop.every(secs(0.5), [&] { log.push_back("timer"); });
  loop.advance(1.3);
  std::vector<std::string> expected = {"worker0", "timer", "worker1", "timer", "worker2"};
  EXPECT_EQ(log, expected);  // 0.4, 0.5, 0.8, 1.0, 1.2
}

TEST(RunLoopTest, TimedWaitOnTheVirtualClock) {
  auto& loop = RunLoop::main();
  std::mutex m;
  std::condition_variable_any cv;
  bool ready = false;
  std::atomic<int> first{-1}, second{-1};
  dispatchGlobal([&] {
    std::unique_lock<std::mutex> lock(m);
    first = clock().waitUntil(lock, cv, clock().now() + secs(2), [&] { return ready; });
    second = clock().waitUntil(lock, cv, clock().now() + secs(2), [&] { return ready; });
  });
  loop.advance(1.9);
  EXPECT_EQ(first, -1);
  loop.advance(0.1);  // first wait times out; the second one begins at 2.0
  EXPECT_EQ(first, 0);
  loop.advance(1.0);
  {
    std::lock_guard<std::mutex> lock(m);
    ready = true;
  }
  cv.notify_all();
  // Woken by this thread, not by the clock or the loop: wait for it in real time.
  EXPECT_TRUE(loop.drainIoUntil([&] { return second != -1; }, std::chrono::milliseconds(5000)));
  EXPECT_EQ(second, 1);
}

TEST(RunLoopTest, ThreadWaitingOutsideTheClockInAnIdleScopeDoesNotHoldTimeBack) {
  auto& loop = RunLoop::main();
  log::Capture capture;
  std::mutex m;
  std::condition_variable cv;
  bool go = false;
  std::atomic<bool> waiting{false}, ended{false};
  Thread::detach("socket-reader", [&] {
    Thread::Idle idle;  // stands for a blocking read on a socket
    std::unique_lock<std::mutex> lock(m);
    waiting = true;
    cv.wait(lock, [&] { return go; });
    ended = true;
  });
  while (!waiting) std::this_thread::yield();
  bool fired = false;
  loop.after(secs(1), [&] { fired = true; });
  auto realStart = std::chrono::steady_clock::now();
  EXPECT_TRUE(loop.runUntil([&] { return fired; }, secs(2)));
  EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(2));
  EXPECT_FALSE(capture.contains("stayed busy"));
  {
    std::lock_guard<std::mutex> lock(m);
    go = true;
  }
  cv.notify_all();
  Process::current().reset(ResetKind::Fresh);  // joins it
  EXPECT_TRUE(ended);
}

TEST(RunLoopTest, RunUntilStopsAtThePredicateOrAtTheLimit) {
  auto& loop = RunLoop::main();
  Elapsed t;
  bool flag = false;
  loop.after(secs(3), [&] { flag = true; });
  EXPECT_FALSE(loop.runUntil([&] { return flag; }, secs(2)));
  EXPECT_DOUBLE_EQ(t(), 2.0);
  EXPECT_TRUE(loop.runUntil([&] { return flag; }, secs(10)));
  EXPECT_DOUBLE_EQ(t(), 3.0);  // time stops where the predicate came true
}

TEST(RunLoopTest, OperationQueueRunsAtMostFourAtOnce) {
  auto& loop = RunLoop::main();
  std::atomic<int> running{0}, peak{0}, done{0};
  for (int i = 0; i < 10; ++i) {
    OperationQueue::shared().add([&] {
      int now = ++running;
      int seen = peak.load();
      while (now > seen && !peak.compare_exchange_weak(seen, now)) {}
      clock().sleepFor(secs(1));
      --running;
      ++done;
    });
  }
  EXPECT_TRUE(loop.runUntil([&] { return done == 10; }, secs(10)));
  EXPECT_EQ(peak, 4);
  OperationQueue::shared().waitUntilAllDone();
  EXPECT_EQ(OperationQueue::shared().operationCount(), 0u);
}

TEST(RunLoopTest, DescriptorCallbacksRunOnTheLoop) {
  auto& loop = RunLoop::main();
  int fds[2];
  ASSERT_EQ(::pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
  std::string got;
  loop.addFd(fds[0], POLLIN, [&](short revents) {
    char buf[16];
    ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n > 0) got.append(buf, static_cast<size_t>(n));
  });
  EXPECT_EQ(loop.runUntilIdle(), 0u);
  ASSERT_EQ(::write(fds[1], "ab", 2), 2);
  loop.runPending();
  EXPECT_EQ(got, "ab");

  // From another thread, in real time: drainIo waits for it.
  std::thread writer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(::write(fds[1], "cd", 2), 2);
  });
  EXPECT_GE(loop.drainIo(std::chrono::milliseconds(2000)), 1u);
  writer.join();
  EXPECT_EQ(got, "abcd");

  loop.removeFd(fds[0]);
  ASSERT_EQ(::write(fds[1], "ef", 2), 2);
  EXPECT_EQ(loop.runUntilIdle(), 0u);
  EXPECT_EQ(got, "abcd");
  ::close(fds[0]);
  ::close(fds[1]);
}

TEST(RunLoopTest, RunOnTheRealClockEndsAtStop) {
  installClock(std::make_shared<RealClock>());
  auto& loop = RunLoop::main();
  int ticks = 0;
  loop.every(std::chrono::milliseconds(1), [&] { ++ticks; });
  loop.after(std::chrono::milliseconds(5), [&] { loop.stop(); });
  loop.run();
  EXPECT_GE(ticks, 1);
  std::atomic<bool> posted{false};
  std::thread poster([&] { loop.post([&] { posted = true; loop.stop(); }); });
  loop.run();  // a post from another thread wakes the sleeping loop
  poster.join();
  EXPECT_TRUE(posted);
}

}  // namespace
}  // namespace platform
