#include "app/ui/CarRentalViewController.h"

#include "platform/device/Device.h"
#include "platform/device/UrlOpener.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"

namespace nvx {

namespace {

using platform::Strings;
using platform::ui::Rect;

}  // namespace

std::shared_ptr<CarRentalViewController> CarRentalViewController::create() {
  return std::make_shared<CarRentalViewController>();
}

void CarRentalViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("Car_Rental"));
  auto root = view();

  auto picture = platform::ui::ImageView::create(platform::ui::Image::named("car_rental.jpg"));
  picture->setFrame(root->bounds());
  root->addSubview(picture);

  phoneButton_ = platform::ui::Button::create(platform::ui::ButtonType::Custom);
  phoneButton_->setImage(platform::ui::Image::named("car_rental_btn.png"));
  phoneButton_->setImage(platform::ui::Image::named("car_rental_down_btn.png"), platform::ui::ControlState::Highlighted);
  phoneButton_->sizeToFit();
  const auto size = phoneButton_->frame().size();
  phoneButton_->setFrame(Rect{30, platform::Device::screen().bounds.height - (20 + 44 + 61), size.width, size.height});
  std::weak_ptr<CarRentalViewController> weak = std::static_pointer_cast<CarRentalViewController>(shared_from_this());
  phoneButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto screen = weak.lock()) screen->phoneButtonAcation();
  });
  root->addSubview(phoneButton_);
}

void CarRentalViewController::phoneButtonAcation() {
  auto sheet = platform::ui::ActionSheet::create(std::string(kPhonePrefix) + kHotline, Strings::localized("Cancel"),
                                                 Strings::localized("Call"));
  std::weak_ptr<CarRentalViewController> weak = std::static_pointer_cast<CarRentalViewController>(shared_from_this());
  sheet->setOnClicked([weak](platform::ui::ActionSheet&, int index) {
    auto screen = weak.lock();
    if (screen && index == kCallIndex) screen->callHotline();
  });
  sheet->showIn(*view());
}

void CarRentalViewController::callHotline() {
  if (platform::UrlOpener::shared().open(std::string("tel:") + kHotlineDigits)) return;
  platform::ui::AlertView::create(Strings::localized("Car_Rental_Phone") + kHotline, Strings::localized("NoPhone"),
                                  Strings::localized("Know"))
      ->show();
}

}  // namespace nvx
