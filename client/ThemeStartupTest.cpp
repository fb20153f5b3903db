// The look the server gives reaches the client through its start-up: the home picture fetched
// in one run is the splash of the next, and the action object's theme refresh downloads the
// server's theme files.
#include <gtest/gtest.h>

#include "app/ui/NVXAction.h"
#include "client/testing/StartupTestFixture.h"
#include "core/models/HomePicEntity.h"
#include "core/session/ThemeUtil.h"
#include "core/session/UserDefaultsExt.h"
#include "platform/ui/ImageView.h"
#include "standin/FileStandin.h"
#include "standin/mainapi/ThemeRoutes.h"

namespace nvx {
namespace {

using testing::StartupTest;

std::string bundlePicture(const std::string& name) {
  return platform::fs::read(platform::Sandbox::bundle() / "pictures" / name).value_or("");
}

TEST_F(StartupTest, TheHomePictureOfOneRunIsTheSplashOfTheNext) {
  standin::FileStandin files;
  ASSERT_TRUE(files.start().isOk());
  files.put("/pic/spring.png", bundlePicture("add.png"));
  api->feature<standin::ThemeState>().homePic = {{"picname", "spring.png"}, {"updateurl", files.urlOf("/pic/spring.png")}};

  launchAndStart();
  settle();
  EXPECT_EQ(files.hits("/pic/spring.png"), 1u);
  EXPECT_EQ(api->feature<standin::ThemeState>().resolutions, std::vector<std::string>{"1136_640"});

  restartClient();
  launch();
  auto splash = std::dynamic_pointer_cast<platform::ui::ImageView>(
      delegate->window()->viewWithTag(NVXAppDelegate::kSplashTag));
  ASSERT_TRUE(splash);
  ASSERT_TRUE(splash->image());
  EXPECT_EQ(splash->image()->size, (platform::ui::Size{30, 30}));
  files.stop();
}

TEST_F(StartupTest, TheActionObjectsThemeRefreshDownloadsTheServersFiles) {
  standin::FileStandin files;
  ASSERT_TRUE(files.start().isOk());
  files.put("/t/top_bg.png", bundlePicture("add.png"));
  api->feature<standin::ThemeState>().theme = {
      {"planName", "theme1"}, {"themeVersion", 2}, {"updateMode", "file"},
      {"fileList", platform::Json::array({{{"fileName", "top_bg"}, {"fileVersion", 1}, {"filepath", files.urlOf("/t/top_bg.png")}}})}};
  launchAndStart();
  settle();
  EXPECT_EQ(files.hits("/t/top_bg.png"), 0u) << "the start-up does not refresh the theme";

  NVXAction::sharedAction()->updateMainTheme();
  settle();
  EXPECT_EQ(files.hits("/t/top_bg.png"), 1u);
  // Shown from the next start on, when the configuration moves the files into the theme.
  restartClient();
  launch();
  auto bar = ThemeUtil::imageNamed("top_bg.png");
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->size, (platform::ui::Size{30, 30}));
  files.stop();
}

}  // namespace
}  // namespace nvx
