// The data of a commit reply as the server sends it: card number, price, fee, amount, reference
// number, server time and serial number, each the reply's value in text form (no unit
// conversion; amounts stay fen as sent). Missing when the reply lacks the key.
#pragma once
#include <optional>
#include <string>

#include "platform/foundation/Json.h"

namespace nvx {

class TransactionReturnData {
 public:
  TransactionReturnData() = default;
  static TransactionReturnData initWithDictionary(const platform::Json& dictionary);

  const std::optional<std::string>& pan() const { return pan_; }
  void setPan(std::optional<std::string> v) { pan_ = std::move(v); }
  const std::optional<std::string>& price() const { return price_; }
  void setPrice(std::optional<std::string> v) { price_ = std::move(v); }
  const std::optional<std::string>& fee() const { return fee_; }
  void setFee(std::optional<std::string> v) { fee_ = std::move(v); }
  const std::optional<std::string>& amount() const { return amount_; }
  void setAmount(std::optional<std::string> v) { amount_ = std::move(v); }
  const std::optional<std::string>& sysref() const { return sysref_; }
  void setSysref(std::optional<std::string> v) { sysref_ = std::move(v); }
  const std::optional<std::string>& sytm() const { return sytm_; }
  void setSytm(std::optional<std::string> v) { sytm_ = std::move(v); }
  const std::optional<std::string>& sid() const { return sid_; }
  void setSid(std::optional<std::string> v) { sid_ = std::move(v); }

 private:
  std::optional<std::string> pan_;
  std::optional<std::string> price_;
  std::optional<std::string> fee_;
  std::optional<std::string> amount_;
  std::optional<std::string> sysref_;
  std::optional<std::string> sytm_;
  std::optional<std::string> sid_;
};

}  // namespace nvx
