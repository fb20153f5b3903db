// The logged-in user's profile: real name, identity-card number, e-mail and the two photos of the
// identity card, with the state of the service's check of them (incomplete, under review,
// rejected, passed). Under review and passed the data is shown masked and locked; incomplete or
// rejected it can be corrected and submitted again ("提交审核"): checks, the profile update,
// then the photo upload.
//
// It is the base of the service-upgrade form, which runs this screen's set-up first and keeps
// its whole request chain.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "account/AccountOperations.h"
#include "app/ui/CustomTableView.h"
#include "app/ui/IdentityCardPhotoButton.h"
#include "app/ui/NVXViewController.h"
#include "core/shell/LoginScreen.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

namespace nvx {

class UserInfomationViewController : public NVXViewController,
                                     public LoginViewControllerDelegate,
                                     public platform::ui::TextFieldDelegate,
                                     public platform::ui::TableViewDataSource,
                                     public platform::ui::TableViewDelegate,
                                     public CustomTableViewDelegate {
 public:
  static constexpr const char* kClassName = "UserInfomationViewController";
  static constexpr const char* kTitle = "用户基本信息";
  static constexpr const char* kSave = "提交审核";
  static constexpr const char* kApplyText = "我们正在为您审核用户资料，请耐心等待";
  static constexpr const char* kRejectText = "很抱歉，您提交的用户资料未通过审核。未通过原因：";
  static constexpr const char* kPassText = "恭喜您,用户身份资料审核通过。您可以放心使用。";
  static constexpr const char* kNoneText = "用户身份资料不全";
  static constexpr const char* kFetchFailed = "获取个人用户信息失败";
  static constexpr const char* kPhotoFetchFailed = "获取用户身份证照片失败";
  static constexpr const char* kAgreementOff = "请确定阅读诺维萨钱包服务协议";
  static constexpr const char* kSaved = "用户资料保存成功";
  static constexpr const char* kResubmitted = "用户信息保存成功已为你重新提交审核!";
  static constexpr const char* kWalletAgreement = "《诺维萨钱包服务协议》";
  static constexpr const char* kNoInformation = "no_information";
  enum AuthState { kNone = 0, kApply = 1, kReject = 2, kPass = 3 };

  static std::shared_ptr<UserInfomationViewController> create();
  std::string className() const override { return kClassName; }

  void viewDidLoad() override;

  void getUserInfomation();
  virtual void authStatus(const std::string& status, const std::string& remark);
  void getUserIdCardImage(std::vector<std::string> names);
  void saveUserInfomation();
  void idCardImageUpload();
  virtual void initWalletAgrement();
  void clickNVXArgeement();
  void agreeNVXWalletArgeement();

  // The JPEG quality of an uploaded photo: 600 / L for a longer side L above 600 points, else 0.5.
  static double uploadQuality(const platform::ui::Image& picture);

  // --- delegates ---
  void alertViewClickedButtonAtIndex(platform::ui::AlertView& alertView, int index) override;
  void gotoViewOfBoxTitle(const std::string& boxTitle) override;
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

  // --- state ---
  int authState() const { return authStatus_; }
  bool isShowPW() const { return isShowPW_; }
  const std::shared_ptr<CustomTableView>& userInfoTableView() const { return userInfoTableView_; }
  const std::shared_ptr<platform::ui::TextField>& nameField() const { return nameField_; }
  const std::shared_ptr<platform::ui::TextField>& identityNumberField() const { return identityNumberField_; }
  const std::shared_ptr<platform::ui::TextField>& emailField() const { return emailField_; }
  const std::shared_ptr<platform::ui::Label>& tipLabel() const { return tipLabel_; }
  const std::shared_ptr<platform::ui::View>& psView() const { return psView_; }
  const std::shared_ptr<IdentityCardPhotoButton>& button() const { return button_; }
  const std::shared_ptr<IdentityCardPhotoButton>& button1() const { return button1_; }
  const std::shared_ptr<platform::ui::Button>& agreementBtn() const { return agreementBtn_; }
  bool hasSaveButton() const { return navigationItem().rightBarButtonItem() != nullptr; }

 protected:
  std::shared_ptr<UserInfomationViewController> me();
  std::shared_ptr<platform::ui::TextField> createTextFieldDefaultTip(const char* placeholderKey, int tag);
  void showUnmasked();
  void showMasked();
  virtual void setSaveButton(bool on);
  // Where the form's prompts go (the screen's own; the home panel's go to the home screen).
  virtual void say(std::string text);
  virtual void say(std::string text, std::function<void()> follow);
  // Whether failed profile queries are also prompted on the window.
  virtual bool promptsOnWindow() const { return true; }
  // A profile query without connection: prompted, then the screen leaves.
  virtual void fetchFailed();
  // The end of a successful save, after the form took the look of "under review".
  virtual void resubmitted();
  virtual std::string savedText() const { return kSaved; }
  virtual double footerHeight() const { return 70; }
  void setTip(std::string text, bool red, bool shortLabel);

  std::shared_ptr<CustomTableView> userInfoTableView_;
  std::shared_ptr<platform::ui::TextField> nameField_;
  std::shared_ptr<platform::ui::TextField> identityNumberField_;
  std::shared_ptr<platform::ui::TextField> emailField_;
  std::string name_;
  std::string identityNumber_;
  std::string email_;
  std::string realNameStr_;
  std::string cardNumStr_;
  std::string emailStr_;
  int authStatus_ = kNone;
  std::shared_ptr<platform::ui::Label> tipLabel_;
  std::shared_ptr<platform::ui::View> psView_;
  std::shared_ptr<IdentityCardPhotoButton> button_;
  std::shared_ptr<IdentityCardPhotoButton> button1_;
  std::shared_ptr<platform::ui::Button> agreementBtn_;
  bool isShowPW_ = false;
};

}  // namespace nvx
