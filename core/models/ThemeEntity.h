// The description of a theme: its plan, version, picture files and how it is delivered. Kept in
// the user defaults as a keyed archive; fields are held as the server or the theme resource
// gives them (a number stays a number).
#pragma once
#include <memory>
#include <vector>

#include "core/models/FileListEntity.h"
#include "platform/foundation/Archive.h"
#include "platform/foundation/Json.h"

namespace nvx {

class ThemeEntity : public platform::Archivable {
 public:
  static constexpr const char* kArchiveClass = "ThemeEntity";

  ThemeEntity() = default;
  // From a JSON object: each field from its key, and one file per object of "fileList", in
  // order (an empty list when the key is missing). Anything but an object leaves every field
  // empty.
  static ThemeEntity initWithJson(const platform::Json& json);
  // initWithCoder: the "nvx_" keys.
  explicit ThemeEntity(const platform::Unarchiver& coder);

  const platform::Json& planName() const { return planName_; }
  const platform::Json& themeVersion() const { return themeVersion_; }
  const std::vector<std::shared_ptr<FileListEntity>>& fileList() const { return fileList_; }
  const platform::Json& updateMode() const { return updateMode_; }
  const platform::Json& zipURL() const { return zipURL_; }
  void setPlanName(platform::Json value) { planName_ = std::move(value); }
  void setThemeVersion(platform::Json value) { themeVersion_ = std::move(value); }
  void setFileList(std::vector<std::shared_ptr<FileListEntity>> list) { fileList_ = std::move(list); }

  std::string archiveClass() const override { return kArchiveClass; }
  void encode(platform::Archiver& coder) const override;
  // Registers ThemeEntity and FileListEntity with the archive registry.
  static void registerArchiveClass();

 private:
  platform::Json planName_;
  platform::Json themeVersion_;
  std::vector<std::shared_ptr<FileListEntity>> fileList_;
  platform::Json updateMode_;
  platform::Json zipURL_;
};

}  // namespace nvx
