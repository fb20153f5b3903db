// The stand-in's own methods: terminal login and check-in (which issue the keys the shared checks
// use) and the queries every part of the client shares.
#include <array>
#include <string_view>

#include "platform/foundation/Json.h"
#include "standin/mainapi/MainApiState.h"

namespace standin {

namespace {

using platform::Json;
using Call = MainApiStandin::RouteContext;

constexpr std::string_view kTermLoginBusid = "M10003";
constexpr std::string_view kCheckinBusid = "M10002";

}  // namespace

namespace mainapi {

Json defaultUnits() {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kUnits = {{
      {"0001", "音频刷卡器 一代"},
      {"0002", "音频刷卡器 二代"},
      {"0003", "音频刷卡器 三代"},
      {"0004", "音频刷卡器 四代"},
      {"0005", "音频刷卡器 五代"},
      {"0006", "音频刷卡器 六代"},
      {"0007", "无线刷卡盒"},
      {"0008", "音频刷卡器 八代"},
  }};
  Json list = Json::array();
  for (const auto& [id, name] : kUnits) {
    Json u = Json::object();
    u["platType"] = "ios";
    u["unitid"] = id;
    u["unitname"] = name;
    u["unitdesc"] = name;
    u["state"] = "1";
    list.push_back(std::move(u));
  }
  return list;
}

}  // namespace mainapi

void addCoreRoutes(MainApiStandin& server) {
  // Handlers run under the state's lock; the state outlives every route it holds.
  MainApiStandin::State* state = server.state_.get();

  // Terminal login issues a fresh TPK under the transport key; check-in a PIK and a MAC key under it.
  auto terminal = [state, transportKey = server.settings_.transportKey](Call& call) {
    if (call.request().method != "POST") return call.error(MainApiStandin::kBadRequest, "请求方式错误");
    if (auto refused = call.token()) return *refused;
    const bool login = call.method() == "login";
    auto busid = call.field("busid");
    auto termid = call.field("termid");
    if (busid != (login ? kTermLoginBusid : kCheckinBusid) || !termid || termid->empty()) {
      return call.error(MainApiStandin::kBadRequest, "参数错误");
    }
    Json data = Json::object();
    if (login) {
      MainApiStandin::IssuedKeys keys;
      keys.tpk = mainapi::randomKeyHex();
      Json list = Json::array();
      for (int i = 0; i < state->tpkEntryCount; ++i) {
        // Entries after the first belong to other terminals and are never the terminal's key.
        std::string id = i == 0 ? *termid : *termid + "-" + std::to_string(i);
        std::string clear = i == 0 ? keys.tpk : mainapi::randomKeyHex();
        list.push_back(Json::object({{id, MainApiStandin::wrapKey(clear, transportKey)}}));
      }
      state->keys[*termid] = keys;   // a new login replaces the terminal's keys
      data["TPKs"] = std::move(list);
    } else {
      auto it = state->keys.find(*termid);
      if (it == state->keys.end() || it->second.tpk.empty()) {
        return call.error(MainApiStandin::kNotSignedIn, "终端未登录");
      }
      it->second.pik = mainapi::randomKeyHex();
      it->second.mac = mainapi::randomKeyHex();
      if (state->checkinPiks) {
        data["PIKs"] = Json::array({Json::object({{*termid, MainApiStandin::wrapKey(it->second.pik, it->second.tpk)}})});
      }
      if (state->checkinMacs) {
        data["MACs"] = Json::array({Json::object({{*termid, MainApiStandin::wrapKey(it->second.mac, it->second.tpk)}})});
      }
    }
    return call.ok(std::move(data));
  };
  server.addRoute("login", terminal);
  server.addRoute("checkin", terminal);

  server.addRoute("queryTrans", [state](Call& call) {
    if (auto refused = call.token()) return *refused;
    if (auto refused = call.mac(false)) return *refused;
    auto it = state->queryTransData.find(call.fieldOr("busid"));
    return call.ok(it != state->queryTransData.end() ? it->second : Json::object());
  });

  server.addRoute("getShuakaqiList", [state](Call& call) {
    if (!call.field("version")) return call.error(MainApiStandin::kBadRequest, "缺少版本号");
    return call.ok(state->clientVersions);
  });

  server.addRoute("getParameter", [state](Call& call) {
    auto key = call.field("key");
    if (!key) return call.error(MainApiStandin::kBadRequest, "缺少参数名");
    auto it = state->parameters.find({*key, call.fieldOr("dictCode")});
    if (it == state->parameters.end()) return call.error(MainApiStandin::kNotFound, "参数不存在");
    return call.ok(it->second);
  });

  // Any business has a description: a list of one entry whose "aContent" the client shows.
  server.addRoute("getBusiDesc", [](Call& call) {
    if (call.fieldOr("busId").empty()) return call.error(MainApiStandin::kBadRequest, "参数错误");
    return call.ok(Json::array({Json::object({{"aContent", std::string(MainApiStandin::kBusiDesc)}})}));
  });

  server.addRoute("getUnitListNew", [state](Call& call) { return call.ok(state->units); });

  server.addRoute("checkUserDeviceInfo", [state](Call& call) {
    const std::string loginName = call.fieldOr("loginName");
    const std::string psamNo = call.fieldOr("psamNo");
    if (loginName.empty() || psamNo.empty()) return call.error(MainApiStandin::kBadRequest, "参数错误");
    std::string owned = "0";   // a reader nobody owns yet
    if (auto it = state->readerOwners.find(psamNo); it != state->readerOwners.end()) {
      owned = it->second == loginName ? "1" : "-2";
    }
    return call.ok(Json::object({{"state", owned}}));
  });
}

}  // namespace standin
