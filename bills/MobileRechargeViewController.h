// The mobile recharge's number screen: the number to recharge starts as the login name (one row);
// a number typed that differs from the one held asks for a confirmation row; a number from the
// address book or from the history returns to one row. Next checks the number(s) and opens the
// amount screen.
#pragma once
#include <memory>
#include <string>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

namespace nvx {

class MobileRechargeViewController : public NVXViewController,
                                     public platform::ui::TableViewDataSource,
                                     public platform::ui::TableViewDelegate,
                                     public platform::ui::TextFieldDelegate,
                                     public CustomTableViewDelegate {
 public:
  static constexpr const char* kClassName = "MobileRechargeViewController";
  static constexpr int kPhoneTag = 0;
  static constexpr int kDonePhoneTag = 1;

  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  // The Next button.
  void nextStep();
  // The "Used_Phone" bar button: the history of numbers recharged before.
  void toUserdPhoneView();
  void getPhoneNumberSuccess(const std::string& phoneNumber) override;
  // A number chosen in the history.
  void resetViewWithPhone(const std::string& phoneNumber);

  const std::string& phone() const { return phone_; }
  void setPhone(std::string phone) { phone_ = std::move(phone); }
  const std::string& donePhone() const { return donePhone_; }
  bool isFromPhoneList() const { return isFromPhoneList_; }
  bool isSame() const { return isSame_; }
  const std::shared_ptr<platform::ui::TextField>& phoneField() const { return phoneField_; }
  const std::shared_ptr<platform::ui::TextField>& donePhoneField() const { return donePhoneField_; }
  const std::shared_ptr<platform::ui::Button>& nextStepButton() const { return nextStep_; }
  const std::shared_ptr<CustomTableView>& mobileRechargetableView() const { return mobileRechargetableView_; }

  // --- table ---
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForHeader(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& table, int section) override;
  void touchUpInsideEndedCustomTableView(CustomTableView& table) override;

  // --- fields ---
  void didBeginEditing(platform::ui::TextField& field) override;
  void didEndEditing(platform::ui::TextField& field) override;
  std::optional<bool> shouldChangeCharacters(platform::ui::TextField& field, platform::Range16 range,
                                             const std::string& replacement) override;
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override;

 private:
  std::shared_ptr<platform::ui::TextField> makeField(std::string_view placeholder, int tag);
  void takePickedNumber(const std::string& phoneNumber);
  void placeNextButton();

  std::string phone_;
  std::string donePhone_;
  bool isFromPhoneList_ = true;
  bool isSame_ = false;
  std::shared_ptr<platform::ui::TextField> phoneField_;
  std::shared_ptr<platform::ui::TextField> donePhoneField_;
  std::shared_ptr<platform::ui::Button> nextStep_;
  std::shared_ptr<CustomTableView> mobileRechargetableView_;
};

}  // namespace nvx
