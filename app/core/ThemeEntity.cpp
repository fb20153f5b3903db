#include "app/core/ThemeEntity.h"

#include "app/core/UserDefaultsExt.h"

namespace nvx {

namespace {

platform::Json field(const platform::Json& json, std::string_view key) {
  const platform::Json* value = platform::json::member(json, key);
  return value ? *value : platform::Json();
}

platform::Json stored(const platform::Unarchiver& coder, std::string_view field) {
  return coder.value(archiveKey(field)).value_or(platform::Json());
}

void store(platform::Archiver& coder, std::string_view field, const platform::Json& value) {
  if (!value.is_null()) coder.setValue(archiveKey(field), value);
}

}  // namespace

ThemeEntity ThemeEntity::initWithJson(const platform::Json& json) {
  ThemeEntity e;
  if (!json.is_object()) return e;
  e.planName_ = field(json, "planName");
  e.themeVersion_ = field(json, "themeVersion");
  e.updateMode_ = field(json, "updateMode");
  e.zipURL_ = field(json, "zipURL");
  if (const platform::Json* files = platform::json::member(json, "fileList"); files && files->is_array()) {
    for (const auto& file : *files) {
      if (file.is_object()) e.fileList_.push_back(std::make_shared<FileListEntity>(FileListEntity::initWithJson(file)));
    }
  }
  return e;
}

ThemeEntity::ThemeEntity(const platform::Unarchiver& coder)
    : planName_(stored(coder, "planName")),
      themeVersion_(stored(coder, "themeVersion")),
      fileList_(coder.arrayOf<FileListEntity>(archiveKey("fileList"))),
      updateMode_(stored(coder, "updateMode")),
      zipURL_(stored(coder, "zipURL")) {}

void ThemeEntity::encode(platform::Archiver& coder) const {
  store(coder, "planName", planName_);
  store(coder, "themeVersion", themeVersion_);
  coder.setArray(archiveKey("fileList"), fileList_);
  store(coder, "updateMode", updateMode_);
  store(coder, "zipURL", zipURL_);
}

void ThemeEntity::registerArchiveClass() {
  FileListEntity::registerArchiveClass();
  platform::registerArchivable<ThemeEntity>(kArchiveClass);
}

}  // namespace nvx
