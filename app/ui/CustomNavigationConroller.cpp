#include "app/ui/CustomNavigationConroller.h"

#include "core/session/UIScreen.h"
#include "core/shell/AppServices.h"
#include "platform/device/Device.h"

namespace nvx {

namespace ui = platform::ui;

std::shared_ptr<CustomNavigationConroller> CustomNavigationConroller::create(std::shared_ptr<ui::ViewController> root) {
  auto nav = std::make_shared<CustomNavigationConroller>();
  if (root) nav->setViewControllers({std::move(root)}, false);
  return nav;
}

bool CustomNavigationConroller::turnsUpsideDown() {
  return UIScreen::isFourInch() && !AppServices::current().isShowWizard();
}

bool CustomNavigationConroller::shouldAutorotateToInterfaceOrientation(ui::Orientation orientation) const {
  if (orientation == ui::Orientation::Portrait) return true;
  return orientation == ui::Orientation::PortraitUpsideDown && turnsUpsideDown();
}

int CustomNavigationConroller::supportedInterfaceOrientations() const {
  return turnsUpsideDown() ? ui::OrientationMask::Portrait | ui::OrientationMask::PortraitUpsideDown
                           : ui::OrientationMask::Portrait;
}

bool CustomNavigationConroller::shouldAutorotate() const { return turnsUpsideDown(); }

}  // namespace nvx
