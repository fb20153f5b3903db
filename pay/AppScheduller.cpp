#include "pay/AppScheduller.h"

#include <cstdlib>
#include <mutex>

#include "app/ui/CMExecutor.h"
#include "app/ui/NVXViewController.h"
#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "core/shell/LoginScreen.h"
#include "core/shell/ScreenRegistry.h"
#include "core/text/UrlEscaping.h"
#include "pay/NVXCheckoutAppScheduller.h"
#include "pay/ThirdPartyAppScheduller.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "AppScheduller";

// The one slot of the run, the handler classes other modules made known, and the process's end.
struct SchedullerState {
  std::recursive_mutex mutex;
  std::shared_ptr<AppScheduller> current;
  std::map<std::string, AppSchedullerManager::HandlerClass> registered;
  std::function<void(int)> exitProcess = [](int code) {
    platform::UserDefaults::standard().synchronize();
    std::exit(code);
  };
};

SchedullerState& state() { return platform::Process::current().shared<SchedullerState>(); }

template <class T>
AppSchedullerManager::HandlerClass classOf() {
  return {[] { return std::static_pointer_cast<AppScheduller>(std::make_shared<T>()); }};
}

std::string replaceFirst(std::string format, std::string_view value) {
  if (auto at = format.find("%s"); at != std::string::npos) format.replace(at, 2, value);
  return format;
}

}  // namespace

// --- the shared handler ---------------------------------------------------------------------------

std::shared_ptr<AppScheduller> AppScheduller::sharedAppScheduller() {
  auto& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  if (!s.current) s.current = std::make_shared<AppScheduller>();
  return s.current;
}

void AppScheduller::replaceShared(std::shared_ptr<AppScheduller> handler) {
  auto& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  s.current = std::move(handler);
}

void AppScheduller::setProcessExit(std::function<void(int)> exit) { state().exitProcess = std::move(exit); }

bool AppScheduller::isCurrent() const {
  auto& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  return s.current.get() == this;
}

// --- reading the URL ------------------------------------------------------------------------------

bool AppScheduller::isAdaptScheme(std::string_view text) const {
  if (!url_ || url_->empty()) return true;
  return url_->find(text) != std::string::npos;
}

std::string AppScheduller::trimUrlWithSpecailCharset(std::string_view text) const {
  std::string out = url_.value_or("");
  if (text.empty()) return out;
  for (size_t at = out.find(text); at != std::string::npos; at = out.find(text, at)) out.erase(at, text.size());
  return out;
}

std::map<std::string, std::string> AppScheduller::callPairs(std::string_view urlText, bool unescape) {
  std::string rest(urlText);
  constexpr std::string_view kPrefix = "nvx://";
  for (size_t at = rest.find(kPrefix); at != std::string::npos; at = rest.find(kPrefix, at)) rest.erase(at, kPrefix.size());
  std::map<std::string, std::string> pairs;
  size_t start = 0;
  for (;;) {
    const size_t amp = rest.find('&', start);
    const std::string piece = rest.substr(start, amp == std::string::npos ? std::string::npos : amp - start);
    const size_t eq = piece.find('=');
    if (eq != std::string::npos && piece.find('=', eq + 1) == std::string::npos) {
      std::optional<std::string> key = piece.substr(0, eq);
      std::optional<std::string> value = piece.substr(eq + 1);
      if (unescape) {
        key = text::originalURLString(*key);
        value = text::originalURLString(*value);
      }
      if (key && value) pairs[*key] = *value;
    }
    if (amp == std::string::npos) break;
    start = amp + 1;
  }
  return pairs;
}

std::string AppScheduller::returnUrl(const std::string& scheme, const std::string& message) {
  std::string url = scheme + "://";
  if (!message.empty()) url += text::escapesUTF8Url(message).value_or("");
  return url;
}

// --- serving ----------------------------------------------------------------------------------------

void AppScheduller::popHome(bool animated) {
  if (auto navigation = AppServices::current().navigationController()) navigation->popToRoot(animated);
}

void AppScheduller::scheduling() {
  isOtherAppLaunching_ = true;
  answered_ = false;
  platform::ui::AlertView::dismissAll();
  popHome(false);
}

void AppScheduller::dispatchFunction(const std::string& funcNo) {
  dispatchFuncNo_ = funcNo;
  auto table = funcNoClassMap();
  auto entry = table ? table->find(funcNo) : FuncNoClassMap::const_iterator();
  if (!table || entry == table->end()) {
    alertSchedullingRequestError(kNoBusinessReason);
    return;
  }
  auto screen = ScreenRegistry::shared().create(entry->second);
  if (!screen) {
    // The business's module is not part of this build yet: nothing opens.
    platform::log::info(kTag, "business screen " + entry->second + " is not available");
    return;
  }
  if (beforeEnterBussinessViewController_) beforeEnterBussinessViewController_(*screen);
  if (auto* base = dynamic_cast<NVXViewController*>(screen.get())) {
    base->setNavBackItemExecutor(CMExecutor::initWithTarget(self(), &AppScheduller::backToCaller));
  }
  if (auto navigation = AppServices::current().navigationController()) navigation->push(screen, false);
}

