#include "sim/PlaceholderHomeScreen.h"

#include "core/shell/ScreenRegistry.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace nvx::sim {

namespace {
constexpr std::string_view kTag = "nvx-sim";
}

void PlaceholderHomeScreen::registerIfMissing() {
  auto& registry = ScreenRegistry::shared();
  if (registry.has(kClassName)) return;
  registry.add(kClassName, [] { return std::make_shared<PlaceholderHomeScreen>(); });
}

void PlaceholderHomeScreen::viewWillAppear(bool animated) {
  ViewController::viewWillAppear(animated);
  // The home screen shows no navigation bar.
  if (auto nav = navigationController()) nav->setNavigationBarHidden(true, false);
  if (shown_) return;
  shown_ = true;
  removeSplashLater(weak_from_this());
}

void PlaceholderHomeScreen::gotoFunctionView(const std::string& businessCode) {
  platform::log::info(kTag, "no home boxes in this build: business " + businessCode + " not opened");
}

void PlaceholderHomeScreen::pushToAdvertiseMent(std::shared_ptr<platform::ui::ViewController> screen) {
  if (auto nav = navigationController()) nav->push(std::move(screen), true);
}

void PlaceholderHomeScreen::handleUrlForTicket(const std::string& url) {
  platform::log::info(kTag, "no lottery in this build: " + url + " not opened");
}

}  // namespace nvx::sim
