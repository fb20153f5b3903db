#include "platform/media/AudioSession.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/foundation/RunLoop.h"

namespace platform::media {
namespace {

TEST(AudioSessionTest, RouteChangesAreNoticedOnTheMainLoopWithReasonAndOldRoute) {
  auto& session = AudioSession::sharedInstance();
  EXPECT_EQ(session.currentRoute(), "Speaker");
  std::vector<RouteChange> changes;
  auto observation = session.observeRouteChanges([&](const RouteChange& c) {
    EXPECT_TRUE(RunLoop::main().isMainThread());
    changes.push_back(c);
  });
  std::thread simulator([&] { session.simulateRouteChange("HeadsetInOut"); });
  simulator.join();
  EXPECT_EQ(session.currentRoute(), "HeadsetInOut");
  EXPECT_TRUE(changes.empty());  // delivered by the loop
  RunLoop::main().runUntilIdle();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].reason, RouteChangeReason::NewDeviceAvailable);
  EXPECT_EQ(changes[0].previousRoute, "Speaker");
  EXPECT_EQ(changes[0].route, "HeadsetInOut");

  session.simulateRouteChange("HeadsetInOut");  // no change, no notice
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(changes.size(), 1u);
}

TEST(AudioSessionTest, ReasonsFollowFromTheRoutesUnlessGiven) {
  struct Case {
    const char* route;
    RouteChangeReason reason;
  };
  const Case steps[] = {
      {"Headphone", RouteChangeReason::NewDeviceAvailable},
      {"HeadsetInOut", RouteChangeReason::CategoryChange},
      {"Speaker", RouteChangeReason::OldDeviceUnavailable},
      {"ReceiverAndMicrophone", RouteChangeReason::CategoryChange},
      {"", RouteChangeReason::NoSuitableRouteForCategory},
      {"Headset", RouteChangeReason::NewDeviceAvailable},
  };
  auto& session = AudioSession::sharedInstance();
  std::vector<RouteChange> changes;
  auto observation = session.observeRouteChanges([&](const RouteChange& c) { changes.push_back(c); });
  for (const Case& c : steps) session.simulateRouteChange(c.route);
  session.simulateRouteChange("Speaker", RouteChangeReason::CategoryChange);
  RunLoop::main().runUntilIdle();
  ASSERT_EQ(changes.size(), std::size(steps) + 1);
  for (size_t i = 0; i < std::size(steps); ++i) {
    EXPECT_EQ(changes[i].reason, steps[i].reason) << steps[i].route;
    EXPECT_EQ(changes[i].previousRoute, i == 0 ? "Speaker" : steps[i - 1].route);
  }
  EXPECT_EQ(changes.back().reason, RouteChangeReason::CategoryChange);
}

TEST(AudioSessionTest, TheNoticeIsAPlainNotificationToo) {
  std::vector<Notification> notes;
  auto observation = NotificationCenter::shared().observe(
      std::string(AudioSession::kRouteChangeNotification), nullptr, [&](const Notification& n) { notes.push_back(n); });
  AudioSession::sharedInstance().simulateRouteChange("Headphone");
  RunLoop::main().runUntilIdle();
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].sender, &AudioSession::sharedInstance());
  EXPECT_EQ(notes[0].userInfo["reason"], 1);
  EXPECT_EQ(notes[0].userInfo["previousRoute"], "Speaker");
  EXPECT_EQ(notes[0].userInfo["route"], "Headphone");
}

TEST(AudioSessionTest, ActivationIsKept) {
  auto& session = AudioSession::sharedInstance();
  EXPECT_FALSE(session.isActive());
  EXPECT_TRUE(session.setActive(true).isOk());
  EXPECT_TRUE(session.isActive());
}

}  // namespace
}  // namespace platform::media
