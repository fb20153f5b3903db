#include "account/RetrievePasswordViewController.h"

#include <random>

#include "account/AccountForm.h"
#include "account/AccountOperations.h"
#include "account/InputVerificationViewController.h"
#include "app/ui/AlertViewExt.h"
#include "app/ui/ButtonCreater.h"
#include "app/ui/HudExt.h"
#include "core/text/StringsTool.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::Strings;
using platform::ui::Rect;
using platform::ui::TextField;

std::shared_ptr<RetrievePasswordViewController> RetrievePasswordViewController::create() {
  return std::make_shared<RetrievePasswordViewController>();
}

std::string RetrievePasswordViewController::createToken() {
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<int> coin(0, 1);
  std::uniform_int_distribution<int> letter(0, 25);
  std::uniform_int_distribution<int> digit(0, 9);
  std::string token;
  for (size_t i = 0; i < kTokenLength; ++i) {
    token += coin(random) ? static_cast<char>('a' + letter(random)) : static_cast<char>('0' + digit(random));
  }
  return token;
}

void RetrievePasswordViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("RetrievePassword"));
  auto me = std::static_pointer_cast<RetrievePasswordViewController>(self());
  auto delegate = std::weak_ptr<platform::ui::TextFieldDelegate>(me);
  auto background = account::addBackground(me, &RetrievePasswordViewController::cancelKeyBoard);

  auto numberBox = account::borderedBox(Rect{10, 15, 300, 44});
  numberBox->addSubview(account::rowLabel(Strings::localized("MobileNumber")));
  numberField_ = account::formField(Rect{100, 7, 190, 30}, Strings::localized("EnterMobileNumber"), kNumberTag, delegate);
  addDoneButtonForNumberPad(*numberField_);
  numberBox->addSubview(numberField_);
  background->addSubview(numberBox);

  auto rules = platform::ui::Label::create(Rect{12, 64, 296, 20}, Strings::localized("RetrievePasswordRules"));
  rules->setFont(platform::ui::Font::system(14));
  background->addSubview(rules);

  auto codeBox = account::borderedBox(Rect{10, 90, 180, 44});
  checkCodeField_ = account::formField(Rect{10, 7, 160, 30}, Strings::localized("EnterCalibrationCode"), kCheckCodeTag,
                                       delegate);
  addDoneButtonForNumberPad(*checkCodeField_);
  codeBox->addSubview(checkCodeField_);
  background->addSubview(codeBox);

  pictureButton_ = platform::ui::Button::create(Rect{200, 90, 110, 44});
  pictureButton_->setBackgroundImage(platform::ui::Image::named(kPictureBackground));
  pictureButton_->setTitleColor(platform::ui::Color::black());
  pictureButton_->setTitleFont(platform::ui::Font::system(16));
  pictureButton_->setTitle(Strings::localized("Reacquire"));
  account::onTap(*pictureButton_, me, &RetrievePasswordViewController::getImageVerification);
  background->addSubview(pictureButton_);
  account::addButton(*background, ButtonCreater::bigButtonWithText(Strings::localized("Next")), Rect{9, 150, 302, 44},
                     me, &RetrievePasswordViewController::checkMobilePhoneNumber);

  getImageVerification();
}

void RetrievePasswordViewController::cancelKeyBoard() {
  numberField_->resignFirstResponder();
  checkCodeField_->resignFirstResponder();
}

void RetrievePasswordViewController::didBeginEditing(TextField& field) {
  if (field.tag() == kCheckCodeTag) {
    checkCode_.clear();
  } else {
    phoneNumber_.clear();
    account::phoneFieldBeginEditing(field);
  }
}

void RetrievePasswordViewController::didEndEditing(TextField& field) {
  if (field.tag() == kCheckCodeTag) {
    checkCode_ = field.text();
  } else {
    phoneNumber_ = account::phoneFieldEndEditing(field);
  }
}

