#include "home/HomeScreens.h"

#include "core/shell/ScreenRegistry.h"
#include "home/BuyNuvexaViewController.h"
#include "home/FeedBackViewController.h"
#include "home/HomeBoxData.h"
#include "home/HomeBuyNuvexaViewController.h"
#include "home/HomeViewController.h"
#include "home/WalletCouponViewController.h"

namespace nvx::home {

void registerScreens() {
  HomeBoxData::registerArchiveClass();
  // A home screen registered before the client is wired (a test's own) stays in place.
  auto& registry = ScreenRegistry::shared();
  registry.add(BuyNuvexaViewController::kClassName, [] { return BuyNuvexaViewController::create(); });
  registry.add(HomeBuyNuvexaViewController::kClassName, [] { return HomeBuyNuvexaViewController::create(); });
  registry.add(FeedBackViewController::kClassName, [] { return FeedBackViewController::create(); });
  registry.add(WalletCouponViewController::kClassName, [] { return WalletCouponViewController::create(); });
  if (registry.has(HomeViewController::kClassName)) return;
  registry.add(HomeViewController::kClassName, [] { return HomeViewController::create(); });
}

}  // namespace nvx::home
