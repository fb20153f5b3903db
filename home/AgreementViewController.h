// The service agreement: one row per numbered clause of the bundled agreement, in clause-number
// order whatever order the file keeps them in; a tap opens the clause on its own page.
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/NVXViewController.h"
#include "platform/ui/TableView.h"

namespace nvx {

class AgreementViewController : public NVXViewController,
                                public platform::ui::TableViewDataSource,
                                public platform::ui::TableViewDelegate {
 public:
  static constexpr const char* kClassName = "AgreementViewController";
  static constexpr const char* kTitle = "服务协议";
  static constexpr double kTextWidth = 250;

  static std::shared_ptr<AgreementViewController> create() { return std::make_shared<AgreementViewController>(); }
  std::string className() const override { return kClassName; }

  void viewDidLoad() override;
  void viewDidUnload() override;

  // The first key of the list that begins with the number and a full stop ("12." for 12).
  static std::optional<std::string> keyOfClause(const std::vector<std::string>& keys, int number);

  // --- table ---
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  std::optional<double> heightForHeader(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& table, int section) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;

  const std::shared_ptr<platform::ui::TableView>& agreementTable() const { return agreementTable_; }
  // The clause headings (tests set their own order).
  void setServiceKey(std::vector<std::string> keys) { serviceKey_ = std::move(keys); }

 private:
  std::shared_ptr<platform::ui::TableView> agreementTable_;
  std::map<std::string, std::string> serviceDic_;
  std::vector<std::string> serviceKey_;
};

}  // namespace nvx
