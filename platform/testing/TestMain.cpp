// The main of every test executable: before and after each test the whole process is reset, so
// tests never see each other's single objects, threads, timers or files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/foundation/Clock.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/ThreadActivity.h"
#include "platform/testing/Testing.h"

namespace platform::testing {

namespace {

// The per-process folder that holds one sandbox per test; removed at exit (by this process, not
// by a forked child).
Path gBase;
pid_t gOwner = 0;
int gSandboxes = 0;

void installFreshClock(ResetKind kind) {
  auto fresh = std::make_shared<VirtualClock>();
  if (kind == ResetKind::Restart) {
    // A new run starts later than the old one, never back at the default date.
    if (VirtualClock* old = virtualClock()) fresh->setWall(old->wallNow());
  }
  installClock(std::move(fresh));
}

void onReset(ResetKind kind) {
  installFreshClock(kind);
  if (kind == ResetKind::Fresh) {
    Path previous = Sandbox::root();
    Path next = gBase / ("t" + std::to_string(++gSandboxes));
    Sandbox::init(next);
    Sandbox::setBundle({});
    if (previous != next && previous.parent_path() == gBase) fs::removeTree(previous);
  } else {
    Sandbox::init(Sandbox::root());
  }
}

// The calling thread becomes the main thread (a loop made by a stray thread meanwhile is dropped).
void bindMainLoop() {
  if (!RunLoop::main().isMainThread()) {
    Process::current().forget<RunLoop>();
    RunLoop::main();
  }
}

class ResetListener : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override {
    Process::current().reset(ResetKind::Fresh);
    bindMainLoop();
  }
  void OnTestEnd(const ::testing::TestInfo&) override {
    Process::current().reset(ResetKind::Fresh);  // joins the test's threads, drops its objects
  }
};

}  // namespace

void restart() {
  Process::current().reset(ResetKind::Restart);
  bindMainLoop();
}

Path sandboxRoot() { return Sandbox::root(); }

bool noThreadLeft() {
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (ThreadActivity::liveCount() != 0) {
    if (std::chrono::steady_clock::now() > limit) return false;
    std::this_thread::yield();
  }
  return true;
}

namespace {

int runAll(int argc, char** argv) {
  ::testing::InitGoogleMock(&argc, argv);
  ignoreSigpipe();
  gBase = Sandbox::makeTempRoot("nvx-test-");
  gOwner = ::getpid();
  Sandbox::init(gBase / "t0");
  installClock(std::make_shared<VirtualClock>());
  Process::current().addResetHook("platform.testing", onReset);
  ::testing::UnitTest::GetInstance()->listeners().Append(new ResetListener);
  int rc = RUN_ALL_TESTS();
  Process::current().reset(ResetKind::Fresh);
  if (::getpid() == gOwner) fs::removeTree(gBase);
  return rc;
}

}  // namespace

}  // namespace platform::testing

int main(int argc, char** argv) { return platform::testing::runAll(argc, argv); }
