#include "core/session/ThemeUtil.h"

#include <gtest/gtest.h>

#include "core/session/NVXConfig.h"
#include "platform/foundation/Sandbox.h"

namespace nvx {
namespace {

using platform::ui::Size;

TEST(ThemeUtilTest, ImageNamedGivesTheApplicationsPictureWithoutATheme) {
  auto bar = ThemeUtil::imageNamed("top_bg.png");
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->name, "top_bg.png");
  EXPECT_EQ(bar->size, (Size{320, 44}));
  EXPECT_FALSE(ThemeUtil::imageNamed("no_such_picture.png"));
}

TEST(ThemeUtilTest, ThemeSaveFolderIsInTmp) {
  EXPECT_EQ(ThemeUtil::themeSaveFolder(), platform::Sandbox::tmp() / "NVXTISave");
}

// Puts a copy of a bundle picture into the theme save folder under another name.
void saveThemePicture(const std::string& bundleFile, const std::string& themeFile) {
  auto bytes = platform::fs::read(platform::Sandbox::bundle() / "pictures" / bundleFile);
  ASSERT_TRUE(bytes) << bundleFile;
  ASSERT_TRUE(platform::fs::writeAtomic(ThemeUtil::themeSaveFolder() / themeFile, *bytes));
}

TEST(ThemeUtilTest, ImageNamedPrefersTheThemesPictureWhileAThemeIsSet) {
  // "add.png" is 30 x 30 points: a themed "top_bg.png" of that size is told apart from the
  // application's 320 x 44 one.
  saveThemePicture("add@2x.png", "top_bg@2x.png");
  saveThemePicture("add.png", "top_bg.png");
  saveThemePicture("add.png", "back_btn_normal.png");
  ASSERT_TRUE(platform::fs::writeAtomic(ThemeUtil::themeSaveFolder() / "action_btn_normal.png", "not a picture"));
  ASSERT_EQ(NVXConfig::sharedConfig().theme(), 1);

  auto bar = ThemeUtil::imageNamed("top_bg.png");
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->name, "top_bg.png");
  EXPECT_EQ(bar->size, (Size{30, 30}));
  EXPECT_EQ(bar->scale, 2.0);   // the "@2x" file on this double-density screen

  auto single = ThemeUtil::imageNamed("back_btn_normal.png");   // no "@2x" in the theme
  ASSERT_TRUE(single);
  EXPECT_EQ(single->size, (Size{30, 30}));
  EXPECT_EQ(single->scale, 1.0);

  // Missing from the theme, or not a picture there: the application's picture.
  EXPECT_EQ(ThemeUtil::imageNamed("back_btn_selected.png")->size, (Size{60, 30}));
  EXPECT_EQ(ThemeUtil::imageNamed("action_btn_normal.png")->size, (Size{40, 30}));
  EXPECT_FALSE(ThemeUtil::imageNamed("../NVXTISave/top_bg.png"));

  NVXConfig::sharedConfig().setTheme(0);
  EXPECT_EQ(ThemeUtil::imageNamed("top_bg.png")->size, (Size{320, 44}));
}

}  // namespace
}  // namespace nvx
