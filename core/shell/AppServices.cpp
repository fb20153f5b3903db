#include "core/shell/AppServices.h"

#include "core/shell/LoginScreen.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"

namespace nvx {
namespace {

struct InstalledServices {
  std::shared_ptr<AppServices> services = std::make_shared<AppServices>();
};

}  // namespace

AppServices& AppServices::current() {
  return *platform::Process::current().shared<InstalledServices>().services;
}

void AppServices::install(std::shared_ptr<AppServices> services) {
  auto& slot = platform::Process::current().shared<InstalledServices>().services;
  slot = services ? std::move(services) : std::make_shared<AppServices>();
}

void AppServices::showTextPrompt(const std::string& text) {
  auto shown = window();
  if (!shown) return;
  auto hud = platform::ui::Hud::showOn(*shown, true);
  hud->setMode(platform::ui::Hud::Mode::Text);
  hud->setLabel(text);
  hud->setYOffset(-32);
  hud->hide(true, 2.0);
}

void AppServices::pushLoginScreenOnTop() {
  auto appNavigation = navigationController();
  auto top = appNavigation ? appNavigation->topViewController() : nullptr;
  auto navigation = top ? top->navigationController() : nullptr;
  if (!navigation) {
    platform::log::warning("AppServices", "no screen to push the login screen on");
    return;
  }
  if (auto login = LoginScreen::create()) navigation->push(login, true);
}

std::shared_ptr<platform::ui::NavigationController> AppServices::navigationForScreen(
    const std::shared_ptr<platform::ui::ViewController>& screen, std::string_view exceptClass) {
  if (screen && screen->className() != exceptClass) {
    if (auto navigation = screen->navigationController()) return navigation;
  }
  return navigationController();
}

void AppServices::pushScreen(platform::ui::NavigationController& navigation,
                             std::shared_ptr<platform::ui::ViewController> screen) {
  navigation.push(std::move(screen), true);
}

void AppServices::popScreen(platform::ui::NavigationController& navigation) { navigation.pop(true); }

}  // namespace nvx
