// The base of form-like screens built on one full-screen table (grouped or plain); its Next button
// lies inside the table and scrolls with it.
#pragma once
#include <memory>

#include "app/ui/CMTableView.h"
#include "app/ui/NVXBaseViewController.h"
#include "platform/ui/TableView.h"

namespace nvx {

class NVXTableViewController : public NVXBaseViewController,
                               public platform::ui::TableViewDataSource,
                               public platform::ui::TableViewDelegate {
 public:
  static constexpr const char* kClassName = "NVXTableViewController";
  // The address-book button beside a group cell's phone field.
  static constexpr platform::ui::Rect kPickTelButtonFrame{266, 0, 32, 32};

  NVXTableViewController() = default;
  ~NVXTableViewController() override;
  static std::shared_ptr<NVXTableViewController> create();

  std::string className() const override { return kClassName; }

  // Lets go of the table, then the base's.
  void releaseSomething() override;

  // The grouped table at (0, 0), the screen width and the screen height less 64, this screen as
  // delegate and data source, no background view, added to the view.
  void addGroupTableView();
  // The same with the plain table, which keeps its background view.
  void addSimpleTableView();
  // As in the base, then the button moves from the view into the table.
  void addNextButton(platform::ui::Point center) override;
  using NVXBaseViewController::addNextButton;

  // A 32 x 32 button at x 266 with "add.png" that opens the contact picker on this screen.
  std::shared_ptr<platform::ui::Button> defaultGroupCellAccessoryPickTelButton();

  // tableView:numberOfRowsInSection: 0; tableView:cellForRowAtIndexPath: no cell;
  // tableView:didSelectRowAtIndexPath: nothing. Derived screens answer them.
  int numberOfRows(platform::ui::TableView& tableView, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& tableView,
                                                          platform::ui::IndexPath indexPath) override;
  void didSelectRow(platform::ui::TableView& tableView, platform::ui::IndexPath indexPath) override;

  const std::shared_ptr<CMTableView>& tableView() const { return tableView_; }

 private:
  void addTable(std::shared_ptr<CMTableView> table);

  std::shared_ptr<CMTableView> tableView_;
};

}  // namespace nvx
