#include "reader/ui/ReaderScreens.h"

#include "app/core/ScreenRegistry.h"
#include "reader/ui/SwiperCardHelpViewController.h"
#include "reader/ui/SwiperInvalidViewController.h"

namespace nvx::reader::ui {

void registerScreens() {
  auto& registry = ScreenRegistry::shared();
  registry.add(SwiperInvalidViewController::kClassName, [] { return SwiperInvalidViewController::create(); });
  registry.add(SwiperCardHelpViewController::kClassName, [] { return SwiperCardHelpViewController::create(); });
}

}  // namespace nvx::reader::ui
