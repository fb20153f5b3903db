#include "account/SubmitVerificationViewController.h"

#include "account/AccountOperations.h"
#include "account/NewRegisterViewController.h"
#include "account/RegisterViewController.h"
#include "app/ui/ButtonCreater.h"
#include "app/ui/HudExt.h"
#include "app/ui/TableCellExt.h"
#include "app/ui/ViewTool.h"
#include "core/text/StringsTool.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::Strings;
using platform::ui::Rect;
using platform::ui::TextField;

std::shared_ptr<SubmitVerificationViewController> SubmitVerificationViewController::create() {
  return std::make_shared<SubmitVerificationViewController>();
}

void SubmitVerificationViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(kTitle);
  auto me = std::static_pointer_cast<SubmitVerificationViewController>(self());
  table_ = account::addFormTable(me, true);
  account::addButton(*table_, ButtonCreater::bigButtonWithText(Strings::localized("Submit")), Rect{9, 160, 302, 44}, me,
                     &SubmitVerificationViewController::commitVerificationCode);
}

void SubmitVerificationViewController::viewDidAppear(bool animated) {
  NVXViewController::viewDidAppear(animated);
  if (keyboardShown_) return;
  // The code field takes the keyboard as soon as the screen is there.
  keyboardShown_ = true;
  table_->layoutIfNeeded();
  if (codeField_) codeField_->becomeFirstResponder();
}

int SubmitVerificationViewController::numberOfRows(platform::ui::TableView&, int) { return 2; }
std::optional<double> SubmitVerificationViewController::heightForHeader(platform::ui::TableView&, int) { return 40; }

std::shared_ptr<platform::ui::View> SubmitVerificationViewController::viewForHeader(platform::ui::TableView&, int) {
  return account::sectionHeader(kHeader);
}

std::shared_ptr<platform::ui::TableViewCell> SubmitVerificationViewController::cellForRow(
    platform::ui::TableView&, platform::ui::IndexPath indexPath) {
  auto cell = TableCellExt::defaultGroupTableCell();
  if (indexPath.row == 0) {
    cell->contentView()->addSubview(account::rowLabel(Strings::localized("MobileNumber")));
    auto number = platform::ui::Label::create(Rect{111, 8, 194, 30}, StringsTool::handlePhoneNumber(phoneNumber_));
    number->setFont(platform::ui::Font::system(16));
    cell->contentView()->addSubview(number);
    return cell;
  }
  const bool made = static_cast<bool>(codeField_);
  if (!made) {
    auto me = std::static_pointer_cast<SubmitVerificationViewController>(self());
    codeField_ = account::formField(Rect{20, 8, 150, 30}, kCodePlaceholder, 0,
                                    std::weak_ptr<platform::ui::TextFieldDelegate>(me));
    addDoneButtonForNumberPad(*codeField_);
    resendButton_ = platform::ui::Button::create(Rect{180, 5, 120, 34});
    resendButton_->setBackgroundImage(platform::ui::Image::named("reacquire_btn.png"));
    resendButton_->setTitleFont(platform::ui::Font::system(16));
    resendButton_->setTitleColor(platform::ui::Color::gray(0.5));
    resendButton_->setTitle(account::ResendCountdown::initialTitle());
    account::onTap(*resendButton_, me, &SubmitVerificationViewController::getVerificationCodeAgain);
  }
  cell->contentView()->addSubview(codeField_);
  cell->contentView()->addSubview(resendButton_);
  if (!made) startCountdown();
  return cell;
}

void SubmitVerificationViewController::startCountdown() {
  std::weak_ptr<SubmitVerificationViewController> weak =
      std::static_pointer_cast<SubmitVerificationViewController>(self());
  countdown_.start(resendButton_, [weak] {
    if (auto screen = weak.lock()) screen->timeChange();
  });
}

void SubmitVerificationViewController::timeChange() { countdown_.timeChange(); }

void SubmitVerificationViewController::didBeginEditing(TextField&) { code_.reset(); }
void SubmitVerificationViewController::didEndEditing(TextField& field) { code_ = field.text(); }

std::optional<bool> SubmitVerificationViewController::shouldReturn(TextField& field) {
  field.resignFirstResponder();
  return true;
}

void SubmitVerificationViewController::touchUpInsideEndedCustomTableView(CustomTableView&) {
  if (codeField_) codeField_->resignFirstResponder();
}

void SubmitVerificationViewController::getVerificationCodeAgain() {
  code_.reset();
  if (codeField_) codeField_->setText("");
  auto me = std::static_pointer_cast<SubmitVerificationViewController>(self());
  account::requestSmsCode(*this, phoneNumber_, RegisterViewController::kSmsType, [me](std::string token) {
    me->token_ = std::move(token);
    me->startCountdown();
  });
}

void SubmitVerificationViewController::commitVerificationCode() {
  if (codeField_) codeField_->resignFirstResponder();
  // Only a code as the text message brings it goes to the server: digits, a few of them.
  if (!code_ || !account::isSmsCode(*code_)) {
    showPrompt(kNoCodePrompt);
    return;
  }
  auto me = std::static_pointer_cast<SubmitVerificationViewController>(self());
  AccountOperations::getMobileVerifyState(*this, token_, *code_, [me](AccountReply reply) {
    if (reply.kind == AccountReply::Kind::TokenHandled) return;
    if (!reply.ok()) {
      me->showPrompt(account::replyPrompt(reply));
      return;
    }
    auto next = NewRegisterViewController::create();
    next->setRegistetNum(me->phoneNumber_);
    if (auto navigation = me->navigationController()) navigation->push(next, true);
  });
}

}  // namespace nvx
