// A donation to a charity project (business type 5): the agency and one of its projects chosen
// from the server's lists, and the amount; the inquiry (no reader gate here: the multi-pay screen
// runs it for a card payment) then the multi-pay screen with the prepared commit.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "bills/BillFormParts.h"
#include "bills/DonationItemViewController.h"
#include "pay/TradeInquiryReturnData.h"
#include "platform/ui/Button.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

namespace nvx {

class PublicDonationViewController : public NVXViewController,
                                     public platform::ui::TableViewDataSource,
                                     public platform::ui::TableViewDelegate,
                                     public platform::ui::TextFieldDelegate,
                                     public CustomTableViewDelegate,
                                     public DonationItemViewControllerDelegate {
 public:
  static constexpr const char* kClassName = "PublicDonationViewController";
  // What the summary shows of a project's name.
  static constexpr size_t kSummaryChars = 14;

  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  void theNextStep();
  void queryTrans();
  void initSwipeViewController();
  void donationItemViewController(DonationItemViewController& picker, const std::string& itemName,
                                  const std::string& itemId) override;

  const std::string& donationOrganization() const { return choices_.first.name; }
  const std::string& donationOrganizationId() const { return choices_.first.code; }
  const std::string& donationProject() const { return choices_.second.name; }
  const std::string& donationProjectId() const { return choices_.second.code; }
  const std::string& donationMoneys() const { return donationMoneys_; }
  const std::shared_ptr<platform::ui::TextField>& donationOrganizationField() const { return choices_.first.field; }
  const std::shared_ptr<platform::ui::TextField>& donationProjectField() const { return choices_.second.field; }
  const std::shared_ptr<platform::ui::TextField>& donationMoneysField() const { return donationMoneysField_; }
  const std::shared_ptr<platform::ui::Button>& nextButton() const { return nextButton_; }
  const std::shared_ptr<CustomTableView>& tableView() const { return PublicDonationTableView_; }
  const std::optional<TradeInquiryReturnData>& inquiryData() const { return inquiryData_; }
  bool isInquiryRunning() const { return inquiry_.isRunning(); }

  // --- table ---
  std::optional<int> numberOfSections(platform::ui::TableView& table) override;
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForHeader(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& table, int section) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  void touchUpInsideEndedCustomTableView(CustomTableView& table) override;

  // --- fields ---
  void didBeginEditing(platform::ui::TextField& field) override;
  void didEndEditing(platform::ui::TextField& field) override;
  std::optional<bool> shouldChangeCharacters(platform::ui::TextField& field, platform::Range16 range,
                                             const std::string& replacement) override;
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override;

 private:
  std::shared_ptr<platform::ui::TextField> createTextFieldAlignmentRight();
  void scrollTo(double y);

  // The agency and its project.
  BillChoicePair choices_;
  std::string donationMoneys_;
  std::shared_ptr<platform::ui::TextField> donationMoneysField_;
  std::shared_ptr<platform::ui::Button> nextButton_;
  std::shared_ptr<CustomTableView> PublicDonationTableView_;
  std::optional<TradeInquiryReturnData> inquiryData_;
  BillInquiry inquiry_;
};

}  // namespace nvx
