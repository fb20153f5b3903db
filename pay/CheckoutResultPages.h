// The result pages of a merchant checkout, shown by the pay screens after a successful commit:
// the summary box, a white card with the outcome ("支付成功" with the card, amount, time and
// reference rows, or "服务器错误" when the reply carried no data) and the "Redirect" button that
// answers the merchant "Completion" and leads home.
//
// NVXCheckoutResultViewController follows the wallet road (business type 35),
// CheckoutResultViewControllerViewController the card road (business type 14) of both checkouts.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/NVXViewController.h"
#include "app/ui/TransactionInfoSource.h"
#include "pay/PayResultScreen.h"
#include "platform/foundation/Json.h"
#include "platform/ui/Button.h"

namespace nvx {

class CheckoutResultPage : public NVXViewController, public PayResultScreen {
 public:
  static constexpr const char* kSucceeded = "支付成功";
  static constexpr const char* kServerError = "服务器错误";

  void viewDidLoad() override;

  void setBusinessType(int type) override { businessType_ = type; }
  void setTransactionData(platform::Json data) override { transactionData_ = std::move(data); }
  void setRetData(platform::Json data) override { retData_ = std::move(data); }
  void setInfo(std::shared_ptr<TransactionInfoSource> info) override { info_ = std::move(info); }

  // The heading and rows of the reply (handleDatas).
  void handleDatas();
  const std::string& prompt() const { return prompt_; }
  const TransactionInfoSource::Rows& source() const { return source_; }
  const std::shared_ptr<platform::ui::Button>& redirectButton() const { return redirectButton_; }

  // Answers the merchant "Completion" and leads home.
  void doneButtonPressed();

 private:
  int businessType_ = 0;
  platform::Json transactionData_ = platform::Json::object();
  platform::Json retData_;
  std::shared_ptr<TransactionInfoSource> info_;
  std::string prompt_;
  TransactionInfoSource::Rows source_;
  std::shared_ptr<platform::ui::Button> redirectButton_;
};

class NVXCheckoutResultViewController : public CheckoutResultPage {
 public:
  static constexpr const char* kClassName = "NVXCheckoutResultViewController";
  std::string className() const override { return kClassName; }
};

class CheckoutResultViewControllerViewController : public CheckoutResultPage {
 public:
  static constexpr const char* kClassName = PayResultScreen::kCheckoutResultClassName;
  std::string className() const override { return kClassName; }
};

}  // namespace nvx
