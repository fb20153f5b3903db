#include "standin/mainapi/LotteryTopUpRoutes.h"

#include "standin/mainapi/BillsRoutes.h"
#include "standin/mainapi/BusidRules.h"
#include "standin/mainapi/PayRoutes.h"

namespace standin {

namespace {

using platform::Json;
using Call = MainApiStandin::RouteContext;

constexpr std::string_view kNoSuchBill = "3001";
constexpr std::string_view kBillPaid = "3003";
constexpr const char* kInquiry = "M50005";
constexpr const char* kCommit = "M20013";

bool digits(const std::string& text, size_t maxLength) {
  return !text.empty() && text.size() <= maxLength && text.find_first_not_of("0123456789") == std::string::npos;
}

const LotteryTopUpState::Bill* lotteryBill(Call& call, std::string_view billno) {
  auto& bills = call.feature<LotteryTopUpState>().bills;
  auto it = bills.find(billno);
  return it == bills.end() ? nullptr : &it->second;
}

// Whether a commit the server accepted paid this bill.
bool isPaid(Call& call, const std::string& billno) {
  const auto& inquiries = call.feature<BillsState>().inquiries;
  for (const auto& commit : call.feature<PayState>().commits) {
    if (commit.busid != kCommit || !commit.srcsid) continue;
    auto it = inquiries.find(*commit.srcsid);
    if (it != inquiries.end() && it->second.billno == billno) return true;
  }
  return false;
}

HttpStandin::Reply createBill(Call& call) {
  LotteryTopUpState::Bill bill;
  bill.merId = call.fieldOr("merId");
  bill.orderId = call.fieldOr("orderId");
  bill.amount = call.fieldOr("amount");
  bill.minCode = call.fieldOr("minCode");
  bill.randnum = call.fieldOr("randnum");
  bill.macType = call.fieldOr("macType");
  bill.mac = call.fieldOr("mac");
  bill.ver = call.fieldOr("ver");   // the first "ver": the order's; the request hook's follows
  if (bill.merId.empty() || bill.orderId.empty() || bill.mac.empty() || bill.randnum.empty() ||
      !digits(bill.macType, 3) || !digits(bill.amount, 12)) {
    return call.error(MainApiStandin::kBadRequest, "订单参数错误");
  }
  bill.amountFen = std::stoll(bill.amount);
  if (bill.amountFen <= 0) return call.error(MainApiStandin::kBadRequest, "订单金额错误");
  auto& state = call.feature<LotteryTopUpState>();
  const std::string billno = "LB" + std::to_string(100000 + state.bills.size() + 1);
  state.bills[billno] = std::move(bill);
  return call.ok(Json::object({{"billno", billno}, {"cnSName", state.cnSName}}));
}

}  // namespace

void addLotteryTopUpRoutes(MainApiStandin& server) {
  server.addRoute("createBill", createBill);

  // The bill inquiry and commit serve the bill-number road too: a lottery bill is judged here,
  // any other bill by the rules already in place.
  auto& rules = server.feature<BusidRules>();
  BusidRules::Inquiry billInquiry = rules.inquiries[kInquiry];
  rules.inquiries[kInquiry] = [billInquiry](Call& call) {
    const std::string billno = call.fieldOr("billno");
    if (const auto* bill = lotteryBill(call, billno)) {
      if (Call::amount12(call.fieldOr("amount")) != bill->amountFen) {
        return call.error(MainApiStandin::kBadRequest, "金额与订单不符");
      }
      if (isPaid(call, billno)) return call.error(kBillPaid, "账单已支付");
    }
    if (!billInquiry) return call.error(kNoSuchBill, "账单不存在");
    return billInquiry(call);
  };
  BusidRules::CommitCheck billCommit = rules.commits[kCommit];
  rules.commits[kCommit] = [billCommit](Call& call, std::optional<int64_t>& fen) -> Call::Refusal {
    const auto& inquiries = call.feature<BillsState>().inquiries;
    auto it = inquiries.find(call.fieldOr("srcsid"));
    const std::string billno = it != inquiries.end() ? it->second.billno : std::string();
    if (!lotteryBill(call, billno)) {
      if (billCommit) return billCommit(call, fen);
      return std::nullopt;
    }
    const BillsState::Inquiry& inquiry = it->second;
    if (inquiry.busid != kInquiry || call.fieldOr("billno") != billno) {
      return call.error(MainApiStandin::kBadRequest, "账单号不符");
    }
    if (isPaid(call, billno)) return call.error(kBillPaid, "账单已支付");
    if (fen && *fen != inquiry.amountFen && *fen != inquiry.priceFen) {
      return call.error(MainApiStandin::kBadRequest, "金额不符");
    }
    if (!fen) fen = inquiry.priceFen;
    return std::nullopt;
  };
}

}  // namespace standin
