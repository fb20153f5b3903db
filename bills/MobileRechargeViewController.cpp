#include "bills/MobileRechargeViewController.h"

#include "app/ui/ButtonCreater.h"
#include "app/ui/ButtonExt.h"
#include "bills/BillFormParts.h"
#include "bills/MobileUsedViewController.h"
#include "bills/RechargeMoneyAmountViewController.h"
#include "core/session/User.h"
#include "core/text/StringsTool.h"
#include "platform/device/Device.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::Strings;
using platform::ui::Font;
using platform::ui::Rect;

namespace {
constexpr double kRowHeight = 44;
constexpr double kHeaderHeight = 40;
}  // namespace

void MobileRechargeViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  isFromPhoneList_ = true;
  isSame_ = false;
  setTitle(Strings::localized("MobileRecharge"));

  std::weak_ptr<MobileRechargeViewController> weak =
      std::static_pointer_cast<MobileRechargeViewController>(shared_from_this());
  auto used = ButtonCreater::barButtonWithText(Strings::localized("Used_Phone"));
  used->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto screen = weak.lock()) screen->toUserdPhoneView();
  });
  navigationItem().setRightBarButtonItem(platform::ui::BarButtonItem::withCustomView(used));

  auto self = std::static_pointer_cast<MobileRechargeViewController>(shared_from_this());
  mobileRechargetableView_ = billform::formTable(self);

  phoneField_ = makeField(Strings::localized("MobileNumber"), kPhoneTag);
  phoneField_->setClearButtonMode(platform::ui::TextFieldViewMode::Never);
  donePhoneField_ = makeField(Strings::localized("ConfirmMobileNumber"), kDonePhoneTag);
  // The login name, taken as if typed: held as the number, shown grouped.
  phone_ = StringsTool::clearPhoneNumber(User::currentUser().loginName());
  phoneField_->setText(StringsTool::phoneNumberFieldEndEditing(phone_));

  nextStep_ = billform::nextButton(weak, &MobileRechargeViewController::nextStep, *mobileRechargetableView_);
  placeNextButton();
}

std::shared_ptr<platform::ui::TextField> MobileRechargeViewController::makeField(std::string_view placeholder,
                                                                                 int tag) {
  auto field = platform::ui::TextField::create(Rect{111, 8, 160, 30});
  field->setTag(tag);
  field->setPlaceholder(std::string(placeholder));
  field->setFont(Font::system(16));
  field->setKeyboardType(platform::ui::KeyboardType::NumberPad);
  addDoneButtonForNumberPad(*field);
  field->setReturnKeyType(platform::ui::ReturnKeyType::Done);
  field->setAutocapitalizationType(platform::ui::TextAutocapitalization::None);
  field->setClearButtonMode(platform::ui::TextFieldViewMode::WhileEditing);
  field->setDelegate(std::weak_ptr<platform::ui::TextFieldDelegate>(
      std::static_pointer_cast<MobileRechargeViewController>(shared_from_this())));
  return field;
}

void MobileRechargeViewController::placeNextButton() {
  const int rows = isFromPhoneList_ ? 1 : 2;
  nextStep_->setCenter({160, kHeaderHeight + rows * kRowHeight + 50});
}

void MobileRechargeViewController::nextStep() {
  phoneField_->resignFirstResponder();
  donePhoneField_->resignFirstResponder();
  auto fail = [this](const char* key) { showPrompt(Strings::localized(key)); };
  if (phone_.empty()) return fail("Error_MobileNumberNotNull");
  if (!isFromPhoneList_) {
    if (donePhone_.empty()) return fail("Error_ConfirmMobileNumberNotNull");
    if (donePhone_ != phone_) return fail("Error_ConfirmMobile");
    if (!StringsTool::isPhoneNumber(donePhone_)) return fail("Error_EnterMobileNumber");
  }
  if (!StringsTool::isPhoneNumber(phone_)) return fail("Error_EnterMobileNumber");
  auto amount = std::make_shared<RechargeMoneyAmountViewController>();
  amount->setPhone(phone_);
  if (auto navigation = navigationController()) navigation->push(amount, true);
}

