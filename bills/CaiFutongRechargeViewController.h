// Top-up of a Tenpay account (business type 7); the inquiry names the account's holder.
#pragma once
#include "bills/BillRoadViewController.h"

namespace nvx {

class CaiFutongRechargeViewController : public BillRoadViewController {
 public:
  static constexpr const char* kClassName = "CaiFutongRechargeViewController";
  std::string className() const override { return kClassName; }
  void viewDidLoad() override;
  // The account holder's name the inquiry answered (empty when it gave none).
  const std::string& accountName() const { return accountName_; }

 protected:
  Texts texts() const override;
  std::optional<std::string> checkForm() const override;
  BillFields inquiryFields() const override;
  BillPayScreen payScreen() const override;
  void inquiryReplied(const platform::Json& data) override;

 private:
  std::string accountName_;
};

}  // namespace nvx
