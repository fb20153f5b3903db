#include "bills/TaobaoPaymentViewController.h"

#include "pay/SwipeViewController.h"
#include "platform/foundation/Text16.h"

namespace nvx {

using Row = TransactionInfoLabelSource;

namespace {
constexpr size_t kTradeNumberLimit = 40;
}

BillRoadViewController::Texts TaobaoPaymentViewController::texts() const {
  return {"AlipayPayment", "AlipayTransactionNumber", "EnterAlipayTransactionNumber", "PaymentAmount",
          "EnterPaymentAmount", false, true, "AlipayTransactionMessage1", nullptr, nullptr};
}

std::optional<std::string> TaobaoPaymentViewController::checkForm() const {
  if (paymentNumber().empty()) return "Error_AlipayTransactionNumberNotNull";
  if (platform::u16len(paymentNumber()) > kTradeNumberLimit) return "Error_AlipayTransactionNumberLen";
  if (!amountIsPositive()) return "EnterPaymentAmount";
  return std::nullopt;
}

BillFields TaobaoPaymentViewController::inquiryFields() const {
  return {{"uid", SessionValue::Uid},           {"vercode", SessionValue::Vercode},
          {"busid", "M50002"},                  {"termid", SessionValue::ReaderTerminal},
          {"mobile", SessionValue::LoginName},  {"billno", paymentNumber()},
          {"amount", payMoneys()},              {"userToken", SessionValue::UserToken}};
}

BillPayScreen TaobaoPaymentViewController::payScreen() const {
  const TradeInquiryReturnData& inquiry = *inquiryData();
  BillPayScreen pay;
  pay.className = SwipeViewController::kClassName;
  pay.rows = {Row::sourceWithLeftValue(localized("AlipayTransactionNumber"), paymentNumber()),
              Row::sourceWithLeftValue(localized("PaymentAmount"), amountFen().value_or(0)),
              Row::sourceWithLeftValue(localized("Fee"), fenOfYuan(inquiry.fee()).value_or(0)),
              Row::sourceWithLeftValue(localized("PayCardAmount"), fenOfYuan(inquiry.price()).value_or(0), true)};
  pay.cardTexts("付款银行卡及密码", false);
  pay.businessType = 3;
  pay.transactionData = {{"K_TRANSACTION_TARGET", paymentNumber()}, {"K_TRANSACTION_AMOUNT", payMoneys()}};
  pay.commit = {{"uid", SessionValue::Uid},          {"vercode", SessionValue::Vercode},
                {"busid", "M20010"},                 {"termid", SessionValue::ReaderTerminal},
                {"mobile", SessionValue::LoginName}, {"userToken", SessionValue::UserToken},
                {"srcsid", inquiry.sid().value_or("")}, {"billno", paymentNumber()},
                {"amount", payMoneys()},             {"issms", "0"}};
  return pay;
}

}  // namespace nvx
