// The reorder screen of the common page: the page's boxes in a table in edit mode, where rows
// are moved or deleted; Save hands the new page to the delegate (the home screen), the back
// button discards every change. Two boxes are held out of the table and put back in fixed
// places on Save: the fifth and the last (the Add box) of a page of six or more, else the last
// two.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/NVXViewController.h"
#include "core/models/ServiceGroupEntity.h"
#include "home/HomeBoxData.h"
#include "platform/ui/TableView.h"

namespace nvx {

class RangeTableViewController : public NVXViewController,
                                 public platform::ui::TableViewDataSource,
                                 public platform::ui::TableViewDelegate {
 public:
  static constexpr const char* kClassName = "RangeTableViewController";
  static constexpr const char* kTitle = "常用应用";

  static std::shared_ptr<RangeTableViewController> create();
  std::string className() const override { return kClassName; }

  // Set by the presenter before the screen shows: the common page and what Save hands back
  // (saveState).
  void setCommonArray(HomeBoxList page) { commonArray_ = std::move(page); }
  std::function<void(const HomeBoxList&)> delegate;

  void viewDidLoad() override;
  void save();
  void backButtonPressed() override;
  void deleteRow(platform::ui::IndexPath path);
  // The user drags a row from one place to another.
  void moveRow(platform::ui::IndexPath from, platform::ui::IndexPath to);

  // --- table ---
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<bool> canEditRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  bool commitEditing(platform::ui::TableView& table, platform::ui::TableViewCellEditingStyle style,
                     platform::ui::IndexPath path) override;
  std::optional<double> heightForRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  std::optional<platform::ui::TableViewCellEditingStyle> editingStyleForRow(platform::ui::TableView& table,
                                                                           platform::ui::IndexPath path) override;

  const HomeBoxList& businessArray() const { return businessArray_; }
  const std::shared_ptr<platform::ui::TableView>& ctrTable() const { return ctrTable_; }

  // The rows of a page: the page without its held boxes (only the boxes that exist are held).
  static HomeBoxList removeTheBusiness(const HomeBoxList& page);
  // The rows with the page's held boxes put back.
  static HomeBoxList addTheBusiness(HomeBoxList rows, const HomeBoxList& page);

 private:
  HomeBoxList commonArray_;
  HomeBoxList businessArray_;
  std::vector<std::shared_ptr<ServListEntity>> serverArray_;
  std::map<std::string, std::string> tipDic_;
  std::map<std::string, std::string> updateTipDic_;
  std::shared_ptr<platform::ui::TableView> ctrTable_;
};

}  // namespace nvx
