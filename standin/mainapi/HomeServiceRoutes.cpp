#include "standin/mainapi/HomeServiceRoutes.h"

#include <charconv>
#include <optional>
#include <string>

namespace standin {

namespace {

using platform::Json;
using Call = MainApiStandin::RouteContext;

// A page number as the client sends it: a decimal integer from 1.
std::optional<int> pageNumber(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value < 1) return std::nullopt;
  return value;
}

}  // namespace

void addHomeServiceRoutes(MainApiStandin& server) {
  server.addRoute("getNoticeMsg", [](Call& call) {
    if (call.request().method != "GET") return call.error(MainApiStandin::kBadRequest, "请求方式错误");
    auto page = pageNumber(call.fieldOr("currPage"));
    if (!page) return call.error(MainApiStandin::kBadRequest, "参数错误");
    const Json& notices = call.feature<HomeServiceState>().notices;
    const size_t size = notices.is_array() ? notices.size() : 0;
    const size_t pageSize = HomeServiceState::kPageSize;
    Json list = Json::array();
    for (size_t i = (static_cast<size_t>(*page) - 1) * pageSize; i < size && list.size() < pageSize; ++i) {
      list.push_back(notices[i]);
    }
    const size_t pages = (size + pageSize - 1) / pageSize;
    std::string newest = size ? platform::json::asText(platform::json::valueOrNull(notices[0], "msgId")).value_or("") : "";
    return call.ok(Json::object({{"totalNum", std::to_string(size)},
                                 {"currPage", std::to_string(*page)},
                                 {"maxMsgId", newest},
                                 {"totalPage", std::to_string(pages)},
                                 {"list", std::move(list)}}));
  });

  // "getMobileByPsamNo/<terminal id>": the login name the reader was opened for, "" for none.
  server.addRoute("getMobileByPsamNo/", [](Call& call) {
    if (call.segments().size() != 2 || call.segments()[1].empty()) {
      return call.error(MainApiStandin::kBadRequest, "参数错误");
    }
    const auto& logins = call.feature<HomeServiceState>().readerLogins;
    auto it = logins.find(call.segments()[1]);
    return call.ok(Json::object({{"loginName", it == logins.end() ? std::string() : it->second}}));
  });

  server.addRoute("getServiceGroup", [](Call& call) {
    if (call.request().method != "GET") return call.error(MainApiStandin::kBadRequest, "请求方式错误");
    return call.ok(call.feature<HomeServiceState>().serviceGroups);
  });
}

}  // namespace standin
