#include "account/InputVerificationViewController.h"

#include <cstdio>

#include "account/AccountOperations.h"
#include "account/ResetPasswordViewController.h"
#include "account/RetrievePasswordViewController.h"
#include "app/ui/ButtonCreater.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::Strings;
using platform::ui::Rect;
using platform::ui::TextField;

std::shared_ptr<InputVerificationViewController> InputVerificationViewController::create() {
  return std::make_shared<InputVerificationViewController>();
}

void InputVerificationViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("EnterCheckCode"));
  auto me = std::static_pointer_cast<InputVerificationViewController>(self());
  auto background = account::addBackground(me, &InputVerificationViewController::cancelKeyBoard);

  char sent[160];
  std::snprintf(sent, sizeof sent, kSentFormat, phoneNumber_.c_str());
  auto line = platform::ui::Label::create(Rect{12, 10, 296, 40}, sent);
  line->setFont(platform::ui::Font::system(14));
  line->setNumberOfLines(0);
  background->addSubview(line);

  auto box = account::borderedBox(Rect{10, 56, 180, 44});
  codeField_ = account::formField(Rect{10, 7, 160, 30}, Strings::localized("EnterCheckCode"), 0,
                                  std::weak_ptr<platform::ui::TextFieldDelegate>(std::dynamic_pointer_cast<platform::ui::TextFieldDelegate>(self())));
  addDoneButtonForNumberPad(*codeField_);
  box->addSubview(codeField_);
  background->addSubview(box);

  resendButton_ = platform::ui::Button::create(Rect{196, 56, 114, 44});
  resendButton_->setBackgroundImage(platform::ui::Image::named("reacquire_btn.png"));
  resendButton_->setTitleFont(platform::ui::Font::system(16));
  resendButton_->setTitleColor(platform::ui::Color::gray(0.33));
  resendButton_->setTitle(account::ResendCountdown::initialTitle());
  account::onTap(*resendButton_, me, &InputVerificationViewController::getVerificationCodeAgain);
  background->addSubview(resendButton_);
  account::addButton(*background, ButtonCreater::bigButtonWithText(Strings::localized("Next")), Rect{9, 116, 302, 44},
                     me, &InputVerificationViewController::theNextAndResetNewPassword);

  startCountdown();
}

void InputVerificationViewController::startCountdown() {
  std::weak_ptr<InputVerificationViewController> weak =
      std::static_pointer_cast<InputVerificationViewController>(self());
  countdown_.start(resendButton_, [weak] {
    if (auto screen = weak.lock()) screen->timeChange();
  });
}

void InputVerificationViewController::timeChange() { countdown_.timeChange(); }

void InputVerificationViewController::cancelKeyBoard() {
  if (codeField_) codeField_->resignFirstResponder();
}

void InputVerificationViewController::didBeginEditing(TextField&) { code_.reset(); }
void InputVerificationViewController::didEndEditing(TextField& field) { code_ = field.text(); }

std::optional<bool> InputVerificationViewController::shouldReturn(TextField& field) {
  field.resignFirstResponder();
  return true;
}

void InputVerificationViewController::getVerificationCodeAgain() {
  auto me = std::static_pointer_cast<InputVerificationViewController>(self());
  account::requestSmsCode(*this, phoneNumber_, RetrievePasswordViewController::kSmsType, [me](std::string token) {
    me->token_ = std::move(token);
    me->startCountdown();
  });
}

void InputVerificationViewController::theNextAndResetNewPassword() {
  cancelKeyBoard();
  // Only a code as the text message brings it goes to the server.
  if (!code_ || !account::isSmsCode(*code_)) {
    showPrompt(kNoCodePrompt);
    return;
  }
  auto me = std::static_pointer_cast<InputVerificationViewController>(self());
  AccountOperations::getMobileVerifyState(*this, token_, *code_, [me](AccountReply reply) {
    if (reply.kind == AccountReply::Kind::TokenHandled) return;
    if (!reply.ok()) {
      me->showPrompt(account::replyPrompt(reply));
      return;
    }
    auto next = ResetPasswordViewController::create();
    next->setToken(me->token_);
    next->setPhoneNum(me->phoneNumber_);
    if (auto navigation = me->navigationController()) navigation->push(next, true);
  });
}

}  // namespace nvx
