#include "account/ModifyPasswordViewController.h"

#include "account/AccountForm.h"
#include "account/AccountOperations.h"
#include "account/LoginViewController.h"
#include "app/ui/HudExt.h"
#include "app/ui/LabelExt.h"
#include "app/ui/TableCellExt.h"
#include "app/ui/TextFieldExt.h"
#include "app/ui/ViewExt.h"
#include "core/session/User.h"
#include "core/text/PasswordLevelChecker.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::Strings;
using platform::ui::Rect;
using platform::ui::TextField;

std::shared_ptr<ModifyPasswordViewController> ModifyPasswordViewController::create() {
  return std::make_shared<ModifyPasswordViewController>();
}

void ModifyPasswordViewController::viewDidLoad() {
  NVXTableViewController::viewDidLoad();
  setTitle(kTitle);
  auto delegate = std::weak_ptr<platform::ui::TextFieldDelegate>(
      std::static_pointer_cast<ModifyPasswordViewController>(self()));
  auto field = [&](const char* placeholderKey) {
    auto f = TextFieldExt::textFieldWithFrame(Rect{110, 8, 180, 30}, kFieldType, Strings::localized(placeholderKey));
    f->setDelegate(delegate);
    return f;
  };
  oldPwdTf_ = field("OldPwd");
  lastPwdTf_ = field("LastPwd");
  reputLastPwdTf_ = field("ReputLastPwd");
  addGroupTableView();
  auto rule = LabelExt::lableFrame(Rect{25, 150, 256, 22}, Strings::localized("ModifyPwdRule"));
  rule->setFont(platform::ui::Font::system(12));
  rule->setTextColor(platform::ui::Color::gray(0.5));
  tableView()->addSubview(rule);
  addNextButton(platform::ui::Point{160, view()->bounds().height - 190});
  theNextButton()->setTitle(Strings::localized("Ok"));
}

int ModifyPasswordViewController::numberOfRows(platform::ui::TableView&, int) { return 3; }

std::shared_ptr<platform::ui::TableViewCell> ModifyPasswordViewController::cellForRow(platform::ui::TableView&,
                                                                                     platform::ui::IndexPath indexPath) {
  static constexpr const char* kCaptions[] = {"当前密码", "新密码", "确认新密码"};
  const std::shared_ptr<TextField>* fields[] = {&oldPwdTf_, &lastPwdTf_, &reputLastPwdTf_};
  const int row = indexPath.row >= 0 && indexPath.row < 3 ? indexPath.row : 0;
  auto cell = TableCellExt::defaultGroupTableCell();
  cell->contentView()->addSubview(LabelExt::lableFrame(Rect{20, 8, 80, 30}, kCaptions[row]));
  cell->contentView()->addSubview(*fields[row]);
  return cell;
}

void ModifyPasswordViewController::refuse(const char* prompt, TextField& cursor, bool emptyNewFields) {
  HudExt::prompt(prompt);
  if (emptyNewFields) {
    lastPwdTf_->setText("");
    reputLastPwdTf_->setText("");
  }
  moving_ = true;
  cursor.becomeFirstResponder();
  moving_ = false;
}

bool ModifyPasswordViewController::isOldPwdTfNotValid() {
  if (account::isPasswordLengthValid(oldPwdTf_->text())) return false;
  refuse(kOldInvalid, *oldPwdTf_, false);
  return true;
}

bool ModifyPasswordViewController::isLastPwdTfNotValid() {
  if (!account::isPasswordLengthValid(lastPwdTf_->text())) {
    refuse(kNewInvalid, *lastPwdTf_, true);
    return true;
  }
  if (lastPwdTf_->text() == oldPwdTf_->text()) {
    refuse(kNewSameAsOld, *lastPwdTf_, true);
    return true;
  }
  return false;
}

bool ModifyPasswordViewController::isReputLastPwdTfNotValid() {
  if (reputLastPwdTf_->text() == lastPwdTf_->text()) return false;
  refuse(kRepeatDiffers, *lastPwdTf_, true);
  return true;
}

std::optional<bool> ModifyPasswordViewController::shouldBeginEditing(TextField& field) {
  if (moving_ || &field == oldPwdTf_.get()) return true;
  if (isOldPwdTfNotValid()) return false;
  if (&field == reputLastPwdTf_.get() && isLastPwdTfNotValid()) return false;
  return true;
}

void ModifyPasswordViewController::theNextStep() {
  if (tableView()) ViewExt::findAndResignFirstResponder(*tableView());
  if (isOldPwdTfNotValid() || isLastPwdTfNotValid() || isReputLastPwdTfNotValid()) return;
  commitResetNewPassword();
}

void ModifyPasswordViewController::commitResetNewPassword() {
  const std::string password = oldPwdTf_->text();
  const std::string newPassword = lastPwdTf_->text();
  const std::string level = PasswordLevelChecker().checkPassword(newPassword).value_or("");
  const User& user = User::currentUser();
  auto me = std::static_pointer_cast<ModifyPasswordViewController>(self());
  AccountOperations::updateUserPwd(*this, user.loginName(), password, newPassword, level, user.userToken(),
                                   [me](AccountReply reply) {
                                     if (reply.kind == AccountReply::Kind::TokenHandled) return;
                                     if (!reply.ok()) {
                                       me->showPrompt(account::replyPrompt(reply));
                                       return;
                                     }
                                     me->showPrompt(kChanged);
                                     User::currentUser().setUserToken("");
                                     auto login = LoginViewController::create();
                                     login->setDelegate(std::weak_ptr<LoginViewControllerDelegate>(me));
                                     if (auto navigation = me->navigationController()) navigation->push(login, true);
                                   });
}

void ModifyPasswordViewController::gotoViewOfBoxTitle(const std::string&) {
  if (auto navigation = navigationController()) navigation->popToRoot(true);
}

void ModifyPasswordViewController::didBackFromLogin(platform::ui::ViewController& login) {
  if (auto navigation = login.navigationController()) navigation->popToRoot(true);
}

}  // namespace nvx
