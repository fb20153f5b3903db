// The receipt: the page every successful card or wallet payment ends on. It lists the
// transaction as label/value rows in a white card under a success icon and a one-line success
// text (the rows and texts of its business type, ReceiptRows), offers the buttons of its type
// (back to the business, home, continue), shows the business's marketing item in a box below
// them and, after a credit-card repayment, commits the repayment reminder the form prepared.
//
// The page is left only through its own buttons. Nothing that happens after the payment (the
// marketing request, a tap on the marketing box, the reminder) changes what the page says about
// the payment: a failed marketing request is a prompt, the rows stay.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/BusinessTypeScreen.h"
#include "app/ui/NVXViewController.h"
#include "app/ui/TransactionInfoSource.h"
#include "pay/MarketingEntity.h"
#include "pay/PayResultScreen.h"
#include "pay/ReceiptOperations.h"
#include "platform/foundation/Json.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"

namespace nvx {

class SwipeResultViewController : public NVXViewController, public BusinessTypeScreen, public PayResultScreen {
 public:
  static constexpr const char* kClassName = PayResultScreen::kReceiptClassName;
  // The business code of the mall, opened when no mall screen is on the stack.
  static constexpr const char* kMallBusinessCode = "B00015";

  static std::shared_ptr<SwipeResultViewController> create();
  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  // --- inputs, set before the screen shows ---
  int businessType() const override { return businessType_; }
  void setBusinessType(int type) override { businessType_ = type; }
  const platform::Json& transactionData() const { return transactionData_; }
  void setTransactionData(platform::Json data) override { transactionData_ = std::move(data); }
  const platform::Json& retData() const { return retData_; }
  void setRetData(platform::Json data) override { retData_ = std::move(data); }
  const std::string& transactionBusId() const { return transactionBusId_; }
  void setTransactionBusId(std::string busid) override { transactionBusId_ = std::move(busid); }
  // retStatus: only its errMsg is shown (type 10).
  const std::optional<std::string>& retStatusErrMsg() const { return retStatusErrMsg_; }
  void setRetStatus(std::string retCode, std::string errMsg) override;
  const std::optional<std::string>& creditCardNumber() const { return creditCardNumber_; }
  void setCreditCardNumber(std::optional<std::string> number) override { creditCardNumber_ = std::move(number); }
  // The server operation (the main API unless a test gives another).
  void setOperations(std::shared_ptr<ReceiptOperations> operations) { operations_ = std::move(operations); }

  // --- what the page shows ---
  const TransactionInfoSource::Rows& rows() const { return rows_; }
  const std::optional<std::string>& successText() const { return successText_; }
  const std::shared_ptr<platform::ui::ScrollView>& scrollView() const { return scrollView_; }
  const std::shared_ptr<platform::ui::Label>& marketingLb() const { return marketingLb_; }
  const std::optional<MarketingEntity>& marketingEntity() const { return marketingEntity_; }

  // Label factories: grey 14-point row labels; any-line labels of a given size.
  static std::shared_ptr<platform::ui::Label> labelWithFrame(platform::ui::Rect frame, std::string_view text);
  static std::shared_ptr<platform::ui::Label> lableFrame(platform::ui::Rect frame, std::string_view text,
                                                         double titleSize);
  bool isAdaptWalletPay() const;

  // --- button actions ---
  // Back to the paid business's own screen through the home screen; home when it has none.
  void backBussiness();
  // Back to the calling app when another app opened the client; otherwise the root screen.
  void backHomeView();
  // Back one screen (the pay screen).
  void continueCheck();
  // Back to the credit-card repayment form on the stack, else the root screen.
  void backToCreditCard();
  // Back to the wallet recharge screen on the stack; nothing without one.
  void backWhenLotteryTicket();
  // Back to the weekly specials or member zone on the stack, else home and the mall.
  void backToMallIndex();
  // Opens the marketing item (or, without one, only returns home).
  void marketingOpen();
  // Asks for the business's marketing item.
  void requestAdvertise();

  // --- further ways back no control of the page uses ---
  void doneButtonPressed();
  void backPayView();
  void backMainLotteryTicket();
  void backWhenNoNeedToRootViewController();
  void backToWalletRecharge();

 private:
  ReceiptOperations& operations();
  std::shared_ptr<platform::ui::NavigationController> navigation() const;
  // Pops to the first screen (from the bottom) of one of the classes; false when none is there.
  bool popToClass(std::initializer_list<std::string_view> classNames, bool animated);
  double layoutButtons(platform::ui::View& content, double y);

  int businessType_ = 0;
  platform::Json transactionData_ = platform::Json::object();
  platform::Json retData_;
  std::string transactionBusId_;
  std::optional<std::string> retStatusErrMsg_;
  std::optional<std::string> creditCardNumber_;
  std::shared_ptr<ReceiptOperations> operations_;

  TransactionInfoSource::Rows rows_;
  std::optional<std::string> successText_;
  std::shared_ptr<platform::ui::ScrollView> scrollView_;
  std::shared_ptr<platform::ui::Label> marketingLb_;
  std::optional<MarketingEntity> marketingEntity_;
};

}  // namespace nvx
