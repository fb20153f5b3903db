// The numbers recharged before (the server's record): a tap hands the number to the recharge's
// number screen and closes the list; a row's detail button opens the entry to rename or delete it.
// The list is fetched when first shown and again after a change.
#pragma once
#include <memory>
#include <string>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "platform/foundation/Json.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TableView.h"

namespace nvx {

class MobileRechargeViewController;

class MobileUsedViewController : public NVXViewController,
                                 public platform::ui::TableViewDataSource,
                                 public platform::ui::TableViewDelegate {
 public:
  static constexpr const char* kClassName = "MobileUsedViewController";
  static constexpr const char* kTitle = "历史充值";
  static constexpr const char* kEmptyText = "没有历史信息";
  // What the history's screens say when a request did not get through.
  static constexpr const char* kNetworkFailed = "网络连接失败";
  // The prompt of a failed history request: the short network text for a failed exchange.
  static std::string historyPrompt(const std::string& prompt);
  static constexpr int kMarkTag = 998;
  static constexpr int kNumberTag = 999;

  std::string className() const override { return kClassName; }
  void viewDidLoad() override;
  void viewDidAppear(bool animated) override;

  void getPhoneList();

  const platform::Json& contentArray() const { return contentArray_; }
  bool needRefresh() const { return needRefresh_; }
  void setNeedRefresh(bool on) { needRefresh_ = on; }
  void setRechargeViewController(std::weak_ptr<MobileRechargeViewController> screen) {
    rechargeViewController_ = std::move(screen);
  }
  const std::shared_ptr<CustomTableView>& contentTableView() const { return contentTableView_; }
  // The "没有历史信息" label while the list is empty.
  const std::shared_ptr<platform::ui::Label>& emptyLabel() const { return emptyLabel_; }

  // --- table ---
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForHeader(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& table, int section) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  void accessoryButtonTapped(platform::ui::TableView& table, platform::ui::IndexPath path) override;

 private:
  std::string entryText(size_t row, const char* key) const;

  platform::Json contentArray_ = platform::Json::array();
  bool needRefresh_ = true;
  std::weak_ptr<MobileRechargeViewController> rechargeViewController_;
  std::shared_ptr<CustomTableView> contentTableView_;
  std::shared_ptr<platform::ui::Label> emptyLabel_;
};

}  // namespace nvx
