// The reply of a bill or fee inquiry (the "retData" object of queryTrans or queryRemitTrans):
// what the server found, the amount the card will be charged and the fee. The inquiry's serial
// number `sid` goes back in the commit as "srcsid".
//
// Every field is text and missing when the reply lacks the key. price and fee come in fen and
// are held as yuan with six decimals (1234 fen: "12.340000"); a price or fee that is not a whole,
// non-negative number of fen within PayMoney::kMaxFen stays missing rather than shown wrong. A
// field of a type that has no text form (an object, a list, null) is missing too.
#pragma once
#include <optional>
#include <string>

#include "platform/foundation/Json.h"

namespace nvx {

class TradeInquiryReturnData {
 public:
  TradeInquiryReturnData() = default;
  // initWithDic: from the reply's data object (anything else gives an empty model).
  static TradeInquiryReturnData initWithDic(const platform::Json& dic);

  const std::optional<std::string>& sid() const { return sid_; }
  void setSid(std::optional<std::string> v) { sid_ = std::move(v); }
  const std::optional<std::string>& billno() const { return billno_; }
  void setBillno(std::optional<std::string> v) { billno_ = std::move(v); }
  const std::optional<std::string>& price() const { return price_; }
  void setPrice(std::optional<std::string> v) { price_ = std::move(v); }
  const std::optional<std::string>& fee() const { return fee_; }
  void setFee(std::optional<std::string> v) { fee_ = std::move(v); }
  const std::optional<std::string>& isfee() const { return isfee_; }
  void setIsfee(std::optional<std::string> v) { isfee_ = std::move(v); }
  const std::optional<std::string>& content() const { return content_; }
  void setContent(std::optional<std::string> v) { content_ = std::move(v); }
  const std::optional<std::string>& itemId() const { return itemId_; }
  void setItemId(std::optional<std::string> v) { itemId_ = std::move(v); }

 private:
  std::optional<std::string> sid_;
  std::optional<std::string> billno_;
  std::optional<std::string> price_;
  std::optional<std::string> fee_;
  std::optional<std::string> isfee_;
  std::optional<std::string> content_;
  std::optional<std::string> itemId_;
};

// The text form of one scalar reply field ("%@"): a text as is, a number in digits, a bool as
// "1"/"0"; nothing for a missing key, null, an object or a list.
std::optional<std::string> replyText(const platform::Json& dic, const char* key);

}  // namespace nvx
