#include "app/ui/HomeScreen.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Window.h"

namespace nvx {

void HomeScreen::removeSplashLater(std::weak_ptr<platform::ui::ViewController> screen) {
  platform::dispatchAfter(platform::secs(kSplashRemovalDelay), [screen = std::move(screen)] {
    if (!screen.lock()) return;
    for (auto& window : platform::ui::Window::all()) {
      if (auto splash = window->viewWithTag(kSplashTag)) splash->removeFromSuperview();
    }
  });
}

void HomeScreen::gotoNewBusiness(const std::string& title) {
  platform::log::info("HomeScreen", "no way to the business \"" + title + "\" on this home screen");
}

}  // namespace nvx
