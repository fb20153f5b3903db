// The pay screen of businesses that may be paid by card (swipe and PIN) or from the wallet, with
// or without red packets. A business screen stores its commit in Tools, configures this screen as
// it would the swipe screen and pushes it. Below the summary the screen shows the card rows only,
// the wallet section only, or both sections under expandable headers of which at most one is open.
// Done checks the entry, decides the pay type (PR card; ZX balance; ZH red packets; XH both),
// completes the stored request and sends it; the lottery's entry hands the signed wallet fields
// back instead of sending them.
//
// Money rules as on the swipe screen: a commit whose outcome is open (time-out, lost connection,
// 502/504, "1030") shows only the time-out page and is never sent again by the screen itself.
// Amounts are whole fen; the wallet fields carry yuan decimal texts.
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/BusinessTypeScreen.h"
#include "app/ui/CustomTableView.h"
#include "app/ui/NVXBaseViewController.h"
#include "app/ui/NVXKeyboardView.h"
#include "app/ui/SwipeAnimationView.h"
#include "app/ui/TransactionInfoSource.h"
#include "app/ui/TransactionInfoView.h"
#include "pay/CardPayScreen.h"
#include "pay/CardSwipeStatusView.h"
#include "pay/MultiPayOperations.h"
#include "pay/PayReply.h"
#include "pay/PayScreenSetup.h"
#include "pay/PayTableHeaderView.h"
#include "pay/SwipeCommon.h"
#include "pay/SwipeViewController.h"
#include "pay/Tools.h"
#include "pay/WalletManager.h"
#include "pay/WalletScreens.h"
#include "platform/foundation/Json.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

