// One clause of the service agreement, titled with the clause's title, its text in one row of a
// grouped table. The text comes from the application's NVXService resource; an absent clause
// leaves the page empty.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "platform/ui/TableView.h"

namespace nvx {

class DetailAgreementViewController : public NVXViewController,
                                      public platform::ui::TableViewDataSource,
                                      public platform::ui::TableViewDelegate {
 public:
  static constexpr const char* kClassName = "DetailAgreementViewController";
  static constexpr const char* kCellId = "cellID";
  static constexpr double kTextFontSize = 16;
  static constexpr double kTextWidth = 280;
  // Added to the text's height for the row; the whole row without text.
  static constexpr double kRowPadding = 50;

  DetailAgreementViewController() = default;
  static std::shared_ptr<DetailAgreementViewController> create();

  std::string className() const override { return kClassName; }

  // The title, the clause text and the table.
  void viewDidLoad() override;
  // Lets go of the key, the table and the text.
  void viewDidUnload() override;

  const std::string& serviceKey() const { return serviceKey_; }
  void setServiceKey(std::string key) { serviceKey_ = std::move(key); }
  const std::shared_ptr<CustomTableView>& serviceTable() const { return serviceTable_; }
  const std::optional<std::string>& service() const { return service_; }

  // --- table ---
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::optional<int> numberOfSections(platform::ui::TableView& table) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  std::optional<double> heightForHeader(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& table, int section) override;

 private:
  std::string serviceKey_;
  std::shared_ptr<CustomTableView> serviceTable_;
  std::optional<std::string> service_;
};

}  // namespace nvx
