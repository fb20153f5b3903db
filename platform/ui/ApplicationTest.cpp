#include "platform/ui/Application.h"

#include <gtest/gtest.h>

#include "platform/device/UrlOpener.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

const char* name(ApplicationState s) {
  switch (s) {
    case ApplicationState::Active: return "active";
    case ApplicationState::Inactive: return "inactive";
    case ApplicationState::Background: return "background";
  }
  return "?";
}

// Records each call with the application's state at that moment.
struct Recorder : ApplicationDelegate {
  std::vector<std::string> calls;
  LaunchOptions launchOptions;
  bool takeUrls = true;
  void note(Application& app, const std::string& what) { calls.push_back(what + "@" + name(app.state())); }
  bool didFinishLaunching(Application& app, const LaunchOptions& o) override {
    launchOptions = o;
    note(app, "launch");
    return true;
  }
  void didBecomeActive(Application& app) override { note(app, "active"); }
  void willResignActive(Application& app) override { note(app, "resign"); }
  void didEnterBackground(Application& app) override { note(app, "background"); }
  void willEnterForeground(Application& app) override { note(app, "foreground"); }
  void willTerminate(Application& app) override { note(app, "terminate"); }
  bool openURL(Application& app, const std::string& url) override {
    note(app, "url " + url);
    return takeUrls;
  }
  void didReceiveRemoteNotification(Application& app, const Json& p) override { note(app, "push " + p["aps"]["msgId"].get<std::string>()); }
  void didReceiveLocalNotification(Application& app, const Json& u) override { note(app, "local " + u["CategoryClock"].get<std::string>()); }
  void didRegisterForRemoteNotifications(Application& app, const std::vector<uint8_t>& t) override {
    note(app, "token " + std::to_string(t.size()));
  }
  void didFailToRegisterForRemoteNotifications(Application& app, const std::string& e) override { note(app, "token failed " + e); }
  int supportedInterfaceOrientations(Application&, Window&) override { return OrientationMask::Portrait; }
};

using Calls = std::vector<std::string>;

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override { Application::shared().setDelegate(recorder); }
  std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
};

TEST_F(ApplicationTest, LaunchFinishesThenActivates) {
  EXPECT_EQ(Application::shared().state(), ApplicationState::Inactive);
  LaunchOptions options;
  options.url = "nvx://pay";
  options.remotePayload = Json::parse(R"({"aps":{"msgId":"7","type":"4"}})");
  EXPECT_TRUE(LifecycleDriver::launch(options));
  EXPECT_EQ(recorder->calls, (Calls{"launch@inactive", "active@active"}));
  EXPECT_EQ(recorder->launchOptions.url, "nvx://pay");
  ASSERT_TRUE(recorder->launchOptions.remotePayload);
  EXPECT_EQ((*recorder->launchOptions.remotePayload)["aps"]["msgId"], "7");
  EXPECT_FALSE(recorder->launchOptions.localNotificationUserInfo);
  EXPECT_TRUE(Application::shared().isLaunched());
}

TEST_F(ApplicationTest, BackgroundAndForegroundInThePhonesOrder) {
  LifecycleDriver::launch();
  recorder->calls.clear();
  LifecycleDriver::enterBackground();
  EXPECT_EQ(Application::shared().state(), ApplicationState::Background);
  LifecycleDriver::enterBackground();   // already there
  LifecycleDriver::enterForeground();
  LifecycleDriver::enterForeground();   // not in the background any more
  LifecycleDriver::resignActive();
  LifecycleDriver::becomeActive();
  LifecycleDriver::terminate();
  EXPECT_EQ(recorder->calls, (Calls{"resign@active", "background@background", "foreground@background", "active@active",
                                    "resign@active", "active@active", "terminate@active"}));
}

TEST_F(ApplicationTest, UrlsAndNotificationsOpenedFromTheBackgroundBringTheApplicationForward) {
  LifecycleDriver::launch();
  recorder->calls.clear();
  EXPECT_TRUE(LifecycleDriver::openURL("nvx://a"));
  Json payload = Json::parse(R"({"aps":{"msgId":"m1","type":"1","alert":"hi"}})");
  LifecycleDriver::remotePush(payload);   // while active
  LifecycleDriver::enterBackground();
  recorder->calls.clear();
  recorder->takeUrls = false;
  EXPECT_FALSE(LifecycleDriver::openURL("nvx://b"));
  LifecycleDriver::enterBackground();
  LifecycleDriver::remotePush(payload);
  LifecycleDriver::enterBackground();
  LifecycleDriver::localNotification(Json::parse(R"({"CategoryClock":"还款提醒"})"));
  EXPECT_EQ(recorder->calls,
            (Calls{"foreground@background", "url nvx://b@inactive", "active@active", "resign@active",
                   "background@background", "foreground@background", "push m1@inactive", "active@active",
                   "resign@active", "background@background", "foreground@background", "local 还款提醒@inactive",
                   "active@active"}));
}

TEST_F(ApplicationTest, PushRegistrationIsRecordedAndAnsweredByTheDriver) {
  Application& app = Application::shared();
  EXPECT_FALSE(app.registeredNotificationTypes());
  app.registerForRemoteNotifications(RemoteNotificationType::Badge | RemoteNotificationType::Sound |
                                     RemoteNotificationType::Alert);
  EXPECT_EQ(app.registeredNotificationTypes(), 7);
  LifecycleDriver::deviceToken({1, 2, 3, 4});
  LifecycleDriver::tokenFailed("no network");
  EXPECT_EQ(recorder->calls, (Calls{"token 4@inactive", "token failed no network@inactive"}));
}

TEST_F(ApplicationTest, BackgroundTasksEndOrExpire) {
  Application& app = Application::shared();
  int expired = 0;
  int64_t a = app.beginBackgroundTask([&] { ++expired; });
  int64_t b = 0;
  b = app.beginBackgroundTask([&] {
    ++expired;
    app.endBackgroundTask(b);
  });
  EXPECT_NE(a, 0);
  EXPECT_NE(a, b);
  app.endBackgroundTask(a);
  LifecycleDriver::expireBackgroundTasks();
  EXPECT_EQ(expired, 1);
  EXPECT_TRUE(app.backgroundTasks().empty());
}

TEST_F(ApplicationTest, ServicesOfThePhone) {
  Application& app = Application::shared();
  app.setApplicationIconBadgeNumber(3);
  EXPECT_EQ(app.applicationIconBadgeNumber(), 3);
  auto window = Window::create();
  window->makeKeyAndVisible();
  EXPECT_EQ(app.keyWindow(), window);
  EXPECT_EQ(app.windows().size(), 1u);
  EXPECT_EQ(app.supportedInterfaceOrientations(*window), OrientationMask::Portrait);
  EXPECT_TRUE(app.openURL("tel:10086"));
  EXPECT_FALSE(app.canOpenURL("weird-scheme://x"));
  EXPECT_FALSE(app.openURL("weird-scheme://x"));
  EXPECT_EQ(UrlOpener::shared().opened(), (std::vector<std::string>{"tel:10086"}));
}

}  // namespace
}  // namespace platform::ui
