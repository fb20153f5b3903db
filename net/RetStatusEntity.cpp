#include "net/RetStatusEntity.h"

#include "core/session/UserDefaultsExt.h"

namespace nvx {

RetStatusEntity RetStatusEntity::initWithJson(const platform::Json& json) {
  RetStatusEntity status;
  if (!json.is_object()) return status;
  if (const auto* code = platform::json::member(json, "retCode"); code && code->is_string()) {
    status.setRetCode(code->get<std::string>());
  }
  if (const auto* msg = platform::json::member(json, "errMsg"); msg && msg->is_string()) {
    status.setErrMsg(msg->get<std::string>());
  }
  return status;
}

RetStatusEntity::RetStatusEntity(const platform::Unarchiver& coder) {
  if (auto code = coder.text(archiveKey("retCode"))) setRetCode(std::move(*code));
  if (auto msg = coder.text(archiveKey("errMsg"))) setErrMsg(std::move(*msg));
}

std::string RetStatusEntity::description() const {
  return "retCode : " + retCode_ + "\n" + "errMsg : " + errMsg_ + "\n";
}

void RetStatusEntity::encode(platform::Archiver& coder) const {
  if (hasRetCode_) coder.setText(archiveKey("retCode"), retCode_);
  if (hasErrMsg_) coder.setText(archiveKey("errMsg"), errMsg_);
}

void RetStatusEntity::registerArchiveClass() { platform::registerArchivable<RetStatusEntity>(kArchiveClass); }

}  // namespace nvx
