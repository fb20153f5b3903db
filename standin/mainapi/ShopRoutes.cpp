#include "standin/mainapi/ShopRoutes.h"

#include "platform/foundation/Text16.h"

namespace standin {

namespace {

using Call = MainApiStandin::RouteContext;

}  // namespace

void addShopRoutes(MainApiStandin& server) {
  server.addRoute("getProductsList", [](Call& call) {
    if (call.request().method != "GET") return call.error(MainApiStandin::kBadRequest, "请求方式错误");
    return call.ok(call.feature<ShopState>().products);
  });

  server.addRoute("postSuggestion", [](Call& call) {
    if (call.request().method != "POST") return call.error(MainApiStandin::kBadRequest, "请求方式错误");
    ShopSuggestion received{call.fieldOr("loginName"), call.fieldOr("suggestion"), call.fieldOr("linkedInfo")};
    if (platform::u16len(received.suggestion) > kShopSuggestionLimit) {
      return call.error(MainApiStandin::kBadRequest, "意见内容过长");
    }
    call.feature<ShopState>().suggestions.push_back(std::move(received));
    return call.ok();
  });
}

}  // namespace standin
