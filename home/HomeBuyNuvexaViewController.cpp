#include "home/HomeBuyNuvexaViewController.h"

#include "home/HomeBottomTabBar.h"
#include "home/HomeTabBarViewController.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

std::shared_ptr<HomeBuyNuvexaViewController> HomeBuyNuvexaViewController::create() {
  return std::make_shared<HomeBuyNuvexaViewController>();
}

void HomeBuyNuvexaViewController::viewDidLoad() {
  BuyNuvexaViewController::viewDidLoad();
  HomeTabBarViewController::showHomeTabBarAddedTo(*view(), HomeBottomTabBar::kLifeTag);
}

void HomeBuyNuvexaViewController::viewWillAppear(bool animated) {
  BuyNuvexaViewController::viewWillAppear(animated);
  if (auto navigation = navigationController()) navigation->setNavigationBarHidden(true, false);
}

}  // namespace nvx
