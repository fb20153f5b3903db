#include "account/ResetPasswordViewController.h"

#include "account/AccountForm.h"
#include "account/AccountOperations.h"
#include "app/ui/AlertViewExt.h"
#include "app/ui/ButtonCreater.h"
#include "app/ui/TableCellExt.h"
#include "app/ui/ViewTool.h"
#include "core/text/PasswordLevelChecker.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::Strings;
using platform::ui::Rect;
using platform::ui::TextField;

std::shared_ptr<ResetPasswordViewController> ResetPasswordViewController::create() {
  return std::make_shared<ResetPasswordViewController>();
}

void ResetPasswordViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(kTitle);
  password_.clear();
  auto me = std::static_pointer_cast<ResetPasswordViewController>(self());
  table_ = account::addFormTable(me, true);
  auto rules = platform::ui::Label::create(Rect{20, 150, 280, 40}, Strings::localized("PasswordRules"));
  rules->setFont(platform::ui::Font::system(14));
  rules->setNumberOfLines(0);
  table_->addSubview(rules);
  account::addButton(*table_, ButtonCreater::bigButtonWithText(Strings::localized("Ok")), Rect{9, 200, 302, 44}, me,
                     &ResetPasswordViewController::commitResetNewPassword);
}

int ResetPasswordViewController::numberOfRows(platform::ui::TableView&, int) { return 2; }
std::optional<double> ResetPasswordViewController::heightForHeader(platform::ui::TableView&, int) { return 40; }

std::shared_ptr<platform::ui::View> ResetPasswordViewController::viewForHeader(platform::ui::TableView&, int) {
  return account::sectionHeader(Strings::localized("SetNewPassword"), platform::ui::Color::gray(0.33));
}

std::shared_ptr<platform::ui::TableViewCell> ResetPasswordViewController::cellForRow(platform::ui::TableView&,
                                                                                    platform::ui::IndexPath indexPath) {
  auto cell = TableCellExt::defaultGroupTableCell();
  if (indexPath.row == 0) {
    cell->contentView()->addSubview(account::rowLabel(Strings::localized("LoginPassword")));
    if (!passwordField_) {
      passwordField_ = account::formField(Rect{111, 8, 194, 30}, Strings::localized("LoginPassword"), 0,
                                          std::weak_ptr<platform::ui::TextFieldDelegate>(std::dynamic_pointer_cast<platform::ui::TextFieldDelegate>(self())));
      passwordField_->setSecureTextEntry(true);
    }
    cell->contentView()->addSubview(passwordField_);
    return cell;
  }
  cell->contentView()->addSubview(account::rowLabel(Strings::localized("PasswordVisible")));
  if (!visibleSwitch_) {
    visibleSwitch_ = platform::ui::Switch::create();
    std::weak_ptr<ResetPasswordViewController> weak = std::static_pointer_cast<ResetPasswordViewController>(self());
    visibleSwitch_->addTarget(this, platform::ui::ControlEvent::ValueChanged, [weak](platform::ui::Control&) {
      if (auto screen = weak.lock()) screen->toSetPasswordVisible();
    });
  }
  cell->setAccessoryView(visibleSwitch_);
  return cell;
}

void ResetPasswordViewController::toSetPasswordVisible() {
  if (!passwordField_ || !visibleSwitch_) return;
  const bool editing = passwordField_->isEditing();
  if (editing) passwordField_->resignFirstResponder();
  passwordField_->setSecureTextEntry(!visibleSwitch_->isOn());
  if (editing) passwordField_->becomeFirstResponder();
}

void ResetPasswordViewController::didEndEditing(TextField& field) {
  password_ = field.text();
  if (table_) table_->setContentOffset({0, 0}, true);
}

std::optional<bool> ResetPasswordViewController::shouldReturn(TextField& field) {
  field.resignFirstResponder();
  return true;
}

void ResetPasswordViewController::touchUpInsideEndedCustomTableView(CustomTableView&) {
  if (passwordField_) passwordField_->resignFirstResponder();
}

void ResetPasswordViewController::commitResetNewPassword() {
  if (passwordField_) passwordField_->resignFirstResponder();
  if (!account::isPasswordLengthValid(password_)) {
    AlertViewExt::alertTitle(Strings::localized("Error_Password"), Strings::localized("Error_PasswordLen"),
                             Strings::localized("Ok"))
        ->show();
    return;
  }
  const std::string level = PasswordLevelChecker().checkPassword(password_).value_or("");
  auto me = std::static_pointer_cast<ResetPasswordViewController>(self());
  AccountOperations::resetUserPassword(*this, phoneNum_, password_, level, token_, [me](AccountReply reply) {
    if (reply.kind == AccountReply::Kind::TokenHandled) return;
    if (!reply.ok()) {
      me->showPrompt(account::replyPrompt(reply));
      return;
    }
    // Back to the screen under the retrieval screen (the login screen): the retrieval, code and
    // new-password screens close at once.
    auto navigation = me->navigationController();
    if (!navigation) return;
    const auto& stack = navigation->stack();
    if (stack.size() >= 4) {
      navigation->popTo(*stack[stack.size() - 4], true);
    } else {
      navigation->popToRoot(true);
    }
  });
}

}  // namespace nvx
