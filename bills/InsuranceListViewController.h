// The product list: the server's products as rows; a touch asks for the product's record and
// opens its detail. The promotion list asks the server with isPromotion=0 and shows a header
// line; the plain list asks with isPromotion=1 (the server's flag reads "not a promotion").
#pragma once
#include <memory>
#include <string>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "bills/InsuranceOperations.h"
#include "platform/foundation/Json.h"
#include "platform/ui/TableView.h"

namespace nvx {

class InsuranceListViewController : public NVXViewController,
                                    public platform::ui::TableViewDataSource,
                                    public platform::ui::TableViewDelegate {
 public:
  static constexpr const char* kClassName = "InsuranceListViewController";
  static constexpr double kRowHeight = 140;

  // Plain creation is the plain list.
  InsuranceListViewController() = default;
  static std::shared_ptr<InsuranceListViewController> initWithIsPromotion(bool isPromotion);
  // A request still running is cancelled; its completion finds no screen.
  ~InsuranceListViewController() override;

  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  bool isPromotion() const { return isPromotion_; }
  const std::string& willNotpromotion() const { return willNotpromotion_; }
  const platform::Json& insuranceList() const { return insuranceList_; }
  const std::shared_ptr<CustomTableView>& tableView() const { return tableView_; }

  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;

 private:
  void listReplied(const InsuranceReply& reply);
  void detailReplied(const InsuranceReply& reply);

  bool isPromotion_ = false;
  std::string willNotpromotion_ = "1";
  platform::Json insuranceList_ = platform::Json::array();
  std::shared_ptr<CustomTableView> tableView_;
  std::shared_ptr<NetService> listRequest_;
  std::shared_ptr<NetService> detailRequest_;
  // Counts the touches on rows: only the latest one's reply is handled.
  uint64_t detailTouch_ = 0;
};

}  // namespace nvx
