// The service-upgrade application: the profile screen's photos, name and number (locked as the
// identity state says) with a reason to type, sent with "提交"; then the confirmation screen,
// whose "返回首页" returns to the root screen.
#pragma once
#include <memory>
#include <string>

#include "account/UserInfomationViewController.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextView.h"

namespace nvx {

class WhiteListViewController : public UserInfomationViewController, public platform::ui::TextViewDelegate {
 public:
  static constexpr const char* kClassName = "WhiteListViewController";
  static constexpr const char* kTitle = "申请服务升级";
  static constexpr const char* kHeader = "升级服务需要对您的真实身份进行审核，请保证您的身份信息真实有效。";
  static constexpr const char* kReasonPlaceholder = "请输入申请理由";
  static constexpr const char* kSubmit = "提交";
  static constexpr const char* kReasonMissing = "写一个申请理由吧";

  static std::shared_ptr<WhiteListViewController> create();
  std::string className() const override { return kClassName; }

  void viewDidLoad() override;
  void submit();

  const std::shared_ptr<platform::ui::TextView>& reasonView() const { return reasonView_; }

  std::optional<int> numberOfSections(platform::ui::TableView& tableView) override;
  int numberOfRows(platform::ui::TableView& tableView, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& tableView,
                                                          platform::ui::IndexPath indexPath) override;
  std::optional<double> heightForRow(platform::ui::TableView& tableView, platform::ui::IndexPath indexPath) override;
  std::optional<double> heightForHeader(platform::ui::TableView& tableView, int section) override;
  std::optional<double> heightForFooter(platform::ui::TableView& tableView, int section) override;
  std::shared_ptr<platform::ui::View> viewForFooter(platform::ui::TableView& tableView, int section) override;
  void touchUpInsideEndedCustomTableView(CustomTableView& table) override;
  void didBeginEditing(platform::ui::TextView& textView) override;
  void didEndEditing(platform::ui::TextView& textView) override;
  void didChange(platform::ui::TextView& textView) override;
  using UserInfomationViewController::didBeginEditing;
  using UserInfomationViewController::didEndEditing;

 private:
  std::shared_ptr<platform::ui::TextView> reasonView_;
  std::shared_ptr<platform::ui::Label> placeholder_;
};

class WhiteResultViewController : public NVXViewController {
 public:
  static constexpr const char* kClassName = "WhiteResultViewController";
  static constexpr const char* kTitle = "提交成功";
  static constexpr const char* kMessage =
      "恭喜您的服务升级申请已经提交成功！我们会在3个工作日内审核，并以短信方式通知您审核结果，请耐心等待.";
  static constexpr const char* kDone = "返回首页";

  static std::shared_ptr<WhiteResultViewController> create() { return std::make_shared<WhiteResultViewController>(); }
  std::string className() const override { return kClassName; }
  void viewDidLoad() override;
  void done();
};

}  // namespace nvx
