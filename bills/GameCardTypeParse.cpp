#include "bills/GameCardTypeParse.h"

#include "pay/TradeInquiryReturnData.h"

namespace nvx {

GameCardTypeParse GameCardTypeParse::initWithDic(const platform::Json& dic) {
  GameCardTypeParse entry;
  if (!dic.is_object()) return entry;
  entry.cardType = replyText(dic, "cardType");
  entry.cardDesc = replyText(dic, "cardDesc");
  return entry;
}

}  // namespace nvx
