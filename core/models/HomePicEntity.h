// The launch picture the server offers: the file name it is kept under in the splash folder and
// where to download it. Fields are kept as the reply gives them (a number stays a number).
#pragma once
#include "platform/foundation/Archive.h"
#include "platform/foundation/Json.h"

namespace nvx {

class HomePicEntity : public platform::Archivable {
 public:
  static constexpr const char* kArchiveClass = "HomePicEntity";

  HomePicEntity() = default;
  // Each field from its key; anything but an object leaves every field empty (null).
  static HomePicEntity initWithJson(const platform::Json& json);
  // initWithCoder: the "nvx_" keys.
  explicit HomePicEntity(const platform::Unarchiver& coder);

  const platform::Json& picname() const { return picname_; }
  const platform::Json& updateurl() const { return updateurl_; }
  const platform::Json& remark() const { return remark_; }

  std::string archiveClass() const override { return kArchiveClass; }
  void encode(platform::Archiver& coder) const override;
  static void registerArchiveClass();

 private:
  platform::Json picname_;
  platform::Json updateurl_;
  platform::Json remark_;
};

}  // namespace nvx
