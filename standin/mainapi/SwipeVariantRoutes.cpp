#include "standin/mainapi/SwipeVariantRoutes.h"

#include <openssl/crypto.h>

#include <algorithm>
#include <regex>

#include "standin/mainapi/BusidRules.h"

namespace standin {

namespace {

using platform::Json;
using Call = MainApiStandin::RouteContext;

constexpr std::string_view kPinRefused = "0055";
constexpr std::string_view kNoSuchInquiry = "3002";
constexpr std::string_view kCollectedAlready = "0094";

// The PIN block of the call, when it carries one: true when it deciphers to a PIN, false when
// it does not, nothing without one.
std::optional<bool> pinOf(Call& call) {
  auto pinkey = call.field("pinkey");
  if (!pinkey) return std::nullopt;
  auto pin = call.pinBlock(*pinkey, call.fieldOr("termid"));
  if (!pin.isOk()) return false;
  OPENSSL_cleanse(pin->data(), pin->size());
  return true;
}

Call::Refusal cardRefusal(Call& call) {
  if (call.fieldOr("otrack").empty() || call.fieldOr("rnd").empty()) {
    return call.error(MainApiStandin::kBadRequest, "缺少磁道信息");
  }
  return std::nullopt;
}

std::string hundredths(int64_t value) { return std::to_string(value); }

HttpStandin::Reply balance(Call& call) {
  if (auto refused = cardRefusal(call)) return *refused;
  auto pin = pinOf(call);
  if (!pin) return call.error(kPinRefused, "请输入密码");
  if (!*pin) return call.error(kPinRefused, "密码错误");
  auto& state = call.feature<SwipeVariantState>();
  state.balances.push_back({call.fieldOr("termid"), true});
  return call.ok(Json{{"pan", state.pan}, {"sytm", "20261211130000"}, {"amount", std::to_string(state.balanceFen)}});
}

HttpStandin::Reply pointsInquiry(Call& call) {
  if (auto refused = cardRefusal(call)) return *refused;
  SwipeVariantState::Points points;
  points.termid = call.fieldOr("termid");
  points.otrack = call.fieldOr("otrack");
  points.rnd = call.fieldOr("rnd");
  points.billno = call.fieldOr("billno");
  points.blname = call.fieldOr("blname");
  points.issms = call.fieldOr("issms");
  points.mobileno = call.fieldOr("mobileno");
  if (points.billno.empty() || points.blname.empty()) return call.error(MainApiStandin::kBadRequest, "缺少归集账户");
  auto amount = Call::amount12(call.fieldOr("amount"));
  if (!amount || *amount <= 0) return call.error(MainApiStandin::kBadRequest, "数量错误");
  points.amount = *amount;
  static const std::regex kMobile("^1[0-9]{10}$");
  if (points.issms == "1" ? !std::regex_match(points.mobileno, kMobile)
                          : points.issms != "0" || call.field("mobileno")) {
    return call.error(MainApiStandin::kBadRequest, "短信参数错误");
  }
  auto pin = pinOf(call);
  if (pin && !*pin) return call.error(kPinRefused, "密码错误");
  points.withPin = pin.value_or(false);
  auto& state = call.feature<SwipeVariantState>();
  points.sid = "P" + std::to_string(state.inquiries.size() + 1);
  state.inquiries.push_back(points);
  return call.ok(Json{{"sid", points.sid},
                      {"pan", state.pointsPan},
                      {"amount", hundredths(points.amount)},
                      {"fee", hundredths(state.feePoints)},
                      {"price", hundredths(points.amount + state.feePoints)}});
}

// The collection: an inquiry answered before with the same card fields and values, once.
Call::Refusal collect(Call& call, std::optional<int64_t>& fen) {
  auto& state = call.feature<SwipeVariantState>();
  auto it = std::find_if(state.inquiries.begin(), state.inquiries.end(), [&](const SwipeVariantState::Points& p) {
    return p.otrack == call.fieldOr("otrack") && p.rnd == call.fieldOr("rnd") && p.billno == call.fieldOr("billno") &&
           p.blname == call.fieldOr("blname") && fen && p.amount == *fen && p.termid == call.fieldOr("termid");
  });
  if (it == state.inquiries.end()) return call.error(kNoSuchInquiry, "无对应的查询");
  if (it->withPin != call.field("pinkey").has_value()) return call.error(kPinRefused, "密码错误");
  if (it->collected) return call.error(kCollectedAlready, "该笔积分已归集");
  it->collected = true;
  state.collections.push_back(*it);
  return std::nullopt;
}

void collectionReply(Call& call, Json& data) {
  auto& state = call.feature<SwipeVariantState>();
  if (state.collections.empty()) return;
  const auto& last = state.collections.back();
  data["pan"] = state.pointsPan;
  data["amount"] = hundredths(last.amount);
  data["fee"] = hundredths(state.feePoints);
  data["price"] = hundredths(last.amount + state.feePoints);
}

}  // namespace

void addSwipeVariantRoutes(MainApiStandin& server) {
  auto lock = server.lock();
  auto& rules = server.feature<BusidRules>();
  rules.inquiries["M30000"] = balance;
  rules.inquiries["17G"] = pointsInquiry;
  rules.commits["17E"] = collect;
  rules.commitReplies["17E"] = collectionReply;
}

}  // namespace standin
