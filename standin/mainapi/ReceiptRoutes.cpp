#include "standin/mainapi/ReceiptRoutes.h"

namespace standin {

void addReceiptRoutes(MainApiStandin& server) {
  server.addRoute("getMarketing", [](MainApiStandin::RouteContext& call) {
    if (call.request().method != "GET") return call.error(MainApiStandin::kBadRequest, "请求方式错误");
    auto busid = call.field("busid");
    if (!busid) return call.error(MainApiStandin::kBadRequest, "参数错误");
    auto& receipt = call.feature<ReceiptState>();
    receipt.asked.push_back(*busid);
    auto it = receipt.marketing.find(*busid);
    if (it == receipt.marketing.end()) return call.ok();
    return call.ok(it->second);
  });
}

}  // namespace standin
