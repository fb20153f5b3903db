#include "bills/GameCardAmountParse.h"

#include "pay/TradeInquiryReturnData.h"

namespace nvx {

GameCardAmountParse GameCardAmountParse::initWithDic(const platform::Json& dic) {
  GameCardAmountParse entry;
  if (!dic.is_object()) return entry;
  entry.cardType = replyText(dic, "cardType");
  entry.cardName = replyText(dic, "cardName");
  entry.cardDesc = replyText(dic, "cardDesc");
  entry.cardCode = replyText(dic, "cardCode");
  entry.cardOrder = replyText(dic, "cardOrder");
  return entry;
}

}  // namespace nvx
