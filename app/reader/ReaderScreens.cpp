#include "app/reader/ReaderScreens.h"

#include "core/shell/ScreenRegistry.h"
#include "app/reader/SwiperCardHelpViewController.h"
#include "app/reader/SwiperInvalidViewController.h"

namespace nvx::reader::ui {

void registerScreens() {
  auto& registry = ScreenRegistry::shared();
  registry.add(SwiperInvalidViewController::kClassName, [] { return SwiperInvalidViewController::create(); });
  registry.add(SwiperCardHelpViewController::kClassName, [] { return SwiperCardHelpViewController::create(); });
}

}  // namespace nvx::reader::ui
