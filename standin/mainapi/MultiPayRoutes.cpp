#include "standin/mainapi/MultiPayRoutes.h"

#include <openssl/crypto.h>

#include <algorithm>
#include <cctype>

#include "standin/mainapi/PayRoutes.h"

namespace standin {

namespace {

using platform::Json;
using Call = MainApiStandin::RouteContext;

constexpr std::string_view kPinRefused = "0055";
constexpr std::string_view kLowBalance = "0012";
constexpr std::string_view kSeriesReused = "0094";

std::string fen12(int64_t fen) {
  std::string digits = std::to_string(fen);
  return std::string(12 - std::min<size_t>(12, digits.size()), '0') + digits;
}

bool isHex(std::string_view text, size_t size) {
  if (text.size() != size) return false;
  for (char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

bool isDigits(std::string_view text, size_t size) {
  if (text.size() != size) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

bool isWalletCommit(const Call& call) {
  const std::string type = call.fieldOr("type");
  return type == "ZX" || type == "ZH" || type == "XH";
}

HttpStandin::Reply walletCommit(Call& call) {
  if (auto refused = call.token()) return *refused;
  if (auto refused = call.mac(true)) return *refused;
  if (call.field("wallet")) return call.error(MainApiStandin::kBadRequest, "参数错误");
  auto fen = Call::amount12(call.fieldOr("amount"));
  if (!fen || *fen <= 0) return call.error(MainApiStandin::kBadRequest, "金额错误");
  const std::string type = call.fieldOr("type");
  const std::string termid = call.fieldOr("termid");
  const std::string series = call.fieldOr("series");
  if (!isDigits(series, 6) || !isDigits(call.fieldOr("tdtm"), 12) || !isHex(call.fieldOr("rnd"), 16) ||
      call.fieldOr("lpmercd").empty()) {
    return call.error(MainApiStandin::kBadRequest, "参数错误");
  }
  auto& state = call.feature<MultiPayState>();
  MultiPayState::Commit commit{type, call.fieldOr("busid"), termid, call.fieldOr("pan"), call.fieldOr("pan2"),
                               call.fieldOr("giftno"), *fen, 0, series, false};
  // The red packets of the choice: every id must be one of the user's.
  int64_t packetsFen = 0;
  if (type != "ZX") {
    if (commit.giftno.empty()) return call.error(MainApiStandin::kBadRequest, "缺少红包");
    size_t at = 0;
    for (;;) {
      size_t bar = commit.giftno.find('|', at);
      std::string id = commit.giftno.substr(at, bar == std::string::npos ? std::string::npos : bar - at);
      auto it = std::find_if(state.redPackets.begin(), state.redPackets.end(),
                             [&](const auto& p) { return p.giftno == id; });
      if (it == state.redPackets.end()) return call.error(MainApiStandin::kBadRequest, "红包不可用");
      packetsFen += it->amountFen;
      if (bar == std::string::npos) break;
      at = bar + 1;
    }
  }
  const std::string expectedPan = type == "ZH" ? state.giftPan : state.walletPan;
  if (commit.pan != expectedPan) return call.error(MainApiStandin::kBadRequest, "账户错误");
  int64_t fromBalance = *fen;
  if (type == "XH") {
    auto famount = Call::amount12(call.fieldOr("famount"));
    if (!famount || *famount != packetsFen || *famount >= *fen || commit.pan2 != state.giftPan) {
      return call.error(MainApiStandin::kBadRequest, "红包金额错误");
    }
    commit.famountFen = *famount;
    fromBalance = *fen - *famount;
  } else if (type == "ZH") {
    if (call.field("famount") || packetsFen < *fen) return call.error(MainApiStandin::kBadRequest, "红包金额错误");
    fromBalance = 0;
  }
  if (auto pinkey = call.field("pinkey")) {
    auto pin = call.pinBlock(*pinkey, termid);
    if (!pin.isOk()) return call.error(kPinRefused, "支付密码错误");
    OPENSSL_cleanse(pin->data(), pin->size());
    commit.withPin = true;
  }
  // A series number is used once per terminal, whatever became of the call that carried it.
  if (!state.seenSeries[termid].insert(series).second) return call.error(kSeriesReused, "交易流水号重复");
  if (fromBalance > state.balanceFen) return call.error(kLowBalance, "余额不足");
  state.balanceFen -= fromBalance;
  state.transferableFen = std::min(state.transferableFen, state.balanceFen);
  state.commits.push_back(commit);
  publishWalletData(call.server());

  auto& pay = call.feature<PayState>();
  pay.commits.push_back({call.method(), commit.busid, termid, *fen, call.field("srcsid"), commit.withPin});
  Json data = pay.extraData;
  const std::string serial = std::to_string(pay.commits.size());
  data["sysref"] = "SR" + std::string(12 - std::min<size_t>(12, serial.size()), '0') + serial;
  data["sid"] = "S" + serial;
  data["price"] = std::to_string(*fen);
  data["pan"] = commit.pan;
  data["famount"] = fen12(commit.famountFen);
  data["sytm"] = "20261211130000";
  return call.ok(std::move(data));
}

void publishWalletData(MainApiStandin& server) {
  auto lock = server.lock();
  auto& state = server.feature<MultiPayState>();
  server.setQueryTransData("110001", Json{{"pan", state.walletPan},
                                          {"amount", std::to_string(state.balanceFen)},
                                          {"tamount", std::to_string(state.transferableFen)},
                                          {"giftno", state.giftPan},
                                          {"giftamount", "0"}});
  Json items = Json::array();
  for (const auto& packet : state.redPackets) {
    items.push_back(Json{{"giftno", packet.giftno}, {"giftamt", std::to_string(packet.amountFen)}});
  }
  server.setQueryTransData("130002", Json{{"giftnum", std::to_string(state.redPackets.size())}, {"giftinfo", items}});
}

void addMultiPayRoutes(MainApiStandin& server) {
  publishWalletData(server);
  server.addRoute("queryPayType", [](Call& call) {
    const std::string busid = call.fieldOr("busid");
    if (busid.empty()) return call.error(MainApiStandin::kBadRequest, "缺少业务编号");
    auto& state = call.feature<MultiPayState>();
    auto it = state.payTypes.find(busid);
    if (it != state.payTypes.end()) return call.ok(it->second);
    return call.ok(Json::array({Json{{"busid", busid}, {"cardPay", "1"}, {"balancePay", "1"}, {"giftPay", "1"},
                                     {"pointPay", "0"}, {"platType", ""}, {"merid", ""}}}));
  });
}

}  // namespace standin
