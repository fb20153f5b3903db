#include "bills/AccountDirectChargeViewController.h"

#include "core/text/StringsTool.h"
#include "pay/SwipeViewController.h"
#include "platform/foundation/Text16.h"

namespace nvx {

using Row = TransactionInfoLabelSource;

namespace {
constexpr size_t kAccountLimit = 40;
}

BillRoadViewController::Texts AccountDirectChargeViewController::texts() const {
  return {"AccountDirectCharge", "AccountReChargeNumber", "EnterAccountReChargeNumber", "RechargeAmount",
          "EnterRechargeAmount", true, true, "AccountDirectChargeMessage1", "AccountDirectChargeMessage2",
          "AccountDirectChargeMessage3"};
}

void AccountDirectChargeViewController::toSetSendSMSNotification() {
  BillRoadViewController::toSetSendSMSNotification();
  const bool on = SMSNotificationSwitchIsOn();
  auto button = theNextButton();
  auto label = introductionLabel();
  if (button) button->setCenter({button->center().x, on ? 292.0 : 248.0});
  if (label) label->setCenter({label->center().x, on ? 344.0 : 300.0});
}

std::optional<std::string> AccountDirectChargeViewController::checkForm() const {
  if (paymentNumber().empty()) return "Error_AccountDirectChargeNumberNotNull";
  if (platform::u16len(paymentNumber()) > kAccountLimit) return "Error_AccountDirectChargeNumberLen";
  if (!amountIsPositive()) return "Error_AmountNotNull";
  if (SMSNotificationSwitchIsOn() && !StringsTool::isPhoneNumber(phoneNumber())) return "Error_EnterMobileNumber";
  return std::nullopt;
}

BillFields AccountDirectChargeViewController::inquiryFields() const {
  return {{"busid", "M50006"},          {"termid", SessionValue::ReaderTerminal},
          {"mobile", SessionValue::LoginName}, {"userToken", SessionValue::UserToken},
          {"billno", paymentNumber()},  {"amount", payMoneys()},
          {"uid", SessionValue::Uid},   {"vercode", SessionValue::Vercode}};
}

BillPayScreen AccountDirectChargeViewController::payScreen() const {
  const TradeInquiryReturnData& inquiry = *inquiryData();
  BillPayScreen pay;
  pay.className = SwipeViewController::kClassName;
  pay.rows = {Row::sourceWithLeftValue(localized("BusinessName"), inquiry.content()),
              Row::sourceWithLeftValue(localized("AccountDirectChargeNumber"), paymentNumber()),
              Row::sourceWithLeftValue(localized("RechargeAmount"), amountFen().value_or(0)),
              Row::sourceWithLeftValue(localized("PayCardAmount"), fenOfYuan(inquiry.price()).value_or(0), true)};
  if (SMSNotificationSwitchIsOn()) {
    pay.rows.push_back(Row::sourceWithLeftValue(localized("MobileNumber"), StringsTool::handlePhoneNumber(phoneNumber())));
    pay.prompt = localized("TipsSMSNotification");
  }
  pay.cardTexts(std::nullopt, true);
  pay.businessType = 9;
  pay.transactionData = {{"K_TRANSACTION_TARGET", paymentNumber()}, {"K_TRANSACTION_AMOUNT", payMoneys()}};
  // The server's direct charge takes no text-message fields; the number is shown, not sent.
  pay.commit = {{"busid", "M20014"},          {"termid", SessionValue::ReaderTerminal},
                {"mobile", SessionValue::LoginName}, {"userToken", SessionValue::UserToken},
                {"billno", paymentNumber()},  {"srcsid", inquiry.sid().value_or("")},
                {"amount", payMoneys()},      {"uid", SessionValue::Uid},
                {"vercode", SessionValue::Vercode}};
  return pay;
}

}  // namespace nvx
