#include "sim/Simulator.h"

#include <gtest/gtest.h>

#include <functional>

#include <sstream>

#include "core/shell/AppServices.h"
#include "client/ClientMain.h"
#include "net/CoreOperations.h"
#include "net/DataStatistics.h"
#include "platform/foundation/Sandbox.h"
#include "platform/media/Jack.h"
#include "platform/net/NetConfig.h"
#include "reader/DHSwiperController.h"
#include "sim/PlaceholderHomeScreen.h"
#include "sim/SimStandins.h"

namespace nvx::sim {
namespace {

size_t count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Virtual time in small steps, with the socket traffic of each step let in (real time).
bool pumpUntil(const std::function<bool()>& pred, double seconds) {
  auto& loop = platform::RunLoop::main();
  for (double t = 0; t < seconds; t += 0.05) {
    loop.drainIo(std::chrono::milliseconds(5));
    if (pred()) return true;
    loop.advance(0.05);
  }
  return pred();
}

class SimulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(standins.start().isOk());
    PlaceholderHomeScreen::registerIfMissing();
    startClient(platform::Sandbox::root());
  }
  void TearDown() override { standins.stop(); }

  std::string run(const std::string& script, int expectedFailures = 0) {
    std::ostringstream out;
    Simulator simulator(out, &standins);
    std::istringstream in(script);
    EXPECT_EQ(simulator.run(in), expectedFailures) << out.str();
    return out.str();
  }

  SimStandins standins;
};

TEST_F(SimulatorTest, LaunchShowsTheSplashThenTheHomeRootWithTheBoxFound) {
  const std::string text = run("# launch\nshow\nwait 3\n\nquit\nshow\n");
  // The splash alone first, then the home root without it.
  const auto splash = text.find("ImageView tag=50785 (0,0,320,568) image=app_splash-568h.png");
  ASSERT_NE(splash, std::string::npos) << text;
  EXPECT_EQ(count(text, "tag=50785"), 2u) << "shown before and after the second stage, then gone:\n" << text;
  const auto last = text.rfind("= screen");
  ASSERT_NE(last, std::string::npos) << text;
  EXPECT_EQ(text.find("tag=50785", last), std::string::npos) << "the splash stayed:\n" << text;
  EXPECT_NE(text.find("* Wi-Fi reader box present"), std::string::npos) << text;
  ASSERT_TRUE(AppServices::current().swiper());
  EXPECT_TRUE(AppServices::current().swiper()->isTaviPresent());
  // Nothing runs after quit.
  EXPECT_EQ(text.find("> show", text.find("> quit")), std::string::npos);
}

TEST_F(SimulatorTest, ReaderHandsPlugUnplugAndSwipe) {
  run("wait 2.5\n");
  EXPECT_NE(run("swipe\n", 1).find("! no reader is waiting for a card"), std::string::npos);
  run("plug\nwait 0.5\n");
  EXPECT_TRUE(standins.isReaderPlugged());
  EXPECT_TRUE(platform::media::Jack::shared().isPlugged());
  EXPECT_NE(run("plug\n", 1).find("! the reader is already plugged"), std::string::npos);
  run("unplug\n");
  EXPECT_FALSE(platform::media::Jack::shared().isPlugged());
  EXPECT_NE(run("unplug\n", 1).find("! nothing is plugged"), std::string::npos);
}

TEST_F(SimulatorTest, SwipeReachesThePluggedReaderWhileItWaitsForACard) {
  run("wait 2.5\nplug\n");
  auto hub = AppServices::current().swiper();
  ASSERT_TRUE(hub);
  hub->initSwiperSDkWithUnitId("0002");
  ASSERT_TRUE(pumpUntil([&] { return hub->isDevicePresent(); }, 2));
  hub->startCSwiper();
  ASSERT_TRUE(platform::RunLoop::main().runUntil([&] { return standins.reader().isArmed(); }, platform::secs(60)));
  run("swipe\n");
  EXPECT_FALSE(standins.reader().isArmed());
}

TEST_F(SimulatorTest, TheModel0001And0008ReadersPlugInTheirPlaceAndTakeTheSwipe) {
  run("wait 2.5\n");
  EXPECT_NE(run("plug 0009\n", 1).find("! no simulated reader of model 0009"), std::string::npos);
  struct Case {
    const char* model;
    platform::media::Peer* reader;
    std::function<bool()> armed;
  };
  const Case cases[] = {
      {"0001", &standins.reader0001(), [&] { return standins.reader0001().isArmed(); }},
      {"0008", &standins.reader0008(), [&] { return standins.reader0008().isArmed(); }},
  };
  for (const Case& c : cases) {
    run(std::string("plug ") + c.model + "\n");
    EXPECT_TRUE(standins.isReaderPlugged()) << c.model;
    EXPECT_EQ(platform::media::Jack::shared().peer().get(), c.reader) << c.model;
    auto hub = AppServices::current().swiper();
    ASSERT_TRUE(hub);
    hub->initSwiperSDkWithUnitId(c.model);
    ASSERT_TRUE(pumpUntil([&] { return hub->isDevicePresent(); }, 2)) << c.model;
    hub->startCSwiper();
    ASSERT_TRUE(platform::RunLoop::main().runUntil(c.armed, platform::secs(10))) << c.model;
    run("swipe\n");
    EXPECT_FALSE(c.armed()) << c.model;
    // Plugging the other model takes this one out first.
    run("plug\n");
    EXPECT_EQ(platform::media::Jack::shared().peer().get(), &standins.reader()) << c.model;
    hub->stopCSwiper();
  }
}

