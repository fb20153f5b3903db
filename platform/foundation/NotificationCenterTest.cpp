#include "platform/foundation/NotificationCenter.h"

#include <gtest/gtest.h>

#include "platform/foundation/Process.h"

namespace platform {
namespace {

TEST(NotificationCenter, DeliversByNameAndSender) {
  auto& center = NotificationCenter::shared();
  int reader = 0, other = 0;
  std::vector<std::string> got;
  auto anySender = center.observe("SwipeSucceedNotification", nullptr, [&](const Notification& n) {
    got.push_back("any:" + json::text(n.userInfo, "card").value_or("?"));
  });
  auto fromReader = center.observe("SwipeSucceedNotification", &reader,
                                   [&](const Notification& n) { got.push_back("reader"); });
  auto otherName = center.observe("GHResignFirstResponderNotification", nullptr,
                                  [&](const Notification&) { got.push_back("resign"); });

  center.post("SwipeSucceedNotification", &reader, Json{{"card", "1"}});
  center.post("SwipeSucceedNotification", &other, Json{{"card", "2"}});
  center.post("NobodyListens", &reader);
  EXPECT_EQ(got, (std::vector<std::string>{"any:1", "reader", "any:2"}));
}

TEST(NotificationCenter, ObservationEndsWithItsToken) {
  auto& center = NotificationCenter::shared();
  int calls = 0;
  {
    auto token = center.observe("n", nullptr, [&](const Notification&) { ++calls; });
    EXPECT_TRUE(token.active());
    center.post("n");
    auto moved = std::move(token);
    EXPECT_FALSE(token.active());
    center.post("n");
    moved.cancel();
    EXPECT_FALSE(moved.active());
    center.post("n");
  }
  center.post("n");
  EXPECT_EQ(calls, 2);
}

TEST(NotificationCenter, RemovingDuringPostIsSafe) {
  auto& center = NotificationCenter::shared();
  std::vector<std::string> got;
  NotificationCenter::Observation first, second, third, late;
  // The first removes itself and the third; the second adds a new observer.
  first = center.observe("n", nullptr, [&](const Notification&) {
    got.push_back("first");
    first.cancel();
    third.cancel();
  });
  second = center.observe("n", nullptr, [&](const Notification&) {
    got.push_back("second");
    if (!late.active()) late = center.observe("n", nullptr, [&](const Notification&) { got.push_back("late"); });
  });
  third = center.observe("n", nullptr, [&](const Notification&) { got.push_back("third"); });

  center.post("n");
  EXPECT_EQ(got, (std::vector<std::string>{"first", "second"}));
  got.clear();
  center.post("n");
  EXPECT_EQ(got, (std::vector<std::string>{"second", "late"}));
}

TEST(NotificationCenter, ObserverMayDestroyItsOwnCallbackState) {
  auto& center = NotificationCenter::shared();
  auto token = std::make_unique<NotificationCenter::Observation>();
  auto alive = std::make_shared<int>(7);
  int seen = 0;
  *token = center.observe("n", nullptr, [&, alive](const Notification&) {
    token.reset();        // destroys the observation, and with it the last other copy of alive
    seen = *alive;        // the running callback is still intact
  });
  std::weak_ptr<int> watch = alive;
  alive.reset();
  center.post("n");
  EXPECT_EQ(seen, 7);
  EXPECT_TRUE(watch.expired());
}

TEST(NotificationCenter, TokenOutlivingTheCentreIsHarmless) {
  NotificationCenter::Observation token =
      NotificationCenter::shared().observe("n", nullptr, [](const Notification&) {});
  Process::current().reset(ResetKind::Fresh);
  EXPECT_FALSE(token.active());
  token.cancel();
  int calls = 0;
  auto fresh = NotificationCenter::shared().observe("n", nullptr, [&](const Notification&) { ++calls; });
  NotificationCenter::shared().post("n");
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace platform
