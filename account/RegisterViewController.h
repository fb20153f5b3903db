// Registration, first step: the user types the mobile number; the client asks whether it is
// registered already (then back to the login screen with the number filled in) and otherwise
// has a text-message code (code type "1") sent and opens the code screen.
#pragma once
#include <memory>
#include <string>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

namespace nvx {

class RegisterViewController;

// Told when the typed number turned out to be registered already.
class RegisterViewControllerDelegate {
 public:
  virtual ~RegisterViewControllerDelegate() = default;
  virtual void registerViewController(RegisterViewController& controller, const std::string& phoneNumber) = 0;
};

class RegisterViewController : public NVXViewController,
                               public platform::ui::TextFieldDelegate,
                               public platform::ui::TableViewDataSource,
                               public platform::ui::TableViewDelegate,
                               public CustomTableViewDelegate {
 public:
  static constexpr const char* kClassName = "RegisterViewController";
  // The alert of a number that is registered already.
  static constexpr int kRegisteredAlertTag = 1111;
  // The code type of registration.
  static constexpr const char* kSmsType = "1";

  static std::shared_ptr<RegisterViewController> create();
  std::string className() const override { return kClassName; }

  const std::string& tipTitle() const { return tipTitle_; }
  void setTipTitle(std::string title) { tipTitle_ = std::move(title); }
  void setDelegate(std::weak_ptr<RegisterViewControllerDelegate> delegate) { delegate_ = std::move(delegate); }

  void viewDidLoad() override;
  void viewDidAppear(bool animated) override;

  // The number check, then the code request.
  void checkMobilePhoneNumber();
  void getVerificationCode();
  void alertViewClickedButtonAtIndex(platform::ui::AlertView& alertView, int index) override;

  int numberOfRows(platform::ui::TableView& tableView, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& tableView,
                                                          platform::ui::IndexPath indexPath) override;
  std::optional<double> heightForHeader(platform::ui::TableView& tableView, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& tableView, int section) override;
  void didBeginEditing(platform::ui::TextField& field) override;
  void didEndEditing(platform::ui::TextField& field) override;
  std::optional<bool> shouldChangeCharacters(platform::ui::TextField& field, platform::Range16 range,
                                             const std::string& replacement) override;
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override;
  void touchUpInsideEndedCustomTableView(CustomTableView& table) override;

  const std::shared_ptr<platform::ui::TextField>& numberField() const { return numberField_; }
  const std::string& typedNumber() const { return phoneNumber_; }

 private:
  std::string tipTitle_;
  std::weak_ptr<RegisterViewControllerDelegate> delegate_;
  std::shared_ptr<CustomTableView> table_;
  std::shared_ptr<platform::ui::TextField> numberField_;
  std::string phoneNumber_;
  bool keyboardShown_ = false;
};

}  // namespace nvx
