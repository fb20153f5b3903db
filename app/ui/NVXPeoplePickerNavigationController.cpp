#include "app/ui/NVXPeoplePickerNavigationController.h"

#include "app/ui/ButtonCreater.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/BarButtonItem.h"

namespace nvx {

std::shared_ptr<NVXPeoplePickerNavigationController> NVXPeoplePickerNavigationController::create() {
  return std::make_shared<NVXPeoplePickerNavigationController>();
}

void NVXPeoplePickerNavigationController::viewDidLoad() {
  ContactPicker::viewDidLoad();
  std::weak_ptr<NVXPeoplePickerNavigationController> weak =
      std::static_pointer_cast<NVXPeoplePickerNavigationController>(shared_from_this());
  setWillShow([weak](platform::ui::NavigationController& nav, platform::ui::ViewController& shown, bool animated) {
    if (auto self = weak.lock()) self->navigationController(nav, shown, animated);
  });
}

void NVXPeoplePickerNavigationController::viewDidUnload() { setWillShow(nullptr); }

void NVXPeoplePickerNavigationController::navigationController(platform::ui::NavigationController&,
                                                               platform::ui::ViewController& shown, bool) {
  shown.navigationItem().setRightBarButtonItem(nullptr);
  auto cancel = ButtonCreater::barButtonWithText(platform::Strings::localized("Cancel"));
  std::weak_ptr<NVXPeoplePickerNavigationController> weak =
      std::static_pointer_cast<NVXPeoplePickerNavigationController>(shared_from_this());
  cancel->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto self = weak.lock()) self->dismissModal(true);
  });
  shown.navigationItem().setLeftBarButtonItem(platform::ui::BarButtonItem::withCustomView(cancel));
}

}  // namespace nvx
