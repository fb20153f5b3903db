#include "app/core/GetUserInfoParse.h"

namespace nvx {

namespace {

std::string textOf(const platform::Json& json, std::string_view key) {
  const platform::Json* value = platform::json::member(json, key);
  return value && value->is_string() ? value->get<std::string>() : std::string();
}

}  // namespace

GetUserInfoParse GetUserInfoParse::initWithDic(const platform::Json& dic) {
  GetUserInfoParse p;
  if (!dic.is_object()) return p;
  p.email_ = textOf(dic, "email");
  p.realName_ = textOf(dic, "realName");
  if (const platform::Json* card = platform::json::member(dic, "idCardInfo"); card && card->is_object()) {
    p.idCardId_ = textOf(*card, "idCardId");
  }
  return p;
}

}  // namespace nvx
