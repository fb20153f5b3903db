// The insurance business's entry: two rows, insurance (the insurer's introduction) and financing
// (the product list in promotion mode).
#pragma once
#include <memory>
#include <string>

#include "app/ui/NVXViewController.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"

namespace nvx {

class InsuranceChooseViewController : public NVXViewController,
                                      public platform::ui::TableViewDataSource,
                                      public platform::ui::TableViewDelegate {
 public:
  static constexpr const char* kClassName = "InsuranceChooseViewController";
  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  // A right-aligned 16-point label with a clear background.
  static std::shared_ptr<platform::ui::Label> lableFrame(platform::ui::Rect frame, std::string title);

  const std::shared_ptr<platform::ui::TableView>& tableView() const { return tableView_; }

  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;

 private:
  std::shared_ptr<platform::ui::TableView> tableView_;
};

}  // namespace nvx