namespace nvx {

namespace reader {
class DHSwiperController;
}

// The pay screens with sections share this base; it adds nothing to the form screen.
class NVXBasePayViewController : public NVXBaseViewController {};
// Pay screens of one kind each that nothing opens yet.
class NVXWalletPayViewController : public NVXBasePayViewController {};
class NVXSwipePayViewController : public NVXBasePayViewController {};

// The lottery screen that opened the multi-pay screen takes the signed wallet fields.
class LotteryPayDelegate {
 public:
  virtual ~LotteryPayDelegate() = default;
  virtual void confirmWithDictionary(const std::vector<platform::net::PostField>& dictionary) = 0;
};

class NVXMultPayViewController : public CardPayScreen<NVXBasePayViewController>,
                                 public BusinessTypeScreen,
                                 public platform::ui::TableViewDataSource,
                                 public platform::ui::TableViewDelegate,
                                 public PayTableHeaderViewExpandDelegate,
                                 public WalletManagerDelegate,
                                 public ActivationWalletDelegate,
                                 public PayScreenSetup {
 public:
  static constexpr const char* kClassName = PayScreenSetup::kMultPayClassName;
  static constexpr int kFeeAlertTag = 201;
  static constexpr int kReaderAlertTag = 202;
  static constexpr int kActivateFromDoneAlertTag = 204;
  static constexpr int kActivateFromRechargeAlertTag = 205;
  static constexpr const char* kNotActivated = "您的钱包未激活,请激活您的钱包";
  static constexpr const char* kInsertReader = "请插入刷卡器";
  static constexpr const char* kBalanceLow = "余额不足，请先充值";
  static constexpr const char* kRedPacketTooMuch = "红包面额不能超过支付金额，请重新选择";
  static constexpr const char* kWalletPinPlaceholder = "请输入钱包支付密码";
  static constexpr const char* kCardLimitTitle = "转出卡张数受限";
  // Screens of the wallet, opened by class name.
  static constexpr const char* kRechargeClassName = "RechargeViewController";
  static constexpr const char* kActivationClassName = "ActivationWalletViewController";
  static constexpr const char* kRedPacketChooserClassName = "ChooseRedPageViewController";

  // The wallet rows sit lower: a field is lifted from a little further down.
  NVXMultPayViewController() : CardPayScreen(150) {}
  static std::shared_ptr<NVXMultPayViewController> create();
  std::string className() const override { return kClassName; }

  // --- configuration, as on the swipe screen ---
  // The forms' setup reaches the card part's configuration through this override.
  void customizeSwipeViewWithNavTitle(std::optional<std::string> navTitle, std::optional<std::string> swipeHeader,
                                      std::optional<std::string> cardPlaceholder,
                                      std::optional<std::string> passwordPlaceholder, std::optional<std::string> tips,
                                      std::optional<std::string> doneButtonTitle, int businessType) override {
    CardPayScreen::customizeSwipeViewWithNavTitle(std::move(navTitle), std::move(swipeHeader),
                                                  std::move(cardPlaceholder), std::move(passwordPlaceholder),
                                                  std::move(tips), std::move(doneButtonTitle), businessType);
  }
  int businessType() const override { return texts_.businessType; }

  // --- the lottery's entry: a wallet-only screen of type 21 that hands the signed fields back ---
  static std::shared_ptr<NVXMultPayViewController> initWithDictionary(const platform::Json& order,
                                                                      std::weak_ptr<LotteryPayDelegate> delegate);
  void initLotteryTransactionViewWithDictionary(const platform::Json& order);
  // The 16 fields of a freshly completed and signed request (empty texts for those it lacks).
  std::vector<platform::net::PostField> lotteryTicketTransacationDic();
  static const std::vector<std::string>& lotteryTicketTransactionKeys();

  // --- life cycle ---
  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;

  // --- pay-method model ---
  bool isEnableWalletPay() const;
  bool isOnlyWalletPay() const;
  bool isWalletPayModel() const;
  bool isSwipeModel() const { return payType() == "PR"; }
  std::string payType() const;
  std::string redPacketType() const;

  // --- the flow ---
  void doneButtonPressed();
  void beginTransaction();
  void submit();
  void cancelButtonPressed();
  // The screen's fields of the commit for the current pay type (card or wallet); nothing when a
  // PIN block cannot be made. Also sets "paytype"/"famount" of the display data.
  std::optional<std::vector<platform::net::PostField>> adaptPayRequest();
  // The PIN block of the PIN field (card: the reader's PIK; wallet: the virtual terminal's).
  std::optional<std::string> encryptPassword() const;
  void goToSwipeTimeOutViewController(const std::vector<platform::net::PostField>& fields);
  // The statistics step of a wallet payment: the screen's identifier with the pay kind's suffix
  // ("qb", "hb", "qb_hb") in place of its step part.
  void pitchIdentifier(const std::string& suffix);

  // --- sections and side trips ---
  void onExpandStatusChanged(PayTableHeaderView& header) override;
  void theNextStep();
  void validDeviceToStartCSwiper();
  // The chooser's answer: total face value in fen and the gift ids.
  void choosenRedPacket(int64_t totalFen, std::vector<std::string> giftIds);
  void popToView(const std::string& tag) override;
  void onQueryPayInfosFailed() override;
  void onQueryWalletInfosCompleted() override;
  void onWalletRecharge() override;
  void onOnlySwipePay() override;

  // --- reader events ---
  void onDevicePlugged() override;
  void onDeviceUnplugged() override;

  // --- views' delegates ---
  void alertViewDidDismissWithButtonIndex(platform::ui::AlertView& alert, int index) override;

  // --- table ---
  std::optional<int> numberOfSections(platform::ui::TableView& table) override;
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  std::optional<double> heightForHeader(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& table, int section) override;
  std::optional<double> heightForFooter(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForFooter(platform::ui::TableView& table, int section) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;

  // --- data of the payment ---
  void setInfo(std::shared_ptr<TransactionInfoSource> info) override { info_ = std::move(info); }
  const std::shared_ptr<TransactionInfoSource>& info() const { return info_; }
  const platform::Json& transactionData() const { return transactionData_; }
  void setTransactionData(platform::Json data) override { transactionData_ = std::move(data); }
  void setEntry(std::shared_ptr<void> entry) { entry_ = std::move(entry); }
  void setCreditCardNumber(std::optional<std::string> n) { creditCardNumber_ = std::move(n); }
  void setOperations(std::shared_ptr<MultiPayOperations> operations) { operations_ = std::move(operations); }

  // --- what the screen shows and holds ---
  const std::shared_ptr<WalletManager>& walletManager() const { return walletManager_; }
  bool isDoublePayModel() const { return isDoublePayModel_; }
  bool isWalletPayExpand() const { return isWalletPayExpand_; }
  bool isSwipeExpand() const { return isSwipeExpand_; }
  int64_t payAmount() const { return payAmount_; }
  const std::shared_ptr<PayTableHeaderView>& walletPayHeader();
  const std::shared_ptr<PayTableHeaderView>& swipePayHeader();
  const std::shared_ptr<platform::ui::Button>& doneButton() const { return doneButton_; }
  const std::shared_ptr<platform::ui::Button>& cancel() const { return cancel_; }
  const std::shared_ptr<TransactionInfoView>& infoView() const { return infoView_; }

 private:
  std::shared_ptr<NVXMultPayViewController> selfMulti() {
    return std::static_pointer_cast<NVXMultPayViewController>(shared_from_this());
  }
  MultiPayOperations& operations();
  // The section is the wallet's (the only one of a wallet-only screen, else the first of two).
  bool isWalletSection(int section) const;
  void startCardReading();
  void showReaderAlert(const std::string& key);
  void showActivationAlert(int tag);
  void openActivation(const std::string& tagText);
  void openRecharge();
  void clearEntry();
  void hideIndicators();
  void hideProgress() override { hideIndicators(); }
  void reloadTable();
  void updateDoneEnabled();
  void route(const PayReply& reply, const std::vector<platform::net::PostField>& sent);
  void succeed(const PayReply& reply, const std::vector<platform::net::PostField>& sent);
  void fail(const std::string& message);
  void pushScreen(const std::shared_ptr<platform::ui::ViewController>& screen);
  void pop();
  std::shared_ptr<platform::ui::TableViewCell> cellWith(const std::shared_ptr<platform::ui::View>& content,
                                                        bool disclosure = false);

  // data of the payment
  std::shared_ptr<TransactionInfoSource> info_;
  platform::Json transactionData_ = platform::Json::object();
  std::shared_ptr<void> entry_;
  std::optional<std::string> creditCardNumber_;
  std::weak_ptr<LotteryPayDelegate> lotteryDelegate_;
  // working state
  std::shared_ptr<MultiPayOperations> operations_;
  std::shared_ptr<WalletManager> walletManager_;
  bool isDoublePayModel_ = false;
  bool isWalletPayExpand_ = false;
  bool isSwipeExpand_ = false;
  int64_t payAmount_ = 0;
  bool isReUpdateWalletInfos_ = false;
  Tools::FieldList origionTradeInfoArray_;
  std::string origionTradeUrl_;
  // views
  std::shared_ptr<TransactionInfoView> infoView_;
  std::shared_ptr<platform::ui::Button> doneButton_;
  std::shared_ptr<platform::ui::Button> cancel_;
  std::shared_ptr<PayTableHeaderView> walletPayHeader_;
  std::shared_ptr<PayTableHeaderView> swipePayHeader_;
};

}  // namespace nvx
