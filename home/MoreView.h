// The More tab of the home screen: two fixed lists, the first with login / logout, password
// management and user information, the second with help, feedback, the service upgrade, the
// client upgrade check, the maker's page and About. Its upgrade check and reader opening are the
// More screen's, run through an instance that is never shown.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/shell/LoginScreen.h"
#include "home/MoreViewController.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"

namespace nvx {

class MoreView : public platform::ui::View,
                 public platform::ui::TableViewDataSource,
                 public platform::ui::TableViewDelegate,
                 public LoginViewControllerDelegate {
 public:
  static constexpr const char* kLogin = "登录";
  static constexpr const char* kLogout = "注销";
  static constexpr const char* kLoggedOutPrompt = "您当前账号已登出！";
  static constexpr const char* kHelpTitle = "帮助";
  static constexpr const char* kHelpPath = "/nvxmbl/html/help.html";
  static constexpr const char* kMakerPage = "https://weibo.nuvexa.example/";
  static constexpr const char* kLoginOutTitle = "loginout";
  static constexpr const char* kPasswordTitle = "passwordmanage";
  static constexpr const char* kUserInfoTitle = "UserInfomationViewController";

  explicit MoreView(platform::ui::Rect frame) : View(frame) {}
  static std::shared_ptr<MoreView> initWithFrame(platform::ui::Rect frame);

  // updateUnReadMsg: the home screen asks for the unread count again.
  std::function<void()> moreDelegate;
  // rebuildWalletView after a logout (the home screen's).
  std::function<void()> walletRebuild;

  void setTitleArray();
  void resetLoginNameLb();

  void handleLogout();
  void handlePasswordManage();
  void handleUserProfile();
  void help();
  void handleFeedBack();
  void applayMoreServer();
  void handleUpdateClient();
  void handlePresentMap();
  void handleAboutUs();
  void handleModifyPassword();
  void handleStartNuvexaSwiper();
  void moveLeft() {}

  void gotoViewOfBoxTitle(const std::string& boxTitle) override;

  // --- tables ---
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;

  const std::shared_ptr<platform::ui::TableView>& firstTable() const { return firstTable_; }
  const std::shared_ptr<platform::ui::TableView>& secondTable() const { return secondTable_; }
  const std::shared_ptr<platform::ui::Label>& loginNamelb() const { return loginNamelb_; }
  const std::vector<std::string>& titleArray() const { return titleArray_; }
  const std::shared_ptr<MoreViewController>& moreCtrl() const { return moreCtrl_; }

 private:
  std::shared_ptr<MoreView> self() { return std::static_pointer_cast<MoreView>(shared_from_this()); }
  void pushLogin(const std::string& boxTitle);

  std::shared_ptr<platform::ui::ScrollView> scroll_;
  std::shared_ptr<platform::ui::TableView> firstTable_;
  std::shared_ptr<platform::ui::TableView> secondTable_;
  std::shared_ptr<platform::ui::Label> loginNamelb_;
  std::vector<std::string> imageArray_;
  std::vector<std::string> titleArray_;
  std::vector<std::string> title2Array_;
  std::shared_ptr<MoreViewController> moreCtrl_;
};

}  // namespace nvx
