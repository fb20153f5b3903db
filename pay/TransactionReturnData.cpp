#include "pay/TransactionReturnData.h"

#include "pay/TradeInquiryReturnData.h"

namespace nvx {

TransactionReturnData TransactionReturnData::initWithDictionary(const platform::Json& dictionary) {
  TransactionReturnData data;
  data.pan_ = replyText(dictionary, "pan");
  data.price_ = replyText(dictionary, "price");
  data.fee_ = replyText(dictionary, "fee");
  data.amount_ = replyText(dictionary, "amount");
  data.sysref_ = replyText(dictionary, "sysref");
  data.sytm_ = replyText(dictionary, "sytm");
  data.sid_ = replyText(dictionary, "sid");
  return data;
}

}  // namespace nvx
