// The car-rental partner's page: a picture and a button that offers to call the partner's
// hotline.
#pragma once
#include <memory>
#include <string>

#include "app/ui/NVXViewController.h"
#include "platform/ui/Button.h"

namespace nvx {

class CarRentalViewController : public NVXViewController {
 public:
  static constexpr const char* kClassName = "CarRentalViewController";
  // The partner's hotline as shown, and as dialled.
  static constexpr const char* kHotline = "400-123-4567";
  static constexpr const char* kHotlineDigits = "4001234567";
  static constexpr const char* kPhonePrefix = "电话: ";
  // The sheet's Call button (destructive, so first).
  static constexpr int kCallIndex = 0;

  CarRentalViewController() = default;
  static std::shared_ptr<CarRentalViewController> create();

  std::string className() const override { return kClassName; }

  // Title, the picture over the whole view and the call button at x 30, 125 points above the
  // screen's bottom.
  void viewDidLoad() override;
  // The sheet "电话: " + hotline with Call and Cancel.
  void phoneButtonAcation();
  // Dials the hotline; when the phone cannot, an alert says so.
  void callHotline();

  const std::shared_ptr<platform::ui::Button>& phoneButton() const { return phoneButton_; }

 private:
  std::shared_ptr<platform::ui::Button> phoneButton_;
};

}  // namespace nvx
