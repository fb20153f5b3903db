// Password retrieval, second step: the code the text message brought (code type "2"), with the
// 60-second resend countdown. A confirmed code opens the new-password screen.
//
// The wallet's pay-password recovery derives its own code screen from this one: the load builds
// the whole screen from phoneNumber and starts the countdown, resend and countdown work unchanged,
// and a derived screen replaces theNextAndResetNewPassword (the Next button's action).
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "account/AccountForm.h"
#include "app/ui/NVXViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/TextField.h"

namespace nvx {

class InputVerificationViewController : public NVXViewController, public platform::ui::TextFieldDelegate {
 public:
  static constexpr const char* kClassName = "InputVerificationViewController";
  static constexpr const char* kSentFormat = "已经将验证码发送至手机:%s,请等待,过期时间30分钟。";
  static constexpr const char* kNoCodePrompt = "请输入您收到短信验证码";

  static std::shared_ptr<InputVerificationViewController> create();
  std::string className() const override { return kClassName; }

  const std::string& phoneNumber() const { return phoneNumber_; }
  void setPhoneNumber(std::string number) { phoneNumber_ = std::move(number); }
  const std::string& token() const { return token_; }
  void setToken(std::string token) { token_ = std::move(token); }

  void viewDidLoad() override;

  // Next: the code check, then the new-password screen.
  virtual void theNextAndResetNewPassword();
  // Resend (code type "2"); the typed code stays.
  void getVerificationCodeAgain();
  void cancelKeyBoard();
  void timeChange();

  void didBeginEditing(platform::ui::TextField& field) override;
  void didEndEditing(platform::ui::TextField& field) override;
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override;

  const std::shared_ptr<platform::ui::TextField>& codeField() const { return codeField_; }
  const std::shared_ptr<platform::ui::Button>& resendButton() const { return resendButton_; }
  const account::ResendCountdown& countdown() const { return countdown_; }
  // The typed code (nothing until the field was edited).
  const std::optional<std::string>& typedCode() const { return code_; }

 private:
  void startCountdown();

  std::string phoneNumber_;
  std::string token_;
  std::shared_ptr<platform::ui::TextField> codeField_;
  std::shared_ptr<platform::ui::Button> resendButton_;
  std::optional<std::string> code_;
  account::ResendCountdown countdown_;
};

}  // namespace nvx
