#include "core/models/ClientVersionEntity.h"

#include "core/session/UserDefaultsExt.h"

namespace nvx {

ClientVersionEntity ClientVersionEntity::initWithJson(const platform::Json& json) {
  using platform::json::integer;
  using platform::json::textOnly;
  ClientVersionEntity e;
  e.aimVersion_ = textOnly(json, "aimVersion").value_or("");
  e.currVersion_ = textOnly(json, "currVersion").value_or("");
  e.mustup_ = integer(json, "mustup").value_or(0);
  e.clientVersionId_ = integer(json, "id").value_or(0);
  e.descTitle_ = textOnly(json, "descTitle").value_or("");
  e.clientDesc_ = textOnly(json, "clientDesc").value_or("");
  e.clientUrl_ = textOnly(json, "clientUrl").value_or("");
  e.createTime_ = integer(json, "createTime").value_or(0);
  e.platType_ = textOnly(json, "platType").value_or("");
  return e;
}

ClientVersionEntity::ClientVersionEntity(const platform::Unarchiver& coder)
    : aimVersion_(coder.text(archiveKey("aimVersion")).value_or("")),
      currVersion_(coder.text(archiveKey("currVersion")).value_or("")),
      mustup_(coder.integer(archiveKey("mustup"))),
      clientVersionId_(coder.integer(archiveKey("clientVersionId"))),
      descTitle_(coder.text(archiveKey("descTitle")).value_or("")),
      clientDesc_(coder.text(archiveKey("clientDesc")).value_or("")),
      clientUrl_(coder.text(archiveKey("clientUrl")).value_or("")),
      createTime_(coder.integer(archiveKey("createTime"))),
      platType_(coder.text(archiveKey("platType")).value_or("")) {}

std::string ClientVersionEntity::description() const {
  return "\naimVersion : " + aimVersion_ + "\ncurrVersion : " + currVersion_ + "\nmustup : " + std::to_string(mustup_) +
         "\nclientVersionId : " + std::to_string(clientVersionId_) + "\ndescTitle : " + descTitle_ +
         "\nclientDesc : " + clientDesc_ + "\nclientUrl : " + clientUrl_ +
         "\ncreateTime : " + std::to_string(createTime_) + "\nplatType : " + platType_ + "\n";
}

void ClientVersionEntity::encode(platform::Archiver& coder) const {
  coder.setText(archiveKey("aimVersion"), aimVersion_);
  coder.setText(archiveKey("currVersion"), currVersion_);
  coder.setInt(archiveKey("mustup"), mustup_);
  coder.setInt(archiveKey("clientVersionId"), clientVersionId_);
  coder.setText(archiveKey("descTitle"), descTitle_);
  coder.setText(archiveKey("clientDesc"), clientDesc_);
  coder.setText(archiveKey("clientUrl"), clientUrl_);
  coder.setInt(archiveKey("createTime"), createTime_);
  coder.setText(archiveKey("platType"), platType_);
}

void ClientVersionEntity::registerArchiveClass() {
  platform::registerArchivable<ClientVersionEntity>(kArchiveClass);
}

}  // namespace nvx
