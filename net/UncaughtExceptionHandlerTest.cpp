#include "net/UncaughtExceptionHandler.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>
#include <thread>

#include "core/testing/TestTimeZone.h"
#include "core/session/User.h"
#include "net/NVXExceptionManager.h"
#include "platform/foundation/Sandbox.h"
#include "platform/testing/Testing.h"

namespace nvx {
namespace {

using platform::fs::read;

// Crashes happen in a forked child, so that the test process lives on. The child gets an alarm:
// a handler that hangs ends it by SIGALRM instead of hanging the test.
int inChild(const std::function<void()>& body) {
  // Only this thread may be running when the process forks: a thread of an earlier test still
  // ending could hold an allocator lock that the child would then wait for forever.
  (void)platform::testing::noThreadLeft();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::alarm(20);
    body();
    ::_exit(0);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

std::string describe(int status) {
  if (WIFSIGNALED(status)) return "ended by signal " + std::to_string(WTERMSIG(status));
  if (WIFEXITED(status)) return "exited with " + std::to_string(WEXITSTATUS(status));
  return "status " + std::to_string(status);
}

// A real segmentation fault: a write to a page that allows no access.
void segmentationFault() {
  void* page = ::mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  *static_cast<volatile int*>(page) = 1;
}

void installCapture() { NVXExceptionManager::sharedManager()->installExceptionHandler(); }

// ThreadSanitizer does not follow a process into a fork of a threaded parent (it reports reused
// thread ids and leaks of the threads the child never had), so under it these tests do not run.
#if defined(__SANITIZE_THREAD__)
constexpr bool kUnderThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
constexpr bool kUnderThreadSanitizer = true;
#else
constexpr bool kUnderThreadSanitizer = false;
#endif
#else
constexpr bool kUnderThreadSanitizer = false;
#endif

class UncaughtExceptionHandlerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (kUnderThreadSanitizer) GTEST_SKIP() << "crashes are captured in forked children";
    User::currentUser().setLoginName("13800000000");
    file = NVXExceptionManager::crashFilePath();
    // The second line of every record: the device and the session.
    UncaughtException probe;
    const std::string record = NVXExceptionManager::sharedManager()->crashRecord(probe);
    const size_t from = record.find('\n') + 1;
    infoLine = record.substr(from, record.find('\n', from) + 1 - from);
  }

  // The layout of one signal's record.
  void expectSignalRecord(const std::string& record, int sig) {
    const std::string head = "[2013-06-01 10:00 crash UncaughtExceptionHandlerSignalExceptionName]\n" + infoLine +
                             "     Reason：程序收到信号" + std::to_string(sig) + "。\n" +
                             "{\n    UncaughtExceptionHandlerAddressesKey = (\n";
    const std::string tail = "    );\n    UncaughtExceptionHandlerSignalKey = " + std::to_string(sig) + ";\n}\n";
    ASSERT_GT(record.size(), head.size() + tail.size()) << record;
    EXPECT_EQ(record.substr(0, head.size()), head);
    EXPECT_EQ(record.substr(record.size() - tail.size()), tail);
    const std::string frames = record.substr(head.size(), record.size() - head.size() - tail.size());
    EXPECT_GE(std::count(frames.begin(), frames.end(), '\n'), 2) << "the back trace, one line per frame";
    EXPECT_EQ(frames.back(), '\n');
  }

