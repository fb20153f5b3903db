// The logged-in user's password change: the current password, the new one and the new one again
// (6 to 20 characters each, the new one different from the current one), sent as typed. Success
// clears the session's token and asks for a login with the new password; after that login, or
// when the user leaves the login screen, the stack returns to its root.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/NVXTableViewController.h"
#include "core/shell/LoginScreen.h"
#include "platform/ui/TextField.h"

namespace nvx {

class ModifyPasswordViewController : public NVXTableViewController,
                                     public LoginViewControllerDelegate,
                                     public LoginBackDelegate {
 public:
  static constexpr const char* kClassName = "ModifyPasswordViewController";
  static constexpr const char* kTitle = "修改密码";
  static constexpr const char* kOldInvalid = "原密码输入格式不正确";
  static constexpr const char* kNewInvalid = "请输入合法的新密码";
  static constexpr const char* kNewSameAsOld = "新密码与原密码相同，请重新输入";
  static constexpr const char* kRepeatDiffers = "两次密码输入不一致";
  static constexpr const char* kChanged = "修改密码成功，请重新登录！";
  // The fields' type: any characters, 6 to 20 of them, hidden entry.
  static constexpr int kFieldType = 8;

  static std::shared_ptr<ModifyPasswordViewController> create();
  std::string className() const override { return kClassName; }

  void viewDidLoad() override;

  // Ok: the three checks in order, then the change.
  void theNextStep() override;
  // Each shows its prompt (and empties fields) when it fails.
  bool isOldPwdTfNotValid();
  bool isLastPwdTfNotValid();
  bool isReputLastPwdTfNotValid();
  void commitResetNewPassword();

  // The order of entry: the new fields only after a valid current password, the repetition only
  // after a valid new one.
  std::optional<bool> shouldBeginEditing(platform::ui::TextField& field) override;

  int numberOfRows(platform::ui::TableView& tableView, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& tableView,
                                                          platform::ui::IndexPath indexPath) override;

  // --- the login screen opened after the change ---
  void gotoViewOfBoxTitle(const std::string& boxTitle) override;
  void didBackFromLogin(platform::ui::ViewController& login) override;

  const std::shared_ptr<platform::ui::TextField>& oldPwdTf() const { return oldPwdTf_; }
  const std::shared_ptr<platform::ui::TextField>& lastPwdTf() const { return lastPwdTf_; }
  const std::shared_ptr<platform::ui::TextField>& reputLastPwdTf() const { return reputLastPwdTf_; }

 private:
  // Shows the prompt and puts the cursor in the field (after emptying the new-password fields
  // when asked).
  void refuse(const char* prompt, platform::ui::TextField& cursor, bool emptyNewFields);

  std::shared_ptr<platform::ui::TextField> oldPwdTf_;
  std::shared_ptr<platform::ui::TextField> lastPwdTf_;
  std::shared_ptr<platform::ui::TextField> reputLastPwdTf_;
  // Set while a check moves the cursor, so that the order-of-entry guard lets it.
  bool moving_ = false;
};

}  // namespace nvx
