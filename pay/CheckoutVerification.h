// The older merchant checkout: a merchant app of the older kind opens the client with
// "scheme://merId;orderId;amount;mac;minCode;redirectURL;randnum". The application keeps one
// coordinator for the run and hands it every such order. It creates the bill, makes sure the user
// is logged in and the reader is ready, runs the bill inquiry (M50005), opens the swipe screen with
// business type 14 and the commit (M20013), and answers the merchant with
// "<redirectURL>://Completion" or "<redirectURL>://Failed", exactly once per order.
//
// While the coordinator waits for a reader, plugging one in starts the order again (a new bill);
// once its pay screen is up, or the merchant has been answered, reader events leave it alone.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/NVXViewController.h"
#include "core/shell/LoginScreen.h"
#include "net/NetService.h"
#include "pay/CheckoutData.h"
#include "pay/TradeInquiryReturnData.h"

namespace nvx {

class CheckoutVerification : public NVXViewController, public LoginViewControllerDelegate {
 public:
  static constexpr const char* kClassName = "CheckoutVerification";
  static constexpr const char* kLoginBoxTitle = "收银台";

  // The coordinator, with the order taken (valid).
  static std::shared_ptr<CheckoutVerification> initWithCheckoutData(const CheckoutData& order);
  std::string className() const override { return kClassName; }

  // Keeps the order and creates its bill, or refuses it ("Error_Data", answered Failed).
  void valid(const CheckoutData& order);
  bool validateCheckoutData() const { return checkoutData_.validateCheckoutData(); }
  // Creates the bill.
  void httpRequest();
  // true when logged in; otherwise opens the login screen.
  bool validateLogin();
  // After a successful login.
  void gotoViewOfBoxTitle(const std::string& boxTitle) override;
  void theNextStep() { gotoViewOfBoxTitle(kLoginBoxTitle); }
  // The bill inquiry, then the swipe screen.
  void swiperView();
  void initWithSwiper();
  // Answers the merchant: Completion with flag, else Failed. Nothing when this order has been
  // answered already.
  void redirect(bool flag);
  // A text-only prompt for 1.4 s.
  void showErrorMessage(const std::string& text);

  // A reader plugged in: the base screen's handling, then the order again while it waits for a
  // reader.
  void onDevicePlugged() override;

  const CheckoutData& checkoutData() const { return checkoutData_; }
  const std::string& billno() const { return billno_; }
  const std::string& cnSName() const { return cnSName_; }
  bool isBillCreated() const { return success_; }
  bool isAnswered() const { return answered_; }
  bool isPayScreenShown() const { return payScreenShown_; }

 private:
  // The reader gate, then next.
  void passGate(void (CheckoutVerification::*next)());
  // The reader hub's checkout delegate is dropped when it is this coordinator.
  void leaveReaderEvents();

  CheckoutData checkoutData_;
  std::string billno_;
  std::string cnSName_;
  TradeInquiryReturnData inquiry_;
  std::shared_ptr<NetService> request_;
  bool success_ = false;
  bool answered_ = false;
  bool payScreenShown_ = false;
  bool waitingForReader_ = false;
};

}  // namespace nvx
