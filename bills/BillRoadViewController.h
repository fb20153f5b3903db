// The business-form road shared by the bill-number payment, the Taobao (Alipay trade) payment, the
// Tenpay top-up and the direct account charge: the payment form of the card payment core with a
// business's texts and flags; Next checks the form, runs the reader gate, asks the server what the
// payment costs (the inquiry runs behind the blocking spinner, the main loop keeps going), and on
// a bill with a serial number and a price opens the card pay screen with the summary and the
// prepared commit. Each business says how it differs through the hooks below.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "bills/BillFormParts.h"
#include "bills/BillPayScreen.h"
#include "bills/BillsOperations.h"
#include "pay/PaymentBaseViewController.h"
#include "pay/TradeInquiryReturnData.h"
#include "platform/ui/Label.h"

namespace nvx {

class BillRoadViewController : public PaymentBaseViewController {
 public:
  // What tells the four forms apart besides their hooks.
  struct Texts {
    const char* title;
    const char* numberLabel;
    const char* numberPlaceholder;
    const char* moneyLabel;
    const char* moneyPlaceholder;
    bool isNeedPhoneNumber;
    bool isOptionalOfPhoneField;
    const char* header0;
    const char* header1;        // nullptr: no header
    const char* introduction;   // nullptr: no introduction text
  };

  void viewDidLoad() override;
  void theNextStep() override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& table, int section) override;

  // The inquiry (after the gate said YES).
  void queryTrans();
  // Builds and pushes the card pay screen with the prepared commit.
  void initSwipeViewController();

  const std::optional<TradeInquiryReturnData>& inquiryData() const { return inquiryData_; }
  const std::shared_ptr<platform::ui::Label>& introductionLabel() const { return introductionLabel_; }
  bool isInquiryRunning() const { return inquiry_.isRunning(); }

 protected:
  virtual Texts texts() const = 0;
  // The localized key of the first failed check, or nothing.
  virtual std::optional<std::string> checkForm() const = 0;
  virtual BillFields inquiryFields() const = 0;
  // The inquiry's data arrived (before inquiryData is replaced).
  virtual void inquiryReplied(const platform::Json& /*data*/) {}
  // Everything of the pay screen; the class is the card pay screen.
  virtual BillPayScreen payScreen() const = 0;

  // The amount typed, in fen; nothing for an empty or unusable amount.
  std::optional<int64_t> amountFen() const;
  // The amount check: the amount is a number above 0.
  bool amountIsPositive() const;
  static std::string localized(const char* key);

 private:
  std::optional<TradeInquiryReturnData> inquiryData_;
  std::shared_ptr<platform::ui::Label> introductionLabel_;
  BillInquiry inquiry_;
};

}  // namespace nvx
