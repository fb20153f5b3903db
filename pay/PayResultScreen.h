// What the pay screens hand the result pages they open by class name (the receipt and the
// older checkout's result page): the business type, the display data, the reply's data and, for
// the receipt, the committed business code, the reply status (transfers) and the card number of
// a repayment.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/TransactionInfoSource.h"
#include "platform/foundation/Json.h"

namespace nvx {

class PayResultScreen {
 public:
  static constexpr const char* kReceiptClassName = "SwipeResultViewController";
  static constexpr const char* kCheckoutResultClassName = "CheckoutResultViewControllerViewController";

  virtual ~PayResultScreen() = default;
  virtual void setBusinessType(int type) = 0;
  virtual void setTransactionData(platform::Json data) = 0;
  virtual void setRetData(platform::Json data) = 0;
  // The receipt's.
  virtual void setTransactionBusId(std::string /*busid*/) {}
  virtual void setRetStatus(std::string /*retCode*/, std::string /*errMsg*/) {}
  virtual void setCreditCardNumber(std::optional<std::string> /*number*/) {}
  // The checkout result's summary.
  virtual void setInfo(std::shared_ptr<TransactionInfoSource> /*info*/) {}
};

}  // namespace nvx
