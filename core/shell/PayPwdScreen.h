// What registration needs of the wallet's pay-password screen, which lives in a higher module:
// it is made by class name through ScreenRegistry ("PayPwdViewController") and, when it
// implements this interface, given the registration's reply before it is pushed. Until it is
// registered, registration ends on its own last screen (logged).
#pragma once

#include "core/models/WalletregisterEntity.h"

namespace nvx {

class PayPwdScreen {
 public:
  static constexpr const char* kClassName = "PayPwdViewController";

  virtual ~PayPwdScreen() = default;
  virtual void setResiterEntity(const WalletregisterEntity& entity) = 0;
};

}  // namespace nvx
