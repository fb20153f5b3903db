#include "core/models/ThemeEntity.h"

#include "core/session/UserDefaultsExt.h"

namespace nvx {

ThemeEntity ThemeEntity::initWithJson(const platform::Json& json) {
  using platform::json::valueOrNull;
  ThemeEntity e;
  e.planName_ = valueOrNull(json, "planName");
  e.themeVersion_ = valueOrNull(json, "themeVersion");
  e.updateMode_ = valueOrNull(json, "updateMode");
  e.zipURL_ = valueOrNull(json, "zipURL");
  if (const platform::Json* files = platform::json::member(json, "fileList"); files && files->is_array()) {
    for (const auto& file : *files) {
      if (file.is_object()) e.fileList_.push_back(std::make_shared<FileListEntity>(FileListEntity::initWithJson(file)));
    }
  }
  return e;
}

ThemeEntity::ThemeEntity(const platform::Unarchiver& coder)
    : planName_(coder.valueOrNull(archiveKey("planName"))),
      themeVersion_(coder.valueOrNull(archiveKey("themeVersion"))),
      fileList_(coder.arrayOf<FileListEntity>(archiveKey("fileList"))),
      updateMode_(coder.valueOrNull(archiveKey("updateMode"))),
      zipURL_(coder.valueOrNull(archiveKey("zipURL"))) {}

void ThemeEntity::encode(platform::Archiver& coder) const {
  coder.setValueUnlessNull(archiveKey("planName"), planName_);
  coder.setValueUnlessNull(archiveKey("themeVersion"), themeVersion_);
  coder.setArray(archiveKey("fileList"), fileList_);
  coder.setValueUnlessNull(archiveKey("updateMode"), updateMode_);
  coder.setValueUnlessNull(archiveKey("zipURL"), zipURL_);
}

void ThemeEntity::registerArchiveClass() {
  FileListEntity::registerArchiveClass();
  platform::registerArchivable<ThemeEntity>(kArchiveClass);
}

}  // namespace nvx
