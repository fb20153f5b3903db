#include "home/HomeScreens.h"

#include "core/shell/ScreenRegistry.h"
#include "core/models/ServiceGroupEntity.h"
#include "home/AboutUsViewController.h"
#include "home/AgreementViewController.h"
#include "home/AllControllerTable.h"
#include "home/BuyNuvexaViewController.h"
#include "home/FeedBackViewController.h"
#include "home/HomeBoxData.h"
#include "home/HomeBuyNuvexaViewController.h"
#include "home/MessageDetailViewController.h"
#include "home/MoreViewController.h"
#include "home/RangeTableViewController.h"
#include "home/HomeViewController.h"
#include "home/WalletCouponViewController.h"

namespace nvx::home {

namespace {

// The screens of the home screen's pages and bars, by class name (a screen a test registered
// first stays).
void registerPageScreens() {
  auto& registry = ScreenRegistry::shared();
  auto add = [&registry](const char* name, ScreenRegistry::Factory make) {
    if (!registry.has(name)) registry.add(name, std::move(make));
  };
  add(AllControllerTable::kClassName, [] { return AllControllerTable::create(); });
  add(RangeTableViewController::kClassName, [] { return RangeTableViewController::create(); });
  add(MoreViewController::kClassName, [] { return MoreViewController::create(); });
  add(AboutUsViewController::kClassName, [] { return AboutUsViewController::create(); });
  add(AgreementViewController::kClassName, [] { return AgreementViewController::create(); });
  add(MessageDetailViewController::kClassName, [] { return MessageDetailViewController::create(); });
}

}  // namespace

void registerScreens() {
  HomeBoxData::registerArchiveClass();
  ServiceGroupEntity::registerArchiveClass();
  registerPageScreens();
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