void MobileRechargeViewController::toUserdPhoneView() {
  auto used = std::make_shared<MobileUsedViewController>();
  used->setRechargeViewController(std::static_pointer_cast<MobileRechargeViewController>(shared_from_this()));
  if (auto navigation = navigationController()) navigation->push(used, true);
}

void MobileRechargeViewController::getPhoneNumberSuccess(const std::string& phoneNumber) { takePickedNumber(phoneNumber); }

void MobileRechargeViewController::resetViewWithPhone(const std::string& phoneNumber) { takePickedNumber(phoneNumber); }

void MobileRechargeViewController::takePickedNumber(const std::string& phoneNumber) {
  phone_ = StringsTool::clearPhoneNumber(phoneNumber);
  if (phoneField_) phoneField_->setText(StringsTool::phoneNumberFieldEndEditing(phone_));
  isFromPhoneList_ = true;
  if (mobileRechargetableView_) {
    mobileRechargetableView_->reloadData();
    placeNextButton();
  }
}

// --- table ---------------------------------------------------------------------------------------

int MobileRechargeViewController::numberOfRows(platform::ui::TableView&, int) { return isFromPhoneList_ ? 1 : 2; }

std::shared_ptr<platform::ui::TableViewCell> MobileRechargeViewController::cellForRow(platform::ui::TableView&,
                                                                                      platform::ui::IndexPath path) {
  auto cell = platform::ui::TableViewCell::create();
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  cell->contentView()->addSubview(billform::rowLabel(Rect{20, 8, 90, 30}, Strings::localized("MobileNumber")));
  if (path.row == 0) {
    cell->contentView()->addSubview(phoneField_);
    cell->setAccessoryView(billform::addressBookButton(*this));
  } else {
    // The confirmation starts empty every time the two rows are laid out.
    donePhoneField_->setText("");
    cell->contentView()->addSubview(donePhoneField_);
  }
  return cell;
}

std::optional<double> MobileRechargeViewController::heightForHeader(platform::ui::TableView&, int) {
  return kHeaderHeight;
}

std::shared_ptr<platform::ui::View> MobileRechargeViewController::viewForHeader(platform::ui::TableView&, int) {
  return billform::sectionHeader(Strings::localized("MobileRechargeMessage1"), kHeaderHeight);
}

void MobileRechargeViewController::touchUpInsideEndedCustomTableView(CustomTableView&) {
  phoneField_->resignFirstResponder();
  donePhoneField_->resignFirstResponder();
}

// --- fields --------------------------------------------------------------------------------------

void MobileRechargeViewController::didBeginEditing(platform::ui::TextField& field) {
  field.setText(StringsTool::phoneNumberFieldBeginEditing(field.text()));
}

void MobileRechargeViewController::didEndEditing(platform::ui::TextField& field) {
  if (field.tag() == kPhoneTag) {
    const std::string typed = StringsTool::clearPhoneNumber(field.text());
    isSame_ = phone_ == typed;
    phone_ = typed;
  } else if (field.tag() == kDonePhoneTag) {
    donePhone_ = StringsTool::clearPhoneNumber(field.text());
  } else {
    return;
  }
  field.setText(StringsTool::phoneNumberFieldEndEditing(field.text()));
  if (!isFromPhoneList_ || !mobileRechargetableView_) return;
  if (!isSame_) {
    isFromPhoneList_ = false;
    mobileRechargetableView_->reloadData();
    placeNextButton();
  }
  donePhoneField_->resignFirstResponder();
}

std::optional<bool> MobileRechargeViewController::shouldChangeCharacters(platform::ui::TextField& field,
                                                                         platform::Range16 range,
                                                                         const std::string& replacement) {
  return billform::phoneFieldChange(field, range, replacement, field.tag() == kDonePhoneTag);
}

std::optional<bool> MobileRechargeViewController::shouldReturn(platform::ui::TextField&) {
  touchUpInsideEndedCustomTableView(*mobileRechargetableView_);
  return true;
}

}  // namespace nvx
