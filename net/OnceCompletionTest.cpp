#include "net/OnceCompletion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

namespace nvx {
namespace {

TEST(OnceCompletionTest, RunsLaterOnTheMainLoopExactlyOnce) {
  platform::log::Capture log;
  int runs = 0;
  std::string got;
  bool onMain = false;
  OnceCompletion<void(std::string)> done([&](std::string s) {
    ++runs;
    got = std::move(s);
    onMain = platform::RunLoop::main().isMainThread();
  }, "test completion");
  auto copy = done;  // copies share the one state

  std::thread worker([done] { done("first"); });
  worker.join();
  EXPECT_EQ(runs, 0) << "never inside the call";
  copy("second");
  done("third");
  platform::RunLoop::main().runUntilIdle();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(got, "first");
  EXPECT_TRUE(onMain);
  EXPECT_TRUE(done.fired());
  const auto lines = log.lines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.find("test completion called again") != std::string::npos; }),
            2);
  EXPECT_FALSE(log.contains("dropped"));
}

TEST(OnceCompletionTest, ADroppedCompletionIsLoggedOnceWhenTheLastCopyGoes) {
  platform::log::Capture log;
  bool ran = false;
  {
    OnceCompletion<void(int)> done([&](int) { ran = true; }, "reply of getParameter");
    auto a = done;
    auto b = a;
    EXPECT_FALSE(log.contains("dropped"));
  }
  platform::RunLoop::main().runUntilIdle();
  EXPECT_FALSE(ran);
  const auto lines = log.lines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.find("reply of getParameter dropped") != std::string::npos; }),
            1);

  // An empty completion is nothing: calling it does nothing, dropping it logs nothing.
  log.clear();
  OnceCompletion<void(int)> empty;
  EXPECT_FALSE(empty);
  empty(1);
  EXPECT_TRUE(log.lines().empty());
}

}  // namespace
}  // namespace nvx
