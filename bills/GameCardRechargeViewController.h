// A prepaid game card bought for a mobile number, which receives it by text message (business
// type 4): the card type and denomination chosen from the server's lists, the number; the inquiry
// then the multi-pay screen, or, while another app is served, the reader gate, the inquiry without
// the wallet marker and the swipe screen.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "bills/BillFormParts.h"
#include "bills/GameCardItemViewController.h"
#include "pay/TradeInquiryReturnData.h"
#include "platform/ui/Button.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

namespace nvx {

class GameCardRechargeViewController : public NVXViewController,
                                       public platform::ui::TableViewDataSource,
                                       public platform::ui::TableViewDelegate,
                                       public platform::ui::TextFieldDelegate,
                                       public CustomTableViewDelegate,
                                       public GameCardItemItemViewControllerDelegate {
 public:
  static constexpr const char* kClassName = "GameCardRechargeViewController";
  static constexpr const char* kChooseTypeFirst = "请先选择充值点卡名称";
  static constexpr const char* kChooseType = "请选择充值点卡名称";
  static constexpr const char* kChooseDenomination = "请选择充值点卡面额";

  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  void theNextStep();
  // The inquiry.
  void httpRequest();
  void initPayViewControllerWithClass(const std::string& className);
  void getPhoneNumberSuccess(const std::string& phoneNumber) override;
  void gameCardItemViewController(GameCardItemViewController& picker, const std::string& itemName,
                                  const std::string& itemType) override;

  const std::string& rechargeCardName() const { return choices_.first.name; }
  const std::string& rechargeCardNameType() const { return choices_.first.code; }
  const std::string& rechargeMoney() const { return choices_.second.name; }
  const std::string& rechargeCardCode() const { return choices_.second.code; }
  const std::string& phoneNumber() const { return phoneNumber_; }
  const std::shared_ptr<platform::ui::TextField>& rechargeCardNameField() const { return choices_.first.field; }
  const std::shared_ptr<platform::ui::TextField>& rechargeMoneyField() const { return choices_.second.field; }
  const std::shared_ptr<platform::ui::TextField>& phoneNumberField() const { return phoneNumberField_; }
  const std::shared_ptr<platform::ui::Button>& nextButton() const { return nextButton_; }
  const std::shared_ptr<CustomTableView>& tableView() const { return gameCardRechargeTableView_; }
  const std::optional<TradeInquiryReturnData>& inquiryData() const { return inquiryData_; }
  bool isInquiryRunning() const { return inquiry_.isRunning(); }

  // --- table ---
  std::optional<int> numberOfSections(platform::ui::TableView& table) override;
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForHeader(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& table, int section) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  void touchUpInsideEndedCustomTableView(CustomTableView& table) override;

  // --- fields ---
  void didBeginEditing(platform::ui::TextField& field) override;
  void didEndEditing(platform::ui::TextField& field) override;
  std::optional<bool> shouldChangeCharacters(platform::ui::TextField& field, platform::Range16 range,
                                             const std::string& replacement) override;
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override;

 private:
  std::shared_ptr<platform::ui::TextField> choiceField();
  void scrollTo(double y);

  // The card type and its denomination.
  BillChoicePair choices_;
  std::string phoneNumber_;
  std::shared_ptr<platform::ui::TextField> phoneNumberField_;
  std::shared_ptr<platform::ui::Button> nextButton_;
  std::shared_ptr<CustomTableView> gameCardRechargeTableView_;
  std::optional<TradeInquiryReturnData> inquiryData_;
  BillInquiry inquiry_;
};

}  // namespace nvx
