// The shared pay-by-card screen. A business screen creates it, configures its texts and business
// type, gives it the payment summary and the display data, stores its commit request in Tools and
// pushes it. The screen starts the reader through the reader hub, follows the reader's events in
// its card-status row, keeps the encrypted tracks and the random number of a good swipe, takes the
// PIN on its own keypad and, on Done, sends the stored request with the card fields and the PIN
// block; the reply leads to the receipt, the failure page, the time-out page or an alert.
//
// Money rules: a commit whose outcome is open (time-out, a lost connection after sending, HTTP 502
// or 504, "1030") shows only the time-out page: never the failure page, and the screen never sends
// the commit again by itself. Only a commit that never left (no connection made) shows the network
// failure text. A second Done while a commit is under way is ignored.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/BusinessTypeScreen.h"
#include "app/ui/CustomTableView.h"
#include "app/ui/NVXKeyboardView.h"
#include "app/ui/NVXViewController.h"
#include "app/ui/SwipeAnimationView.h"
#include "app/ui/TransactionInfoSource.h"
#include "pay/CardPayScreen.h"
#include "pay/CardSwipeStatusView.h"
#include "pay/PayOperations.h"
#include "pay/SwipeCommon.h"
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

class SwipeViewController;

// Told of a successful payment with the item the screen was given (group collections).
class SwipeViewDelegate {
 public:
  virtual ~SwipeViewDelegate() = default;
  virtual void swipeView(SwipeViewController& view, const std::shared_ptr<void>& entry) = 0;
};