TEST_F(SimulatorTest, PlugNamesTheReaderModelAndTheSwipeReachesThe0003Reader) {
  run("wait 2.5\n");
  EXPECT_NE(run("plug 0009\n", 1).find("! no simulated reader of model 0009"), std::string::npos);
  run("plug 0004\n");
  EXPECT_TRUE(platform::media::Jack::shared().peer().get() == &standins.reader0003());
  EXPECT_NE(run("plug 0003\n", 1).find("! the reader is already plugged"), std::string::npos);
  auto hub = AppServices::current().swiper();
  ASSERT_TRUE(hub);
  hub->initSwiperSDkWithUnitId("0004");
  ASSERT_TRUE(pumpUntil([&] { return hub->isDevicePresent(); }, 2));
  hub->startCSwiper();
  ASSERT_TRUE(platform::RunLoop::main().runUntil([&] { return standins.reader0003().isArmed(); }, platform::secs(10)));
  run("swipe\n");
  EXPECT_FALSE(standins.reader0003().isArmed());
  // Plain plug goes back to the 0002 reader.
  run("plug\n");
  EXPECT_EQ(platform::media::Jack::shared().peer().get(), &standins.reader());
}

TEST_F(SimulatorTest, SwipeReachesTheBoxWhileItWaitsForACard) {
  run("wait 2.5\n");
  auto hub = AppServices::current().swiper();
  ASSERT_TRUE(hub && hub->isTaviPresent());
  hub->initSwiperSDkWithUnitId("0007");
  hub->startCSwiper();
  ASSERT_TRUE(pumpUntil([&] { return standins.box().isArmed(); }, 10));
  run("swipe\n");
  EXPECT_FALSE(standins.box().isArmed());
}

// The servers the client calls besides its main calls all answer in the simulator: a business
// description, a push message's content and the screens' probes.
TEST_F(SimulatorTest, DescriptionsPushMessagesAndProbesReachTheirStandins) {
  std::optional<std::string> description;
  bool described = false;
  CoreOperations::getBusiDesc("B00001_1", [&](std::optional<std::string> text, RetStatusEntity, bool isErr) {
    EXPECT_FALSE(isErr);
    description = std::move(text);
    described = true;
  });
  std::optional<platform::Json> message;
  CoreOperations::getIosPushMsgWithMsgId("m-1", [&](NetResult result, RetStatusEntity, bool isErr) {
    EXPECT_FALSE(isErr);
    const platform::Json* list = result.json();
    message = list && list->is_array() && !list->empty() ? list->front() : platform::Json();
  });
  DataStatistics::probe("M50010_1");
  ASSERT_TRUE(pumpUntil([&] { return described && message && !standins.probe().probes().empty(); }, 30))
      << described << " " << message.has_value() << " " << standins.probe().probes().size();
  EXPECT_EQ(description, std::string(standin::MainApiStandin::kBusiDesc));
  EXPECT_EQ(platform::json::text(*message, "aContent"), std::string(standin::StatisticsStandin::kPushMessageContent));
  EXPECT_EQ(standins.statistics().pushMessageIds(), std::vector<std::string>{"m-1"});
  const auto probe = standins.probe().probes().front();
  ASSERT_TRUE(probe.profile) << probe.error;
  EXPECT_EQ(platform::json::text(*probe.profile, "busid"), "M50010_1");
  EXPECT_TRUE(probe.https);
}

TEST(SimulatorWithoutStandins, BadActionsAreReportedAndCounted) {
  platform::net::NetConfig::current().useLoopbackNetwork();
  // A box that is never powered on holds the phone's ports for it.
  standin::SimulatedWifiBox ports(standin::SimulatedWifiBox::onFreePorts());
  ASSERT_TRUE(ports.bindPorts().isOk());
  startClient(platform::Sandbox::root());
  std::ostringstream out;
  Simulator simulator(out);
  std::istringstream script("fly away\nwait soon\nwait -1\ntap\ntap 不存在的按钮\nalert 确定\nplug\n");
  EXPECT_EQ(simulator.run(script), 7);
  EXPECT_NE(out.str().find("! unknown action: fly"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("! plug: no simulated readers in this session"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace nvx::sim
