#include "standin/mainapi/PayRoutes.h"

#include <openssl/crypto.h>

#include "standin/mainapi/BusidRules.h"
#include "standin/mainapi/MultiPayRoutes.h"

namespace standin {

namespace {

using platform::Json;
using Call = MainApiStandin::RouteContext;

constexpr std::string_view kPinRefused = "0055";

HttpStandin::Reply commit(Call& call) {
  // Wallet pay types (ZX, ZH, XH) are judged by the multi-pay routes.
  if (isWalletCommit(call)) return walletCommit(call);
  if (auto refused = call.token()) return *refused;
  if (auto refused = call.mac(true)) return *refused;
  std::optional<int64_t> fen = Call::amount12(call.fieldOr("amount"));
  // A business with rules of its own judges its fields (and names the amount it charges when the
  // commit carries none).
  auto& rules = call.feature<BusidRules>().commits;
  if (auto rule = rules.find(call.fieldOr("busid")); rule != rules.end()) {
    if (auto refused = rule->second(call, fen)) return *refused;
  }
  if (!fen) return call.error(MainApiStandin::kBadRequest, "金额错误");
  const std::string otrack = call.fieldOr("otrack");
  const std::string rnd = call.fieldOr("rnd");
  if (otrack.empty() || rnd.empty()) return call.error(MainApiStandin::kBadRequest, "缺少磁道信息");
  const std::string termid = call.fieldOr("termid");
  bool withPin = false;
  if (auto pinkey = call.field("pinkey")) {
    auto pin = call.pinBlock(*pinkey, termid);
    if (!pin.isOk()) return call.error(kPinRefused, "密码错误");
    OPENSSL_cleanse(pin->data(), pin->size());
    withPin = true;
  }
  auto& pay = call.feature<PayState>();
  pay.commits.push_back({call.method(), call.fieldOr("busid"), termid, *fen, call.field("srcsid"), withPin});
  Json data = pay.extraData;
  const std::string serial = std::to_string(pay.commits.size());
  data["sysref"] = "SR" + std::string(12 - std::min<size_t>(12, serial.size()), '0') + serial;
  data["sid"] = "S" + serial;
  data["price"] = std::to_string(*fen);
  data["pan"] = "622202******0123";
  data["sytm"] = "20261211130000";
  if (auto reply = call.feature<BusidRules>().commitReplies.find(call.fieldOr("busid"));
      reply != call.feature<BusidRules>().commitReplies.end()) {
    reply->second(call, data);
  }
  return call.ok(std::move(data));
}

}  // namespace

void addPayRoutes(MainApiStandin& server) {
  server.addRoute("commitTransaction", commit);
  server.addRoute("commitRemitTransaction", commit);
}

}  // namespace standin
