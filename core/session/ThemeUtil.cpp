#include "core/session/ThemeUtil.h"

#include <string>

#include "core/models/HomePicEntity.h"
#include "core/models/ThemeEntity.h"
#include "core/session/AppDirs.h"
#include "core/session/NVXConfig.h"
#include "core/text/TextExt.h"
#include "core/session/UIScreen.h"
#include "core/session/UserDefaultsExt.h"
#include "platform/device/Device.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"

namespace nvx {

namespace {

using platform::ui::Image;

bool themeIsSet() { return NVXConfig::sharedConfig().theme() != 0; }

// The picture file `name` of a folder, chosen as the bundle chooses its pictures: "x.png" (or
// "x") prefers "x@2x.png" on a double-density screen and falls back to "x.png"; a
// single-density screen the other way round.
std::optional<Image> folderPicture(const platform::Path& folder, std::string_view name) {
  if (name.empty() || name.find('/') != std::string_view::npos || name == "." || name == "..") return std::nullopt;
  std::string base(name);
  std::string ext = ".png";
  if (size_t dot = base.rfind('.'); dot != std::string::npos && dot > 0) {
    ext = base.substr(dot);
    base.erase(dot);
  }
  std::string retina = base.ends_with("@2x") ? base + ext : base + "@2x" + ext;
  std::pair<std::string, double> candidates[2] = {{base + ext, base.ends_with("@2x") ? 2.0 : 1.0}, {retina, 2.0}};
  if (platform::Device::screen().scale >= 2.0) std::swap(candidates[0], candidates[1]);
  for (const auto& [file, scale] : candidates) {
    auto bytes = platform::fs::read(folder / file);
    if (!bytes) continue;
    if (auto image = Image::fromBytes(*bytes, scale)) {
      image->name = std::string(name);
      return image;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<Image> ThemeUtil::homeSplashImage() {
  if (auto record = reverseForKey<HomePicEntity>(kSplashKey)) {
    auto name = platform::json::asText(record->picname());
    if (name && isPlainFileName(*name)) {
      if (auto bytes = platform::fs::read(homeSplashDir() / *name)) {
        if (auto picture = Image::fromBytes(*bytes)) return picture;
      }
    }
  }
  return iphone5AdpatImageNamed("app_splash.png");
}

std::optional<Image> ThemeUtil::iphone5AdpatImageNamed(std::string_view name) {
  if (themeIsSet()) {
    if (auto themed = folderPicture(themeSaveFolder(), name)) return themed;
  }
  if (UIScreen::isFourInch()) return Image::named(text::pathAppendBeforeExtension(name, "-568h"));
  return Image::named(name);
}

platform::Path ThemeUtil::themeSaveFolder() { return platform::Sandbox::tmp() / "NVXTISave"; }

std::optional<Image> ThemeUtil::imageNamed(std::string_view name) {
  if (themeIsSet()) {
    if (auto themed = folderPicture(themeSaveFolder(), name)) return themed;
  }
  return Image::named(name);
}

// --- default theme and moves of downloaded theme files ---

namespace {

// Moves one folder's direct entries into the save folder. A rename where it can (both folders
// lie in the temporary folder), a copy and delete otherwise; the old saved entry is replaced
// only once the new one is in place beside it, so a failure loses neither.
bool moveThemeEntries(const platform::Path& from) {
  namespace stdfs = std::filesystem;
  const platform::Path to = ThemeUtil::themeSaveFolder();
  if (!platform::fs::isDirectory(from)) return true;
  if (!platform::fs::mkdirs(to)) {
    platform::log::error("ThemeUtil", "cannot make the theme save folder " + to.string());
    return platform::fs::list(from).empty();
  }
  for (const auto& name : platform::fs::list(from)) {
    const platform::Path source = from / name;
    const platform::Path target = to / name;
    const platform::Path staged = to / (".moving-" + name);
    platform::fs::removeTree(staged);
    std::error_code ec;
    stdfs::rename(source, staged, ec);
    if (ec) {
      if (!platform::fs::copyEntry(source, staged)) {
        platform::fs::removeTree(staged);
        platform::log::warning("ThemeUtil", "theme file not moved: " + source.string());
        continue;
      }
      platform::fs::removeTree(source);
    }
    platform::fs::removeTree(target);
    stdfs::rename(staged, target, ec);
    if (ec) platform::log::warning("ThemeUtil", "theme file not put in place: " + target.string());
  }
  return platform::fs::list(from).empty();
}

}  // namespace

std::string ThemeUtil::serializeKeyTheme() {
  return "SerializeKeyTheme" + platform::Bundle::main().info("CFBundleVersion").value_or("");
}

void ThemeUtil::serializeDefaultTheme() {
  const char* resource = UIScreen::isRetina() ? "default@2x" : "default";
  std::optional<platform::Json> json;
  if (auto path = platform::Bundle::main().resource(resource, "theme")) {
    if (auto text = platform::fs::read(*path)) json = platform::json::parse(*text);
  }
  if (!json) platform::log::warning("ThemeUtil", std::string("default theme \"") + resource + "\" missing or unreadable");
  const auto theme = std::make_shared<ThemeEntity>(ThemeEntity::initWithJson(json.value_or(platform::Json())));
  serialize(theme, serializeKeyTheme());
}

bool ThemeUtil::themeMoveZipTemp2Save() { return moveThemeEntries(platform::Sandbox::tmp() / "NVXTIZipTemp"); }

bool ThemeUtil::themeMoveTemp2Save() { return moveThemeEntries(platform::Sandbox::tmp() / "NVXTITemp"); }

// --- folders and names ---

platform::Path ThemeUtil::themeTempDir() { return AppDirs::appSubDir("NVXTITemp"); }
platform::Path ThemeUtil::themeSaveDir() { return AppDirs::appSubDir("NVXTISave"); }
platform::Path ThemeUtil::themeZipDir() { return AppDirs::appSubDir("NVXTIZip"); }
platform::Path ThemeUtil::themeZipTempDir() { return AppDirs::appSubDir("NVXTIZipTemp"); }
platform::Path ThemeUtil::homeSplashDir() { return AppDirs::appSubDir("NVXTIHomeSplash"); }

std::shared_ptr<ThemeEntity> ThemeUtil::storedTheme() { return reverseForKey<ThemeEntity>(serializeKeyTheme()); }

void ThemeUtil::mergeTheme(const platform::Json& version, const FileList& list) {
  if (auto stored = storedTheme()) {
    if (versionOf(version) > versionOf(stored->themeVersion())) stored->setThemeVersion(version);
    FileList merged = mergeFileArrWithDefaultList(stored->fileList(), list);
    if (!merged.empty()) stored->setFileList(std::move(merged));
    serialize(stored, serializeKeyTheme());
    return;
  }
  auto theme = std::make_shared<ThemeEntity>();
  theme->setPlanName("theme1");
  theme->setThemeVersion(version);
  theme->setFileList(list);
  serialize(theme, serializeKeyTheme());
}

}  // namespace nvx
