#include "app/core/FileListEntity.h"

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

FileListEntity FileListEntity::initWithJson(const platform::Json& json) {
  FileListEntity e;
  e.filepath_ = field(json, "filepath");
  e.fileName_ = field(json, "fileName");
  e.createtime_ = field(json, "createtime");
  e.fileVersion_ = field(json, "fileVersion");
  e.fileid_ = field(json, "fileid");
  return e;
}

FileListEntity::FileListEntity(const platform::Unarchiver& coder)
    : filepath_(stored(coder, "filepath")),
      fileName_(stored(coder, "fileName")),
      createtime_(stored(coder, "createtime")),
      fileVersion_(stored(coder, "fileVersion")),
      fileid_(stored(coder, "fileid")) {}

void FileListEntity::encode(platform::Archiver& coder) const {
  store(coder, "filepath", filepath_);
  store(coder, "fileName", fileName_);
  store(coder, "createtime", createtime_);
  store(coder, "fileVersion", fileVersion_);
  store(coder, "fileid", fileid_);
}

void FileListEntity::registerArchiveClass() { platform::registerArchivable<FileListEntity>(kArchiveClass); }

}  // namespace nvx
