// The personal settings (the profile and the service-level upgrade) and the upgrade entry,
// gotoWhiteList, which also runs on a settings object that is never shown (the pay screens'
// card-count alert): the identity state decides between the incomplete-data alert and the
// upgrade-state query, which decides between its two alerts and the application form.
//
// A settings object running the upgrade entry keeps itself alive until its flow has ended (its
// requests, its alert, the login screen it opened).
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "core/shell/LoginScreen.h"
#include "platform/foundation/Json.h"
#include "platform/ui/TableView.h"

namespace nvx {

// The upgrade-state query's reply: "PASS" granted, "APPLY" waiting for review; anything else
// (or nothing) means the user may apply.
struct WhiteListQuery {
  static constexpr const char* kArchiveKey = "nvx_status";
  std::optional<std::string> status;

  // Nothing when "status" is there but is not text (a number, a list): the reply is of the
  // wrong shape.
  static std::optional<WhiteListQuery> initWithJson(const platform::Json& json);
  platform::Json archive() const;
  static WhiteListQuery unarchive(const platform::Json& archived);
  std::string description() const { return "status : " + status.value_or(""); }
};

class SettingListViewController : public NVXViewController,
                                  public LoginViewControllerDelegate,
                                  public platform::ui::TableViewDataSource,
                                  public platform::ui::TableViewDelegate,
                                  public CustomTableViewDelegate {
 public:
  static constexpr const char* kClassName = "SettingListViewController";
  static constexpr const char* kTitle = "个人设置";
  static constexpr const char* kProfileRow = "用户基本信息";
  static constexpr const char* kUpgradeRow = "申请服务升级";
  static constexpr const char* kUpgradeHint = "升级成功后，将增加您可用银行卡数量";
  static constexpr const char* kInfomation = "infomation";
  static constexpr const char* kUpgrade = "upgrade";
  static constexpr const char* kFetchFailed = "获取个人用户信息失败";
  static constexpr int kIncompleteAlertTag = 1000;
  static constexpr const char* kIncompleteMessage = "您的用户信息不完整，请补充完再申请。";
  static constexpr const char* kLater = "以后再说";
  static constexpr const char* kComplete = "马上补充";
  static constexpr const char* kGranted = "您已升级成功";
  static constexpr const char* kWaiting = "您已经申请，请耐心等待审核结果。";
  static constexpr const char* kUnderstood = "我知道了";

  static std::shared_ptr<SettingListViewController> create();
  std::string className() const override { return kClassName; }

  void viewDidLoad() override;

  // The upgrade entry.
  void gotoWhiteList();

  void gotoViewOfBoxTitle(const std::string& boxTitle) override;
  void alertViewClickedButtonAtIndex(platform::ui::AlertView& alertView, int index) override;

  std::optional<int> numberOfSections(platform::ui::TableView& tableView) override;
  int numberOfRows(platform::ui::TableView& tableView, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& tableView,
                                                          platform::ui::IndexPath indexPath) override;
  std::optional<double> heightForRow(platform::ui::TableView& tableView, platform::ui::IndexPath indexPath) override;
  std::optional<double> heightForHeader(platform::ui::TableView& tableView, int section) override;
  void didSelectRow(platform::ui::TableView& tableView, platform::ui::IndexPath indexPath) override;

 private:
  std::shared_ptr<SettingListViewController> me();
  void pushLogin(const char* boxTitle);
  void pushOnApp(const std::shared_ptr<platform::ui::ViewController>& screen);
  void loadIdentityState();
  void queryUpgradeState();
  // Set while the entry's flow runs: the object keeps itself alive until it has ended.
  std::shared_ptr<SettingListViewController> keepAlive_;
};

}  // namespace nvx
