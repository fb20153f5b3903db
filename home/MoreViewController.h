// The More screen: rows read from the application's start-up data ("sections" of "rows", each
// row a localized text and the name of one of the screen's actions), a Login / Logout button,
// the client upgrade check and the opening of a card reader for the user. Other screens run its
// upgrade check and reader opening through an instance that is never shown.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/ui/NVXViewController.h"
#include "core/shell/LoginScreen.h"
#include "home/HomeServiceOperations.h"
#include "platform/foundation/Json.h"
#include "platform/ui/TableView.h"

namespace nvx {

class MoreViewController : public NVXViewController,
                           public platform::ui::TableViewDataSource,
                           public platform::ui::TableViewDelegate,
                           public LoginViewControllerDelegate {
 public:
  static constexpr const char* kClassName = "MoreViewController";
  static constexpr int kOptionalUpgradeTag = 1;
  static constexpr int kForcedUpgradeTag = 2;
  static constexpr int kLogoutTag = 100;
  static constexpr const char* kLaterButton = "稍后再说";
  static constexpr const char* kUpdateButton = "立即更新";
  static constexpr const char* kOkButton = "确定";
  static constexpr const char* kLogoutTitle = "提示信息";
  static constexpr const char* kLogoutMessage = "您确认要退出登录状态？";
  static constexpr const char* kCancelButton = "取消";
  // The client's download page in the application store, and its review page.
  static constexpr const char* kAppStorePage = "https://download.nuvexa.example/client";
  static constexpr const char* kReviewPage =
      "itms-apps://apps.nuvexa.example/WebObjects/MZStore.woa/wa/viewContentsUserReviews?type=Purple+Software&id=620000001";

  static std::shared_ptr<MoreViewController> create();
  std::string className() const override { return kClassName; }

  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;
  void setRightBarButtonItem();
  void rightBarButtonAction();

  // --- row actions ---
  void handleLogin();
  void handleModifyPassword();
  void handleFeedBack();
  void handleMark();
  void handleCarRent();
  void handleStartNuvexaSwiper();
  void handleAboutUs();
  void handleNuvexaServiceProtocol();
  void handleUpdateClient();
  // Runs the action of that name; an unknown name is logged and does nothing. False then.
  bool performAction(const std::string& name);

  void clientUpgradeAlert();
  void theNextStep();
  // The answer of the reader-ownership question, on the main thread.
  void readerOwnerAnswered(const HomeServiceOperations::ReaderOwner& owner);

  void gotoViewOfBoxTitle(const std::string& boxTitle) override;
  void alertViewClickedButtonAtIndex(platform::ui::AlertView& alertView, int index) override;

  // --- table ---
  std::optional<int> numberOfSections(platform::ui::TableView& table) override;
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForHeader(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& table, int section) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;

  const std::shared_ptr<platform::ui::TableView>& mainTable() const { return mainTable_; }
  // The configured rows (tests replace them).
  void setConfigs(platform::Json configs) { configs_ = std::move(configs); }

 private:
  std::shared_ptr<MoreViewController> me() { return std::static_pointer_cast<MoreViewController>(shared_from_this()); }
  const platform::Json* rowAt(platform::ui::IndexPath path) const;
  void pushNamed(const std::string& className);
  void pushLogin(const std::string& boxTitle);
  static void push(const std::shared_ptr<platform::ui::ViewController>& screen);

  std::shared_ptr<platform::ui::TableView> mainTable_;
  platform::Json configs_;
};

}  // namespace nvx