class SwipeViewController : public CardPayScreen<NVXViewController>,
                            public BusinessTypeScreen,
                            public platform::ui::TableViewDataSource,
                            public platform::ui::TableViewDelegate {
 public:
  static constexpr const char* kClassName = "SwipeViewController";
  static constexpr const char* kSucceedNotification = "SwipeSucceedNotification";
  static constexpr const char* kBusinessTypeKey = "kBusinessType";
  static constexpr int kFeeAlertTag = 201;
  static constexpr int kReaderAlertTag = 202;
  static constexpr const char* kWaitingDevice = "等待设备...";
  static constexpr const char* kSwipeFirst = "请先刷卡";
  static constexpr const char* kWrongPin = "请输入正确的密码";
  static constexpr const char* kSwipeTimeout = swipe::kSwipeTimeout;
  static constexpr const char* kInterruptedText = "已中断";
  static constexpr const char* kUnknownDevice = swipe::kUnknownDevice;
  static constexpr const char* kSwipeAgain = "请重新刷卡";
  static constexpr const char* kLargeAmountText = swipe::kLargeAmountText;

  SwipeViewController() : CardPayScreen(140) {}
  static std::shared_ptr<SwipeViewController> create();
  std::string className() const override { return kClassName; }

  // --- configuration, once before the screen shows (customizeSwipeViewWithNavTitle...: the card part) ---
  int businessType() const override { return texts_.businessType; }

  // --- life cycle ---
  void viewDidLoad() override;

  // --- the flow ---
  // The Done rule: a swipe first, the PIN rule of the type, then the fee inquiry (type 1) or the
  // commit. A business that sends its own requests checks its form first and then calls this.
  virtual void doneButtonPressed();
  // Checks the terminal's PIN key and sends the commit; a business that sends its own requests
  // replaces it.
  virtual void submit();
  void cancelButtonPressed();
  void bigPayOpen();
  void showTip();
  void handleWalletTransferCardNumLimit();
  void handleTransferPerLimit();
  // The time-out page for the fields of a sent request.
  void goToSwipeTimeOutViewController(const std::vector<platform::net::PostField>& fields);

  // --- clearing ---
  void stopSwipeAndClearup();
  void clearMsg();
  void clearInfo();
  void clearTfandMsf();
  void clearAndRePrepareStatus();

  // --- reader events ---
  void onDevicePlugged() override;
  void onDeviceUnplugged() override;
  void onWaitingForDevice() override;
  void onGetKsnCompleted(const std::string& ksn) override;

  // --- views' delegates ---
  void alertViewDidDismissWithButtonIndex(platform::ui::AlertView& alert, int index) override;

  // --- table ---
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForHeader(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& table, int section) override;

  // --- data of the payment ---
  const std::shared_ptr<TransactionInfoSource>& info() const { return info_; }
  void setInfo(std::shared_ptr<TransactionInfoSource> info) { info_ = std::move(info); }
  const platform::Json& transactionData() const { return transactionData_; }
  void setTransactionData(platform::Json data) { transactionData_ = std::move(data); }
  const std::shared_ptr<void>& entry() const { return entry_; }
  void setEntry(std::shared_ptr<void> entry) { entry_ = std::move(entry); }
  const std::optional<std::string>& creditCardNumber() const { return creditCardNumber_; }
  void setCreditCardNumber(std::optional<std::string> n) { creditCardNumber_ = std::move(n); }
  std::shared_ptr<SwipeViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<SwipeViewDelegate> d) { delegate_ = std::move(d); }
  void setTrack(std::string t) { track_ = std::move(t); }
  void setRandomNumber(std::string r) { randomNumber_ = std::move(r); }
  // The server operations (the main API unless a test gives others).
  void setOperations(std::shared_ptr<PayOperations> operations) { operations_ = std::move(operations); }

  // --- what the screen shows and holds ---
  const std::optional<std::string>& navTitle() const { return texts_.navTitle; }
  const std::optional<std::string>& cardPlaceholder() const { return texts_.cardPlaceholder; }
  const std::optional<std::string>& passwordPlaceholder() const { return texts_.passwordPlaceholder; }
  const std::optional<std::string>& doneButtonTitle() const { return texts_.doneButtonTitle; }
  const std::shared_ptr<platform::ui::Label>& commentLabel() const { return texts_.commentLabel; }
  const std::shared_ptr<platform::ui::Button>& doneButton() const { return doneButton_; }
  const std::shared_ptr<platform::ui::Button>& cancel() const { return cancel_; }
  bool isFeeInquiryRunning() const { return feeInquiryRunning_; }
  const std::shared_ptr<platform::ui::AlertView>& feeAlert() const { return feeAlert_; }

  // The PIN rule of a business type: true when an empty PIN is refused.
  static bool isPinRequired(int businessType);

 protected:
  // The card fields of the swipe; nothing when a six-digit PIN cannot be enciphered (no PIN key).
  std::optional<CardFields> cardFields() const;
  // The reader alert (key "SwipeNotRead", tag 202) with this screen as its delegate.
  void showReaderAlert();

 private:
  std::shared_ptr<SwipeViewController> selfSwipe() {
    return std::static_pointer_cast<SwipeViewController>(shared_from_this());
  }
  PayOperations& operations();
  void hideProgress() override { stopSwipeAndClearup(); }
  // Starts the reader when one is present and idle; else the reader alert or the prompt.
  void startReaderIfPresent();
  void feeInquiryAnswered(const PayReply& reply);
  void route(const PayReply& reply, const std::vector<platform::net::PostField>& sent);
  void succeed(const PayReply& reply, const std::vector<platform::net::PostField>& sent);
  void fail(const std::string& message);
  void pushScreen(const std::shared_ptr<platform::ui::ViewController>& screen);

  // data of the payment
  std::shared_ptr<TransactionInfoSource> info_;
  platform::Json transactionData_ = platform::Json::object();
  std::shared_ptr<void> entry_;
  std::optional<std::string> creditCardNumber_;
  std::weak_ptr<SwipeViewDelegate> delegate_;
  // working state
  bool feeInquiryRunning_ = false;
  std::shared_ptr<platform::ui::AlertView> feeAlert_;
  std::shared_ptr<PayOperations> operations_;
  // views
  std::shared_ptr<platform::ui::View> infoView_;
  std::shared_ptr<platform::ui::Button> doneButton_;
  std::shared_ptr<platform::ui::Button> cancel_;
};

}  // namespace nvx
