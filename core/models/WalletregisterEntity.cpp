#include "core/models/WalletregisterEntity.h"

namespace nvx {

WalletregisterEntity WalletregisterEntity::initWithJson(const platform::Json& json) {
  WalletregisterEntity entity;
  if (!json.is_object()) return entity;
  entity.userId_ = platform::json::text(json, "userId").value_or("");
  entity.userToken_ = platform::json::text(json, "userToken").value_or("");
  entity.psamNo_ = platform::json::text(json, "psamNo").value_or("");
  return entity;
}

}  // namespace nvx
