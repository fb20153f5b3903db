// The list of Alipay recharge codes bought: two rows of fixed sample values and a help footer. No
// screen opens it (its opener, chargeCodeButtonPressed, is attached to no control) and no request
// fills it: the server offers no list of bought codes.
#pragma once
#include <memory>
#include <string>

#include "app/ui/NVXBaseViewController.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"

namespace nvx {

// One bought code: serial number, amount, time, the code and its state.
class ChargeCodeCell : public platform::ui::TableViewCell {
 public:
  static std::shared_ptr<ChargeCodeCell> initWithStyle(platform::ui::TableViewCellStyle style,
                                                       std::string reuseIdentifier);
  explicit ChargeCodeCell(platform::ui::TableViewCellStyle style, std::string reuseIdentifier);
  // Does nothing: there is nothing to fill the cell from.
  void updateChargeCode() {}

  const std::shared_ptr<platform::ui::Label>& billNOLabel() const { return billNOLabel_; }
  const std::shared_ptr<platform::ui::Label>& monenyLabel() const { return monenyLabel_; }
  const std::shared_ptr<platform::ui::Label>& chargeTimeLabel() const { return chargeTimeLabel_; }
  const std::shared_ptr<platform::ui::Label>& chargeCodeLabel() const { return chargeCodeLabel_; }
  const std::shared_ptr<platform::ui::Label>& stateLabel() const { return stateLabel_; }

 private:
  void build();

  std::shared_ptr<platform::ui::Label> billNOLabel_;
  std::shared_ptr<platform::ui::Label> monenyLabel_;
  std::shared_ptr<platform::ui::Label> chargeTimeLabel_;
  std::shared_ptr<platform::ui::Label> chargeCodeLabel_;
  std::shared_ptr<platform::ui::Label> stateLabel_;
};

class ChargeCodeViewController : public NVXBaseViewController,
                                 public platform::ui::TableViewDataSource,
                                 public platform::ui::TableViewDelegate {
 public:
  static constexpr const char* kClassName = "ChargeCodeViewController";
  static constexpr const char* kTitle = "充值码信息";

  std::string className() const override { return kClassName; }
  void viewDidLoad() override;
  const std::shared_ptr<platform::ui::TableView>& chargeCodeTb() const { return chargeCodeTb_; }

  std::optional<int> numberOfSections(platform::ui::TableView& table) override { return 2; }
  int numberOfRows(platform::ui::TableView&, int) override { return 1; }
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForRow(platform::ui::TableView&, platform::ui::IndexPath) override { return 125.0; }
  std::optional<double> heightForFooter(platform::ui::TableView&, int section) override;
  std::shared_ptr<platform::ui::View> viewForFooter(platform::ui::TableView& table, int section) override;

 private:
  std::shared_ptr<platform::ui::TableView> chargeCodeTb_;
};

}  // namespace nvx