  testing::ScopedTimeZone shanghai{"Asia/Shanghai"};
  platform::Path file;
  std::string infoLine;
};

TEST_F(UncaughtExceptionHandlerTest, AFatalSignalIsRecordedAndStillEndsTheProcess) {
  struct Case {
    int sig;
    std::function<void()> crash;
  };
  const std::vector<Case> cases = {
      {SIGSEGV, segmentationFault},
      {SIGABRT, [] { std::abort(); }},
      {SIGFPE, [] { ::raise(SIGFPE); }},
      {SIGILL, [] { ::raise(SIGILL); }},
      {SIGBUS, [] { ::raise(SIGBUS); }},
      {SIGTRAP, [] { ::raise(SIGTRAP); }},
      {SIGTERM, [] { ::kill(::getpid(), SIGTERM); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("signal " + std::to_string(c.sig));
    platform::fs::removeTree(file);
    const int status = inChild([&] {
      installCapture();
      c.crash();
    });
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.sig) << describe(status);
    expectSignalRecord(read(file).value_or(""), c.sig);
  }
}

TEST_F(UncaughtExceptionHandlerTest, AFaultOnAWorkerIsRecordedWhileTheMainThreadWaitsForIt) {
  const int status = inChild([] {
    installCapture();
    std::thread worker(segmentationFault);
    worker.join();
  });
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGSEGV) << describe(status);
  expectSignalRecord(read(file).value_or(""), SIGSEGV);
}

TEST_F(UncaughtExceptionHandlerTest, AnUncaughtExceptionIsRecordedAndEndsTheProcessAsItWould) {
  struct Case {
    const char* where;
    std::function<void()> crash;
  };
  const std::vector<Case> cases = {
      // The main thread is blocked in join: nothing may wait for it.
      {"a worker", [] { std::thread([] { throw std::runtime_error("card 6222021234567890123 rejected"); }).join(); }},
      {"the main thread",
       [] {
         try {
           throw std::runtime_error("card 6222021234567890123 rejected");
         } catch (...) {
           std::terminate();   // as the runtime does for an exception nobody catches
         }
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    platform::fs::removeTree(file);
    const int status = inChild([&] {
      installCapture();
      c.crash();
    });
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT) << describe(status);
    const std::string record = read(file).value_or("");
    const std::string head = "[2013-06-01 10:00 crash std::runtime_error]\n" + infoLine +
                             "     Reason：card ******************* rejected\n" +
                             "{\n    UncaughtExceptionHandlerAddressesKey = (\n";
    EXPECT_EQ(record.substr(0, head.size()), head);
    EXPECT_TRUE(record.ends_with("\n    );\n}\n")) << "no signal in the details of an exception";
    EXPECT_EQ(record.find("UncaughtExceptionHandlerSignalExceptionName"), std::string::npos)
        << "the abort that ends the process is not a second record";
  }
}

TEST_F(UncaughtExceptionHandlerTest, BrokenPipesStayHarmless) {
  platform::fs::removeTree(file);
  const int status = inChild([] {
    installCapture();
    int fds[2];
    if (::pipe(fds) != 0) ::_exit(2);
    ::close(fds[0]);
    const bool failed = ::write(fds[1], "x", 1) < 0 && errno == EPIPE;
    ::raise(SIGPIPE);
    ::_exit(failed ? 0 : 1);
  });
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << describe(status);
  EXPECT_FALSE(platform::fs::exists(file)) << "no crash, no record";
}

TEST_F(UncaughtExceptionHandlerTest, TwoCrashesLeaveTwoRecordsOneLineEndApart) {
  platform::fs::removeTree(file);
  const int fpe = inChild([] {
    installCapture();
    ::raise(SIGFPE);
  });
  ASSERT_TRUE(WIFSIGNALED(fpe) && WTERMSIG(fpe) == SIGFPE) << describe(fpe);
  const std::string first = read(file).value_or("");
  const int segv = inChild([] {
    installCapture();
    segmentationFault();
  });
  ASSERT_TRUE(WIFSIGNALED(segv) && WTERMSIG(segv) == SIGSEGV) << describe(segv);
  const std::string both = read(file).value_or("");
  ASSERT_TRUE(both.starts_with(first.substr(0, first.size() - 1) + "\n[2013-06-01 10:00 crash ")) << both;
  expectSignalRecord(both.substr(first.size()), SIGSEGV);
}

TEST_F(UncaughtExceptionHandlerTest, WithoutADelegateTheProcessOnlyEnds) {
  platform::fs::removeTree(file);
  UncaughtExceptionHandler::clearSignalRecord();
  for (int sig : {SIGSEGV, SIGABRT}) {
    const int status = inChild([sig] {
      UncaughtExceptionHandler::installUncaughtExceptionHandlerWithDelegate({});
      if (sig == SIGSEGV) segmentationFault();
      std::thread([] { throw std::logic_error("no delegate"); }).join();
    });
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << describe(status);
  }
  EXPECT_FALSE(platform::fs::exists(file));
}

TEST(UncaughtExceptionHandler, BacktraceIsTheCallingStackInnermostFirst) {
  std::vector<std::string> frames = UncaughtExceptionHandler::backtrace();
  ASSERT_GE(frames.size(), 2u);
  EXPECT_LE(frames.size(), static_cast<size_t>(UncaughtExceptionHandler::kMaxFrames));
  EXPECT_EQ(&UncaughtExceptionHandler::sharedHandler(), &UncaughtExceptionHandler::sharedUncaughtExceptionHandler());
  EXPECT_FALSE(UncaughtExceptionHandler::isInstalled()) << "nothing installs the capture by itself";
}

}  // namespace
}  // namespace nvx
