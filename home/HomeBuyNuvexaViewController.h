// The reader shop as a page of the home tabs: the shop with the home tab bar on the life-services
// tab, without a navigation bar.
#pragma once
#include <memory>
#include <string>

#include "home/BuyNuvexaViewController.h"

namespace nvx {

class HomeBuyNuvexaViewController : public BuyNuvexaViewController {
 public:
  static constexpr const char* kClassName = "HomeBuyNuvexaViewController";

  HomeBuyNuvexaViewController() = default;
  static std::shared_ptr<HomeBuyNuvexaViewController> create();

  std::string className() const override { return kClassName; }

  // The shop's set-up, then the home tab bar with the life-services tab selected.
  void viewDidLoad() override;
  // Hides the navigation bar (without animation) every time.
  void viewWillAppear(bool animated) override;
};

}  // namespace nvx
