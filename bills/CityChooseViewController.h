// The area chooser of the utility bills: one row per area, the chosen one marked; a tap reports
// the area and goes back. Going back without a tap reports nothing.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/NVXViewController.h"
#include "platform/foundation/Json.h"
#include "platform/ui/TableView.h"

namespace nvx {

class CityChooseViewController : public NVXViewController,
                                 public platform::ui::TableViewDataSource,
                                 public platform::ui::TableViewDelegate {
 public:
  static constexpr const char* kClassName = "CityChooseViewController";
  static constexpr int kCheckTag = 1000;

  using TitleGeter = std::function<std::string(const platform::Json&)>;
  using SelectAction = std::function<void(const platform::Json&)>;

  static std::shared_ptr<CityChooseViewController> initWithItems(std::vector<platform::Json> items);
  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  void setTitleGeter(TitleGeter geter) { titleGeter_ = std::move(geter); }
  void setSelectAction(SelectAction action) { selectAction_ = std::move(action); }
  void setSelectedItem(std::optional<platform::Json> item) { selectedItem_ = std::move(item); }
  const std::optional<platform::Json>& selectedItem() const { return selectedItem_; }
  const std::shared_ptr<platform::ui::TableView>& citiListView() const { return citiListView_; }

  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForHeader(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& table, int section) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;

 private:
  std::vector<platform::Json> items_;
  std::optional<platform::Json> selectedItem_;
  TitleGeter titleGeter_;
  SelectAction selectAction_;
  std::shared_ptr<platform::ui::TableView> citiListView_;
};

}  // namespace nvx
