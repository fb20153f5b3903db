#include "standin/mainapi/ThemeRoutes.h"

namespace standin {

namespace {

using Call = MainApiStandin::RouteContext;

// A theme or picture call: a GET that names the screen's resolution ("1136_640").
HttpStandin::Reply record(Call& call, platform::Json ThemeState::*field) {
  if (call.request().method != "GET") return call.error(MainApiStandin::kBadRequest, "请求方式错误");
  auto resolution = call.field("resulation");
  if (!resolution || resolution->empty()) return call.error(MainApiStandin::kBadRequest, "参数错误");
  auto& state = call.feature<ThemeState>();
  state.resolutions.push_back(*resolution);
  const platform::Json& value = state.*field;
  if (value.is_null()) return call.ok();
  return call.ok(value);
}

}  // namespace

void addThemeRoutes(MainApiStandin& server) {
  server.addRoute("getAdverTisement", [](Call& call) {
    if (call.request().method != "GET") return call.error(MainApiStandin::kBadRequest, "请求方式错误");
    return call.ok(call.feature<ThemeState>().adverts);
  });
  server.addRoute("getMobileTheme", [](Call& call) { return record(call, &ThemeState::theme); });
  server.addRoute("getMobilehomePic", [](Call& call) { return record(call, &ThemeState::homePic); });
}

}  // namespace standin
