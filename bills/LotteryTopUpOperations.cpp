#include "bills/LotteryTopUpOperations.h"

#include "core/text/StringsTool.h"
#include "lottery/core/StaticVariable.h"
#include "pay/TradeInquiryReturnData.h"
#include "platform/foundation/Strings.h"

namespace nvx {

namespace {

using platform::Json;
using CreatedBill = LotteryTopUpOperations::CreatedBill;

constexpr const char* kUnknownError = "未知错误";
constexpr const char* kNetworkFailed = "网络连接失败";

}  // namespace

MainApiRequest LotteryTopUpOperations::createBillRequest(const lottery::TopUpOrder& order) {
  auto request = MainApiRequest::get(kCreateBill, Identity::None);
  request.query("merId", StringsTool::encodeURL(order.merId))
      .query("orderId", StringsTool::encodeURL(order.orderId))
      .query("amount", StringsTool::encodeURL(order.amount))
      .query("minCode", StringsTool::encodeURL(order.minCode))
      .query("randnum", StringsTool::encodeURL(order.randomNumber))
      .query("macType", StringsTool::encodeURL(order.codeType))
      .query("mac", StringsTool::encodeURL(order.codeSign))
      .sessionQuery("uid", SessionValue::Uid)
      .sessionQuery("vercode", SessionValue::Vercode)
      .query("ver", StringsTool::encodeURL(order.interfaceType))
      .keepAlive(false);
  return request;
}

void LotteryTopUpOperations::createBill(const lottery::TopUpOrder& order, std::function<void(CreatedBill)> completion) {
  createBillRequest(order).spinner().start([completion = std::move(completion)](ServerReply reply) {
    completion(readCreatedBill(reply));
  });
}

CreatedBill LotteryTopUpOperations::readCreatedBill(const ServerReply& reply) {
  CreatedBill bill;
  switch (reply.kind) {
    case FailureKind::None: {
      // "0000" without the bill, or a bill without its number, cannot be paid.
      const Json* data = reply.data();
      auto billNo = data && data->is_object() ? replyText(*data, "billno") : std::nullopt;
      if (!billNo || billNo->empty()) {
        bill.text = kUnknownError;
        return bill;
      }
      bill.outcome = CreatedBill::Outcome::Bill;
      bill.billNo = *billNo;
      bill.cnSName = replyText(*data, "cnSName").value_or("");
      return bill;
    }
    case FailureKind::SessionExpired:
    case FailureKind::Cancelled:
      bill.outcome = CreatedBill::Outcome::Silent;
      return bill;
    case FailureKind::NotSent:
    case FailureKind::OutcomeUnknown:
      // Registering a bill moves no money: a lost answer is simply asked again by a new Next.
      bill.text = kNetworkFailed;
      return bill;
    case FailureKind::Http:
    case FailureKind::BadReply:
    case FailureKind::Server:
      break;
  }
  bill.outcome = CreatedBill::Outcome::Alert;
  bill.text = reply.message().empty() ? platform::Strings::localized("Error_Unknown") : reply.message();
  return bill;
}

BillFields LotteryTopUpOperations::inquiryFields(const std::string& billNo, const std::string& amountYuan) {
  return {{"uid", SessionValue::Uid},
          {"vercode", SessionValue::Vercode},
          {"busid", std::string(kInquiryBusid)},
          {"termid", SessionValue::ReaderTerminal},
          {"mobile", SessionValue::LoginName},
          {"billno", billNo},
          {"amount", amountYuan},
          {"userToken", SessionValue::UserToken}};
}

BillFields LotteryTopUpOperations::commitFields(const std::string& srcsid, const std::string& billNo,
                                                const std::string& amountYuan) {
  return {{"uid", SessionValue::Uid},
          {"vercode", SessionValue::Vercode},
          {"busid", std::string(kCommitBusid)},
          {"termid", SessionValue::ReaderTerminal},
          {"mobile", SessionValue::LoginName},
          {"userToken", SessionValue::UserToken},
          {"srcsid", srcsid},
          {"billno", billNo},
          {"amount", amountYuan}};
}

MainApiRequest LotteryTopUpOperations::rulesRequest() {
  const auto& lottery = lottery::StaticVariable::shared();
  auto request = MainApiRequest::get("getBusiDesc", Identity::None);
  request.query("busId", kRulesBusId)
      .query("id", kRulesId)
      .sessionQuery("uid", SessionValue::Uid)
      .sessionQuery("vercode", SessionValue::Vercode)
      .query("userToken", StringsTool::encodeURL(lottery.finalTokenid()))
      .query("mobile", StringsTool::encodeURL(lottery.mobelNum()));
  return request;
}

void LotteryTopUpOperations::rules(std::function<void(Rules)> completion) {
  auto request = rulesRequest();
  std::string address = request.url();
  request.spinner().start([completion = std::move(completion), address = std::move(address)](ServerReply reply) {
    completion(readRules(reply, address));
  });
}

LotteryTopUpOperations::Rules LotteryTopUpOperations::readRules(const ServerReply& reply, std::string address) {
  Rules rules;
  rules.address = std::move(address);
  switch (reply.kind) {
    case FailureKind::None: {
      const Json* list = reply.data();
      if (list && list->is_array() && !list->empty()) {
        rules.html = platform::json::textOnly(list->front(), "aContent");
      }
      return rules;
    }
    case FailureKind::SessionExpired:
    case FailureKind::Cancelled:
      return rules;
    case FailureKind::NotSent:
    case FailureKind::OutcomeUnknown:
      rules.networkFailed = true;
      return rules;
    case FailureKind::Http:
    case FailureKind::BadReply:
    case FailureKind::Server:
      break;
  }
  rules.alert = reply.message();
  return rules;
}

}  // namespace nvx
