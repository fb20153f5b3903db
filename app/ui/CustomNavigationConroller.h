// The client's root navigation controller. It carries the rotation rules: on a 4-inch screen
// (current mode 640 x 1136 or 320 x 568) the client turns with the phone between portrait and
// upside-down portrait, except while the first-run guide is shown; everywhere else it stays in
// portrait.
#pragma once
#include <memory>

#include "platform/ui/NavigationController.h"

namespace nvx {

class CustomNavigationConroller : public platform::ui::NavigationController {
 public:
  CustomNavigationConroller() = default;
  static std::shared_ptr<CustomNavigationConroller> create(std::shared_ptr<platform::ui::ViewController> root);

  std::string className() const override { return "CustomNavigationConroller"; }

  bool shouldAutorotateToInterfaceOrientation(platform::ui::Orientation orientation) const;
  int supportedInterfaceOrientations() const;

  bool shouldAutorotateTo(platform::ui::Orientation orientation) const override {
    return shouldAutorotateToInterfaceOrientation(orientation);
  }
  bool shouldAutorotate() const override;
  int supportedOrientations() const override { return supportedInterfaceOrientations(); }

 private:
  // A 4-inch screen while the first-run guide is not shown.
  static bool turnsUpsideDown();
};

}  // namespace nvx
