#include "home/ThemeRefresh.h"

#include <algorithm>
#include <cctype>

#include "app/ui/CachedDownload.h"
#include "core/session/IOUtil.h"
#include "core/session/UserDefaultsExt.h"
#include "home/HomeThemeOperations.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Image.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "ThemeRefresh";
// Where a package is unpacked to be looked at before it may go into "NVXTIZipTemp"; inside the
// package folder, which every package download empties.
constexpr std::string_view kUnpackCheckDir = ".unpacked";

std::string lowercase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::string textOf(const platform::Json& value) { return platform::json::asText(value).value_or(""); }

// Every entry of the unpacked package is a picture directly in its folder.
bool holdsOnlyPictures(const platform::Path& folder) {
  const auto names = IOUtil::subFileNamesOfDir(folder, true);
  if (names.empty()) return false;
  for (const auto& name : names) {
    if (name.find('/') != std::string::npos) return false;
    auto bytes = platform::fs::read(folder / name);
    if (!bytes || !ThemeRefresh::isPicture(*bytes)) return false;
  }
  return true;
}

}  // namespace

bool ThemeRefresh::isPicture(std::string_view bytes) { return platform::ui::Image::fromBytes(bytes).has_value(); }

void ThemeRefresh::download(const std::string& address, const platform::Path& folder,
                            std::function<bool(std::string_view bytes)> accept, Done ok) {
  const std::string name = ThemeUtil::lastPathComponent(address);
  if (!ThemeUtil::isPlainFileName(name) || platform::fs::exists(folder / name)) {
    if (!ThemeUtil::isPlainFileName(name)) platform::log::warning(kTag, "refused a download address without a plain file name");
    platform::dispatchMain(std::move(ok));
    return;
  }
  CachedDownload::cacheQueueDownloadInCurrentQueue(
      address, false, [file = folder / name, accept = std::move(accept), ok = std::move(ok)](std::optional<std::string> bytes) {
        if (!bytes) {
          platform::log::info(kTag, "theme download failed: " + file.filename().string());
        } else if (!accept(*bytes)) {
          platform::log::warning(kTag, "theme download refused (not what was expected): " + file.filename().string());
        } else if (!platform::fs::writeAtomic(file, *bytes)) {
          platform::log::warning(kTag, "cannot write " + file.string());
        }
        ok();
      });
}

void ThemeRefresh::download2Temp(const std::string& address, Done ok) {
  download(address, ThemeUtil::themeTempDir(), isPicture, std::move(ok));
}

void ThemeRefresh::download2Zip(const std::string& address, Done ok) {
  download(address, ThemeUtil::themeZipDir(), [](std::string_view bytes) { return !bytes.empty(); }, std::move(ok));
}

void ThemeRefresh::themeUpdate(const ThemeEntity& theme) {
  if (textOf(theme.planName()) != "theme1") return;
  const bool zipMode = lowercase(textOf(theme.updateMode())) == "zip";
  ThemeUtil::FileList fetch = theme.fileList();
  if (auto stored = ThemeUtil::storedTheme()) {
    if (zipMode && ThemeUtil::versionOf(stored->themeVersion()) < ThemeUtil::versionOf(theme.themeVersion())) {
      themeZipTask(textOf(theme.zipURL()), theme.themeVersion());
    }
    if (!stored->fileList().empty()) fetch = ThemeUtil::needDownloadArrWithDefaultList(stored->fileList(), theme.fileList());
  } else if (zipMode) {
    themeZipTask(textOf(theme.zipURL()), theme.themeVersion());
  }
  downloadFiles2Temp(fetch, theme.themeVersion());
}

void ThemeRefresh::themeZipTask(const std::string& zipURL, const platform::Json& version) {
  ThemeUtil::themeMoveZipTemp2Save();
  IOUtil::clearDir(ThemeUtil::themeZipDir());
  download2Zip(zipURL, [zipURL, version] {
    const std::string name = ThemeUtil::lastPathComponent(zipURL);
    if (!ThemeUtil::isPlainFileName(name)) return;
    const platform::Path package = ThemeUtil::themeZipDir() / name;
    if (!platform::fs::exists(package)) return;
    // Look at the whole package first: only a package of pictures reaches the theme.
    const platform::Path check = ThemeUtil::themeZipDir() / std::string(kUnpackCheckDir);
    IOUtil::removeDir(check);
    const bool usable = IOUtil::unzip(package, check) && holdsOnlyPictures(check);
    IOUtil::removeDir(check);
    if (!usable) {
      platform::log::warning(kTag, "theme package refused: " + name);
      return;
    }
    if (!IOUtil::unzip(package, ThemeUtil::themeZipTempDir())) {
      platform::log::warning(kTag, "theme package could not be unpacked: " + name);
      return;
    }
    ThemeUtil::mergeThemeVersion(version);
  });
}

void ThemeRefresh::downloadFiles2Temp(const ThemeUtil::FileList& files, const platform::Json& version) {
  if (files.empty()) return;
  ThemeUtil::themeMoveTemp2Save();
  auto finished = std::make_shared<size_t>(0);
  for (const auto& file : files) {
    download2Temp(textOf(file->filepath()), [finished, files, version] {
      if (++*finished != files.size()) return;
      // A download that failed leaves the folder short: nothing is recorded.
      if (IOUtil::filesCountOfDir(ThemeUtil::themeTempDir()) == static_cast<int>(files.size())) {
        ThemeUtil::mergeTheme(version, files);
      }
    });
  }
}

void ThemeRefresh::updateHomePic() {
  HomeThemeOperations::getMobilehomePicWithBlock([](std::shared_ptr<HomePicEntity> picture) {
    if (!picture) return;
    const std::string name = textOf(picture->picname());
    if (!ThemeUtil::isPlainFileName(name)) {
      platform::log::warning(kTag, "refused a home picture name that is not a plain file name");
      return;
    }
    const platform::Path folder = ThemeUtil::homeSplashDir();
    const auto present = platform::fs::list(folder);
    if (std::find(present.begin(), present.end(), name) != present.end()) return;
    // The record moves to the new picture only once the picture is in place, so a failed
    // download keeps the launch picture that works.
    CachedDownload::cacheQueueDownloadInCurrentQueue(
        textOf(picture->updateurl()), false, [picture, file = folder / name](std::optional<std::string> bytes) {
          if (!bytes || !isPicture(*bytes)) {
            platform::log::info(kTag, "home picture not downloaded, or not a picture");
            return;
          }
          if (!platform::fs::writeAtomic(file, *bytes)) {
            platform::log::warning(kTag, "cannot write the home picture");
            return;
          }
          serialize(picture, ThemeUtil::kSplashKey);
        });
  });
}

void ThemeRefresh::updateMainTheme() {
  HomeThemeOperations::getMobileThemeWithBlock([](std::shared_ptr<ThemeEntity> theme) {
    if (theme) themeUpdate(*theme);
  });
}

}  // namespace nvx
