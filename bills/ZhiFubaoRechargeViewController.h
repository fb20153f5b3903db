// The Alipay recharge code bought by card (business type 8): the amount first, then the mobile
// number that receives the code; the road of the bill forms (checks, reader gate, inquiry behind
// the spinner, summary, stored commit, card pay screen); a footer opens the business's description.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "bills/BillFormParts.h"
#include "pay/TradeInquiryReturnData.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/WebView.h"

namespace nvx {

class ZhiFubaoRechargeViewController : public NVXViewController,
                                       public platform::ui::TableViewDataSource,
                                       public platform::ui::TableViewDelegate,
                                       public platform::ui::TextFieldDelegate,
                                       public CustomTableViewDelegate {
 public:
  static constexpr const char* kClassName = "ZhiFubaoRechargeViewController";
  static constexpr int kPhoneTag = 100;
  static constexpr int kMoneyTag = 101;

  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  void theNextStep();
  // The inquiry (after the gate said YES).
  void queryTrans();
  void initSwipeViewController();
  // The description page.
  void gotoZhiFubaoInfo();
  // The list of codes bought (no control sends it).
  void chargeCodeButtonPressed();
  void getPhoneNumberSuccess(const std::string& phoneNumber) override;

  const std::string& money() const { return money_; }
  const std::string& phone() const { return phone_; }
  const std::shared_ptr<platform::ui::TextField>& moneyField() const { return moneyField_; }
  const std::shared_ptr<platform::ui::TextField>& phoneField() const { return phoneField_; }
  const std::shared_ptr<platform::ui::Button>& nextButton() const { return nextButton_; }
  const std::shared_ptr<platform::ui::Button>& infoButton() const { return infoButton_; }
  const std::optional<TradeInquiryReturnData>& inquiryData() const { return inquiryData_; }
  bool isInquiryRunning() const { return inquiry_.isRunning(); }

  // --- table ---
  std::optional<int> numberOfSections(platform::ui::TableView& table) override;
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForHeader(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& table, int section) override;
  std::optional<double> heightForFooter(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForFooter(platform::ui::TableView& table, int section) override;
  void touchUpInsideEndedCustomTableView(CustomTableView& table) override;

  // --- fields ---
  void didBeginEditing(platform::ui::TextField& field) override;
  void didEndEditing(platform::ui::TextField& field) override;
  std::optional<bool> shouldChangeCharacters(platform::ui::TextField& field, platform::Range16 range,
                                             const std::string& replacement) override;
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override;

 private:
  std::shared_ptr<platform::ui::TextField> createTextFieldDefaultTip(std::string_view tip, int tag);
  void scrollTo(double y);

  std::string money_;
  std::string phone_;
  std::shared_ptr<platform::ui::TextField> moneyField_;
  std::shared_ptr<platform::ui::TextField> phoneField_;
  std::shared_ptr<platform::ui::View> moneyKeypad_;
  std::shared_ptr<platform::ui::Button> nextButton_;
  std::shared_ptr<platform::ui::Button> infoButton_;
  std::shared_ptr<platform::ui::Label> introductionLabel_;
  std::shared_ptr<CustomTableView> zhiFubaoTableView_;
  std::optional<TradeInquiryReturnData> inquiryData_;
  BillInquiry inquiry_;
};

// The description of the Alipay recharge-code business, as the server gives it.
class ZhiFuBaoIntroViewController : public NVXViewController {
 public:
  static constexpr const char* kClassName = "ZhiFuBaoIntroViewController";
  static constexpr const char* kTitle = "支付宝充值业务说明";

  ZhiFuBaoIntroViewController();
  std::string className() const override { return kClassName; }
  void viewDidLoad() override;
  void startLoad();
  const std::shared_ptr<platform::ui::WebView>& webview() const { return webview_; }

 private:
  std::shared_ptr<platform::ui::WebView> webview_;
};

}  // namespace nvx
