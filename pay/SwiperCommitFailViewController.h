// The failure page: shown when the server refused a payment or the request could not be sent.
// It repeats what the user tried to pay (rows chosen by the business type from the display
// data), under a failure icon and the error text, and offers to try again, query again (balance
// inquiry), go home, or, for a merchant checkout, go back to the merchant.
//
// It never tells a calling app that the payment completed: the way back to another app or a
// merchant always carries the failure.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/NVXViewController.h"
#include "app/ui/TransactionInfoSource.h"
#include "platform/foundation/Json.h"

namespace nvx {

class SwiperCommitFailViewController : public NVXViewController {
 public:
  static constexpr const char* kClassName = "SwiperCommitFailViewController";
  static constexpr const char* kTitle = "交易失败";

  static std::shared_ptr<SwiperCommitFailViewController> create();
  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  // The rows and the fallback failure text of a business type, from the display data.
  struct Content {
    TransactionInfoSource::Rows rows;
    std::optional<std::string> fallback;
  };
  static Content contentFor(int businessType, const platform::Json& transactionData);

  // Back one screen (to the pay screen).
  void continueCheck();
  // Back past the pay screen to the business form (the third screen from the top).
  void reCommit();
  // Type 11: as reCommit; any other: the root screen.
  void doneButtonPressed();
  // Back to the calling app with the failure; outside a call, type 14 answers the older
  // checkout's merchant with the failure and every type goes to the root screen.
  void backCheckout();

  int businessType() const { return businessType_; }
  void setBusinessType(int type) { businessType_ = type; }
  const platform::Json& transactionData() const { return transactionData_; }
  void setTransactionData(platform::Json data) { transactionData_ = std::move(data); }
  const std::optional<std::string>& failResultStr() const { return failResultStr_; }
  void setFailResultStr(std::optional<std::string> text) { failResultStr_ = std::move(text); }
  const platform::Json& retData() const { return retData_; }
  void setRetData(platform::Json data) { retData_ = std::move(data); }
  const std::optional<std::string>& creditCardNumber() const { return creditCardNumber_; }
  void setCreditCardNumber(std::optional<std::string> number) { creditCardNumber_ = std::move(number); }

 private:
  void popBack(size_t screens);

  int businessType_ = 0;
  platform::Json transactionData_;
  std::optional<std::string> failResultStr_;
  platform::Json retData_;
  std::optional<std::string> creditCardNumber_;
};

}  // namespace nvx
