// Password retrieval, last step: the new password (6 to 20 characters, with a switch that shows
// it), sent with the text-message token; success closes the three retrieval screens and shows the
// login screen again.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

namespace nvx {

class ResetPasswordViewController : public NVXViewController,
                                    public platform::ui::TextFieldDelegate,
                                    public platform::ui::TableViewDataSource,
                                    public platform::ui::TableViewDelegate,
                                    public CustomTableViewDelegate {
 public:
  static constexpr const char* kClassName = "ResetPasswordViewController";
  static constexpr const char* kTitle = "新密码";
  // The visibility switch's two looks.

  static std::shared_ptr<ResetPasswordViewController> create();
  std::string className() const override { return kClassName; }

  const std::string& phoneNum() const { return phoneNum_; }
  void setPhoneNum(std::string number) { phoneNum_ = std::move(number); }
  const std::string& token() const { return token_; }
  void setToken(std::string token) { token_ = std::move(token); }

  void viewDidLoad() override;

  // Ok: the length check, then the new password.
  void commitResetNewPassword();
  // The switch changed: secure entry follows it (the field keeps the keyboard).
  void toSetPasswordVisible();

  int numberOfRows(platform::ui::TableView& tableView, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& tableView,
                                                          platform::ui::IndexPath indexPath) override;
  std::optional<double> heightForHeader(platform::ui::TableView& tableView, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& tableView, int section) override;
  void didEndEditing(platform::ui::TextField& field) override;
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override;
  void touchUpInsideEndedCustomTableView(CustomTableView& table) override;

  const std::shared_ptr<platform::ui::TextField>& passwordField() const { return passwordField_; }
  const std::shared_ptr<platform::ui::Switch>& visibleSwitch() const { return visibleSwitch_; }

 private:
  std::string phoneNum_;
  std::string token_;
  std::shared_ptr<CustomTableView> table_;
  std::shared_ptr<platform::ui::TextField> passwordField_;
  std::shared_ptr<platform::ui::Switch> visibleSwitch_;
  std::string password_;
};

}  // namespace nvx
