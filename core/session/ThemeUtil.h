// Theme pictures: the splash picture, and pictures that a downloaded theme may replace.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Sandbox.h"
#include "platform/ui/Image.h"

namespace nvx {

class ThemeUtil {
 public:
  // The current splash picture: the application's "app_splash.png", its tall-screen variant
  // ("app_splash-568h") on 4-inch screens.
  static std::optional<platform::ui::Image> homeSplashImage();

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
};

}  // namespace nvx
