#include "core/session/NVXData.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"

namespace nvx {

namespace {

using platform::Json;

// A JSON object read from a file with nulls dropped; nothing when the file is missing, is not
// JSON or holds anything but an object.
std::optional<Json> readObject(const platform::Path& path) {
  auto bytes = platform::fs::read(path);
  if (!bytes) return std::nullopt;
  auto json = platform::json::parseDroppingNulls(*bytes);
  if (!json || !json->is_object()) return std::nullopt;
  return json;
}

const Json* path(const Json& root, std::initializer_list<std::string_view> keys) {
  const Json* node = &root;
  for (auto key : keys) {
    node = platform::json::member(*node, key);
    if (!node) return nullptr;
  }
  return node;
}

}  // namespace

NVXData& NVXData::sharedNVXData() { return platform::Process::current().shared<NVXData>(); }

platform::Path NVXData::file() { return platform::Sandbox::documents() / kFileName; }

NVXData::NVXData() {
  std::optional<Json> init;
  if (auto resource = platform::Bundle::main().resource("initData", "txt")) init = readObject(*resource);
  if (!init) platform::log::warning("NVXData", "the application data \"initData.txt\" is missing or unreadable");
  nvxdata_[kInitData] = init.value_or(Json::object());

  std::optional<Json> saved = readObject(file());
  if (!saved) saved = Json{{"advertisements", Json::array()}};
  nvxdata_[kMutableData] = std::move(*saved);
}

Json NVXData::advertiseMents() const {
  if (const Json* saved = path(nvxdata_, {kMutableData, "advertisements"}); saved && saved->is_array() && !saved->empty()) {
    return *saved;
  }
  if (const Json* defaults = path(nvxdata_, {kInitData, "install_data", "ad_default"}); defaults && defaults->is_array()) {
    return *defaults;
  }
  return Json::array();
}

void NVXData::setAdvertiseMents(const Json& list) {
  if (!list.is_array()) {
    platform::log::warning("NVXData", "advertisements must be a list; nothing stored");
    return;
  }
  Json& mutableData = nvxdata_[kMutableData];
  if (!mutableData.is_object()) mutableData = Json::object();
  mutableData["advertisements"] = list;
  save();
}

Json NVXData::moreInfoConfigs() const {
  const Json* more = path(nvxdata_, {kInitData, "install_data", "more_info"});
  return more ? *more : Json();
}

bool NVXData::save() const {
  const Json* mutableData = platform::json::member(nvxdata_, kMutableData);
  const std::string text = platform::json::dump(mutableData ? *mutableData : Json::object());
  if (platform::fs::writeAtomic(file(), text)) return true;
  platform::log::warning("NVXData", "could not write " + file().string());
  return false;
}

std::string NVXData::description() const { return platform::json::dump(nvxdata_); }

}  // namespace nvx
