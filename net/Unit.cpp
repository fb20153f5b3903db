#include "net/Unit.h"

namespace nvx {

namespace {

std::optional<std::string> textOf(const platform::Json& json, std::string_view key) {
  const platform::Json* value = platform::json::member(json, key);
  if (!value || !value->is_string()) return std::nullopt;
  return value->get<std::string>();
}

}  // namespace

Unit Unit::initWithJson(const platform::Json& json) {
  Unit u;
  if (!json.is_object()) return u;
  u.platType_ = textOf(json, "platType");
  u.unitid_ = textOf(json, "unitid");
  u.unitname_ = textOf(json, "unitname");
  u.unitdesc_ = textOf(json, "unitdesc");
  u.state_ = textOf(json, "state");
  return u;
}

}  // namespace nvx
