// The mobile recharge's amount screen: the denominations the server offers, five to a row as
// segmented controls, "100" chosen at first (else the first), one choice across all rows; Next
// prepares the commit (no inquiry: the denomination's code names the amount) and opens the
// multi-pay screen, or, while another app is served, runs the reader gate and opens the swipe
// screen.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "bills/GameCardAmountParse.h"
#include "platform/ui/Button.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/TableView.h"

namespace nvx {

class RechargeMoneyAmountViewController : public NVXViewController,
                                          public platform::ui::TableViewDataSource,
                                          public platform::ui::TableViewDelegate {
 public:
  static constexpr const char* kClassName = "RechargeMoneyAmountViewController";
  static constexpr int kPerRow = 5;

  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  // Loads the denominations (once, when the view loads).
  void httpRequestGetCharge();
  // A row's value-changed action.
  void moneyAmount(platform::ui::SegmentedControl& control);
  void theNextStep();
  // Builds, configures and pushes the pay screen of that class with the prepared commit.
  void initPayViewControllerWithClass(const std::string& className);

  const std::string& phone() const { return phone_; }
  void setPhone(std::string phone) { phone_ = std::move(phone); }
  const std::vector<GameCardAmountParse>& moneyInfos() const { return moneyInfos_; }
  const std::optional<GameCardAmountParse>& cardInfo() const { return cardInfo_; }
  const std::vector<std::shared_ptr<platform::ui::SegmentedControl>>& amountRows() const { return amountRows_; }
  const std::shared_ptr<platform::ui::Button>& nextButton() const { return nextButton_; }

  // --- table ---
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForHeader(platform::ui::TableView& table, int section) override;

 private:
  void answered(const std::optional<platform::Json>& list);
  void layoutAmounts(size_t defaultPosition);

  std::string phone_;
  std::vector<GameCardAmountParse> moneyInfos_;
  std::optional<GameCardAmountParse> cardInfo_;
  std::vector<std::shared_ptr<platform::ui::SegmentedControl>> amountRows_;
  std::shared_ptr<platform::ui::Label> messageLabel_;
  std::shared_ptr<platform::ui::Button> nextButton_;
  std::shared_ptr<CustomTableView> rechargeTableView_;
};

}  // namespace nvx
