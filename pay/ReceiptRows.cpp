#include "pay/ReceiptRows.h"

#include <cstdlib>

#include "app/ui/TransactionInfoLabelSource.h"
#include "core/text/DateFormats.h"
#include "pay/PayMoney.h"
#include "pay/ResultRows.h"
#include "platform/foundation/Strings.h"

namespace nvx {

using platform::Json;
using Row = std::shared_ptr<TransactionInfoLabelSource>;
using Rows = TransactionInfoSource::Rows;

namespace {

namespace keys = transaction_keys;

std::string L(std::string_view key) { return platform::Strings::localized(key); }
Row textRow(std::string_view label, std::string value) {
  return TransactionInfoLabelSource::sourceWithLeftValue(label, std::optional<std::string>(std::move(value)));
}
Row amountRow(std::string_view label, int64_t fen) { return TransactionInfoLabelSource::sourceWithLeftValue(label, fen); }
Row wrapRow(std::string_view label, std::string value) {
  return TransactionInfoLabelSource::mutiLinedSourceWithLeftValue(label, std::move(value));
}

// The fields one receipt reads, worked out once.
struct Values {
  std::string T, I, A;
  std::string pan, sysref, sytm, policyId;
  int64_t amt = 0, price = 0, fee = 0, balance = 0;
};

std::string withoutGrouping(std::string text) {
  std::erase(text, ',');
  return text;
}

}  // namespace

int64_t ReceiptRows::displayAmountFen(const Json& data, std::string_view key) {
  return PayMoney::fenFromYuanText(withoutGrouping(ResultRows::text(data, key))).value_or(0);
}

int64_t ReceiptRows::replyAmountFen(const Json& retData, std::string_view key) {
  if (!retData.is_object()) return 0;
  auto it = retData.find(key);
  return it == retData.end() ? 0 : PayMoney::fenFromWire(*it).value_or(0);
}

bool ReceiptRows::isAdaptWalletPay(const Json& data) {
  return data.is_object() && data.contains("paytype") && ResultRows::text(data, "paytype") != "PR";
}

void ReceiptRows::adaptWalletPay(Rows& rows, int64_t amountFen, std::string_view amountLabel, const Json& data) {
  const int64_t redPackets = displayAmountFen(data, "famount");
  const std::string payType = ResultRows::text(data, "paytype");
  rows.push_back(textRow("支付方式", "钱包支付"));
  rows.push_back(TransactionInfoLabelSource::sourceWithLeftValue(amountLabel, amountFen, true));
  if (payType == "ZX" || payType == "XH") {
    rows.push_back(textRow("余额支付", ResultRows::moneyText(amountFen - redPackets)));
  }
  if (payType == "ZH" || payType == "XH") rows.push_back(textRow("红包支付", ResultRows::moneyText(redPackets)));
}

ReceiptContent ReceiptRows::contentFor(int type, const Json& data, const Json& retData,
                                       const std::optional<std::string>& creditCardNumber) {
  ReceiptContent content{L("TransationSuccess"), std::nullopt, {}};
  if (!retData.is_object()) {
    content.successText = kServerError;
    return content;
  }
  Values v;
  v.T = ResultRows::text(data, keys::kTarget);
  v.I = ResultRows::text(data, keys::kInfo);
  v.A = ResultRows::text(data, keys::kAmount);
  v.amt = displayAmountFen(data, keys::kAmount);
  v.pan = ResultRows::text(retData, "pan");
  v.sysref = ResultRows::text(retData, "sysref");
  v.sytm = ResultRows::text(retData, "sytm");
  v.policyId = ResultRows::text(retData, "policyId");
  v.price = replyAmountFen(retData, "price");
  v.fee = replyAmountFen(retData, "fee");
  v.balance = replyAmountFen(retData, "amount");

  Rows& rows = content.rows;
  if (retData.contains("sysref") && !retData["sysref"].is_null()) {
    rows.push_back(textRow(L("TransationSerialNumber"), v.sysref));
  }
  if (type < 0 || type > 37) return content;

  const bool wallet = isAdaptWalletPay(data);
  auto success = [&](std::string text) { content.successText = std::move(text); };
  // The closing rows most card payments share.
  auto feeAndCard = [&] {
    rows.push_back(amountRow(L("Fee"), v.fee));
    rows.push_back(amountRow(L("PayCardAmount"), v.price));
  };
  auto instalmentRemark = [&] {
    return wrapRow("备注", "账单分期办理成功，并成功还款" + PayMoney::yuanFromFen(v.price) + "元");
  };

  switch (type) {
    case 0:
      content.title = "查询结果";
      success(L("QuerySuccess"));
      rows = {textRow(L("QueryCardNumber"), v.pan), textRow("查询时间", v.sytm), amountRow(L("Balance"), v.balance)};
      break;
    case 1:
      success("信用卡还款成功");
      rows.push_back(textRow(L("RepaymentCreditCard"), v.T));
      rows.push_back(textRow(L("PaymentDebitCard"), v.pan));
      rows.push_back(amountRow(L("RepaymentAmount"), v.amt));
      rows.push_back(amountRow(L("Fee"), v.fee));
      rows.push_back(amountRow("付款金额", v.price));
      break;
    case 2:
      success("账单号付款成功");
      rows.push_back(textRow(L("BillInfo"), v.I));
      rows.push_back(textRow(L("BillNumber"), v.T));
      rows.push_back(textRow(L("PaymentBankCard"), v.pan));
      rows.push_back(amountRow(L("PaymentAmount"), v.amt));
      feeAndCard();
      break;
    case 3:
      success("支付宝付款成功");
      rows.push_back(textRow(L("AlipayTransactionNumber"), v.T));
      rows.push_back(textRow(L("PaymentBankCard"), v.pan));
      rows.push_back(amountRow(L("TransactionAmount"), v.amt));
      feeAndCard();
      break;
    case 4:
      success("游戏充值卡购买成功");
      rows.push_back(textRow(L("GameCardRecharge"), v.T));
      rows.push_back(textRow(L("CardDenomination"), v.A));
      rows.push_back(textRow(L("ReceivePhoneNumber"), v.I));
      if (wallet) {
        adaptWalletPay(rows, v.price, "支付金额", data);
      } else {
        rows.push_back(textRow(L("PaymentBankCard"), v.pan));
        rows.push_back(amountRow(L("PayCardAmount"), v.price));
      }
      break;
    case 5:
      success("公益捐款交易成功");
      rows.push_back(textRow(L("DonorAgencies"), v.T));
      rows.push_back(textRow(L("DonorProject"), v.I));
      rows.push_back(textRow(L("PaymentBankCard"), v.pan));
      rows.push_back(amountRow(L("DonationAmount"), v.amt));
      rows.push_back(amountRow(L("PayCardAmount"), v.price));
      break;
    case 6:
      success("手机充值成功");
      rows.push_back(textRow(L("MobileRechargeNumber"), v.T));
      if (wallet) {
        rows.push_back(amountRow(L("RechargeAmount"), v.price));
        adaptWalletPay(rows, v.price, "支付金额", data);
      } else {
        rows.push_back(textRow(L("PaymentBankCard"), v.pan));
        rows.push_back(amountRow(L("RechargeAmount"), v.amt));
        rows.push_back(amountRow(L("PayCardAmount"), v.price));
      }
      break;
    case 7:
    case 9:
      success(type == 7 ? "财付通账户充值成功" : "账户充值成功");
      rows.push_back(textRow(type == 7 ? "财付通账户" : "充值账户", v.T));
      rows.push_back(textRow(L("PaymentBankCard"), v.pan));
      rows.push_back(amountRow(L("RechargeAmount"), v.amt));
      feeAndCard();
      break;
    case 8:
      success("支付宝充值码交易成功");
      rows.push_back(textRow(L("ReceivePhoneNumber"), v.I));
      rows.push_back(textRow(L("PaymentBankCard"), v.pan));
      rows.push_back(amountRow(L("TransactionAmount"), v.amt));
      feeAndCard();
      break;
    case 10:
      content.title = "受理成功";
      success("转账成功");
      rows.push_back(textRow("转账借记卡", v.T));
      rows.push_back(textRow(L("PaymentDebitCard"), v.pan));
      rows.push_back(amountRow(L("TransferAmount"), v.amt));
      feeAndCard();
      break;
    case 11:
      success("收账成功");
      rows.push_back(textRow("收账借记卡", v.T));
      rows.push_back(textRow(L("PaymentDebitCard"), v.pan));
      rows.push_back(amountRow(L("ReceivableMoneys"), v.amt));
      feeAndCard();
      break;
    case 12:
    case 17:
    case 18:
    case 19:
    case 20:
      success("缴费成功");
      rows.push_back(textRow("缴费项目", v.I));
      rows.push_back(textRow("缴费号码", v.T));
      rows.push_back(textRow("付款卡号", v.pan));
      rows.push_back(amountRow("缴费金额", v.amt));
      feeAndCard();
      break;
    case 13:
      success("还贷成功");
      rows.push_back(textRow("贷款项目", v.I));
      rows.push_back(textRow("贷款银行卡", v.T));
      rows.push_back(textRow("付款借记卡", v.pan));
      rows.push_back(amountRow("还贷金额", v.amt));
      feeAndCard();
      break;
    case 15:
      success("账单分期办理成功");
      rows.push_back(textRow("交易项目", "信用卡账单分期"));
      rows.push_back(textRow("信用卡卡号", creditCardNumber.value_or("")));
      rows.push_back(amountRow("还贷金额", v.price));
      rows.push_back(textRow("付款借记卡", v.pan));
      rows.push_back(instalmentRemark());
      break;
    case 16:
      success("信用卡还款成功");
      rows.push_back(textRow("交易项目", "信用卡还款"));
      rows.push_back(textRow("信用卡卡号", creditCardNumber.value_or("")));
      rows.push_back(textRow("付款借记卡", v.pan));
      rows.push_back(instalmentRemark());
      break;
    case 21:
      success("充值成功");
      rows.push_back(textRow("付款银行卡", v.pan));
      rows.push_back(amountRow("充值金额", v.price));
      rows.push_back(textRow("交易时间", v.sytm));
      break;
    case 22:
      success(L("Ins_Pay_Succeed"));
      rows.push_back(textRow(L("TransactionName"), L("Insurance_Financing")));
      rows.push_back(textRow(L("Ins_Bill_Number"), v.policyId));
      rows.push_back(textRow(L("PaymentBankCard"), v.pan));
      rows.push_back(amountRow(L("Ins_Swipe_Amount"), v.price));
      rows.push_back(wrapRow(L("PS"), L("Ins_Ps")));
      break;
    case 23: {
      success(L("Film_Pay_Success"));
      const std::string seats = ResultRows::text(data, "seatsinfo");
      rows.push_back(textRow(L("TransactionName"), L("Movie")));
      if (wallet) {
        rows.push_back(textRow(L("Seat_Number1"), seats));
        adaptWalletPay(rows, v.price, "支付金额", data);
      } else {
        rows.push_back(textRow(L("PaymentBankCard"), v.pan));
        rows.push_back(textRow(L("Seat_Number1"), seats));
        rows.push_back(amountRow(L("PayCardAmount"), v.price));
      }
      const bool partnerOne = std::atoi(ResultRows::text(data, "channel").c_str()) == 1;
      rows.push_back(wrapRow(L("Film_PS"), L(partnerOne ? "Film_PS1" : "Film_PS2")));
      break;
    }
    case 24:
    case 25: {
      success("交通违章罚款缴纳成功");
      rows.push_back(textRow("交易项目", "交通违章办理"));
      const std::string car = ResultRows::text(data, "CarNumber");
      if (!car.empty()) rows.push_back(textRow("车牌号码", car));
      rows.push_back(textRow(L("PaymentBankCard"), v.pan));
      rows.push_back(amountRow(L("PayCardAmount"), v.price));
      break;
    }
    case 26:
      success("付款成功");
      rows = {textRow("订单号", v.T)};
      if (wallet) {
        adaptWalletPay(rows, v.price, "支付金额", data);
      } else {
        rows.push_back(textRow("付款银行卡", v.pan));
        rows.push_back(textRow("付款金额", v.A + "元"));
      }
      break;
    case 27:
      success("订单提交成功");
      rows = {textRow("订单号", v.T), textRow("待付款金额", v.A + "元"), textRow("支付方式", "货到付款")};
      break;
    case 28:
      content.title = "短信发送成功";
      success("短信已发送");
      rows = {textRow("订单号", v.T), textRow("诺维萨账单号", v.I), textRow("付款金额", v.A + "元")};
      break;
    case 30:
      success("成功向钱包充值:" + v.A + "元");
      rows = {textRow("交易流水号", v.sysref), textRow("付款人借记卡", v.pan), amountRow("充值金额", v.amt),
              amountRow("刷卡金额", v.price)};
      break;
    case 31:
      content.title = "交易成功";
      success("交易成功，请等待银行入账");
      rows.push_back(textRow(L("PaymentDebitCard"), v.pan));
      rows.push_back(amountRow("收款金额", v.amt));
      rows.push_back(textRow("到账时间", ResultRows::text(data, "NVX_TRANSFER")));
      feeAndCard();
      break;
    case 32: {
      content.title = "交易成功";
      success("交易成功，请等待银行入账");
      const Json& card = ResultRows::object(data, "NVX_USERCARD");
      rows.push_back(textRow("收款人姓名", ResultRows::text(card, "NVX_USERNAME")));
      rows.push_back(textRow("收款银行", ResultRows::payeeBankName(card)));
      rows.push_back(textRow("收款银行卡", v.T));
      rows.push_back(textRow(L("PaymentDebitCard"), v.pan));
      rows.push_back(amountRow(L("TransferAmount"), v.amt));
      feeAndCard();
      break;
    }
    case 33: {
      content.title = "交易成功";
      success("付款成功");
      const Json& payee = ResultRows::object(data, "NVX_SCAN_BANKCARD");
      rows.push_back(textRow("收款人姓名", ResultRows::text(payee, "NVX_SCAN_NAME")));
      rows.push_back(textRow("收款银行", ResultRows::text(payee, "NVX_SCAN_BANK")));
      rows.push_back(textRow("收款银行卡", ResultRows::text(payee, "NVX_SCAN_CARD")));
      rows.push_back(textRow("付款人姓名", ResultRows::text(data, "NVX_SCAN_PAYNAME")));
      rows.push_back(amountRow(L("TransferAmount"), v.amt));
      feeAndCard();
      break;
    }
    case 34: {
      content.title = "交易成功";
      success("付款成功");
      const Json& bill = ResultRows::object(data, "NVX_SCAN_BILLINFO");
      rows.push_back(textRow("诺维萨账单号", ResultRows::text(bill, "bn")));
      rows.push_back(textRow("订单号码", ResultRows::text(bill, "oid")));
      rows.push_back(textRow("订购时间", text::formatDateWithSrc(ResultRows::text(bill, "ot"), "yyyyMMddHHmmss",
                                                               "yyyy-MM-dd HH:mm")
                                             .value_or("")));
      rows.push_back(textRow("商户名称", ResultRows::text(bill, "mn")));
      rows.push_back(amountRow("订单金额", replyAmountFen(bill, "am")));
      rows.push_back(textRow(L("PaymentDebitCard"), v.pan));
      rows.push_back(amountRow(L("PayCardAmount"), v.price));
      break;
    }
    case 37:
      success("汇款成功");
      rows.push_back(amountRow("汇款金额", v.amt));
      rows.push_back(amountRow(L("Fee"), v.fee));
      rows.push_back(amountRow("支付金额", v.price));
      break;
    default:  // 14, 29, 35, 36: the reference row at most, no success text
      break;
  }
  return content;
}

}  // namespace nvx
