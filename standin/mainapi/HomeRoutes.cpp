#include "standin/mainapi/HomeRoutes.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace standin {

namespace {

using platform::Json;
using Call = MainApiStandin::RouteContext;

// A message id as the client sends it: a decimal integer, "-1" before any message was seen.
std::optional<int64_t> messageId(const std::string& text) {
  int64_t value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
  return value;
}

}  // namespace

void addHomeRoutes(MainApiStandin& server) {
  server.addRoute("getPromotion", [](Call& call) {
    if (call.request().method != "GET") return call.error(MainApiStandin::kBadRequest, "请求方式错误");
    return call.ok(call.feature<HomeState>().promotions);
  });

  server.addRoute("getTotalMsg", [](Call& call) {
    if (call.request().method != "GET") return call.error(MainApiStandin::kBadRequest, "请求方式错误");
    auto seen = messageId(call.fieldOr("maxMsgId"));
    if (!seen) return call.error(MainApiStandin::kBadRequest, "参数错误");
    const auto& ids = call.feature<HomeState>().noticeIds;
    const auto newer = std::count_if(ids.begin(), ids.end(), [&](int64_t id) { return id > *seen; });
    return call.ok(Json::object({{"total", static_cast<int64_t>(newer)}}));
  });
}

}  // namespace standin
