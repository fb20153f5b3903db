// Test-only: the application delegate's part that the base screens use, as a test double of
// AppServices: the window with the one navigation stack, the reader hub and the screen that
// receives reader events now, the delegate's reader-event handling before it forwards an event
// (the KSN stored as the reader id, the keys cleared on plug and unplug), and the checkout and
// other-app flags.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "app/ui/NetUiBridge.h"
#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "core/session/User.h"
#include "core/shell/LoginScreen.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Hud.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "reader/CSwiperControllerDelegate.h"
#include "reader/DHSwiperController.h"

namespace nvx::testing {

// A plain screen of a given class name (the root of the stack, registered screens).
class NamedTestScreen : public platform::ui::ViewController {
 public:
  explicit NamedTestScreen(std::string name) : name_(std::move(name)) {}
  std::string className() const override { return name_; }

 private:
  std::string name_;
};

// The login screen as the base screens configure it.
class TestLoginScreen : public NamedTestScreen, public LoginScreen {
 public:
  TestLoginScreen() : NamedTestScreen(kClassName) {}
  void setBoxTitle(std::string title) override { boxTitle = std::move(title); }
  void setDelegate(std::weak_ptr<LoginViewControllerDelegate> d) override { delegate = std::move(d); }
  void setCustomSuccessExecutor(std::function<void()> action) override { success = std::move(action); }
  // The user logs in.
  void logIn(const std::string& loginName, const std::string& token) {
    User::currentUser().setLoginName(loginName);
    User::currentUser().setUserToken(token);
    if (auto action = success) action();
  }

  std::string boxTitle;
  std::weak_ptr<LoginViewControllerDelegate> delegate;
  std::function<void()> success;
};

class TestScreenServices : public AppServices,
                           public reader::CSwiperControllerDelegate,
                           public std::enable_shared_from_this<TestScreenServices> {
 public:
  TestScreenServices() {
    root = std::make_shared<NamedTestScreen>("HomeViewController");
    navigation = platform::ui::NavigationController::create(root);
    mainWindow = platform::ui::Window::create();
    mainWindow->setRootViewController(navigation);
    mainWindow->makeKeyAndVisible();
    // Screens that talk to the server show the request layer's spinner and expired-login
    // handling, as the client installs them at start.
    installNetUiHooks();
  }

  // The hub, made now with these services as its receiver (as the application delegate does).
  std::shared_ptr<reader::DHSwiperController> makeHub() {
    hub = reader::DHSwiperController::create();
    hub->setDelegate(std::weak_ptr<reader::CSwiperControllerDelegate>(shared_from_this()));
    return hub;
  }

  // --- AppServices ---
  std::shared_ptr<platform::ui::NavigationController> navigationController() override { return navigation; }
  std::shared_ptr<platform::ui::Window> window() override { return mainWindow; }
  std::shared_ptr<platform::ui::Hud> hud() override { return lastHud; }
  void setHud(std::shared_ptr<platform::ui::Hud> h) override { lastHud = std::move(h); }
  bool isShowWizard() override { return showWizard; }
  std::shared_ptr<reader::DHSwiperController> swiper() override { return hub; }
  std::shared_ptr<reader::CSwiperControllerDelegate> swiperListener() override { return listener.lock(); }
  void setSwiperListener(std::weak_ptr<reader::CSwiperControllerDelegate> l) override { listener = std::move(l); }
  int ksnState() override { return appKsnState; }
  void setKsnState(int state) override { appKsnState = state; }
  bool isSYT() override { return syt; }
  std::shared_ptr<LoginViewControllerDelegate> checkoutLoginDelegate() override { return checkoutDelegate; }
  void redirectCheckout(bool success) override { redirects.push_back(success); }
  bool isOtherAppLaunching() override { return otherAppLaunching; }

  // --- the application delegate's forwarding of the hub's events ---
  template <class F>
  void forward(F&& f) {
    if (auto l = listener.lock()) f(*l);
  }
  void clearReader() { User::currentUser().forgetReader(); }
  void onDevicePlugged() override {
    clearReader();
    forward([](auto& l) { l.onDevicePlugged(); });
  }
  void onDeviceUnplugged() override {
    clearReader();
    forward([](auto& l) { l.onDeviceUnplugged(); });
  }
  void onNoDeviceDetected() override { forward([](auto& l) { l.onNoDeviceDetected(); }); }
  void onWaitingForDevice() override { forward([](auto& l) { l.onWaitingForDevice(); }); }
  void onWaitingForCardSwipe() override { forward([](auto& l) { l.onWaitingForCardSwipe(); }); }
  void onCardSwipeDetected() override { forward([](auto& l) { l.onCardSwipeDetected(); }); }
  void onDecodingStart() override { forward([](auto& l) { l.onDecodingStart(); }); }
  void onDecodeError(int32_t r) override { forward([r](auto& l) { l.onDecodeError(r); }); }
  void onTimeout() override { forward([](auto& l) { l.onTimeout(); }); }
  void onInterrupted() override { forward([](auto& l) { l.onInterrupted(); }); }
  void onGetKsnCompleted(const std::string& ksn) override {
    User::currentUser().setPsamId(ksn);
    appKsnState = 4;
    if (hub) hub->setKsnState(4);
    forward([&](auto& l) { l.onGetKsnCompleted(ksn); });
  }
  void onError(int32_t code, const std::string& message) override {
    forward([&](auto& l) { l.onError(code, message); });
  }

  std::shared_ptr<NamedTestScreen> root;
  std::shared_ptr<platform::ui::NavigationController> navigation;
  std::shared_ptr<platform::ui::Window> mainWindow;
  std::shared_ptr<platform::ui::Hud> lastHud;
  std::shared_ptr<reader::DHSwiperController> hub;
  std::weak_ptr<reader::CSwiperControllerDelegate> listener;
  std::shared_ptr<LoginViewControllerDelegate> checkoutDelegate;
  std::vector<bool> redirects;
  int appKsnState = 0;
  bool showWizard = false;
  bool syt = false;
  bool otherAppLaunching = false;
};

// Pushes and pops each screen class (animated, letting every transition end) and answers the
// classes whose screen was not let go afterwards, or whose screen is missing or misnamed. With
// no classes given: every class registered in ScreenRegistry now.
inline std::vector<std::string> screensNotReleased(
    platform::ui::NavigationController& navigation,
    std::vector<std::pair<std::string, ScreenRegistry::Factory>> classes = {}) {
  if (classes.empty()) {
    for (const auto& name : ScreenRegistry::shared().names()) {
      classes.emplace_back(name, [name] { return ScreenRegistry::shared().create(name); });
    }
  }
  std::vector<std::string> kept;
  for (const auto& [name, make] : classes) {
    std::weak_ptr<platform::ui::ViewController> weak;
    {
      auto screen = make();
      if (!screen || screen->className() != name) {
        kept.push_back(name);
        continue;
      }
      weak = screen;
      navigation.push(screen, true);
      platform::RunLoop::main().advance(1.0);
      navigation.popTo(*navigation.stack().front(), true);
    }
    platform::RunLoop::main().advance(1.0);
    // A request the screen started holds it until its completion has run on the main loop.
    if (!weak.expired()) {
      (void)platform::RunLoop::main().drainIoUntil([&] { return weak.expired(); }, std::chrono::seconds(5));
    }
    if (!weak.expired()) kept.push_back(name);
  }
  return kept;
}

}  // namespace nvx::testing
