#include "bills/PublicDonationParse.h"

#include "pay/TradeInquiryReturnData.h"

namespace nvx {

PublicDonationParse PublicDonationParse::initWithDic(const platform::Json& dic) {
  PublicDonationParse entry;
  if (!dic.is_object()) return entry;
  entry.ngoId = replyText(dic, "ngoId");
  entry.ngoNm = replyText(dic, "ngoNm");
  entry.projectId = replyText(dic, "projectId");
  entry.projectNm = replyText(dic, "projectNm");
  return entry;
}

}  // namespace nvx
