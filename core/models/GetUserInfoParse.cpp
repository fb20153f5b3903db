#include "core/models/GetUserInfoParse.h"

namespace nvx {

GetUserInfoParse GetUserInfoParse::initWithDic(const platform::Json& dic) {
  using platform::json::textOnly;
  GetUserInfoParse p;
  p.email_ = textOnly(dic, "email").value_or("");
  p.realName_ = textOnly(dic, "realName").value_or("");
  // Anything but an object has no members: a malformed "idCardInfo" leaves the id empty.
  if (const platform::Json* card = platform::json::member(dic, "idCardInfo")) {
    p.idCardId_ = textOnly(*card, "idCardId").value_or("");
  }
  return p;
}

}  // namespace nvx
