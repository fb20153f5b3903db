// Payment of an Alipay trade (a Taobao purchase) by its trade number (business type 3).
#pragma once
#include "bills/BillRoadViewController.h"

namespace nvx {

class TaobaoPaymentViewController : public BillRoadViewController {
 public:
  static constexpr const char* kClassName = "TaobaoPaymentViewController";
  std::string className() const override { return kClassName; }

 protected:
  Texts texts() const override;
  std::optional<std::string> checkForm() const override;
  BillFields inquiryFields() const override;
  BillPayScreen payScreen() const override;

};

}  // namespace nvx
