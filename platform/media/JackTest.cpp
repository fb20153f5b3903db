#include "platform/media/Jack.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/foundation/RunLoop.h"
#include "platform/media/AudioSession.h"
#include "platform/media/LoopbackPeer.h"

namespace platform::media {
namespace {

struct Notice {
  RouteChangeReason reason;
  std::string previous;
  std::string route;
  friend bool operator==(const Notice&, const Notice&) = default;
};

std::ostream& operator<<(std::ostream& os, const Notice& n) {
  return os << static_cast<int>(n.reason) << " " << n.previous << "->" << n.route;
}

TEST(JackTest, PluggingAndUnpluggingGiveThePhonesRouteNotices) {
  auto& session = AudioSession::sharedInstance();
  std::vector<Notice> onMain;
  std::vector<Notice> onSession;
  std::mutex m;
  auto observation = session.observeRouteChanges([&](const RouteChange& c) {
    onMain.push_back({c.reason, c.previousRoute, c.route});
  });
  auto listener = session.addRouteChangeListener([&](const RouteChange& c) {
    EXPECT_FALSE(RunLoop::main().isMainThread());
    std::lock_guard<std::mutex> lock(m);
    onSession.push_back({c.reason, c.previousRoute, c.route});
  });
  auto peer = std::make_shared<LoopbackPeer>();
  using R = RouteChangeReason;
  struct Step {
    const char* what;
    std::function<void()> act;
    std::vector<Notice> notices;
    std::string route;
  };
  const Step steps[] = {
      {"plug a reader", [&] { Jack::shared().plug(peer); }, {{R::NewDeviceAvailable, "Speaker", "HeadsetInOut"}}, "HeadsetInOut"},
      {"swap for headphones", [&] { Jack::shared().plugHeadphones(); },
       {{R::OldDeviceUnavailable, "HeadsetInOut", "Speaker"}, {R::NewDeviceAvailable, "Speaker", "Headphone"}}, "Headphone"},
      {"unplug", [&] { Jack::shared().unplug(); }, {{R::OldDeviceUnavailable, "Headphone", "Speaker"}}, "Speaker"},
      {"unplug again", [&] { Jack::shared().unplug(); }, {}, "Speaker"},
      {"plug again", [&] { Jack::shared().plug(peer); }, {{R::NewDeviceAvailable, "Speaker", "HeadsetInOut"}}, "HeadsetInOut"},
  };
  for (const Step& s : steps) {
    onMain.clear();
    {
      std::lock_guard<std::mutex> lock(m);
      onSession.clear();
    }
    s.act();
    EXPECT_EQ(session.currentRoute(), s.route) << s.what;
    RunLoop::main().runUntil([&] {
      std::lock_guard<std::mutex> lock(m);
      return onSession.size() >= s.notices.size();
    }, secs(1));
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(onMain, s.notices) << s.what;
    std::lock_guard<std::mutex> lock(m);
    EXPECT_EQ(onSession, s.notices) << s.what;
  }
}

TEST(JackTest, OnlyAPeerWithAMicrophoneSpeaks) {
  auto peer = std::make_shared<LoopbackPeer>();
  EXPECT_FALSE(Jack::shared().isPlugged());
  Jack::shared().plug(peer);
  EXPECT_EQ(Jack::shared().microphone(), peer);
  EXPECT_EQ(Jack::shared().peer(), peer);
  Jack::shared().plug(peer, "Headphone", false);
  EXPECT_EQ(Jack::shared().microphone(), nullptr);
  EXPECT_EQ(Jack::shared().peer(), peer);
  Jack::shared().plugHeadphones();
  EXPECT_TRUE(Jack::shared().isPlugged());
  EXPECT_EQ(Jack::shared().peer(), nullptr);
  Jack::shared().unplug();
  EXPECT_FALSE(Jack::shared().isPlugged());
  EXPECT_EQ(peer.use_count(), 1);   // the jack lets go of what was unplugged
}

}  // namespace
}  // namespace platform::media
