// Theme pictures: the splash picture, and pictures that a downloaded theme may replace.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Json.h"
#include "platform/foundation/Sandbox.h"
#include "platform/ui/Image.h"

namespace nvx {

class FileListEntity;
class ThemeEntity;

class ThemeUtil {
 public:
  // The launch picture: the home picture the server gave last (the record under
  // kSplashKey naming a file of the splash folder that loads as a picture), otherwise
  // iphone5AdpatImageNamed("app_splash.png").
  static std::optional<platform::ui::Image> homeSplashImage();
  // The themed picture of that name (see imageNamed) when there is one; otherwise on a 4-inch
  // screen the application's picture with "-568h" before the extension, elsewhere the plain one.
  static std::optional<platform::ui::Image> iphone5AdpatImageNamed(std::string_view name);

  // The picture of that name: while a theme is set, the file of that name in the theme save
  // folder (its "@2x" file preferred on a double-density screen, as in the bundle); otherwise,
  // or when the theme has no such picture, the application's picture of that name.
  static std::optional<platform::ui::Image> imageNamed(std::string_view name);

  // The theme save folder: "NVXTISave" in the temporary folder.
  static platform::Path themeSaveFolder();

  // The user-defaults key of the theme record of this build: "SerializeKeyTheme" followed by
  // the application version (the bundle's "CFBundleVersion").
  static std::string serializeKeyTheme();
  // Stores the application's default theme (the resource "default@2x" of type "theme" on a
  // double-density screen, else "default"; a JSON text) as a ThemeEntity under
  // serializeKeyTheme(). A missing or unreadable resource stores a record with empty fields.
  static void serializeDefaultTheme();
  // Move every entry directly inside "NVXTIZipTemp" (respectively "NVXTITemp") into the save
  // folder under the same name, replacing a saved entry of that name. True when the source
  // folder is empty afterwards (an entry that could not be moved stays where it was).
  static bool themeMoveZipTemp2Save();
  static bool themeMoveTemp2Save();

  // --- folders of the temporary folder, made on first use ---
  static constexpr const char* kSplashKey = "SerializeKeyDefaultSplash";
  static constexpr const char* kGroupKey = "SerializeKeyDefaultGroup";
  // Single theme files while they download ("NVXTITemp"), the active theme ("NVXTISave"), the
  // downloaded package ("NVXTIZip"), its unpacked contents ("NVXTIZipTemp") and every home
  // picture by name ("NVXTIHomeSplash").
  static platform::Path themeTempDir();
  static platform::Path themeSaveDir();
  static platform::Path themeZipDir();
  static platform::Path themeZipTempDir();
  static platform::Path homeSplashDir();

  // A name the server gives that may become a file of one of these folders: not empty, no
  // separator ('/' or '\\'), not "." or "..", no NUL. Anything else would write elsewhere.
  static bool isPlainFileName(std::string_view name);
  // The last component of a download address's path (query and fragment left out); empty when
  // the address has none.
  static std::string lastPathComponent(std::string_view address);

  // --- the stored theme's file list ---
  using FileList = std::vector<std::shared_ptr<FileListEntity>>;
  // The server entries to download: those the stored list lacks (by fileName) or holds at a
  // lower fileVersion; in server order.
  static FileList needDownloadArrWithDefaultList(const FileList& defaultList, const FileList& netList);
  // The stored list with the server's newer entries in their places and its new ones appended.
  static FileList mergeFileArrWithDefaultList(const FileList& defaultList, const FileList& netList);
  // The theme stored for this build, when the stored object is one.
  static std::shared_ptr<ThemeEntity> storedTheme();
  // Records a finished download: the stored theme's version is raised to version when that is
  // higher and its list merged with list (a list that merges to nothing is not stored); with
  // no stored theme, a new "theme1" record of that version and list.
  static void mergeTheme(const platform::Json& version, const FileList& list);
  static void mergeThemeVersion(const platform::Json& version) { mergeTheme(version, {}); }
  // A theme or file version as an integer (missing: 0; a text by its leading digits).
  static int64_t versionOf(const platform::Json& version);
};

}  // namespace nvx
