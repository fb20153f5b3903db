// Named sub-folders of the application's temporary folder, made on demand, and the files in them.
// The downloaded-picture cache is the sub-folder "ImageCache"; its files are named by the MD5 of
// the picture's address.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Sandbox.h"

namespace nvx {

class AppDirs {
 public:
  static constexpr std::string_view kImageCacheDir = "ImageCache";
  static constexpr std::string_view kMallAreaImageDir = "mall_area_image";

  // The application's temporary folder.
  static platform::Path appTempDir();
  // The application's documents folder.
  static platform::Path appDocumentDir();
  // The sub-folder of the temporary folder with that name, made (with any missing parent) when
  // it is not a folder yet; a failure to make it is ignored.
  static platform::Path appSubDir(std::string_view name);
  // The file of that name in the sub-folder (the sub-folder is made when needed).
  static platform::Path localPathInAppSubDir(std::string_view fileName, std::string_view subDir);
  // The bytes of that file; nothing when it cannot be read.
  static std::optional<std::string> localDataInAppSubDir(std::string_view fileName, std::string_view subDir);
  // The picture cache folder and the files in it.
  static platform::Path localCacheImageDir();
  static platform::Path localCacheImagePath(std::string_view fileName);
  static std::optional<std::string> localCacheImageData(std::string_view fileName);
};

}  // namespace nvx
