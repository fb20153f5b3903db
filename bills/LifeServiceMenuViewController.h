// The two menus of the life-service group: the account top-ups and the utility bills. One design
// with different rows: a header row, then one row per business. The home screen opens them
// without login, so each menu guards its rows with the login screen and opens the row's business
// after the login (the row number is the login's box title).
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <span>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "core/shell/LoginScreen.h"
#include "platform/ui/TableView.h"

namespace nvx {

class LifeServiceMenuViewController : public NVXViewController,
                                      public LoginViewControllerDelegate,
                                      public platform::ui::TableViewDataSource,
                                      public platform::ui::TableViewDelegate {
 public:
  struct Row {
    const char* title;
    const char* picture;
  };

  void viewDidLoad() override;
  // After a successful login: the row whose number the title holds.
  void gotoViewOfBoxTitle(const std::string& boxTitle) override;

  const std::shared_ptr<CustomTableView>& tableview() const { return tableview_; }

  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;

 protected:
  // Row 0 is the header row; rows 1 and up are businesses.
  virtual std::span<const Row> rows() const = 0;
  virtual std::string menuTitle() const = 0;
  virtual double tableHeight() const = 0;
  // The business of a row (1 and up).
  virtual void openRow(int row) = 0;
  void push(std::shared_ptr<platform::ui::ViewController> screen);

 private:
  std::shared_ptr<CustomTableView> tableview_;
};

class RechargeBusinessViewController : public LifeServiceMenuViewController {
 public:
  static constexpr const char* kClassName = "RechargeBusinessViewController";
  std::string className() const override { return kClassName; }

 protected:
  std::span<const Row> rows() const override;
  std::string menuTitle() const override { return "生活服务-充值"; }
  double tableHeight() const override { return 155; }
  void openRow(int row) override;
};

class PayBusinessViewController : public LifeServiceMenuViewController {
 public:
  static constexpr const char* kClassName = "PayBusinessViewController";
  std::string className() const override { return kClassName; }
  // The utility-bill screen of the service type.
  void goBusiness(int type);

 protected:
  std::span<const Row> rows() const override;
  std::string menuTitle() const override { return "生活服务-缴费"; }
  double tableHeight() const override { return 190; }
  void openRow(int row) override { goBusiness(row - 1); }
};

}  // namespace nvx
