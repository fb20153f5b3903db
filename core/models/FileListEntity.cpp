#include "core/models/FileListEntity.h"

#include "core/session/UserDefaultsExt.h"

namespace nvx {

FileListEntity FileListEntity::initWithJson(const platform::Json& json) {
  using platform::json::valueOrNull;
  FileListEntity e;
  e.filepath_ = valueOrNull(json, "filepath");
  e.fileName_ = valueOrNull(json, "fileName");
  e.createtime_ = valueOrNull(json, "createtime");
  e.fileVersion_ = valueOrNull(json, "fileVersion");
  e.fileid_ = valueOrNull(json, "fileid");
  return e;
}

FileListEntity::FileListEntity(const platform::Unarchiver& coder)
    : filepath_(coder.valueOrNull(archiveKey("filepath"))),
      fileName_(coder.valueOrNull(archiveKey("fileName"))),
      createtime_(coder.valueOrNull(archiveKey("createtime"))),
      fileVersion_(coder.valueOrNull(archiveKey("fileVersion"))),
      fileid_(coder.valueOrNull(archiveKey("fileid"))) {}

void FileListEntity::encode(platform::Archiver& coder) const {
  coder.setValueUnlessNull(archiveKey("filepath"), filepath_);
  coder.setValueUnlessNull(archiveKey("fileName"), fileName_);
  coder.setValueUnlessNull(archiveKey("createtime"), createtime_);
  coder.setValueUnlessNull(archiveKey("fileVersion"), fileVersion_);
  coder.setValueUnlessNull(archiveKey("fileid"), fileid_);
}

void FileListEntity::registerArchiveClass() { platform::registerArchivable<FileListEntity>(kArchiveClass); }

}  // namespace nvx
