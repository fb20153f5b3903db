#include "app/ui/NetUiBridge.h"

#include "app/ui/NVXResponseErrorHandler.h"
#include "core/shell/AppServices.h"
#include "core/shell/LoginScreen.h"
#include "net/NetUiHooks.h"
#include "platform/foundation/Log.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Hud.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "NetUiBridge";

using platform::ui::ViewController;

void showWindowSpinner() {
  if (auto window = AppServices::current().window()) platform::ui::Hud::showOn(*window, true);
}

void hideWindowSpinner() {
  if (auto window = AppServices::current().window()) platform::ui::Hud::hideAll(*window, true);
}

// "1012": the login screen at once on the screen's navigation stack.
void pushLoginScreen(const std::shared_ptr<ViewController>& screen, std::weak_ptr<LoginViewControllerDelegate> delegate) {
  auto navigation = screen ? screen->navigationController() : nullptr;
  if (!navigation) {
    platform::log::warning(kTag, "expired login without a navigation stack to show the login screen on");
    return;
  }
  if (auto login = LoginScreen::create()) {
    if (auto configurable = std::dynamic_pointer_cast<LoginScreen>(login)) configurable->setDelegate(delegate);
    navigation->push(login, true);
  }
}

// "1023": the re-login alert (one at a time), answered by the screen when it listens to alerts.
bool showReloginAlert(const std::string& message, const std::shared_ptr<ViewController>& screen) {
  if (NVXResponseErrorHandler::isReloginAlertShown()) return false;
  if (screen) {
    if (auto navigation = screen->navigationController()) platform::ui::Hud::hideAll(*navigation->view(), false);
  }
  auto alert = NVXResponseErrorHandler::makeReloginAlert(message);
  if (auto alertDelegate = std::dynamic_pointer_cast<platform::ui::AlertViewDelegate>(screen)) {
    alert->setDelegate(alertDelegate);
  }
  alert->show();
  return true;
}

}  // namespace

void installNetUiHooks() {
  NetUiHooks hooks;
  hooks.showWindowSpinner = showWindowSpinner;
  hooks.hideWindowSpinner = hideWindowSpinner;
  hooks.handleExpiredLogin = [] { return NVXResponseErrorHandler::sharedHandler().handleUserTokenError(); };
  hooks.expiredLoginOnScreen = [](std::string_view code, const std::string& message,
                                  const std::shared_ptr<ViewController>& screen,
                                  std::weak_ptr<LoginViewControllerDelegate> delegate) {
    if (code == "1012") {
      pushLoginScreen(screen, std::move(delegate));
      return true;
    }
    return showReloginAlert(message, screen);
  };
  NetUiHooks::install(std::move(hooks));
}

}  // namespace nvx
