// The platform's contact picker with the client's own Cancel button: on every screen it shows,
// the left item is a text button "Cancel" (localized) that closes the picker, and there is no
// right item. The screen that presents it is its people-picker delegate and receives the chosen
// person there (shouldContinueAfterSelectingPerson).
#pragma once
#include <memory>
#include <string>

#include "platform/ui/ContactPicker.h"

namespace nvx {

class NVXPeoplePickerNavigationController : public platform::ui::ContactPicker {
 public:
  NVXPeoplePickerNavigationController() = default;
  static std::shared_ptr<NVXPeoplePickerNavigationController> create();
  // The plain picker (no interface file): the same as create().
  static std::shared_ptr<NVXPeoplePickerNavigationController> initWithNibName() { return create(); }

  std::string className() const override { return "NVXPeoplePickerNavigationController"; }

  // The picker becomes its own navigation delegate.
  void viewDidLoad() override;
  // Stops being its own navigation delegate.
  void viewDidUnload();
  // Before a screen of the picker shows: no right item, the Cancel text button on the left.
  using ContactPicker::navigationController;
  void navigationController(platform::ui::NavigationController& navigationController,
                            platform::ui::ViewController& willShowViewController, bool animated);
};

}  // namespace nvx
