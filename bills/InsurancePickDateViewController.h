// The policy's dates and the last step before the card payment: the start date (tomorrow up to
// 90 days ahead), the end date that follows from the product's cover, the accepted rules, the
// reader gate, the policy inquiry, then the pay screen with the commit prepared.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/NVXViewController.h"
#include "bills/InsuranceOperations.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Json.h"
#include "platform/ui/Button.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/Toolbar.h"

namespace nvx {

class SwipeViewController;

class InsurancePickDateViewController : public NVXViewController,
                                        public platform::ui::TableViewDataSource,
                                        public platform::ui::TableViewDelegate,
                                        public platform::ui::PickerViewDataSource,
                                        public platform::ui::PickerViewDelegate {
 public:
  static constexpr const char* kClassName = "InsurancePickDateViewController";
  // The days a policy may start on: tomorrow to 90 days after the screen was loaded.
  static constexpr int kFirstDay = 1;
  static constexpr int kLastDay = 90;
  static constexpr int kEndDateTag = 999;
  static constexpr int kBusinessType = 22;
  static constexpr const char* kNoDatePrompt = "请先选择日期";
  // Where the picker's top stands while it is up.
  static constexpr double kPickerTop = 200;

  static std::shared_ptr<InsurancePickDateViewController> initWithName(std::string name, std::string identityCard,
                                                                       std::string cellPhoneNumber,
                                                                       std::string emailAddress,
                                                                       platform::Json insuranceValue);
  ~InsurancePickDateViewController() override;

  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  // The end date of the current start date; empty when the product names no usable cover.
  std::string endDateStringCalculate() const;
  // The policy text of the inquiry and the commit.
  std::string combineStringWithInsuranceInfo() const;
  void showDatePicker(bool show, bool record);
  void hidePicker();
  void hidePickerPlain();
  void buttonSelected();
  void goToBusinessIntroduction();
  void theNextStep();
  void payRequest();
  void createBillRequestDidSuccess();

  void setCountryInfo(std::optional<platform::Json> country) { countryInfo_ = std::move(country); }
  const std::optional<platform::Json>& countryInfo() const { return countryInfo_; }
  const std::string& name() const { return name_; }
  const std::string& IdentitycardNumber() const { return IdentitycardNumber_; }
  const std::string& cellPhoneNumber() const { return cellPhoneNumber_; }
  const std::string& emailAddress() const { return emailAddress_; }
  const platform::Json& insuranceInfo() const { return insuranceInfo_; }
  const std::string& dateString() const { return dateString_; }
  const std::string& endDateString() const { return endDateString_; }
  const std::string& sid() const { return sid_; }
  bool selectButtonCheck() const { return selectButtonCheck_; }
  bool isPickerShow() const { return isPickerShow_; }
  // The days the picker offers, in order ("yyyy-MM-dd").
  const std::vector<std::string>& pickableDates() const { return pickableDates_; }
  const std::shared_ptr<platform::ui::PickerView>& datePicker() const { return datePicker_; }
  const std::shared_ptr<platform::ui::Toolbar>& toolbar() const { return toolbar_; }
  const std::shared_ptr<platform::ui::TableView>& tableView() const { return tableView_; }
  const std::shared_ptr<platform::ui::Button>& nextButton() const { return nextButton_; }
  const std::shared_ptr<platform::ui::Button>& checkButton() const { return checkButton_; }
  const std::shared_ptr<platform::ui::Button>& rulesButton() const { return rulesButton_; }
  const std::shared_ptr<platform::ui::Label>& rulesLabel() const { return rulesLabel_; }

  // --- table ---
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  std::optional<double> heightForHeader(platform::ui::TableView& table, int section) override;
  std::optional<double> heightForFooter(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForFooter(platform::ui::TableView& table, int section) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;

  // --- date picker ---
  int numberOfComponents(platform::ui::PickerView& picker) override;
  int numberOfRows(platform::ui::PickerView& picker, int component) override;
  std::optional<std::string> titleForRow(platform::ui::PickerView& picker, int row, int component) override;

 private:
  PolicyOrder order() const;
  void sendInquiry();
  void inquiryReplied(const InsuranceReply& reply);
  platform::ui::Rect pickerFrame(bool shown) const;

  std::string name_;
  std::string IdentitycardNumber_;
  std::string cellPhoneNumber_;
  std::string emailAddress_;
  platform::Json insuranceInfo_ = platform::Json::object();
  std::optional<platform::Json> countryInfo_;
  std::string dateString_;
  std::string endDateString_;
  std::string sid_;
  bool selectButtonCheck_ = false;
  bool isPickerShow_ = false;
  bool inquiryRunning_ = false;
  std::vector<std::string> pickableDates_;
  std::shared_ptr<platform::ui::ScrollView> scrollView_;
  std::shared_ptr<platform::ui::Button> nextButton_;
  std::shared_ptr<platform::ui::PickerView> datePicker_;
  std::shared_ptr<platform::ui::Toolbar> toolbar_;
  std::shared_ptr<platform::ui::TableView> tableView_;
  std::shared_ptr<platform::ui::Button> checkButton_;
  std::shared_ptr<platform::ui::Button> rulesButton_;
  std::shared_ptr<platform::ui::Label> rulesLabel_;
  std::shared_ptr<platform::ui::View> footer_;
};

}  // namespace nvx
