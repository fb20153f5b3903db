#include "app/ui/NVXResponseErrorHandler.h"

#include "core/shell/AppServices.h"
#include "core/session/NVXContext.h"
#include "core/shell/LoginScreen.h"
#include "core/shell/MainThread.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Hud.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "NVXResponseErrorHandler";

using platform::Strings;
using platform::ui::ViewController;

}  // namespace

// The alert delegate the handler's alerts hold (weakly): it forwards to the shared handler.
class NVXResponseErrorHandler::AlertDelegate final : public platform::ui::AlertViewDelegate {
 public:
  void alertViewClickedButtonAtIndex(platform::ui::AlertView& alert, int index) override {
    NVXResponseErrorHandler::sharedHandler().alertViewClickedButtonAtIndex(alert, index);
  }
};

NVXResponseErrorHandler::NVXResponseErrorHandler() : alertDelegate_(std::make_shared<AlertDelegate>()) {}

NVXResponseErrorHandler& NVXResponseErrorHandler::sharedHandler() {
  assertMainThread("NVXResponseErrorHandler");
  return platform::Process::current().shared<NVXResponseErrorHandler>();
}

bool NVXResponseErrorHandler::isReloginAlertShown() {
  for (const auto& alert : platform::ui::AlertView::visible()) {
    if (alert->tag() == kReloginAlertTag) return true;
  }
  return false;
}

std::shared_ptr<platform::ui::AlertView> NVXResponseErrorHandler::makeReloginAlert(const std::string& message) {
  auto alert = platform::ui::AlertView::create(Strings::localized("TokenEffectivenessTip"), message, std::nullopt,
                                               {Strings::localized("ReLogin")});
  alert->setTag(kReloginAlertTag);
  return alert;
}

bool NVXResponseErrorHandler::handleUserTokenError() {
  return handleUserTokenErrorWithReloginViewController(NVXContext::sharedContext().visibleViewController());
}

bool NVXResponseErrorHandler::handleUserTokenErrorWithReloginViewController(
    const std::shared_ptr<ViewController>& screen) {
  if (!screen || !screen->navigationController()) return false;
  NVXContext::sharedContext().setVisibleViewController(screen);
  if (isReloginAlertShown()) return true;
  if (auto window = AppServices::current().window()) platform::ui::Hud::hideAll(*window, true);
  auto alert = makeReloginAlert(Strings::localized("Error_Token_Effectiveness"));
  alert->setDelegate(alertDelegate_);
  alert->show();
  return true;
}

void NVXResponseErrorHandler::alertViewClickedButtonAtIndex(platform::ui::AlertView& alert, int /*index*/) {
  if (alert.tag() != kReloginAlertTag) return;
  NVXContext& context = NVXContext::sharedContext();
  auto screen = context.visibleViewController();
  context.setReloginToViewController(screen);
  auto navigation = screen ? screen->navigationController() : nullptr;
  if (!navigation) {
    platform::log::warning(kTag, "the screen of the expired reply is gone; no login screen");
    return;
  }
  auto login = LoginScreen::create();
  if (!login) return;  // no login screen registered yet (logged by the registry)
  if (auto configurable = std::dynamic_pointer_cast<LoginScreen>(login)) {
    configurable->setCustomSuccessExecutor([] { NVXResponseErrorHandler::sharedHandler().loginSuccess(); });
  }
  navigation->push(login, true);
}

void NVXResponseErrorHandler::loginSuccess() {
  NVXContext& context = NVXContext::sharedContext();
  auto screen = context.reloginToViewController();
  context.setVisibleViewController(screen);
  if (!screen) return;
  if (auto navigation = screen->navigationController()) navigation->popTo(*screen, true);
}

}  // namespace nvx
