#include "net/LoginScreen.h"

#include "app/core/ScreenRegistry.h"

namespace nvx {

std::shared_ptr<platform::ui::ViewController> LoginScreen::create() {
  return ScreenRegistry::shared().create(kClassName);
}

}  // namespace nvx
