// The application object of the process: its delegate, its state and the services the phone
// gives every application (badge, status bar, background tasks, push registration, opening URLs).
// The life-cycle events reach the delegate through LifecycleDriver (tests, simulator, main()).
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Json.h"

namespace platform {
class Process;
}

namespace platform::ui {

class Application;
class Window;

// What the application was launched with.
struct LaunchOptions {
  std::optional<std::string> url;                    // opened by another application
  std::optional<Json> localNotificationUserInfo;     // a local notification the user opened
  std::optional<Json> remotePayload;                 // a push message the user opened
};

// Push notification types (a mask).
namespace RemoteNotificationType {
inline constexpr int Badge = 1 << 0;
inline constexpr int Sound = 1 << 1;
inline constexpr int Alert = 1 << 2;
}  // namespace RemoteNotificationType

// The application's delegate. Every call comes on the main thread; the defaults do nothing.
class ApplicationDelegate {
 public:
  virtual ~ApplicationDelegate() = default;
  virtual bool didFinishLaunching(Application& app, const LaunchOptions& options) { return true; }
  virtual void didBecomeActive(Application& app) {}
  virtual void willResignActive(Application& app) {}
  virtual void didEnterBackground(Application& app) {}
  virtual void willEnterForeground(Application& app) {}
  virtual void willTerminate(Application& app) {}
  // Whether the URL was taken.
  virtual bool openURL(Application& app, const std::string& url) { return false; }
  virtual void didReceiveRemoteNotification(Application& app, const Json& payload) {}
  virtual void didReceiveLocalNotification(Application& app, const Json& userInfo) {}
  virtual void didRegisterForRemoteNotifications(Application& app, const std::vector<uint8_t>& deviceToken) {}
  virtual void didFailToRegisterForRemoteNotifications(Application& app, const std::string& error) {}
  // Orientation mask (OrientationMask in ViewController.h) allowed in the window.
  virtual int supportedInterfaceOrientations(Application& app, Window& window);
};

enum class ApplicationState { Active, Inactive, Background };

class Application {
 public:
  // The one application of the process.
  static Application& shared();

  void setDelegate(std::shared_ptr<ApplicationDelegate> delegate) { delegate_ = std::move(delegate); }
  const std::shared_ptr<ApplicationDelegate>& delegate() const { return delegate_; }

  // Inactive until launched and activated.
  ApplicationState state() const { return state_; }
  bool isLaunched() const { return launched_; }

  int applicationIconBadgeNumber() const { return badge_; }
  void setApplicationIconBadgeNumber(int n) { badge_ = n; }
  bool isStatusBarHidden() const { return statusBarHidden_; }
  void setStatusBarHidden(bool hidden, bool animated = false) { statusBarHidden_ = hidden; }

  std::shared_ptr<Window> keyWindow() const;
  std::vector<std::shared_ptr<Window>> windows() const;
  // The delegate's answer for the window.
  int supportedInterfaceOrientations(Window& window);

  // Background tasks: an id (never 0) until ended; the expiry handler runs if the time allowed
  // runs out (LifecycleDriver::expireBackgroundTasks).
  int64_t beginBackgroundTask(std::function<void()> expiry = {});
  void endBackgroundTask(int64_t id);
  std::vector<int64_t> backgroundTasks() const;

  // Recorded; a test or the simulator answers with LifecycleDriver::deviceToken / tokenFailed.
  void registerForRemoteNotifications(int types);
  std::optional<int> registeredNotificationTypes() const { return registeredTypes_; }

  // Through the device's URL opener: false when no application takes the scheme.
  bool canOpenURL(const std::string& url) const;
  bool openURL(const std::string& url);

 private:
  friend class ::platform::Process;
  friend class LifecycleDriver;
  Application() = default;

  std::shared_ptr<ApplicationDelegate> delegate_;
  ApplicationState state_ = ApplicationState::Inactive;
  bool launched_ = false;
  int badge_ = 0;
  bool statusBarHidden_ = false;
  int64_t nextTask_ = 1;
  std::map<int64_t, std::function<void()>> tasks_;
  std::optional<int> registeredTypes_;
};

// Drives the application the way the phone does. Every call runs the delegate on the main
// thread (posted and waited for when called from another thread) and sets the state around it.
class LifecycleDriver {
 public:
  // didFinishLaunching (state Inactive), then becomeActive. Returns the delegate's answer.
  static bool launch(const LaunchOptions& options = {});
  // State Active, then didBecomeActive (nothing when already active).
  static void becomeActive();
  // willResignActive, then state Inactive (nothing unless active).
  static void resignActive();
  // Resigns first when active; state Background, then didEnterBackground.
  static void enterBackground();
  // willEnterForeground, state Inactive, then becomeActive (nothing unless in the background).
  static void enterForeground();
  static void terminate();
  // Another application opens the URL: from the background the application comes to the
  // foreground first; the delegate answers; then it becomes active.
  static bool openURL(const std::string& url);
  // A push message or local notification: delivered with the state as it is while active or
  // inactive; in the background the user opened it, so the application comes to the foreground
  // (inactive) for the delivery and becomes active afterwards.
  static void remotePush(const Json& payload);
  static void localNotification(const Json& userInfo);
  // The answers to registerForRemoteNotifications.
  static void deviceToken(const std::vector<uint8_t>& token);
  static void tokenFailed(const std::string& error);
  // Runs the expiry handlers of the background tasks still running.
  static void expireBackgroundTasks();

 private:
  // From the background: willEnterForeground, then state Inactive. False (nothing done) when the
  // application is not in the background. On the main thread.
  static bool leaveBackground(Application& app);
  // A notification delivered as remotePush describes.
  static void deliverNotification(const std::function<void(ApplicationDelegate&, Application&)>& deliver);
};

}  // namespace platform::ui
