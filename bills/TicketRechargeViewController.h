// Puts money on the user's lottery account by bank card. The user types an amount in yuan; the
// lottery server makes an order for it (1213 -> 2213 over the lottery stub), the order becomes a
// bill on the main API ("createBill"), the bill is queried ("M50005") and paid on the shared
// swipe screen ("M20013", business type 21). The receipt brings the user back here (or to the
// bet-list screen that opened this one); Back leaves the modal presentation.
//
// Each step starts only from the success of the one before; a failure leaves the form as it was,
// amount kept, ready for a new Next. While needClearView is set the amount is emptied whenever
// the form is shown (the base sets it when the view loads, the form again when it opens the pay
// screen; the reader-model chooser clears it so the amount survives that detour).
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "bills/LotteryTopUpOperations.h"
#include "lottery/core/MStubBase.h"
#include "lottery/core/TopUpOrder.h"
#include "pay/TradeInquiryReturnData.h"
#include "platform/ui/Button.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/WebView.h"

namespace nvx {

// Not called by this form; openers may set one.
class NavigationPopDelegate {
 public:
  virtual ~NavigationPopDelegate() = default;
};

class TicketRechargeViewController : public NVXViewController,
                                     public platform::ui::TableViewDataSource,
                                     public platform::ui::TableViewDelegate,
                                     public platform::ui::TextFieldDelegate,
                                     public platform::ui::WebViewDelegate,
                                     public CustomTableViewDelegate,
                                     public lottery::newDelegateRequest {
 public:
  static constexpr const char* kClassName = "TicketRechargeViewController";
  static constexpr const char* kTitle = "账户充值";
  static constexpr const char* kAmountLabel = "充值金额:";
  static constexpr const char* kAmountPlaceholder = "请输入金额";
  static constexpr const char* kRemindTitle = "提醒";
  static constexpr const char* kHotlinePrefix = "诺维萨客服热线：";
  static constexpr const char* kEmptyAmount = "输入正确的金额";
  static constexpr const char* kOrderFailed = "连接超时";
  static constexpr const char* kLoadingText = "加载中..";
  static constexpr int kPayBusinessType = 21;
  // The bet-list screens that may open this form, in the order the receipt's return looks at them.
  static constexpr const char* kColorBallClass = "ColorBallBuyController";
  static constexpr const char* kThreeDClass = "ThreeDBuyController";
  static constexpr const char* kDaLeTouClass = "DaLeTouBuyController";
  static constexpr const char* kAthleticsClass = "AthleticsBetViewController";

  TicketRechargeViewController() = default;
  // Takes its overlays off the window (a reply that comes after the form has gone finds nobody).
  ~TicketRechargeViewController() override;
  std::string className() const override { return kClassName; }
  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;
  void backButtonPressed() override { backButtonClicked(); }

  // --- the road ---
  void theNextStep();
  void getOrderIdFromJVQ();
  // The body of 1213 for the amount typed; an error when a field cannot be written.
  platform::Result<lottery::Bytes> makeData() const;
  void requestFinishedNew(const lottery::Bytes& data) override;
  using lottery::newDelegateRequest::requestFinishedNew;
  void getOrderIdFinished();
  void buildCheckBillUrl() { getOrderIdFinished(); }
  void createkBillRequestFinished(const LotteryTopUpOperations::CreatedBill& bill);
  void queryFeeRequestStart();
  void queryFeeRequestFinished(const platform::Json& data);
  void initWithSwiper();

  // --- the rest ---
  void send();
  void backButtonClicked();
  void telAction();
  void showErrorMessage(const std::string& text) { showPrompt(text, kPromptSeconds); }
  void viewRelease();
  // Hides every picture inside the view, at every depth.
  static void hideGradientBackground(platform::ui::View& view);

  // --- the bet-list screen that opened the form (not owned) ---
  void set_colorBallBuyController(std::weak_ptr<platform::ui::ViewController> s) { colorBallBuyController_ = std::move(s); }
  void set_threeDBuyController(std::weak_ptr<platform::ui::ViewController> s) { threeDBuyController_ = std::move(s); }
  void set_daLeTouBuyController(std::weak_ptr<platform::ui::ViewController> s) { daLeTouBuyController_ = std::move(s); }
  void set_athleticsBetViewController(std::weak_ptr<platform::ui::ViewController> s) { athleticsBetViewController_ = std::move(s); }
  // The class of the screen the receipt returns to.
  std::string popControllerClass() const;

  // --- settable, never read ---
  void setDelegate(std::weak_ptr<NavigationPopDelegate> d) { delegate_ = std::move(d); }
  void setPassword(std::string p) { password_ = std::move(p); }
  void setPayAmountUrl(std::string u) { payAmountUrl_ = std::move(u); }

  // --- state ---
  const std::shared_ptr<platform::ui::TextField>& amountTextField() const { return amountTextField_; }
  const std::shared_ptr<platform::ui::Button>& nextButton() const { return nextButton_; }
  const std::shared_ptr<platform::ui::Button>& hotlineButton() const { return hotlineButton_; }
  const std::shared_ptr<platform::ui::WebView>& remindStr() const { return remindStr_; }
  const std::optional<lottery::TopUpOrder>& order() const { return order_; }
  const std::string& billNo() const { return billNo_; }
  const std::string& cnSName() const { return cnSName_; }
  const std::optional<TradeInquiryReturnData>& inquiryData() const { return inquiryData_; }
  // Whether the road after the reader gate is under way (a second Next then does nothing).
  bool isBusy() const { return busy_; }

  // --- table, field, web view ---
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  void touchUpInsideEndedCustomTableView(CustomTableView& table) override { viewRelease(); }
  std::optional<bool> shouldChangeCharacters(platform::ui::TextField& field, platform::Range16 range,
                                             const std::string& replacement) override;
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override;
  bool webViewShouldStartLoad(platform::ui::WebView& webView, const platform::ui::WebRequest& request,
                              platform::ui::WebNavigationType type) override;
  void webViewDidStartLoad(platform::ui::WebView& webView) override;
  void webViewDidFinishLoad(platform::ui::WebView& webView) override;
  void webViewDidFailLoad(platform::ui::WebView& webView, const platform::ui::WebError& error) override;

 private:
  std::shared_ptr<TicketRechargeViewController> self() {
    return std::static_pointer_cast<TicketRechargeViewController>(shared_from_this());
  }
  std::shared_ptr<platform::ui::View> makeFooter();
  void endRoad();
  void hideLoadingText();
  std::string orderAmountYuan() const;

  std::shared_ptr<CustomTableView> tableView_;
  std::shared_ptr<platform::ui::TextField> amountTextField_;
  std::shared_ptr<platform::ui::Button> nextButton_;
  std::shared_ptr<platform::ui::Button> hotlineButton_;
  std::shared_ptr<platform::ui::WebView> remindStr_;
  std::shared_ptr<platform::ui::Hud> loadingText_;
  // The overlay while the lottery server makes the order.
  std::shared_ptr<platform::ui::Hud> orderHud_;

  std::optional<lottery::TopUpOrder> order_;
  std::string billNo_;
  std::string cnSName_;
  std::optional<TradeInquiryReturnData> inquiryData_;
  bool busy_ = false;

  std::weak_ptr<platform::ui::ViewController> colorBallBuyController_;
  std::weak_ptr<platform::ui::ViewController> threeDBuyController_;
  std::weak_ptr<platform::ui::ViewController> daLeTouBuyController_;
  std::weak_ptr<platform::ui::ViewController> athleticsBetViewController_;
  std::weak_ptr<NavigationPopDelegate> delegate_;
  std::string password_;
  std::string payAmountUrl_;
};

}  // namespace nvx
