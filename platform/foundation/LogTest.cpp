#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace platform::log {
namespace {

TEST(LogTest, CaptureSeesEveryLevelFromEveryThreadWhileItLives) {
  Level before = minimumLevel();
  setMinimumLevel(Level::Error);  // printing is filtered, capturing is not
  std::vector<std::string> lines;
  {
    Capture capture;
    debug("Net", "quiet detail");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
      threads.emplace_back([t] {
        for (int i = 0; i < 100; ++i) info("T" + std::to_string(t), "line");
      });
    for (auto& th : threads) th.join();
    EXPECT_TRUE(capture.contains("Net: quiet detail"));
    EXPECT_FALSE(capture.contains("absent"));
    lines = capture.lines();
    capture.clear();
    EXPECT_TRUE(capture.lines().empty());
  }
  EXPECT_EQ(lines.size(), 401u);
  EXPECT_EQ(lines.front(), "Net: quiet detail");
  Capture later;
  warning("X", "y");
  EXPECT_EQ(later.lines(), std::vector<std::string>{"X: y"});
  setMinimumLevel(before);
}

}  // namespace
}  // namespace platform::log
