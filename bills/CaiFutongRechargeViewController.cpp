#include "bills/CaiFutongRechargeViewController.h"

#include "pay/SwipeViewController.h"

namespace nvx {

using Row = TransactionInfoLabelSource;

BillRoadViewController::Texts CaiFutongRechargeViewController::texts() const {
  return {"TenpayRecharge", "TenpayRechargeAccount", "EnterTenpayRechargeAccount", "RechargeAmount",
          "EnterRechargeAmount", false, true, "TenpayRechargeMessage1", nullptr, nullptr};
}

void CaiFutongRechargeViewController::viewDidLoad() {
  BillRoadViewController::viewDidLoad();
  accountName_.clear();
}

std::optional<std::string> CaiFutongRechargeViewController::checkForm() const {
  if (paymentNumber().empty()) return "Error_TenpayRechargeNotNull";
  if (!amountIsPositive()) return "Error_AmountNotNull";
  return std::nullopt;
}

BillFields CaiFutongRechargeViewController::inquiryFields() const {
  return {{"busid", "M50004"},          {"termid", SessionValue::ReaderTerminal},
          {"mobile", SessionValue::LoginName}, {"userToken", SessionValue::UserToken},
          {"billno", paymentNumber()},  {"amount", payMoneys()},
          {"uid", SessionValue::Uid},   {"vercode", SessionValue::Vercode}};
}

void CaiFutongRechargeViewController::inquiryReplied(const platform::Json& data) {
  // Without a holder's name in the reply the row stays empty rather than naming someone else.
  accountName_ = replyText(data, "username").value_or("");
}

BillPayScreen CaiFutongRechargeViewController::payScreen() const {
  const TradeInquiryReturnData& inquiry = *inquiryData();
  BillPayScreen pay;
  pay.className = SwipeViewController::kClassName;
  pay.rows = {Row::sourceWithLeftValue(localized("TenpayRechargeAccount"), paymentNumber()),
              Row::sourceWithLeftValue(localized("RechargeAmount"), amountFen().value_or(0)),
              Row::sourceWithLeftValue("账号姓名", accountName_),
              Row::sourceWithLeftValue(localized("Fee"), fenOfYuan(inquiry.fee()).value_or(0)),
              Row::sourceWithLeftValue(localized("PayCardAmount"), fenOfYuan(inquiry.price()).value_or(0), true)};
  pay.cardTexts("付款借记卡及密码", true);
  pay.businessType = 7;
  pay.transactionData = {{"K_TRANSACTION_TARGET", paymentNumber()}, {"K_TRANSACTION_AMOUNT", payMoneys()}};
  pay.commit = {{"busid", "M20012"},          {"termid", SessionValue::ReaderTerminal},
                {"mobile", SessionValue::LoginName}, {"userToken", SessionValue::UserToken},
                {"billno", paymentNumber()},  {"srcsid", inquiry.sid().value_or("")},
                {"amount", payMoneys()},      {"uid", SessionValue::Uid},
                {"vercode", SessionValue::Vercode}};
  return pay;
}

}  // namespace nvx
