#include "app/core/ClientVersionEntity.h"

#include "app/core/UserDefaultsExt.h"

namespace nvx {

namespace {

std::string textOf(const platform::Json& json, std::string_view key) {
  const platform::Json* value = platform::json::member(json, key);
  return value && value->is_string() ? value->get<std::string>() : std::string();
}

}  // namespace

ClientVersionEntity ClientVersionEntity::initWithJson(const platform::Json& json) {
  ClientVersionEntity e;
  if (!json.is_object()) return e;
  e.aimVersion_ = textOf(json, "aimVersion");
  e.currVersion_ = textOf(json, "currVersion");
  e.mustup_ = platform::json::integer(json, "mustup").value_or(0);
  e.clientVersionId_ = platform::json::integer(json, "id").value_or(0);
  e.descTitle_ = textOf(json, "descTitle");
  e.clientDesc_ = textOf(json, "clientDesc");
  e.clientUrl_ = textOf(json, "clientUrl");
  e.createTime_ = platform::json::integer(json, "createTime").value_or(0);
  e.platType_ = textOf(json, "platType");
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
