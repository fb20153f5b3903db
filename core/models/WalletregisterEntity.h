// The wallet registration's reply ("retData" of "walletregister"): the new user's id, session
// token and virtual terminal id. Registration keeps it in the session and hands it to the wallet's
// pay-password screen.
#pragma once
#include <string>

#include "platform/foundation/Json.h"

namespace nvx {

class WalletregisterEntity {
 public:
  WalletregisterEntity() = default;
  // The three texts of the object (a number in its text form); anything else gives empty fields.
  static WalletregisterEntity initWithJson(const platform::Json& json);

  const std::string& userId() const { return userId_; }
  void setUserId(std::string v) { userId_ = std::move(v); }
  const std::string& userToken() const { return userToken_; }
  void setUserToken(std::string v) { userToken_ = std::move(v); }
  const std::string& psamNo() const { return psamNo_; }
  void setPsamNo(std::string v) { psamNo_ = std::move(v); }

 private:
  std::string userId_;
  std::string userToken_;
  std::string psamNo_;
};

}  // namespace nvx
