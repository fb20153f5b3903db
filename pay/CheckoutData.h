// A merchant's order as the checkouts read it from the merchant app's call, and what both
// checkouts do alike with it: the bill creation's pairs, the pay screen's summary and
// configuration, and the stored commit.
//
// The order amount is a yuan text. It travels as fen to the bill creation and as yuan to the
// inquiry and the commit; it never passes through binary floating point. An order whose amount
// is not a yuan amount is refused as incomplete.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/NVXViewController.h"
#include "pay/AppSchedullerOperations.h"
#include "pay/TradeInquiryReturnData.h"
#include "platform/foundation/Json.h"
#include "platform/ui/ViewController.h"

namespace nvx {

// The older checkout's order.
struct CheckoutData {
  std::optional<std::string> merId;
  std::optional<std::string> orderId;
  std::optional<std::string> amount;
  std::optional<std::string> minCode;
  std::optional<std::string> expriredtime;
  std::optional<std::string> productName;
  std::optional<std::string> desc;
  std::optional<std::string> randnum;
  std::optional<std::string> redirectURL;
  std::optional<std::string> macType;
  std::optional<std::string> mac;
  std::optional<std::string> time;

  // Every key of the dictionary that names a member sets it (texts; numbers in digits).
  static CheckoutData initWithDictionary(const platform::Json& dictionary);
  // The twelve member names, in order.
  static const std::vector<std::string>& allKeys();
  std::optional<std::string>* memberNamed(const std::string& name);
  const std::optional<std::string>* memberNamed(const std::string& name) const;

  // merId, orderId, macType and mac all non-empty, and an amount that is a yuan amount.
  bool validateCheckoutData() const;
  // The amount in fen (0 when missing); nothing when it is not a yuan amount.
  std::optional<int64_t> amountFen() const;
  // The amount as yuan with two decimals ("12.34"); "0.00" when unusable.
  std::string amountYuan() const;
  // The bill creation's pairs: each member with a value, in order; the amount in fen (a missing
  // one as 0 when withMissingAmount).
  AppSchedullerOperations::Pairs billPairs(bool withMissingAmount = false) const;
};

// The newer checkout's order: the same members and the merchant code of the payment.
struct CheckoutBean : CheckoutData {
  std::optional<std::string> lpmercd;

  // From the call URL's pairs: a missing or blank macType is "2", a missing or blank lpmercd is
  // merId.
  static CheckoutBean fromPairs(const std::map<std::string, std::string>& pairs);
  // The order's pairs, lpmercd and the version "ver".
  AppSchedullerOperations::Pairs checkoutBillPairs() const;
};

// The pay screen of a checkout: made, given the summary, its texts and business type, the commit
// stored for it, and pushed on the application's stack. Nothing (logged) when its class is not
// registered or there is no stack.
struct CheckoutPayScreen {
  std::string className;
  int businessType = 14;
  std::string cnSName;
  std::string billno;
  TradeInquiryReturnData inquiry;
  std::optional<std::string> lpmercd;

  std::shared_ptr<platform::ui::ViewController> open(const CheckoutData& order) const;
};

// The reader gate the checkouts pass before a card payment: the base screen's swiperValid, unless
// a test has installed a gate of its own.
class CheckoutReaderGate {
 public:
  using Gate = std::function<void(NVXViewController& screen, NVXViewController::ValidCompletion done)>;
  static void run(NVXViewController& screen, NVXViewController::ValidCompletion done);
  // Empty: the real gate again.
  static void install(Gate gate);
};

// An alert without title whose two buttons run their actions (button 0 cancelAction, button 1
// okAction); one button when okTitle is missing.
void showCheckoutAlert(const std::string& message, const std::string& cancelTitle, std::function<void()> cancelAction,
                       std::optional<std::string> okTitle = std::nullopt, std::function<void()> okAction = {});

}  // namespace nvx
