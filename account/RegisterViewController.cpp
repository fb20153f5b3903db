#include "account/RegisterViewController.h"

#include "account/AccountForm.h"
#include "account/AccountOperations.h"
#include "account/SubmitVerificationViewController.h"
#include "app/ui/AlertViewExt.h"
#include "app/ui/ButtonCreater.h"
#include "app/ui/TableCellExt.h"
#include "app/ui/ViewTool.h"
#include "core/text/StringsTool.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::Strings;
using platform::ui::Rect;
using platform::ui::TextField;

std::shared_ptr<RegisterViewController> RegisterViewController::create() {
  return std::make_shared<RegisterViewController>();
}

void RegisterViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("Register"));
  auto me = std::static_pointer_cast<RegisterViewController>(self());
  table_ = account::addFormTable(me, true);
  account::addButton(*table_, ButtonCreater::bigButtonWithText(Strings::localized("GetMobileVerifcationCode")),
                     Rect{9, 120, 302, 44}, me, &RegisterViewController::checkMobilePhoneNumber);
}

void RegisterViewController::viewDidAppear(bool animated) {
  NVXViewController::viewDidAppear(animated);
  if (keyboardShown_) return;
  // The number field takes the keyboard as soon as the screen is there.
  keyboardShown_ = true;
  table_->layoutIfNeeded();
  if (numberField_) numberField_->becomeFirstResponder();
}

int RegisterViewController::numberOfRows(platform::ui::TableView&, int) { return 1; }
std::optional<double> RegisterViewController::heightForHeader(platform::ui::TableView&, int) { return 40; }

std::shared_ptr<platform::ui::View> RegisterViewController::viewForHeader(platform::ui::TableView&, int) {
  return account::sectionHeader(tipTitle_);
}

std::shared_ptr<platform::ui::TableViewCell> RegisterViewController::cellForRow(platform::ui::TableView&,
                                                                               platform::ui::IndexPath) {
  auto cell = TableCellExt::defaultGroupTableCell();
  cell->contentView()->addSubview(account::rowLabel(Strings::localized("MobileNumber")));
  if (!numberField_) {
    numberField_ = account::formField(Rect{111, 8, 194, 30}, Strings::localized("MobileNumber"), 0,
                                      std::weak_ptr<platform::ui::TextFieldDelegate>(
                                          std::static_pointer_cast<RegisterViewController>(self())));
    addDoneButtonForNumberPad(*numberField_);
  }
  cell->contentView()->addSubview(numberField_);
  return cell;
}

void RegisterViewController::didBeginEditing(TextField& field) {
  phoneNumber_.clear();
  account::phoneFieldBeginEditing(field);
}

void RegisterViewController::didEndEditing(TextField& field) { phoneNumber_ = account::phoneFieldEndEditing(field); }

std::optional<bool> RegisterViewController::shouldChangeCharacters(TextField& field, platform::Range16 range,
                                                                    const std::string& replacement) {
  auto edit = StringsTool::isPhoneNumberField(field.text(), range, replacement, true);
  if (edit.setText) {
    // The eleventh digit: the filter puts the number in and the keyboard closes.
    field.setText(*edit.setText);
    field.resignFirstResponder();
    return false;
  }
  return edit.shouldChange;
}

std::optional<bool> RegisterViewController::shouldReturn(TextField& field) {
  field.resignFirstResponder();
  return true;
}

void RegisterViewController::touchUpInsideEndedCustomTableView(CustomTableView&) {
  if (numberField_) numberField_->resignFirstResponder();
}

void RegisterViewController::checkMobilePhoneNumber() {
  if (numberField_) numberField_->resignFirstResponder();
  if (phoneNumber_.empty() || !StringsTool::isPhoneNumber(phoneNumber_)) {
    showPrompt(Strings::localized("Error_EnterMobileNumber"));
    return;
  }
  auto me = std::static_pointer_cast<RegisterViewController>(self());
  AccountOperations::getLoginNameState(*this, phoneNumber_, [me](AccountReply reply) {
    switch (reply.kind) {
      case AccountReply::Kind::NoConnection:
        me->showPrompt(Strings::localized("NetworkConnectionFailed"));
        return;
      case AccountReply::Kind::Unreadable:
        return;
      default:
        break;
    }
    if (reply.retCode == "1003") {
      auto alert = AlertViewExt::alertTitle(Strings::localized("Error_MobileNumberRegisteredTitle"),
                                            Strings::localized("Error_MobileNumberRegisteredMessage"),
                                            Strings::localized("Ok"));
      alert->setTag(kRegisteredAlertTag);
      AlertViewExt::show(*alert, std::weak_ptr<platform::ui::AlertViewDelegate>(me));
      return;
    }
    me->getVerificationCode();
  });
}

void RegisterViewController::alertViewClickedButtonAtIndex(platform::ui::AlertView& alertView, int index) {
  NVXViewController::alertViewClickedButtonAtIndex(alertView, index);
  if (alertView.tag() != kRegisteredAlertTag) return;
  auto delegate = delegate_.lock();
  if (!delegate) return;
  auto keep = self();
  delegate->registerViewController(*this, phoneNumber_);
  if (auto navigation = navigationController(); navigation && navigation->topViewController() == keep) {
    navigation->pop(true);
  }
}

void RegisterViewController::getVerificationCode() {
  auto me = std::static_pointer_cast<RegisterViewController>(self());
  const std::string number = phoneNumber_;
  account::requestSmsCode(*this, number, kSmsType, [me, number](std::string token) {
    auto next = SubmitVerificationViewController::create();
    next->setPhoneNumber(number);
    next->setToken(std::move(token));
    if (auto navigation = me->navigationController()) navigation->push(next, true);
  });
}

}  // namespace nvx
