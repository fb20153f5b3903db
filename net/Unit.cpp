#include "net/Unit.h"

namespace nvx {

Unit Unit::initWithJson(const platform::Json& json) {
  using platform::json::textOnly;
  Unit u;
  u.platType_ = textOnly(json, "platType");
  u.unitid_ = textOnly(json, "unitid");
  u.unitname_ = textOnly(json, "unitname");
  u.unitdesc_ = textOnly(json, "unitdesc");
  u.state_ = textOnly(json, "state");
  return u;
}

}  // namespace nvx