void AppScheduller::pushLoginScreen(bool animated, std::function<void()> then) {
  auto login = LoginScreen::create();
  if (!login) return;
  if (auto* configurable = dynamic_cast<LoginScreen*>(login.get())) {
    std::weak_ptr<AppScheduller> weak = self();
    configurable->setCustomSuccessExecutor([weak, then = std::move(then)] {
      auto handler = weak.lock();
      if (handler && handler->isCurrent() && then) then();
    });
  }
  if (auto* base = dynamic_cast<NVXViewController*>(login.get())) {
    base->setNavBackItemExecutor(CMExecutor::initWithTarget(self(), &AppScheduller::backToCaller));
  }
  if (auto navigation = AppServices::current().navigationController()) navigation->push(login, animated);
}

void AppScheduller::alertSchedullingRequestError(const std::string& reason) {
  auto alert = platform::ui::AlertView::create(
      kAlertTitle, replaceFirst(replaceFirst(kGiveUpFormat, reason), sourceAppClientName_), kAlertButton);
  alert->setTag(kGiveUpAlertTag);
  alert->setDelegate(std::weak_ptr<platform::ui::AlertViewDelegate>(self()));
  alert->show();
}

bool AppScheduller::beginAnswer() {
  if (answered_) {
    platform::log::info(kTag, "the caller has been answered already");
    popHome(true);
    return false;
  }
  answered_ = true;
  isOtherAppLaunching_ = false;
  return true;
}

bool AppScheduller::callback() {
  if (!beginAnswer()) return false;
  popHome(true);
  const std::string url = returnUrl(callAppScheme_, callbackMsg_);
  auto& app = platform::ui::Application::shared();
  if (app.canOpenURL(url) && app.openURL(url)) {
    // The visit's login ends with it.
    User::currentUser().outOfLogin();
    return true;
  }
  auto alert = platform::ui::AlertView::create(kAlertTitle, replaceFirst(kExitFormat, sourceAppClientName_),
                                               kAlertButton);
  alert->setTag(kExitAlertTag);
  alert->setDelegate(std::weak_ptr<platform::ui::AlertViewDelegate>(self()));
  alert->show();
  return false;
}

void AppScheduller::alertViewClickedButtonAtIndex(platform::ui::AlertView& alertView, int) {
  if (alertView.tag() == kExitAlertTag) {
    auto exit = state().exitProcess;
    if (exit) exit(0);
    return;
  }
  // A replaced handler's alert (dismissed when the next call began) answers nobody.
  if (alertView.tag() == kGiveUpAlertTag && isCurrent()) callback();
}

void AppScheduller::returnToCallingApp(bool failed) {
  auto handler = sharedAppScheduller();
  if (!handler->isOtherAppLaunching()) return;
  if (auto checkout = std::dynamic_pointer_cast<NVXCheckoutAppScheduller>(handler); checkout && failed) {
    checkout->setIsFailed(true);
  }
  handler->callback();
}

// --- the router ---------------------------------------------------------------------------------------

std::vector<std::string> AppSchedullerManager::supportedAppSchedullerClasses() {
  return {"CMBAppScheduller", DYAppScheduller::kClassName, NVXCheckoutAppScheduller::kClassName};
}

void AppSchedullerManager::registerHandlerClass(std::string name, HandlerClass handlerClass) {
  auto& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  s.registered[std::move(name)] = std::move(handlerClass);
}

bool AppSchedullerManager::schedullerCenterAdpat(const std::optional<std::string>& url) {
  if (!url) return false;
  for (const auto& name : supportedAppSchedullerClasses()) {
    std::optional<HandlerClass> handlerClass;
    if (name == DYAppScheduller::kClassName) {
      handlerClass = classOf<DYAppScheduller>();
    } else if (name == NVXCheckoutAppScheduller::kClassName) {
      handlerClass = classOf<NVXCheckoutAppScheduller>();
    } else {
      auto& s = state();
      std::lock_guard<std::recursive_mutex> lock(s.mutex);
      if (auto it = s.registered.find(name); it != s.registered.end()) handlerClass = it->second;
    }
    if (!handlerClass) {
      platform::log::debug(kTag, name + " is not part of this build");
      continue;
    }
    // Every call starts with a fresh handler: nothing of the previous call's state (its return
    // message, its order) carries over, whichever classes of the list are present.
    auto handler = handlerClass->make();
    AppScheduller::replaceShared(handler);
    handler->url_ = url;
    if (handler->isAdapt()) {
      handler->scheduling();
      return true;
    }
  }
  return false;
}

}  // namespace nvx
