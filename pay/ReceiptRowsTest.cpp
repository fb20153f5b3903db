#include "pay/ReceiptRows.h"

#include <gtest/gtest.h>

#include <limits>

#include "app/ui/TransactionInfoLabelSource.h"
#include "pay/ResultRows.h"
#include "platform/foundation/Strings.h"

namespace nvx {
namespace {

using platform::Json;
using platform::Strings;

std::string L(const char* key) { return Strings::localized(key); }

// A row as "label=value", amounts as "label=<fen>f", red ones "label=<fen>f!", wrapping "label~value".
std::vector<std::string> describe(const TransactionInfoSource::Rows& rows) {
  std::vector<std::string> out;
  for (const auto& row : rows) {
    if (row->isNumber()) {
      out.push_back(row->leftValue() + "=" + std::to_string(row->amount()) + "f" + (row->isRed() ? "!" : ""));
    } else {
      out.push_back(row->leftValue() + (row->mutiLined() ? "~" : "=") + row->rightValue().value_or("<none>"));
    }
  }
  return out;
}

bool hasLabel(const TransactionInfoSource::Rows& rows, const std::string& label) {
  for (const auto& row : rows) {
    if (row->leftValue() == label) return true;
  }
  return false;
}

const Json kForm = {{"K_TRANSACTION_TARGET", "T-1"}, {"K_TRANSACTION_INFO", "I-1"}, {"K_TRANSACTION_AMOUNT", "100.50"}};
const Json kReply = {{"sysref", "REF9"}, {"pan", "6222****0123"}, {"price", "10250"}, {"fee", "200"},
                     {"sytm", "2014-03-15 09:30:00"}, {"amount", "123456"}};

TEST(ReceiptRowsTest, BillPaymentShowsTheFormAmountAsGivenAndTheReplyInYuan) {
  // Reply fen become yuan (price 10250 fen, fee 200 fen); the form's amount stays what the user typed.
  ReceiptContent c = ReceiptRows::contentFor(2, kForm, kReply, std::nullopt);
  EXPECT_EQ(c.title, L("TransationSuccess"));
  EXPECT_EQ(c.successText, "账单号付款成功");
  EXPECT_EQ(describe(c.rows), (std::vector<std::string>{
                                  L("TransationSerialNumber") + "=REF9", L("BillInfo") + "=I-1", L("BillNumber") + "=T-1",
                                  L("PaymentBankCard") + "=6222****0123", L("PaymentAmount") + "=10050f",
                                  L("Fee") + "=200f", L("PayCardAmount") + "=10250f"}));
}

TEST(ReceiptRowsTest, BalanceInquiryClearsTheReferenceRowAndDividesTheBalance) {
  ReceiptContent c = ReceiptRows::contentFor(0, kForm, kReply, std::nullopt);
  EXPECT_EQ(c.title, "查询结果");
  EXPECT_EQ(describe(c.rows), (std::vector<std::string>{L("QueryCardNumber") + "=6222****0123",
                                                        "查询时间=2014-03-15 09:30:00", L("Balance") + "=123456f"}));
}

TEST(ReceiptRowsTest, ReferenceRowOnlyWhenTheReplyHasOne) {
  Json reply = kReply;
  reply.erase("sysref");
  EXPECT_FALSE(hasLabel(ReceiptRows::contentFor(3, kForm, reply, std::nullopt).rows, L("TransationSerialNumber")));
  EXPECT_EQ(ReceiptRows::contentFor(3, kForm, kReply, std::nullopt).rows.front()->leftValue(),
            L("TransationSerialNumber"));
  // Type 30 clears it but names the reference itself.
  ReceiptContent wallet = ReceiptRows::contentFor(30, kForm, kReply, std::nullopt);
  EXPECT_EQ(describe(wallet.rows).front(), "交易流水号=REF9");
  EXPECT_EQ(wallet.successText, "成功向钱包充值:100.50元");
}

TEST(ReceiptRowsTest, InstalmentRemarkCarriesThePriceWithTwoDecimals) {
  Json reply = {{"price", "98765"}, {"pan", "P"}};
  ReceiptContent c = ReceiptRows::contentFor(15, kForm, reply, std::string("4367****1111"));
  EXPECT_EQ(describe(c.rows), (std::vector<std::string>{"交易项目=信用卡账单分期", "信用卡卡号=4367****1111",
                                                        "还贷金额=98765f", "付款借记卡=P",
                                                        "备注~账单分期办理成功，并成功还款987.65元"}));
  EXPECT_EQ(describe(ReceiptRows::contentFor(16, kForm, reply, std::nullopt).rows).back(),
            "备注~账单分期办理成功，并成功还款987.65元");
}

TEST(ReceiptRowsTest, TrafficFineHasAPlateRowOnlyWithAPlate) {
  for (const Json& form : {Json::object(), Json{{"CarNumber", ""}}, Json{{"CarNumber", Json()}}}) {
    EXPECT_FALSE(hasLabel(ReceiptRows::contentFor(24, form, kReply, std::nullopt).rows, "车牌号码")) << form.dump();
  }
  EXPECT_TRUE(hasLabel(ReceiptRows::contentFor(25, Json{{"CarNumber", "沪A12345"}}, kReply, std::nullopt).rows, "车牌号码"));
}

TEST(ReceiptRowsTest, MovieRemarkByChannel) {
  for (const auto& [channel, remark] : {std::pair{Json(1), "Film_PS1"}, std::pair{Json("1"), "Film_PS1"},
                                        std::pair{Json(2), "Film_PS2"}, std::pair{Json("x"), "Film_PS2"},
                                        std::pair{Json(), "Film_PS2"}}) {
    Json form = kForm;
    if (!channel.is_null()) form["channel"] = channel;
    auto rows = ReceiptRows::contentFor(23, form, kReply, std::nullopt).rows;
    ASSERT_FALSE(rows.empty());
    EXPECT_TRUE(rows.back()->mutiLined());
    EXPECT_EQ(rows.back()->rightValue(), L(remark)) << channel.dump();
  }
}

TEST(ReceiptRowsTest, QrBillReformatsTheOrderTimeAndRoundsTheAmount) {
  Json form = {{"NVX_SCAN_BILLINFO", {{"bn", "B1"}, {"oid", "O1"}, {"ot", "20140315093000"}, {"mn", "店"}, {"am", 1999}}}};
  auto rows = describe(ReceiptRows::contentFor(34, form, kReply, std::nullopt).rows);
  EXPECT_EQ(std::vector<std::string>(rows.begin() + 1, rows.begin() + 6),
            (std::vector<std::string>{"诺维萨账单号=B1", "订单号码=O1", "订购时间=2014-03-15 09:30", "商户名称=店",
                                      "订单金额=1999f"}));
  form["NVX_SCAN_BILLINFO"]["ot"] = "2014-03-15";
  EXPECT_EQ(describe(ReceiptRows::contentFor(34, form, kReply, std::nullopt).rows)[3], "订购时间=");
  // Missing or non-text nested values are empty texts.
  auto bare = describe(ReceiptRows::contentFor(33, Json{{"NVX_SCAN_BANKCARD", "not an object"}}, kReply, std::nullopt).rows);
  EXPECT_EQ(std::vector<std::string>(bare.begin() + 1, bare.begin() + 5),
            (std::vector<std::string>{"收款人姓名=", "收款银行=", "收款银行卡=", "付款人姓名="}));
}

TEST(ReceiptRowsTest, WalletPaymentsShowNoCardRow) {
  const Json wallet = {{"K_TRANSACTION_TARGET", "T-1"}, {"K_TRANSACTION_AMOUNT", "100.50"}, {"paytype", "ZX"}};
  for (int type : {4, 6, 23, 26}) {
    auto rows = ReceiptRows::contentFor(type, wallet, kReply, std::nullopt).rows;
    EXPECT_FALSE(hasLabel(rows, L("PaymentBankCard"))) << type;
    EXPECT_FALSE(hasLabel(rows, "付款银行卡")) << type;
    EXPECT_TRUE(hasLabel(rows, "支付方式")) << type;
  }
  // Mobile recharge from the wallet shows the price as the recharge amount, not the form's amount.
  auto six = describe(ReceiptRows::contentFor(6, wallet, kReply, std::nullopt).rows);
  EXPECT_EQ(six[2], L("RechargeAmount") + "=10250f");
  // "PR" is a card payment.
  Json card = wallet;
  card["paytype"] = "PR";
  EXPECT_TRUE(hasLabel(ReceiptRows::contentFor(6, card, kReply, std::nullopt).rows, L("PaymentBankCard")));
}

TEST(ReceiptRowsTest, WalletRowsSplitBalanceAndRedPackets) {
  struct Case {
    const char* payType;
    std::vector<std::string> tail;
  };
  for (const Case& c : {Case{"ZX", {"余额支付=69.50 元"}}, Case{"ZH", {"红包支付=30.50 元"}},
                        Case{"XH", {"余额支付=69.50 元", "红包支付=30.50 元"}}, Case{"QQ", {}}}) {
    TransactionInfoSource::Rows rows;
    ReceiptRows::adaptWalletPay(rows, 10000, "支付金额", Json{{"paytype", c.payType}, {"famount", "30.5"}});
    std::vector<std::string> expected = {"支付方式=钱包支付", "支付金额=10000f!"};
    expected.insert(expected.end(), c.tail.begin(), c.tail.end());
    EXPECT_EQ(describe(rows), expected) << c.payType;
  }
}

TEST(ReceiptRowsTest, TypesWithoutRowsAndBadReplies) {
  for (int type : {14, 29, 35, 36, 38, 99, -1}) {
    ReceiptContent c = ReceiptRows::contentFor(type, kForm, kReply, std::nullopt);
    EXPECT_EQ(describe(c.rows), std::vector<std::string>{L("TransationSerialNumber") + "=REF9"}) << type;
    EXPECT_FALSE(c.successText) << type;
  }
  for (const Json& reply : {Json(), Json("text"), Json::array()}) {
    ReceiptContent c = ReceiptRows::contentFor(2, kForm, reply, std::nullopt);
    EXPECT_TRUE(c.rows.empty());
    EXPECT_EQ(c.successText, "服务器错误");
  }
}

TEST(ReceiptRowsTest, UnusableReplyAmountsCountAsZero) {
  for (const Json& fee : {Json(), Json(""), Json("abc"), Json("12a"), Json(-5), Json("-5"), Json(1.5),
                          Json("99999999999999999999"), Json(1e300), Json::object()}) {
    Json reply = kReply;
    if (fee.is_null()) {
      reply.erase("fee");
    } else {
      reply["fee"] = fee;
    }
    EXPECT_EQ(ReceiptRows::replyAmountFen(reply, "fee"), 0) << fee.dump();
    EXPECT_EQ(describe(ReceiptRows::contentFor(2, kForm, reply, std::nullopt).rows)[5], L("Fee") + "=0f") << fee.dump();
  }
  EXPECT_EQ(ReceiptRows::replyAmountFen(Json{{"fee", 200}}, "fee"), 200);
  // The form's amount may carry grouping commas.
  EXPECT_EQ(ReceiptRows::displayAmountFen(Json{{"K_TRANSACTION_AMOUNT", "1,234.56"}}, "K_TRANSACTION_AMOUNT"), 123456);
  EXPECT_EQ(ReceiptRows::displayAmountFen(Json{{"K_TRANSACTION_AMOUNT", "abc"}}, "K_TRANSACTION_AMOUNT"), 0);
}

TEST(ReceiptRowsTest, MoneyTextGroupsWithTwoDecimals) {
  for (const auto& [fen, text] : {std::pair{int64_t{0}, "0.00 元"}, std::pair{int64_t{5}, "0.05 元"},
                                  std::pair{int64_t{123456}, "1,234.56 元"}, std::pair{int64_t{100000}, "1,000.00 元"},
                                  std::pair{int64_t{99999999999}, "999,999,999.99 元"},
                                  std::pair{int64_t{-50}, "-0.50 元"},
                                  std::pair{std::numeric_limits<int64_t>::min(), "-92,233,720,368,547,758.07 元"}}) {
    EXPECT_EQ(ResultRows::moneyText(fen), text) << fen;
  }
}

TEST(ReceiptRowsTest, TitlesByType) {
  for (const auto& [type, title] : {std::pair{10, "受理成功"}, std::pair{28, "短信发送成功"}, std::pair{31, "交易成功"},
                                    std::pair{34, "交易成功"}, std::pair{5, ""}}) {
    EXPECT_EQ(ReceiptRows::contentFor(type, kForm, kReply, std::nullopt).title,
              *title ? std::string(title) : L("TransationSuccess"))
        << type;
  }
}

}  // namespace
}  // namespace nvx
