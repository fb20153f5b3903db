// Payment of a bill by its bill number (business type 2): the bill number, the amount and the
// mobile number that receives the payment's text message.
#pragma once
#include "bills/BillRoadViewController.h"

namespace nvx {

class BillNumberRemittanceVeiwController : public BillRoadViewController {
 public:
  static constexpr const char* kClassName = "BillNumberRemittanceVeiwController";
  std::string className() const override { return kClassName; }

 protected:
  Texts texts() const override;
  std::optional<std::string> checkForm() const override;
  BillFields inquiryFields() const override;
  BillPayScreen payScreen() const override;

};

}  // namespace nvx
