#include "pay/TradeInquiryReturnData.h"

#include "pay/PayMoney.h"

namespace nvx {

std::optional<std::string> replyText(const platform::Json& dic, const char* key) {
  if (!dic.is_object()) return std::nullopt;
  auto it = dic.find(key);
  if (it == dic.end() || it->is_null() || it->is_object() || it->is_array()) return std::nullopt;
  return platform::json::asText(*it);
}

namespace {

// "%f" of fen / 100, computed in decimal.
std::optional<std::string> yuanOf(const platform::Json& dic, const char* key) {
  if (!dic.is_object()) return std::nullopt;
  auto it = dic.find(key);
  if (it == dic.end()) return std::nullopt;
  auto fen = PayMoney::fenFromWire(*it);
  if (!fen) return std::nullopt;
  return PayMoney::yuanFromFen(*fen, 6);
}

}  // namespace

TradeInquiryReturnData TradeInquiryReturnData::initWithDic(const platform::Json& dic) {
  TradeInquiryReturnData data;
  data.isfee_ = replyText(dic, "isfee");
  data.price_ = yuanOf(dic, "price");
  data.fee_ = yuanOf(dic, "fee");
  data.content_ = replyText(dic, "content");
  data.billno_ = replyText(dic, "billno");
  data.sid_ = replyText(dic, "sid");
  data.itemId_ = replyText(dic, "itemId");
  return data;
}

}  // namespace nvx
