// Direct charge of an account (business type 9), with an optional text message to a mobile
// number.
#pragma once
#include "bills/BillRoadViewController.h"

namespace nvx {

class AccountDirectChargeViewController : public BillRoadViewController {
 public:
  static constexpr const char* kClassName = "AccountDirectChargeViewController";
  std::string className() const override { return kClassName; }
  // The SMS switch: the phone row comes or goes, and the button and the text below move with it.
  void toSetSendSMSNotification() override;

 protected:
  Texts texts() const override;
  std::optional<std::string> checkForm() const override;
  BillFields inquiryFields() const override;
  BillPayScreen payScreen() const override;

};

}  // namespace nvx
