#include "platform/foundation/Process.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/testing/Testing.h"

namespace platform {
namespace {

std::vector<std::string> gEvents;  // what happened during a reset, in order

struct Older {
  int value = 7;
  ~Older() { gEvents.push_back("~Older"); }
};

struct Newer {
  ~Newer() {
    // A destructor may still use an older single object: it is the same one, not a new one.
    gEvents.push_back("~Newer sees " + std::to_string(Process::current().shared<Older>().value));
  }
};

struct Newest {
  ~Newest() { gEvents.push_back("~Newest"); }
};

TEST(ProcessTest, ResetDestroysSingleObjectsNewestFirst) {
  gEvents.clear();
  Process::current().shared<Older>().value = 42;
  Process::current().shared<Newer>();
  Process::current().shared<Newest>();
  EXPECT_EQ(&Process::current().shared<Older>(), Process::current().sharedIfExists<Older>());
  Process::current().reset(ResetKind::Fresh);
  std::vector<std::string> expected = {"~Newest", "~Newer sees 42", "~Older"};
  EXPECT_EQ(gEvents, expected);
  EXPECT_EQ(Process::current().sharedIfExists<Older>(), nullptr);
  EXPECT_EQ(Process::current().shared<Older>().value, 7);  // a fresh one
}

TEST(ProcessTest, ForgetDropsOneObject) {
  gEvents.clear();
  Process::current().shared<Newest>();
  Process::current().forget<Newest>();
  EXPECT_EQ(gEvents, std::vector<std::string>{"~Newest"});
  EXPECT_EQ(Process::current().sharedIfExists<Newest>(), nullptr);
  Process::current().forget<Newest>();  // nothing left to forget
}

TEST(ProcessTest, ResetRunsShutdownHooksThenJoinsThreadsThenDestroysThenResetHooks) {
  gEvents.clear();
  std::mutex m;
  auto note = [&](std::string s) {
    std::lock_guard<std::mutex> lock(m);
    gEvents.push_back(std::move(s));
  };
  Process::current().shared<Newest>();
  Process::current().onShutdown([&] { note("shutdown 1"); });
  Process::current().onShutdown([&] { note("shutdown 2"); });
  Thread::detach("looper", [&] {
    while (!Thread::stopping()) clock().sleepFor(secs(3600));  // never advanced
    note("thread ended");
  });
  dispatchGlobal([&] {
    clock().sleepFor(secs(3600));
    note("pool task ended");
  });
  // Both workers are asleep on the clock before the reset (a pool task still queued would be dropped).
  RunLoop::main().runUntil([] { return virtualClock()->sleepers() == 2; }, secs(0));
  ASSERT_EQ(virtualClock()->sleepers(), 2);
  int seen = 0;
  struct DropHooks {  // the hooks below capture this frame
    ~DropHooks() {
      Process::current().addResetHook("test.a", [](ResetKind) {});
      Process::current().addResetHook("test.b", [](ResetKind) {});
    }
  } dropHooks;
  Process::current().addResetHook("test.a", [&](ResetKind k) { note(k == ResetKind::Fresh ? "hook a fresh" : "hook a"); });
  Process::current().addResetHook("test.b", [&](ResetKind) { note("hook b"); });
  Process::current().addResetHook("test.a", [&](ResetKind) { ++seen; note("hook a again"); });  // replaces

  Process::current().reset(ResetKind::Fresh);

  ASSERT_EQ(gEvents.size(), 7u);
  EXPECT_EQ(gEvents[0], "shutdown 2");
  EXPECT_EQ(gEvents[1], "shutdown 1");
  // The two threads end in either order, both before the single objects go.
  EXPECT_TRUE((gEvents[2] == "thread ended" && gEvents[3] == "pool task ended") ||
              (gEvents[3] == "thread ended" && gEvents[2] == "pool task ended"));
  EXPECT_EQ(gEvents[4], "~Newest");
  EXPECT_EQ(gEvents[5], "hook a again");
  EXPECT_EQ(gEvents[6], "hook b");
  EXPECT_EQ(seen, 1);

  // Shutdown hooks are one-shot; reset hooks stay.
  gEvents.clear();
  Process::current().reset(ResetKind::Restart);
  EXPECT_EQ(gEvents, (std::vector<std::string>{"hook a again", "hook b"}));
}

TEST(ProcessTest, ResetReleasesAWorkerWaitingForTheMainThread) {
  std::atomic<bool> waiting{false}, returned{false};
  bool ran = false;
  dispatchGlobal([&] {
    waiting = true;
    RunLoop::main().postAndWait([&] { ran = true; });  // the main thread never runs it
    returned = true;
  });
  while (!waiting) std::this_thread::yield();
  Process::current().reset(ResetKind::Fresh);  // must not hang
  EXPECT_TRUE(returned);
  EXPECT_FALSE(ran);
}

TEST(ProcessTest, ResetReleasesAWorkerSleepingOnAClockThatWasReplaced) {
  std::atomic<bool> ended{false};
  dispatchGlobal([&] {
    clock().sleepFor(secs(3600));
    ended = true;
  });
  RunLoop::main().runUntil([] { return virtualClock()->sleepers() == 1; }, secs(0));
  installClock(std::make_shared<VirtualClock>());
  Process::current().reset(ResetKind::Fresh);  // must not hang
  EXPECT_TRUE(ended);
}

TEST(ProcessTest, ResetGivesAnEmptyRunLoopOnTheCallingThread) {
  bool fired = false;
  RunLoop* before = &RunLoop::main();
  before->after(secs(1), [&] { fired = true; });
  Process::current().reset(ResetKind::Fresh);
  RunLoop& after = RunLoop::main();
  EXPECT_TRUE(after.isMainThread());
  EXPECT_FALSE(after.nextDeadline());
  after.advance(2.0);
  EXPECT_FALSE(fired);
}

TEST(ProcessTest, FreshGivesANewSandboxAndRestartKeepsIt) {
  Path first = Sandbox::root();
  ASSERT_TRUE(fs::writeAtomic(Sandbox::documents() / "kept.txt", "data"));
  RunLoop::main().advance(90.0);
  WallTime wallBefore = clock().wallNow();

  testing::restart();
  EXPECT_EQ(Sandbox::root(), first);
  EXPECT_EQ(fs::read(Sandbox::documents() / "kept.txt"), "data");
  EXPECT_EQ(clock().wallNow(), wallBefore);  // a new run does not go back in time
  EXPECT_TRUE(fs::isDirectory(Sandbox::caches()));

  Process::current().reset(ResetKind::Fresh);
  EXPECT_NE(Sandbox::root(), first);
  EXPECT_EQ(testing::sandboxRoot(), Sandbox::root());
  EXPECT_FALSE(fs::exists(Sandbox::documents() / "kept.txt"));
  EXPECT_TRUE(fs::list(Sandbox::documents()).empty());
  EXPECT_EQ(clock().wallNow(), VirtualClock::defaultWall());
}

}  // namespace
}  // namespace platform
