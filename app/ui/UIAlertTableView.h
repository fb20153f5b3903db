// A platform alert with a table above its buttons: the alert grows by the table's height plus 16
// points and its buttons move down to make room.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"

namespace nvx {

class UIAlertTableView : public platform::ui::AlertView {
 public:
  static constexpr int kDefaultTableHeight = 150;
  static constexpr double kTableX = 11;
  static constexpr double kTableWidth = 262;
  static constexpr double kTableGap = 16;

  UIAlertTableView(std::string title, std::string message, std::optional<std::string> cancelTitle,
                   std::vector<std::string> otherTitles);
  static std::shared_ptr<UIAlertTableView> create(std::string title, std::string message,
                                                  std::optional<std::string> cancelTitle = std::nullopt,
                                                  std::vector<std::string> otherTitles = {});

  // Prepares the table, shows the alert, then makes room for the table (layoutAnimated).
  void show();
  // tableHeight 150 when it was left 0, tableExtHeight = tableHeight + 16; a plain white table
  // with the data source and delegate, behind the alert's other views.
  void prepare();
  // After the alert's own layout: the alert grows by tableExtHeight (moving up by half of it),
  // the table goes 16 points below the texts, and the buttons move down by tableExtHeight.
  void layoutAnimated(bool animated);

  // Not owned.
  std::shared_ptr<platform::ui::TableViewDataSource> dataSource() const { return dataSource_.lock(); }
  void setDataSource(std::weak_ptr<platform::ui::TableViewDataSource> source) { dataSource_ = std::move(source); }
  std::shared_ptr<platform::ui::TableViewDelegate> tableDelegate() const { return tableDelegate_.lock(); }
  void setTableDelegate(std::weak_ptr<platform::ui::TableViewDelegate> delegate) { tableDelegate_ = std::move(delegate); }
  int tableHeight() const { return tableHeight_; }
  void setTableHeight(int height) { tableHeight_ = height; }
  int tableExtHeight() const { return tableExtHeight_; }
  // Nothing before prepare.
  const std::shared_ptr<platform::ui::TableView>& tableView() const { return tableView_; }

 private:
  std::shared_ptr<platform::ui::TableView> tableView_;
  std::weak_ptr<platform::ui::TableViewDataSource> dataSource_;
  std::weak_ptr<platform::ui::TableViewDelegate> tableDelegate_;
  int tableHeight_ = 0;
  int tableExtHeight_ = 0;
};

}  // namespace nvx
