// Downloading themes and the launch picture: the server says which theme files and which home
// picture are current, and what changed is downloaded into the theme work folders (ThemeUtil's
// folders), to take effect at the next start. Main thread; downloads run on the shared queue.
//
// Names the server gives (the last component of a file or package address, the picture's
// "picname") become file names only when they are plain file names; anything with a separator,
// "." or ".." is refused and nothing is written. A download is checked before it is written:
// a theme file or home picture must be a picture, a package must unpack safely and hold only
// pictures. A failed or refused download never replaces a file already in place.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/models/ThemeEntity.h"
#include "core/session/ThemeUtil.h"

namespace nvx {

class ThemeRefresh {
 public:
  using Done = std::function<void()>;

  // Downloads address into the folder under its last path component and calls ok on the main
  // loop when the download has ended, however it ended. When the folder already holds that
  // file, nothing is downloaded. accept decides whether the bytes may be written.
  static void download(const std::string& address, const platform::Path& folder,
                       std::function<bool(std::string_view bytes)> accept, Done ok);
  // A theme picture into "NVXTITemp"; a package into "NVXTIZip".
  static void download2Temp(const std::string& address, Done ok);
  static void download2Zip(const std::string& address, Done ok);

  // The theme refresh with the server's theme: only the plan "theme1"; the package when the
  // theme comes as a zip and is newer than the stored one (or none is stored), and the files
  // the stored list lacks or holds at a lower version.
  static void themeUpdate(const ThemeEntity& theme);
  // The package half: the previous package's contents go into the theme, the package folder is
  // emptied, the package downloaded and unpacked into "NVXTIZipTemp"; the version is recorded
  // when it unpacked and held only pictures.
  static void themeZipTask(const std::string& zipURL, const platform::Json& version);
  // The file half: leftovers go into the theme, every entry is downloaded into "NVXTITemp" at
  // once; the version and list are recorded when every file arrived.
  static void downloadFiles2Temp(const ThemeUtil::FileList& files, const platform::Json& version);

  // Asks the server for the home picture; a picture the splash folder lacks is downloaded and,
  // once it is in place, recorded as the launch picture of the next start.
  static void updateHomePic();
  // Asks the server for the current theme and runs themeUpdate with it.
  static void updateMainTheme();

  // Whether the bytes are a picture (PNG or JPEG with a readable size).
  static bool isPicture(std::string_view bytes);
};

}  // namespace nvx
