// The identity data of a logged-in user (real name, identity-card number, e-mail, the two photos
// of the identity card) and the opening of the card-reader service: the reader plugged in is
// bound to the account, then the profile is updated and the photos uploaded.
//
// The reader gate opens it for a reader new to the account (the alert tagged 1111102), with the
// login name and type 1. The gate runs on this screen in its KSN-only form: once the reader's
// serial number is known it answers YES without asking the server or signing the terminal in.
// The binding leaves the KSN in the session and loads no keys, so the next payment's gate asks
// the server again, finds the reader bound and signs its terminal in.
//
// The opening is strictly serial: gate, binding (on a worker behind the spinner), 2 s prompt,
// profile update, photo upload, 2 s prompt, pop. A failed binding or profile update drops the
// reader state (statusClear). Names, numbers and photos are never logged; downloaded photos are
// kept in memory only.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "account/AccountOperations.h"
#include "app/ui/CustomTableView.h"
#include "app/ui/IdentityCardPhotoButton.h"
#include "app/ui/IdentityInfoScreen.h"
#include "app/ui/NVXViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

namespace nvx {

class IdentityInfoViewController : public NVXViewController,
                                   public IdentityInfoScreen,
                                   public platform::ui::TextFieldDelegate,
                                   public platform::ui::TableViewDataSource,
                                   public platform::ui::TableViewDelegate,
                                   public CustomTableViewDelegate {
 public:
  static constexpr const char* kClassName = IdentityInfoScreen::kClassName;
  static constexpr const char* kAgreeTitle = " 同意《诺维萨服务协议》";
  static constexpr const char* kReadAgreement = "阅读协议";
  static constexpr const char* kNumberMissing = "请填写身份证号码";
  static constexpr const char* kEmailMissing = "请填写电子邮箱";
  static constexpr const char* kAgreementQuestion = "您是否同意《诺维萨服务协议》";
  static constexpr const char* kDisagree = "不同意";
  static constexpr const char* kAgree = "同意";
  static constexpr const char* kOpened = "开通完成";
  static constexpr const char* kPhotoFetchFailed = "获取用户身份证照片失败";
  static constexpr const char* kAgreementScreen = "AgreementViewController";
  // Identity-check states.
  enum AuthState { kNone = 0, kApply = 1, kReject = 2, kPass = 3 };
  // Photos are sent as JPEG at this quality.
  static constexpr double kUploadQuality = 0.5;

  static std::shared_ptr<IdentityInfoViewController> create();
  std::string className() const override { return kClassName; }

  // --- IdentityInfoScreen ---
  void setPhoneNum(std::string phoneNum) override { phoneNum_ = std::move(phoneNum); }
  void setType(int type) override { type_ = type; }
  const std::string& phoneNum() const { return phoneNum_; }
  int type() const { return type_; }

  void viewDidLoad() override;

  // The big button: the checks, then theNextStep.
  void verifyUserInfo();
  // The reader gate, then the binding.
  void theNextStep();
  void getUserInfomation();
  void getUserIdCardImage(std::vector<std::string> names);
  void authStatus(const std::string& status, const std::string& remark);
  void idCardImageUpload();
  void agreeNVXArgeement();
  void gotoReadAgreementView();

  // --- delegates ---
  void alertViewClickedButtonAtIndex(platform::ui::AlertView& alertView, int index) override;
  void touchUpInsideEndedCustomTableView(CustomTableView& table) override;
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override;
  void didBeginEditing(platform::ui::TextField& field) override;
  void didEndEditing(platform::ui::TextField& field) override;
  std::optional<bool> shouldChangeCharacters(platform::ui::TextField& field, platform::Range16 range,
                                             const std::string& replacement) override;
  std::optional<int> numberOfSections(platform::ui::TableView& tableView) override;
  int numberOfRows(platform::ui::TableView& tableView, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& tableView,
                                                          platform::ui::IndexPath indexPath) override;
  std::optional<double> heightForRow(platform::ui::TableView& tableView, platform::ui::IndexPath indexPath) override;
  std::optional<double> heightForHeader(platform::ui::TableView& tableView, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& tableView, int section) override;

  // --- state, for the screen's tests ---
  int authState() const { return authState_; }
  bool isAgreed() const { return agreeTick_ && !agreeTick_->isHidden(); }
  const std::optional<std::string>& realName() const { return realName_; }
  const std::optional<std::string>& idCardNumber() const { return idCardNumber_; }
  const std::optional<std::string>& email() const { return email_; }
  const std::shared_ptr<platform::ui::TextField>& nameField() const { return nameField_; }
  const std::shared_ptr<platform::ui::TextField>& numberField() const { return numberField_; }
  const std::shared_ptr<platform::ui::TextField>& emailField() const { return emailField_; }
  const std::shared_ptr<IdentityCardPhotoButton>& frontButton() const { return frontButton_; }
  const std::shared_ptr<IdentityCardPhotoButton>& backButton() const { return backButton_; }

  // The checks' verdict for the values: nothing when they pass, else the alert's title and
  // message (the agreement is not among them).
  struct Refusal {
    std::string title;
    std::string message;
    bool reenableEmail = false;
  };
  static std::optional<Refusal> checkIdentity(const std::optional<std::string>& realName,
                                              const std::optional<std::string>& idCardNumber,
                                              const std::optional<std::string>& email);
  // A photo as JPEG at the upload quality; nothing for a picture without pixels.
  static std::optional<std::string> uploadJpeg(const platform::ui::Image& picture);

 private:
  std::shared_ptr<IdentityInfoViewController> me();
  void makeFields();
  void endAllEditing();
  void showAlert(std::string title, std::string message);
  void bindReader();
  void updateProfile();
  void popToRoot();
  void returnToCallingApp();

  int type_ = IdentityInfoScreen::kBindReaderType;
  std::string phoneNum_;
  std::optional<std::string> realName_;
  std::optional<std::string> idCardNumber_;
  std::optional<std::string> email_;
  int authState_ = kNone;
  std::shared_ptr<CustomTableView> table_;
  std::shared_ptr<platform::ui::TextField> nameField_;
  std::shared_ptr<platform::ui::TextField> numberField_;
  std::shared_ptr<platform::ui::TextField> emailField_;
  std::shared_ptr<IdentityCardPhotoButton> frontButton_;
  std::shared_ptr<IdentityCardPhotoButton> backButton_;
  std::shared_ptr<platform::ui::Button> agreeTick_;
};

}  // namespace nvx
