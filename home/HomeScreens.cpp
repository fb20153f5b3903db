#include "home/HomeScreens.h"

#include "core/shell/ScreenRegistry.h"
#include "home/HomeBoxData.h"
#include "home/HomeViewController.h"

namespace nvx::home {

void registerScreens() {
  HomeBoxData::registerArchiveClass();
  // A home screen registered before the client is wired (a test's own) stays in place.
  auto& registry = ScreenRegistry::shared();
  if (registry.has(HomeViewController::kClassName)) return;
  registry.add(HomeViewController::kClassName, [] { return HomeViewController::create(); });
}

}  // namespace nvx::home
