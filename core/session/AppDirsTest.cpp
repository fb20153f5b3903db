#include "core/session/AppDirs.h"

#include <gtest/gtest.h>

namespace nvx {
namespace {

using platform::Path;
namespace fs = platform::fs;

TEST(AppDirsTest, SubFoldersOfTheTemporaryFolderAreMadeOnDemand) {
  const Path tmp = AppDirs::appTempDir();
  EXPECT_EQ(tmp, platform::Sandbox::tmp());
  EXPECT_EQ(AppDirs::appDocumentDir(), platform::Sandbox::documents());

  EXPECT_FALSE(fs::exists(tmp / "themes"));
  EXPECT_EQ(AppDirs::appSubDir("themes/2024"), tmp / "themes" / "2024");   // with its missing parent
  EXPECT_TRUE(fs::isDirectory(tmp / "themes" / "2024"));

  EXPECT_EQ(AppDirs::localCacheImageDir(), tmp / "ImageCache");
  EXPECT_TRUE(fs::isDirectory(tmp / "ImageCache"));

  // Asking for a file's path makes its folder, not the file.
  EXPECT_EQ(AppDirs::localPathInAppSubDir("a.png", "mall_area_image"), tmp / "mall_area_image" / "a.png");
  EXPECT_TRUE(fs::isDirectory(tmp / "mall_area_image"));
  EXPECT_FALSE(fs::exists(tmp / "mall_area_image" / "a.png"));
  EXPECT_EQ(AppDirs::localDataInAppSubDir("a.png", "mall_area_image"), std::nullopt);

  ASSERT_TRUE(fs::writeAtomic(tmp / "ImageCache" / "k", std::string("\x89PNG\0x", 6)));
  EXPECT_EQ(AppDirs::localCacheImagePath("k"), tmp / "ImageCache" / "k");
  EXPECT_EQ(AppDirs::localCacheImageData("k"), std::string("\x89PNG\0x", 6));
  EXPECT_EQ(AppDirs::localDataInAppSubDir("k", "ImageCache"), std::string("\x89PNG\0x", 6));

  // A file where the folder should be: the path is still answered, nothing can be read under it.
  ASSERT_TRUE(fs::writeAtomic(tmp / "blocked", "x"));
  EXPECT_EQ(AppDirs::appSubDir("blocked"), tmp / "blocked");
  EXPECT_EQ(AppDirs::localDataInAppSubDir("k", "blocked"), std::nullopt);
  // A folder is not a file's bytes.
  EXPECT_EQ(AppDirs::localDataInAppSubDir("2024", "themes"), std::nullopt);
}

}  // namespace
}  // namespace nvx