std::optional<bool> RetrievePasswordViewController::shouldChangeCharacters(TextField& field, platform::Range16 range,
                                                                            const std::string& replacement) {
  if (field.tag() == kCheckCodeTag) return true;
  if (field.text().empty() && replacement != "1") return false;
  if (StringsTool::isPhoneNumberField(field.text(), range, replacement, false).shouldChange) return true;
  // A twelfth digit or a non-digit: the number is complete, the check code comes next.
  field.resignFirstResponder();
  checkCodeField_->becomeFirstResponder();
  return false;
}

std::optional<bool> RetrievePasswordViewController::shouldReturn(TextField&) {
  cancelKeyBoard();
  return true;
}

void RetrievePasswordViewController::getImageVerification() { fetchPicture(std::nullopt); }

void RetrievePasswordViewController::fetchPicture(std::optional<std::string> promptAfter) {
  token_ = createToken();
  std::weak_ptr<RetrievePasswordViewController> weak = std::static_pointer_cast<RetrievePasswordViewController>(self());
  AccountOperations::getVerCodeImg(*this, token_, [weak, promptAfter](AccountReply reply) {
    auto screen = weak.lock();
    if (!screen) return;
    auto& button = screen->pictureButton_;
    if (reply.kind == AccountReply::Kind::NoConnection) {
      button->setBackgroundImage(platform::ui::Image::named(kPictureBackground));
      screen->showPrompt(kPictureFailed);
      return;
    }
    // A body that is no picture shows as no picture.
    button->setTitle(std::string());
    button->setBackgroundImage(platform::ui::Image::fromBytes(reply.body));
    if (promptAfter) screen->showPrompt(*promptAfter);
  });
}

void RetrievePasswordViewController::checkMobilePhoneNumber() {
  cancelKeyBoard();
  if (!StringsTool::isPhoneNumber(phoneNumber_)) {
    showPrompt(Strings::localized("Error_EnterMobileNumber"));
    return;
  }
  if (!account::isCheckCode(checkCode_)) {
    showPrompt(Strings::localized("Error_EnterCalibrationCode"));
    return;
  }
  auto me = std::static_pointer_cast<RetrievePasswordViewController>(self());
  AccountOperations::getLoginNameState(*this, phoneNumber_, [me](AccountReply reply) {
    if (reply.kind == AccountReply::Kind::NoConnection) {
      me->showPrompt(Strings::localized("NetworkConnectionFailed"));
      return;
    }
    if (reply.kind == AccountReply::Kind::Unreadable) return;
    if (reply.retCode == "1002") {
      AlertViewExt::alertWithDelegate(std::weak_ptr<platform::ui::AlertViewDelegate>(me),
                                      Strings::localized("Error_MobileNumber"),
                                      Strings::localized("Error_MobileNumberUnregistered"));
      return;
    }
    me->theNextAndGetVerification();
  });
}

void RetrievePasswordViewController::theNextAndGetVerification() {
  auto me = std::static_pointer_cast<RetrievePasswordViewController>(self());
  AccountOperations::getImgVerCodeVerifyResult(*this, token_, checkCode_, [me](AccountReply reply) {
    if (reply.kind == AccountReply::Kind::TokenHandled) return;
    if (reply.ok()) {
      me->getSMSVerificationCode();
      return;
    }
    // The new picture's spinner would take a prompt shown now away: it follows the picture.
    me->fetchPicture(account::replyPrompt(reply));
  });
}

void RetrievePasswordViewController::getSMSVerificationCode() {
  auto me = std::static_pointer_cast<RetrievePasswordViewController>(self());
  const std::string number = phoneNumber_;
  account::requestSmsCode(*this, number, kSmsType, [me, number](std::string token) {
    auto next = InputVerificationViewController::create();
    next->setPhoneNumber(number);
    next->setToken(std::move(token));
    if (auto navigation = me->navigationController()) navigation->push(next, true);
  });
}

}  // namespace nvx
