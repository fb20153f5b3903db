#include "core/shell/LoginScreen.h"

#include "core/shell/ScreenRegistry.h"

namespace nvx {

std::shared_ptr<platform::ui::ViewController> LoginScreen::create() {
  return ScreenRegistry::shared().create(kClassName);
}

}  // namespace nvx
