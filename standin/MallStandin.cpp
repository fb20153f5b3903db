#include "standin/MallStandin.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace standin {

namespace {

using platform::Json;

struct ScriptedError {
  std::string code;
  std::string message;
  int times = 0;
};

std::optional<std::string> queryValue(const HttpStandin::Request& request, std::string_view key) {
  for (const auto& [k, v] : request.queryFields)
    if (k == key) return v;
  return std::nullopt;
}

int queryInt(const HttpStandin::Request& request, std::string_view key, int fallback) {
  auto text = queryValue(request, key);
  if (!text) return fallback;
  int value = 0;
  auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (ec != std::errc{} || end != text->data() + text->size()) return fallback;
  return value;
}

// One page (from 1) of a list; pages past the end are empty.
Json page(const std::vector<Json>& all, int index, int size) {
  Json out = Json::array();
  if (index < 1 || size < 1) return out;
  const size_t from = static_cast<size_t>(index - 1) * static_cast<size_t>(size);
  for (size_t i = from; i < all.size() && i < from + static_cast<size_t>(size); ++i) out.push_back(all[i]);
  return out;
}

HttpStandin::Reply envelope(const MallStandin::Answer& answer) {
  Json body = Json::object();
  body["retStatus"] = Json::object({{"retCode", answer.code}, {"errMsg", answer.message}});
  if (!answer.data.is_null()) body["retData"] = answer.data;
  return HttpStandin::Reply::json(platform::json::dump(body));
}

}  // namespace

struct MallStandin::State {
  std::mutex mutex;
  std::map<std::string, Route, std::less<>> routes;
  std::map<int, std::vector<Json>> homeLists;
  std::vector<Json> products;
  std::map<std::string, std::string, std::less<>> values;
  std::map<std::string, ScriptedError, std::less<>> scripted;

  HttpStandin::Reply answer(const HttpStandin::Request& request) {
    std::string_view path = request.path;
    for (std::string_view base : {kSecondBasePath, kBasePath}) {
      if (path.starts_with(base)) {
        path.remove_prefix(base.size());
        break;
      }
    }
    std::lock_guard lock(mutex);
    const std::string name(path.substr(0, path.find('/')));
    if (auto s = scripted.find(name); s != scripted.end() && s->second.times > 0) {
      --s->second.times;
      return envelope(Answer::error(s->second.code, s->second.message));
    }
    auto route = routes.find(path);
    if (route == routes.end()) route = routes.find(name + "/");
    if (route == routes.end()) return HttpStandin::Reply::text("no such call", 404);
    return envelope(route->second(request));
  }
};

MallStandin::MallStandin() : state_(std::make_shared<State>()) {
  auto& s = *state_;
  s.values[std::string(kReaderProductKey)] = std::string(kReaderProductId);
  s.products = {makeProduct(kReaderProductId, "刷卡器", 9900), makeProduct("20132", "刷卡器保护套", 1500)};
  s.homeLists[1] = {makeHomeEntry("1", "每周特惠", "2", kReaderProductId),
                    makeHomeEntry("2", "会员专区", "4", "http://127.0.0.1/member.html")};

  State* state = state_.get();
  s.routes["pageHomeList"] = [state](const HttpStandin::Request& r) {
    auto list = state->homeLists.find(queryInt(r, "pageType", 0));
    if (list == state->homeLists.end()) return Answer::ok(Json::array());
    return Answer::ok(page(list->second, queryInt(r, "pageIndex", 1), queryInt(r, "pageSize", 30)));
  };
  s.routes["productList"] = [state](const HttpStandin::Request& r) {
    return Answer::ok(page(state->products, queryInt(r, "pageIndex", 1), queryInt(r, "pageSize", 20)));
  };
  s.routes["product"] = [state](const HttpStandin::Request& r) {
    // The client names the product "pId"; "id" is taken too.
    auto id = queryValue(r, "pId").value_or(queryValue(r, "id").value_or(""));
    for (const auto& p : state->products)
      if (platform::json::asText(p["id"]).value_or("") == id) return Answer::ok(p);
    return Answer::error(kNotFound, "商品不存在");
  };
  s.routes["getValue"] = [state](const HttpStandin::Request& r) {
    auto key = queryValue(r, "key").value_or("");
    auto v = state->values.find(key);
    if (v == state->values.end()) return Answer::error(kNotFound, "没有该配置");
    return Answer::ok(Json::object({{"key", key}, {"value", v->second}}));
  };

  auto handler = [state](const HttpStandin::Request& r) { return state->answer(r); };
  http().route("GET", std::string(kSecondBasePath) + "*", handler);
  http().route("GET", std::string(kBasePath) + "*", handler);
}

MallStandin::~MallStandin() { stop(); }

std::string MallStandin::mallAddress() const { return baseUrl() + std::string(kBasePath); }
std::string MallStandin::secondAddress() const { return baseUrl() + std::string(kSecondBasePath); }

void MallStandin::addRoute(std::string name, Route route) {
  std::lock_guard lock(state_->mutex);
  state_->routes[std::move(name)] = std::move(route);
}

void MallStandin::setHomeList(int pageType, std::vector<Json> entries) {
  std::lock_guard lock(state_->mutex);
  state_->homeLists[pageType] = std::move(entries);
}

void MallStandin::setProducts(std::vector<Json> products) {
  std::lock_guard lock(state_->mutex);
  state_->products = std::move(products);
}

void MallStandin::setValue(std::string key, std::string value) {
  std::lock_guard lock(state_->mutex);
  state_->values[std::move(key)] = std::move(value);
}

void MallStandin::scriptError(std::string name, std::string code, std::string message, int times) {
  std::lock_guard lock(state_->mutex);
  state_->scripted[std::move(name)] = ScriptedError{std::move(code), std::move(message), times};
}

Json MallStandin::makeProduct(std::string_view id, std::string_view title, int salePriceFen) {
  return Json::object({{"id", id},
                       {"title", title},
                       {"subtitle", nullptr},
                       {"status", 1},
                       {"thumbnail", ""},
                       {"salePrice", salePriceFen},
                       {"costPrice", salePriceFen + salePriceFen / 5},
                       {"saleCount", 0},
                       {"images", Json::array()},
                       {"skuAttrs", Json::array()},
                       {"payModes", Json::array({1})}});
}

Json MallStandin::makeHomeEntry(std::string_view id, std::string_view name, std::string_view idType,
                                std::string_view pageContent, std::string_view status) {
  return Json::object({{"id", id},
                       {"name", name},
                       {"beginTime", "2026-12-01 00:00:00"},
                       {"endTime", "2026-12-31 23:59:59"},
                       {"imgUrl", ""},
                       {"idType", idType},
                       {"pageContent", pageContent},
                       {"status", status}});
}

}  // namespace standin
