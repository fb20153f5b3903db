// Registration, second step: the code the text message brought is checked with the server for
// the token of the latest code request; a resend (after the 60-second countdown) asks for a new
// code and token. A confirmed code opens the final registration step.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "account/AccountForm.h"
#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

namespace nvx {

class SubmitVerificationViewController : public NVXViewController,
                                         public platform::ui::TextFieldDelegate,
                                         public platform::ui::TableViewDataSource,
                                         public platform::ui::TableViewDelegate,
                                         public CustomTableViewDelegate {
 public:
  static constexpr const char* kClassName = "SubmitVerificationViewController";
  static constexpr const char* kTitle = "提交验证码";
  static constexpr const char* kHeader = "手机号码及验证码";
  static constexpr const char* kCodePlaceholder = "短信验证码";
  static constexpr const char* kNoCodePrompt = "请输入您收到短信验证码";

  static std::shared_ptr<SubmitVerificationViewController> create();
  std::string className() const override { return kClassName; }

  const std::string& phoneNumber() const { return phoneNumber_; }
  void setPhoneNumber(std::string number) { phoneNumber_ = std::move(number); }
  const std::string& token() const { return token_; }
  void setToken(std::string token) { token_ = std::move(token); }

  void viewDidLoad() override;
  void viewDidAppear(bool animated) override;

  void commitVerificationCode();
  void getVerificationCodeAgain();
  void timeChange();

  int numberOfRows(platform::ui::TableView& tableView, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& tableView,
                                                          platform::ui::IndexPath indexPath) override;
  std::optional<double> heightForHeader(platform::ui::TableView& tableView, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& tableView, int section) override;
  void didBeginEditing(platform::ui::TextField& field) override;
  void didEndEditing(platform::ui::TextField& field) override;
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override;
  void touchUpInsideEndedCustomTableView(CustomTableView& table) override;

  const std::shared_ptr<platform::ui::Button>& resendButton() const { return resendButton_; }
  const account::ResendCountdown& countdown() const { return countdown_; }

 private:
  void startCountdown();

  std::string phoneNumber_;
  std::string token_;
  std::shared_ptr<CustomTableView> table_;
  std::shared_ptr<platform::ui::TextField> codeField_;
  std::shared_ptr<platform::ui::Button> resendButton_;
  std::optional<std::string> code_;
  account::ResendCountdown countdown_;
  bool keyboardShown_ = false;
};

}  // namespace nvx
