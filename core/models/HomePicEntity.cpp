#include "core/models/HomePicEntity.h"

#include "core/session/UserDefaultsExt.h"

namespace nvx {

HomePicEntity HomePicEntity::initWithJson(const platform::Json& json) {
  using platform::json::valueOrNull;
  HomePicEntity e;
  e.picname_ = valueOrNull(json, "picname");
  e.updateurl_ = valueOrNull(json, "updateurl");
  e.remark_ = valueOrNull(json, "remark");
  return e;
}

HomePicEntity::HomePicEntity(const platform::Unarchiver& coder)
    : picname_(coder.valueOrNull(archiveKey("picname"))),
      updateurl_(coder.valueOrNull(archiveKey("updateurl"))),
      remark_(coder.valueOrNull(archiveKey("remark"))) {}

void HomePicEntity::encode(platform::Archiver& coder) const {
  coder.setValueUnlessNull(archiveKey("picname"), picname_);
  coder.setValueUnlessNull(archiveKey("updateurl"), updateurl_);
  coder.setValueUnlessNull(archiveKey("remark"), remark_);
}

void HomePicEntity::registerArchiveClass() { platform::registerArchivable<HomePicEntity>(kArchiveClass); }

}  // namespace nvx
