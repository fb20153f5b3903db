#include "sim/Simulator.h"

#include <gtest/gtest.h>

#include <sstream>

#include "client/ClientMain.h"
#include "platform/foundation/Sandbox.h"

namespace nvx::sim {
namespace {

TEST(SimulatorTest, LaunchScriptShowsTheSplash) {
  startClient(platform::Sandbox::root());
  std::ostringstream out;
  Simulator simulator(out);
  std::istringstream script("# launch\nshow\nwait 2.5\n\nshow\nquit\nshow\n");
  EXPECT_EQ(simulator.run(script), 0);
  const std::string text = out.str();
  EXPECT_NE(text.find("ImageView tag=50785 (0,0,320,568)"), std::string::npos) << text;
  EXPECT_NE(text.find("> wait 2.5"), std::string::npos);
  // Nothing runs after quit.
  EXPECT_EQ(text.find("> show", text.find("> quit")), std::string::npos);
}

TEST(SimulatorTest, BadActionsAreReportedAndCounted) {
  startClient(platform::Sandbox::root());
  std::ostringstream out;
  Simulator simulator(out);
  std::istringstream script("fly away\nwait soon\nwait -1\ntap\ntap 不存在的按钮\nalert 确定\n");
  EXPECT_EQ(simulator.run(script), 6);
  EXPECT_NE(out.str().find("! unknown action: fly"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace nvx::sim
