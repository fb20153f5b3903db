#include "core/session/AppDirs.h"

namespace nvx {

platform::Path AppDirs::appTempDir() { return platform::Sandbox::tmp(); }

platform::Path AppDirs::appDocumentDir() { return platform::Sandbox::documents(); }

platform::Path AppDirs::appSubDir(std::string_view name) {
  platform::Path dir = appTempDir() / platform::Path(name);
  if (!platform::fs::isDirectory(dir)) (void)platform::fs::mkdirs(dir);
  return dir;
}

platform::Path AppDirs::localPathInAppSubDir(std::string_view fileName, std::string_view subDir) {
  return appSubDir(subDir) / platform::Path(fileName);
}

std::optional<std::string> AppDirs::localDataInAppSubDir(std::string_view fileName, std::string_view subDir) {
  return platform::fs::read(localPathInAppSubDir(fileName, subDir));
}

platform::Path AppDirs::localCacheImageDir() { return appSubDir(kImageCacheDir); }

platform::Path AppDirs::localCacheImagePath(std::string_view fileName) {
  return localPathInAppSubDir(fileName, kImageCacheDir);
}

std::optional<std::string> AppDirs::localCacheImageData(std::string_view fileName) {
  return localDataInAppSubDir(fileName, kImageCacheDir);
}

}  // namespace nvx
