// Registration, last step: the login password and the two agreements, then the wallet
// registration. Success logs the new user in (from the reply, without a login request), sends
// the registration statistics record and opens the wallet's pay-password screen.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "core/models/WalletregisterEntity.h"
#include "platform/ui/Button.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

namespace nvx {

class NewRegisterViewController : public NVXViewController,
                                  public platform::ui::TextFieldDelegate,
                                  public platform::ui::TableViewDataSource,
                                  public platform::ui::TableViewDelegate,
                                  public CustomTableViewDelegate {
 public:
  static constexpr const char* kClassName = "NewRegisterViewController";
  static constexpr const char* kTitle = "填写用户资料";
  static constexpr const char* kPasswordLabel = "登录密码";
  static constexpr const char* kPasswordRule = "登录密码由6~20位英文字母、数字或符号组成";
  static constexpr const char* kShowPassword = " 密码可见";
  static constexpr const char* kAgree = "同意";
  static constexpr const char* kAgreeWallet = " 同意";
  static constexpr const char* kServiceAgreementLink = "《诺维萨服务协议》";
  static constexpr const char* kWalletAgreementLink = "《诺维萨钱包服务协议》";
  static constexpr const char* kRegisterTitle = "注册";
  static constexpr const char* kServiceAgreementOff = "请勾选诺维萨服务协议";
  static constexpr const char* kWalletAgreementOff = "请勾选诺维萨钱包服务协议";
  static constexpr const char* kAgreementScreen = "AgreementViewController";

  static std::shared_ptr<NewRegisterViewController> create();
  std::string className() const override { return kClassName; }

  const std::string& registetNum() const { return registetNum_; }
  void setRegistetNum(std::string number) { registetNum_ = std::move(number); }

  void viewDidLoad() override;

  // Register.
  void nextStep();
  // The three ticks and the two agreement pages.
  void showPwd();
  void agreeNVXArgeement();
  void agreeNVXWalletArgeement();
  void readNVXArg();
  void readWallArg();
  // The registration record to the statistics server, off the main thread; the registration
  // file is emptied only when the server stored it ("0000").
  static void postRegisterDatastatic(const std::string& phoneNumber);

  int numberOfRows(platform::ui::TableView& tableView, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& tableView,
                                                          platform::ui::IndexPath indexPath) override;
  std::optional<double> heightForRow(platform::ui::TableView& tableView, platform::ui::IndexPath indexPath) override;
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override;
  void didBeginEditing(platform::ui::TextField& field) override;
  void touchUpInsideEndedCustomTableView(CustomTableView& table) override;

  const std::shared_ptr<platform::ui::TextField>& passwordField() const { return passwordField_; }
  bool isPasswordShown() const { return showTick_ && showTick_->isSelected(); }
  bool isServiceAgreed() const { return serviceTick_ && serviceTick_->isSelected(); }
  bool isWalletAgreed() const { return walletTick_ && walletTick_->isSelected(); }

 private:
  std::shared_ptr<platform::ui::Button> tickButton(platform::ui::Rect frame, const char* title, bool on,
                                                   void (NewRegisterViewController::*action)());
  void registered(const WalletregisterEntity& entity);

  std::string registetNum_;
  std::shared_ptr<CustomTableView> table_;
  std::shared_ptr<platform::ui::TextField> passwordField_;
  std::shared_ptr<platform::ui::Button> showTick_;
  std::shared_ptr<platform::ui::Button> serviceTick_;
  std::shared_ptr<platform::ui::Button> walletTick_;
};

}  // namespace nvx
