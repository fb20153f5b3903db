#include "platform/ui/Application.h"

#include "platform/device/UrlOpener.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

namespace platform::ui {

int ApplicationDelegate::supportedInterfaceOrientations(Application&, Window&) {
  return OrientationMask::AllButUpsideDown;
}

Application& Application::shared() { return Process::current().shared<Application>(); }

std::shared_ptr<Window> Application::keyWindow() const { return Window::keyWindow(); }

std::vector<std::shared_ptr<Window>> Application::windows() const { return Window::all(); }

int Application::supportedInterfaceOrientations(Window& window) {
  auto d = delegate_;
  return d ? d->supportedInterfaceOrientations(*this, window) : OrientationMask::AllButUpsideDown;
}

int64_t Application::beginBackgroundTask(std::function<void()> expiry) {
  int64_t id = nextTask_++;
  tasks_[id] = std::move(expiry);
  return id;
}

void Application::endBackgroundTask(int64_t id) { tasks_.erase(id); }

std::vector<int64_t> Application::backgroundTasks() const {
  std::vector<int64_t> ids;
  for (const auto& [id, handler] : tasks_) ids.push_back(id);
  return ids;
}

void Application::registerForRemoteNotifications(int types) { registeredTypes_ = types; }

bool Application::canOpenURL(const std::string& url) const { return UrlOpener::shared().canOpen(url); }

bool Application::openURL(const std::string& url) { return UrlOpener::shared().open(url); }

// --- LifecycleDriver ---

namespace {

void onMain(const std::function<void()>& work) { RunLoop::main().postAndWait(work); }

Application& app() { return Application::shared(); }

std::shared_ptr<ApplicationDelegate> delegate() { return Application::shared().delegate(); }

void activate() {
  Application& a = app();
  if (a.state() == ApplicationState::Active) return;
  LifecycleDriver::becomeActive();
}

}  // namespace

bool LifecycleDriver::launch(const LaunchOptions& options) {
  bool result = true;
  onMain([&] {
    Application& a = app();
    a.state_ = ApplicationState::Inactive;
    a.launched_ = true;
    if (auto d = delegate()) result = d->didFinishLaunching(a, options);
    activate();
  });
  return result;
}

void LifecycleDriver::becomeActive() {
  onMain([] {
    Application& a = app();
    if (a.state_ == ApplicationState::Active) return;
    a.state_ = ApplicationState::Active;
    if (auto d = delegate()) d->didBecomeActive(a);
  });
}

void LifecycleDriver::resignActive() {
  onMain([] {
    Application& a = app();
    if (a.state_ != ApplicationState::Active) return;
    if (auto d = delegate()) d->willResignActive(a);
    a.state_ = ApplicationState::Inactive;
  });
}

void LifecycleDriver::enterBackground() {
  onMain([] {
    Application& a = app();
    if (a.state_ == ApplicationState::Background) return;
    resignActive();
    a.state_ = ApplicationState::Background;
    if (auto d = delegate()) d->didEnterBackground(a);
  });
}

bool LifecycleDriver::leaveBackground(Application& a) {
  if (a.state_ != ApplicationState::Background) return false;
  if (auto d = delegate()) d->willEnterForeground(a);
  a.state_ = ApplicationState::Inactive;
  return true;
}

void LifecycleDriver::enterForeground() {
  onMain([] {
    if (leaveBackground(app())) activate();
  });
}

void LifecycleDriver::terminate() {
  onMain([] {
    if (auto d = delegate()) d->willTerminate(app());
  });
}

bool LifecycleDriver::openURL(const std::string& url) {
  bool taken = false;
  onMain([&] {
    Application& a = app();
    leaveBackground(a);
    if (auto d = delegate()) taken = d->openURL(a, url);
    activate();
  });
  return taken;
}

void LifecycleDriver::deliverNotification(const std::function<void(ApplicationDelegate&, Application&)>& deliver) {
  onMain([&] {
    Application& a = app();
    bool opened = leaveBackground(a);
    if (auto d = delegate()) deliver(*d, a);
    if (opened) activate();
  });
}

void LifecycleDriver::remotePush(const Json& payload) {
  deliverNotification([&](ApplicationDelegate& d, Application& a) { d.didReceiveRemoteNotification(a, payload); });
}

void LifecycleDriver::localNotification(const Json& userInfo) {
  deliverNotification([&](ApplicationDelegate& d, Application& a) { d.didReceiveLocalNotification(a, userInfo); });
}

void LifecycleDriver::deviceToken(const std::vector<uint8_t>& token) {
  onMain([&] {
    if (auto d = delegate()) d->didRegisterForRemoteNotifications(app(), token);
  });
}

void LifecycleDriver::tokenFailed(const std::string& error) {
  onMain([&] {
    if (auto d = delegate()) d->didFailToRegisterForRemoteNotifications(app(), error);
  });
}

void LifecycleDriver::expireBackgroundTasks() {
  onMain([] {
    Application& a = app();
    auto tasks = a.tasks_;   // handlers end their tasks
    for (auto& [id, handler] : tasks) {
      if (handler && a.tasks_.count(id)) handler();
    }
  });
}

}  // namespace platform::ui
