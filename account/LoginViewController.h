// The one place where a user logs in. Loading the screen ends the current session in memory; a
// successful login fills the session, signs the user's virtual terminal in, starts the usage
// statistics upload and continues where the opener asked: its own action (customSuccessExecutor),
// a callback, or the box its delegate opens. Registration and password retrieval start here.
//
// No password is stored anywhere: "REMEMBER_PASSWORD" only says whether the number is remembered,
// and holds the inverse of the tick (true = the tick is off).
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "account/RegisterViewController.h"
#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "core/shell/LoginScreen.h"
#include "platform/foundation/Json.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

namespace nvx {

class LoginViewController : public NVXViewController,
                            public LoginScreen,
                            public platform::ui::TextFieldDelegate,
                            public platform::ui::TableViewDataSource,
                            public platform::ui::TableViewDelegate,
                            public CustomTableViewDelegate,
                            public RegisterViewControllerDelegate {
 public:
  static constexpr const char* kClassName = LoginScreen::kClassName;
  // User defaults of the remembered number.
  static constexpr const char* kRememberPasswordKey = "REMEMBER_PASSWORD";
  static constexpr const char* kUserNameKey = "userName";
  // Field tags.
  static constexpr int kPhoneTag = 0;
  static constexpr int kPasswordTag = 1;
  // The longest password the field takes (registration, reset and change allow 20 as well).
  static constexpr size_t kPasswordMaxLength = 20;
  static constexpr const char* kRememberTitle = "     记住账号";

  static std::shared_ptr<LoginViewController> create();
  std::string className() const override { return kClassName; }

  // --- LoginScreen ---
  void setBoxTitle(std::string title) override { boxTitle_ = std::move(title); }
  void setDelegate(std::weak_ptr<LoginViewControllerDelegate> delegate) override { delegate_ = std::move(delegate); }
  void setCustomSuccessExecutor(std::function<void()> action) override { customSuccessExecutor_ = std::move(action); }
  // Called after a successful login when no executor is set.
  void setSuccessCallback(std::function<void()> callback) { successCallback_ = std::move(callback); }
  const std::optional<std::string>& boxTitle() const { return boxTitle_; }

  // --- life cycle ---
  void viewDidLoad() override;

  // --- actions ---
  // Login: checks the number and sends the login request.
  void checkMobilePhoneNumber();
  void gotoRegisterView();
  void gotoRetrievePasswordView();
  // Flips the tick.
  void rememberAccount();
  // didBackFromLogin of a delegate that answers it, else the base behaviour.
  void backButtonPressed() override;
  // The password field takes the keyboard.
  void moveToPwdTextFiled();

  // --- RegisterViewControllerDelegate: the number is registered already ---
  void registerViewController(RegisterViewController& controller, const std::string& phoneNumber) override;

  // --- the form ---
  int numberOfRows(platform::ui::TableView& tableView, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& tableView,
                                                          platform::ui::IndexPath indexPath) override;
  std::optional<double> heightForHeader(platform::ui::TableView& tableView, int section) override;
  void didBeginEditing(platform::ui::TextField& field) override;
  void didEndEditing(platform::ui::TextField& field) override;
  std::optional<bool> shouldChangeCharacters(platform::ui::TextField& field, platform::Range16 range,
                                             const std::string& replacement) override;
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override;
  void touchUpInsideEndedCustomTableView(CustomTableView& table) override;

  const std::shared_ptr<platform::ui::TextField>& phoneField() const { return phoneField_; }
  const std::shared_ptr<platform::ui::TextField>& passwordField() const { return passwordField_; }
  // Whether the tick is shown (the number is remembered at the next login).
  bool isRememberTicked() const;
  const std::string& typedNumber() const { return phoneNumber_; }

  // The session fill of a successful login reply, steps 1 to 10 (main thread).
  static void fillSessionProfile(const platform::Json& data);

 private:
  void endEditing();
  void login();
  void loginReplied(bool isErr, const std::string& retCode, const std::string& errMsg, const platform::Json& data);
  void gotoOherView();

  std::optional<std::string> boxTitle_;
  std::weak_ptr<LoginViewControllerDelegate> delegate_;
  std::function<void()> customSuccessExecutor_;
  std::function<void()> successCallback_;

  std::shared_ptr<CustomTableView> table_;
  std::shared_ptr<platform::ui::TextField> phoneField_;
  std::shared_ptr<platform::ui::TextField> passwordField_;
  std::shared_ptr<platform::ui::Button> rememberButton_;
  std::shared_ptr<platform::ui::ImageView> tick_;
  std::string phoneNumber_;
  std::string password_;
};

}  // namespace nvx
