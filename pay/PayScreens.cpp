#include "pay/PayScreens.h"

#include "core/shell/ScreenRegistry.h"
#include "pay/CheckoutResultPages.h"
#include "pay/NVXMultPayViewController.h"
#include "pay/SwipeResultViewController.h"
#include "pay/SwipeTimeOutViewController.h"
#include "pay/SwipeViewController.h"
#include "pay/SwiperCommitFailViewController.h"

namespace nvx::pay {

void registerScreens() {
  auto& registry = ScreenRegistry::shared();
  registry.add(NVXMultPayViewController::kClassName, [] { return NVXMultPayViewController::create(); });
  registry.add(SwipeViewController::kClassName, [] { return SwipeViewController::create(); });
  registry.add(SwipeTimeOutViewController::kClassName,
               [] { return SwipeTimeOutViewController::create(std::nullopt, std::nullopt); });
  registry.add(SwiperCommitFailViewController::kClassName, [] { return SwiperCommitFailViewController::create(); });
  registry.add(SwipeResultViewController::kClassName, [] { return SwipeResultViewController::create(); });
  registry.add(NVXCheckoutResultViewController::kClassName,
               [] { return std::make_shared<NVXCheckoutResultViewController>(); });
  registry.add(CheckoutResultViewControllerViewController::kClassName,
               [] { return std::make_shared<CheckoutResultViewControllerViewController>(); });
}

}  // namespace nvx::pay
