#include "bills/BillNumberRemittanceVeiwController.h"

#include "core/text/StringsTool.h"
#include "pay/SwipeViewController.h"

namespace nvx {

using Row = TransactionInfoLabelSource;

BillRoadViewController::Texts BillNumberRemittanceVeiwController::texts() const {
  return {"BillNumberRemittance", "PaymenBillNumber", "EnterPaymenBillNumber", "PaymentAmount", "EnterPaymentAmount",
          true, false, "BillInfoMessage1", "BillInfoMessage2", "BillInfoMessage3"};
}

std::optional<std::string> BillNumberRemittanceVeiwController::checkForm() const {
  if (paymentNumber().empty()) return "EnterPaymenBillNumber";
  if (!amountIsPositive()) return "EnterPaymentAmount";
  if (!StringsTool::isPhoneNumber(phoneNumber())) return "Error_EnterMobileNumber";
  return std::nullopt;
}

BillFields BillNumberRemittanceVeiwController::inquiryFields() const {
  return {{"uid", SessionValue::Uid},           {"vercode", SessionValue::Vercode},
          {"busid", "M50005"},                  {"termid", SessionValue::ReaderTerminal},
          {"mobile", SessionValue::LoginName},  {"billno", paymentNumber()},
          {"amount", payMoneys()},              {"userToken", SessionValue::UserToken}};
}

BillPayScreen BillNumberRemittanceVeiwController::payScreen() const {
  const TradeInquiryReturnData& inquiry = *inquiryData();
  BillPayScreen pay;
  pay.className = SwipeViewController::kClassName;
  pay.rows = {Row::sourceWithLeftValue(localized("BillInfo"), inquiry.content()),
              Row::sourceWithLeftValue(localized("BillNumber"), paymentNumber()),
              Row::sourceWithLeftValue(localized("PaymentAmount"), amountFen().value_or(0)),
              Row::sourceWithLeftValue(localized("PayCardAmount"), fenOfYuan(inquiry.price()).value_or(0), true),
              Row::sourceWithLeftValue(localized("MobileNumber"), StringsTool::handlePhoneNumber(phoneNumber()))};
  pay.cardTexts("付款银行卡及密码", false);
  pay.businessType = 2;
  pay.transactionData = {{"K_TRANSACTION_TARGET", paymentNumber()}, {"K_TRANSACTION_AMOUNT", payMoneys()}};
  if (inquiry.content()) pay.transactionData["K_TRANSACTION_INFO"] = *inquiry.content();
  pay.commit = {{"uid", SessionValue::Uid},          {"vercode", SessionValue::Vercode},
                {"busid", "M20013"},                 {"termid", SessionValue::ReaderTerminal},
                {"mobile", SessionValue::LoginName}, {"userToken", SessionValue::UserToken},
                {"srcsid", inquiry.sid().value_or("")}, {"billno", paymentNumber()},
                {"amount", payMoneys()},             {"issms", "1"},
                {"mobileno", phoneNumber()}};
  return pay;
}

}  // namespace nvx
