// One picture file of a theme: where to download it, the name it is matched by and its version.
// The fields are kept as the server or the theme resource gives them (a number stays a number).
#pragma once
#include "platform/foundation/Archive.h"
#include "platform/foundation/Json.h"

namespace nvx {

class FileListEntity : public platform::Archivable {
 public:
  static constexpr const char* kArchiveClass = "FileListEntity";

  FileListEntity() = default;
  // Each field from its key; anything but an object leaves every field empty (null).
  static FileListEntity initWithJson(const platform::Json& json);
  // initWithCoder: the "nvx_" keys.
  explicit FileListEntity(const platform::Unarchiver& coder);

  const platform::Json& filepath() const { return filepath_; }
  const platform::Json& fileName() const { return fileName_; }
  const platform::Json& createtime() const { return createtime_; }
  const platform::Json& fileVersion() const { return fileVersion_; }
  const platform::Json& fileid() const { return fileid_; }

  std::string archiveClass() const override { return kArchiveClass; }
  void encode(platform::Archiver& coder) const override;
  static void registerArchiveClass();

 private:
  platform::Json filepath_;
  platform::Json fileName_;
  platform::Json createtime_;
  platform::Json fileVersion_;
  platform::Json fileid_;
};

}  // namespace nvx
