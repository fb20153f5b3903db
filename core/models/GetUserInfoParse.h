// The identity fields of the user-information reply.
#pragma once
#include <string>

#include "platform/foundation/Json.h"

namespace nvx {

class GetUserInfoParse {
 public:
  GetUserInfoParse() = default;
  // "email", "realName" (texts) and "idCardId" inside the object "idCardInfo"; anything but an
  // object gives an empty parse, and "idCardInfo" that is not an object leaves idCardId empty.
  static GetUserInfoParse initWithDic(const platform::Json& dic);

  const std::string& email() const { return email_; }
  void setEmail(std::string v) { email_ = std::move(v); }
  const std::string& realName() const { return realName_; }
  void setRealName(std::string v) { realName_ = std::move(v); }
  const std::string& idCardId() const { return idCardId_; }
  void setIdCardId(std::string v) { idCardId_ = std::move(v); }

 private:
  std::string email_;
  std::string realName_;
  std::string idCardId_;
};

}  // namespace nvx
