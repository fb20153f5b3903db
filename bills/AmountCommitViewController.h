// The amount step of a utility bill: after an inquiry that returned the bill it shows the bill
// number and the balance or arrears, takes the amount the user pays, checks it against the rules
// of the form description (exactly, in fen) and hands the commit ("M80003") to the multi-pay
// screen.
#pragma once
#include <memory>
#include <string>

#include "app/ui/CustomTableView.h"
#include "app/ui/GHTextField.h"
#include "app/ui/NVXViewController.h"
#include "bills/UtilityForm.h"
#include "platform/foundation/Json.h"
#include "platform/ui/TableView.h"

namespace nvx {

class AmountCommitViewController : public NVXViewController,
                                   public platform::ui::TableViewDataSource,
                                   public platform::ui::TableViewDelegate,
                                   public CustomTableViewDelegate {
 public:
  static constexpr const char* kClassName = "AmountCommitViewController";
  static constexpr double kPromptSeconds = 2.0;

  static std::shared_ptr<AmountCommitViewController> initwithForm(platform::Json form, UtilityItems inputForm);
  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  int serviceType() const { return serviceType_; }
  void setServiceType(int type) { serviceType_ = type; }
  const platform::Json& payForm() const { return payForm_; }
  const std::shared_ptr<GHTextField>& amountField() const { return amountField_; }

  void theNextStep();
  void initSwipeViewController();

  std::optional<int> numberOfSections(platform::ui::TableView& table) override { return 2; }
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  void touchUpInsideEndedCustomTableView(CustomTableView& table) override;

 private:
  const UtilityFormItem* amountItem() const { return inputForm_.empty() ? nullptr : inputForm_.front().get(); }
  int64_t priceFen() const;

  platform::Json payForm_ = platform::Json::object();
  UtilityItems inputForm_;
  int serviceType_ = 0;
  std::shared_ptr<CustomTableView> table_;
  std::shared_ptr<GHTextField> amountField_;
};

}  // namespace nvx
