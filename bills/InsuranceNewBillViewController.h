// The insured person: name, identity card, mobile number and e-mail (filled from the user's own
// record when the server has it), the area and, for products that need one, the destination
// country; the checks, then the date screen.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "bills/CitySelectViewController.h"
#include "bills/InsuranceOperations.h"
#include "platform/foundation/Json.h"
#include "platform/ui/Button.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

namespace nvx {

class InsuranceNewBillViewController : public NVXViewController,
                                       public platform::ui::TableViewDataSource,
                                       public platform::ui::TableViewDelegate,
                                       public platform::ui::TextFieldDelegate,
                                       public CustomTableViewDelegate,
                                       public CitySelectPopDelegate {
 public:
  static constexpr const char* kClassName = "InsuranceNewBillViewController";
  static constexpr int kAreaPickerTag = 9998;
  static constexpr int kCountryPickerTag = 9999;
  static constexpr const char* kPrefillFailed = "获取个人用户信息失败";
  // How far the view slides up while the e-mail is typed.
  static constexpr double kEmailLift = 30;

  static std::shared_ptr<InsuranceNewBillViewController> initwithInsuranceInfo(platform::Json insuranceInfo);
  ~InsuranceNewBillViewController() override;

  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  // The checks of the Next button, then the date screen.
  void theNextStep();
  // The view back in its place, every keyboard closed.
  void settleView();
  // The telephone button: the call choice.
  void callServicePhone();

  const platform::Json& insuranceInfo() const { return insuranceInfo_; }
  const std::optional<platform::Json>& countryInfo() const { return countryInfo_; }
  bool needsCountry() const { return needsCountry_; }
  const std::shared_ptr<platform::ui::TextField>& nameField() const { return nameField_; }
  const std::shared_ptr<platform::ui::TextField>& identityField() const { return identityField_; }
  const std::shared_ptr<platform::ui::TextField>& emailField() const { return emailField_; }
  const std::shared_ptr<platform::ui::TextField>& phoneField() const { return phoneField_; }
  const std::shared_ptr<CustomTableView>& tableView() const { return tableView_; }
  const std::shared_ptr<platform::ui::Button>& nextButton() const { return nextButton_; }
  const std::shared_ptr<platform::ui::Button>& telButton() const { return telButton_; }

  // --- pickers ---
  void didSelectDone(CitySelectViewController& picker, const platform::Json& cityInfo) override;

  // --- table ---
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  void touchUpInsideEndedCustomTableView(CustomTableView& table) override;

  // --- fields ---
  void didBeginEditing(platform::ui::TextField& field) override;
  void didEndEditing(platform::ui::TextField& field) override;
  std::optional<bool> shouldChangeCharacters(platform::ui::TextField& field, platform::Range16 range,
                                             const std::string& replacement) override;
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override;

 private:
  std::shared_ptr<platform::ui::TextField> makeField(const char* placeholderKey, int tag);
  std::shared_ptr<platform::ui::View> makeFooter();
  void requestUserInfo();
  void userInfoReplied(const InsuranceReply& reply);
  void pushPicker(const char* titleKey, MainApiRequest request, int tag, int type);
  void callChosen(int index);

  platform::Json insuranceInfo_ = platform::Json::object();
  std::optional<platform::Json> countryInfo_;
  bool needsCountry_ = false;
  bool lifted_ = false;
  std::shared_ptr<platform::ui::TextField> nameField_;
  std::shared_ptr<platform::ui::TextField> identityField_;
  std::shared_ptr<platform::ui::TextField> emailField_;
  std::shared_ptr<platform::ui::TextField> phoneField_;
  std::shared_ptr<CustomTableView> tableView_;
  std::shared_ptr<platform::ui::Button> nextButton_;
  std::shared_ptr<platform::ui::Button> telButton_;
  std::shared_ptr<NetService> prefill_;
};

}  // namespace nvx
