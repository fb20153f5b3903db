#include "platform/device/Reachability.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/foundation/RunLoop.h"

namespace platform {
namespace {

TEST(ReachabilityTest, HostsFollowTheDeviceUnlessTheyHaveAStatusOfTheirOwn) {
  EXPECT_EQ(Reachability::statusOfHost("api.example.test"), NetworkStatus::ReachableViaWiFi);

  Reachability::setNetworkStatus(NetworkStatus::ReachableViaWWAN);
  Reachability::setHostStatus("down.example.test", NetworkStatus::NotReachable);
  EXPECT_EQ(Reachability::statusOfHost("api.example.test"), NetworkStatus::ReachableViaWWAN);
  EXPECT_EQ(Reachability::statusOfHost("down.example.test"), NetworkStatus::NotReachable);
  auto down = Reachability::reachabilityWithHostName("down.example.test");
  EXPECT_FALSE(down->isReachable());

  Reachability::clearHostStatus("down.example.test");
  EXPECT_EQ(down->currentReachabilityStatus(), NetworkStatus::ReachableViaWWAN);
  EXPECT_TRUE(down->isReachable());
}

TEST(ReachabilityTest, StatusTexts) {
  EXPECT_EQ(toText(NetworkStatus::NotReachable), "-1");
  EXPECT_EQ(toText(NetworkStatus::ReachableViaWWAN), "1");
  EXPECT_EQ(toText(NetworkStatus::ReachableViaWiFi), "2");
}

TEST(ReachabilityTest, WatchersHearEachChangeOfTheirHostOnTheMainLoop) {
  auto api = Reachability::reachabilityWithHostName("api.example.test");
  auto other = Reachability::reachabilityWithHostName("other.example.test");
  std::vector<NetworkStatus> heard;
  int otherCalls = 0;
  api->startNotifier([&](Reachability& r) { heard.push_back(r.currentReachabilityStatus()); });
  other->startNotifier([&](Reachability&) { ++otherCalls; });

  Reachability::setHostStatus("api.example.test", NetworkStatus::NotReachable);
  EXPECT_TRUE(heard.empty()) << "called on the main loop, not inside the setter";
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(heard, std::vector<NetworkStatus>{NetworkStatus::NotReachable});
  EXPECT_EQ(otherCalls, 0);

  // The same status again is no change; a device change hidden by the host's own status neither.
  Reachability::setHostStatus("api.example.test", NetworkStatus::NotReachable);
  Reachability::setNetworkStatus(NetworkStatus::ReachableViaWWAN);
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(heard.size(), 1u);
  EXPECT_EQ(otherCalls, 1);

  Reachability::clearHostStatus("api.example.test");
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(heard.back(), NetworkStatus::ReachableViaWWAN);
}

TEST(ReachabilityTest, NothingIsCalledAfterStopOrOnceTheWatcherIsGone) {
  int calls = 0;
  auto stopped = Reachability::reachabilityWithHostName("a.example.test");
  auto dropped = Reachability::reachabilityWithHostName("a.example.test");
  stopped->startNotifier([&](Reachability&) { ++calls; });
  dropped->startNotifier([&](Reachability&) { ++calls; });

  // A change already on its way is not delivered to a stopped or released watcher.
  Reachability::setNetworkStatus(NetworkStatus::NotReachable);
  stopped->stopNotifier();
  dropped.reset();
  RunLoop::main().runUntilIdle();
  Reachability::setNetworkStatus(NetworkStatus::ReachableViaWiFi);
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(calls, 0);
}

TEST(ReachabilityTest, ChangesFromWorkerThreadsReachTheMainLoop) {
  auto watcher = Reachability::reachabilityWithHostName("w.example.test");
  int calls = 0;
  watcher->startNotifier([&](Reachability&) { ++calls; });
  std::thread worker([] { Reachability::setHostStatus("w.example.test", NetworkStatus::ReachableViaWWAN); });
  worker.join();
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace platform
