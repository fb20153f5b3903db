#include "app/ui/HudExt.h"

#include "core/shell/AppServices.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Window.h"

namespace nvx {

namespace {

using platform::ui::Hud;

std::shared_ptr<platform::ui::Window> appWindow() {
  auto window = AppServices::current().window();
  if (!window) platform::log::debug("HudExt", "no application window: nothing shown");
  return window;
}

// The labelled indicator of show(text), made on the main loop.
void showLabelled(const std::string& text) {
  auto window = appWindow();
  if (!window) return;
  auto hud = Hud::showOn(*window, true);
  hud->setLabel(text);
  AppServices::current().setHud(hud);
}

}  // namespace

std::shared_ptr<Hud> HudExt::show() {
  auto window = appWindow();
  return window ? Hud::showOn(*window, true) : nullptr;
}

void HudExt::show(std::string text) {
  platform::dispatchMain([text = std::move(text)] { showLabelled(text); });
}

void HudExt::show(std::string text, double delaySeconds, CMExecutor::Target target, CMExecutor::Action action) {
  auto executor = CMExecutor::initWithTarget(std::move(target), std::move(action));
  platform::dispatchMain([text = std::move(text), delaySeconds, executor] {
    showLabelled(text);
    platform::dispatchAfter(platform::secs(delaySeconds), [executor] { delayAction(executor); });
  });
}

void HudExt::delayAction(const std::shared_ptr<CMExecutor>& executor) {
  hide();
  if (executor && executor->performer().lock()) executor->perform();
}

void HudExt::hide() {
  if (auto window = appWindow()) Hud::hideAll(*window, true);
}

void HudExt::prompt(std::string text, int yOffset) {
  auto window = appWindow();
  if (!window) return;
  auto hud = Hud::showOn(*window, true);
  hud->setMode(Hud::Mode::Text);
  hud->setLabel(std::move(text));
  hud->setYOffset(yOffset);
  hud->hide(true, kPromptSeconds);
}

void HudExt::prompt(std::string text) { prompt(std::move(text), kPromptYOffset); }

void HudExt::promptNetFailed() { prompt(platform::Strings::localized("NetworkConnectionFailed")); }

void HudExt::promptDataError() { prompt(platform::Strings::localized("Error_Data")); }

void HudExt::promptNoMoreData() { prompt("没有更多的数据了！"); }

bool HudExt::isAlertHoldingPrompts() {
  for (const auto& alert : platform::ui::AlertView::visible()) {
    if (alert->tag() != kPromptFriendlyAlertTag) return true;
  }
  return false;
}

}  // namespace nvx
