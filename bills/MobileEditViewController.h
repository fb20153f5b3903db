// One number of the recharge history: change its name (letters or Chinese characters), or delete
// it; after a change the history is fetched again when it shows.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

namespace nvx {

class MobileUsedViewController;

class MobileEditViewController : public NVXViewController,
                                 public platform::ui::TableViewDataSource,
                                 public platform::ui::TableViewDelegate,
                                 public platform::ui::TextFieldDelegate,
                                 public CustomTableViewDelegate {
 public:
  static constexpr const char* kClassName = "MobileEditViewController";
  static constexpr const char* kTitle = "编辑手机号码信息";
  static constexpr const char* kWrongNumber = "手机号码输入有误";
  static constexpr const char* kWrongName = "姓名输入有误";
  static constexpr const char* kUnchanged = "你没有修改任何信息";
  static constexpr const char* kSaved = "修改成功";
  static constexpr const char* kDeleted = "删除成功";

  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  void savePhoneInfo();
  void deletePhone();

  const std::string& phoneNumber() const { return phoneNumber_; }
  void setPhoneNumber(std::string v) { phoneNumber_ = std::move(v); }
  const std::string& phoneUserName() const { return phoneUserName_; }
  void setPhoneUserName(std::string v) { phoneUserName_ = std::move(v); }
  void setNeedRefreshMe(std::weak_ptr<MobileUsedViewController> list) { needRefreshMe_ = std::move(list); }
  const std::shared_ptr<platform::ui::TextField>& phoneField() const { return phoneField_; }
  const std::shared_ptr<platform::ui::TextField>& nameField() const { return nameField_; }
  const std::shared_ptr<platform::ui::Button>& saveButton() const { return saveButton_; }
  const std::shared_ptr<platform::ui::Button>& deleteButton() const { return deleteButton_; }

  // --- table ---
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  void touchUpInsideEndedCustomTableView(CustomTableView& table) override;

  // --- fields ---
  void didBeginEditing(platform::ui::TextField& field) override;
  void didEndEditing(platform::ui::TextField& field) override;
  std::optional<bool> shouldChangeCharacters(platform::ui::TextField& field, platform::Range16 range,
                                             const std::string& replacement) override;
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override;

 private:
  void answered(const char* done, bool ok, const std::optional<std::string>& prompt);

  std::string phoneNumber_;
  std::string phoneUserName_;
  std::weak_ptr<MobileUsedViewController> needRefreshMe_;
  std::shared_ptr<platform::ui::TextField> phoneField_;
  std::shared_ptr<platform::ui::TextField> nameField_;
  std::shared_ptr<platform::ui::Button> saveButton_;
  std::shared_ptr<platform::ui::Button> deleteButton_;
  std::shared_ptr<CustomTableView> contentTableView_;
};

}  // namespace nvx
