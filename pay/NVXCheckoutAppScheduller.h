// The merchant checkout: a merchant's app hands an order to the client to be paid and is told
// afterwards, by URL, whether the checkout completed ("<redirectURL>://Completion") or not
// ("<redirectURL>://Failed").
//
// The road: call URL -> the order accepted -> login when needed -> the bill ("createBill") -> the
// means of payment the merchant accepts ("queryPayType") -> the bill inquiry (M50005) -> the
// multi-pay screen (business type 35) when the wallet or gift balance may pay, else the reader
// gate and the swipe screen (type 14) -> the commit -> the result page -> back to the merchant.
//
// The merchant is answered exactly once: "Completion" only after the result page of a successful
// payment; every cancel, refusal and failure on the way answers "Failed", and answering ends the
// client's serving of the call.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/NVXViewController.h"
#include "net/NetService.h"
#include "pay/AppScheduller.h"
#include "pay/CheckoutData.h"
#include "pay/TradeInquiryReturnData.h"

namespace nvx {

class NVXCheckoutViewController;

class NVXCheckoutAppScheduller : public AppScheduller {
 public:
  static constexpr const char* kClassName = "NVXCheckoutAppScheduller";
  // How merchant checkouts name themselves in callIdentifier.
  static constexpr const char* kCallIdentifier = "com.nuvexa.checkout";

  std::string className() const override { return kClassName; }

  // Reads and checks the order; an incomplete one gets the "Error_Data" alert, whose button
  // answers Failed.
  bool isAdapt() override;
  void scheduling() override;
  // Returns to the merchant: true when its URL was opened. No alert, no logout.
  bool callback() override;

  // Creates the bill; on success the coordinator takes over.
  void createBill();
  bool validateCheckoutData() const { return checkoutBean_ && checkoutBean_->validateCheckoutData(); }

  bool isFailed() const { return isFailed_; }
  void setIsFailed(bool failed) { isFailed_ = failed; }
  const std::optional<CheckoutBean>& checkoutBean() const { return checkoutBean_; }
  const std::shared_ptr<NVXCheckoutViewController>& checkoutCtrl() const { return checkoutCtrl_; }

  // The merchant's return URL.
  static std::string returnUrlOf(const std::string& redirectURL, bool failed);
  // Answers the merchant of the checkout being served through the router, when there is one:
  // failed unless success. False when no such checkout is being served.
  static bool answerServedCheckout(bool success);

 private:
  std::optional<CheckoutBean> checkoutBean_;
  std::shared_ptr<NVXCheckoutViewController> checkoutCtrl_;
  std::shared_ptr<NetService> billRequest_;
  bool isFailed_ = false;
};

// The checkout's coordinator once the bill exists (a base screen that is never shown itself).
class NVXCheckoutViewController : public NVXViewController {
 public:
  static constexpr const char* kClassName = "NVXCheckoutViewController";
  static constexpr const char* kInquiryLabel = "正在获取账单信息";

  static std::shared_ptr<NVXCheckoutViewController> create(CheckoutBean bean, std::string billno,
                                                           std::string cnSName);
  std::string className() const override { return kClassName; }

  // The accepted means of payment, then the pay screen of the right class.
  void theNextStep();
  // true when the merchant accepts the wallet or the gift balance.
  void walletPayValid(std::function<void(bool)> answer);
  // The bill inquiry, then the pay screen.
  void swiperViewWithClass(const std::string& payScreenClass);
  void initWithSwiperWithClass(const std::string& payScreenClass);
  // Answers the merchant: Completion with flag, else Failed.
  void redirect(bool flag);

  const CheckoutBean& checkoutBean() const { return checkoutBean_; }
  const std::string& billno() const { return billno_; }
  const std::string& cnSName() const { return cnSName_; }

 private:
  CheckoutBean checkoutBean_;
  std::string billno_;
  std::string cnSName_;
  TradeInquiryReturnData inquiry_;
};

}  // namespace nvx
