// Theme and home-picture downloads against the main-API stand-in and a file server on loopback:
// which files and packages a server theme brings, what is recorded once they arrived, and that
// names and downloads the server gets wrong never write outside the theme folders nor replace
// a picture that works.
#include "home/ThemeRefresh.h"

#include <gtest/gtest.h>

#include <sstream>

#include "core/models/HomePicEntity.h"
#include "core/session/NVXConfig.h"
#include "core/session/UserDefaultsExt.h"
#include "home/HomeThemeOperations.h"
#include "home/testing/ThemeStandins.h"
#include "home/testing/ThemeZip.h"
#include "net/ServerConfig.h"
#include "platform/device/Device.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/testing/Settle.h"
#include "standin/FileStandin.h"
#include "standin/MainApiStandin.h"
#include "standin/mainapi/ThemeRoutes.h"

namespace nvx {
namespace {

using platform::Json;
using platform::Path;
using testing::bundlePicture;
using testing::zipOf;
namespace fs = platform::fs;

// "a:2,b:1" as a list of files named a and b at versions 2 and 1 (address ".../a.png").
ThemeUtil::FileList filesOf(const std::string& text, const std::string& base = "http://127.0.0.1:1/") {
  ThemeUtil::FileList list;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    const size_t colon = item.find(':');
    const std::string name = item.substr(0, colon);
    Json json = {{"fileName", name}, {"filepath", base + name + ".png"}};
    if (colon != std::string::npos) json["fileVersion"] = Json::parse(item.substr(colon + 1));
    list.push_back(std::make_shared<FileListEntity>(FileListEntity::initWithJson(json)));
  }
  return list;
}

std::string textOf(const ThemeUtil::FileList& list) {
  std::string out;
  for (const auto& f : list) {
    if (!out.empty()) out += ",";
    out += f->fileName().get<std::string>() + ":" + platform::json::dump(f->fileVersion());
  }
  return out;
}

TEST(ThemeFileListRules, FetchAndMergeByNameAndVersion) {
  struct Case {
    const char* stored;
    const char* server;
    const char* fetch;
    const char* merged;
  } cases[] = {
      // New and newer files are fetched; the merged list keeps the stored order and appends.
      {"a:1,c:1", "a:2,b:1", "a:2,b:1", "a:2,c:1,b:1"},
      // A server file at the same or a lower version is neither fetched nor merged.
      {"a:3,b:1", "a:2,b:1", "", "a:3,b:1"},
      {"", "a:1", "a:1", "a:1"},
      // Versions compare as integers, texts by their leading digits, a missing one as 0.
      {"a:9", "a:\"10\"", "a:\"10\"", "a:\"10\""},
      {"a:\"2x\"", "a:3", "a:3", "a:3"},
      {"a", "a:1", "a:1", "a:1"},
      // Of two stored entries of one name, the first counts and is the one replaced.
      {"a:1,a:5", "a:2", "a:2", "a:2,a:5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.stored) + " <- " + c.server);
    const auto stored = filesOf(c.stored);
    const auto server = filesOf(c.server);
    EXPECT_EQ(textOf(ThemeUtil::needDownloadArrWithDefaultList(stored, server)), c.fetch);
    EXPECT_EQ(textOf(ThemeUtil::mergeFileArrWithDefaultList(stored, server)), c.merged);
  }
}

TEST(ThemeFileListRules, DownloadNamesMustBePlainFileNames) {
  struct Case {
    const char* address;
    const char* name;
    bool plain;
  } cases[] = {
      {"http://h/theme/top_bg.png", "top_bg.png", true},
      {"http://h/theme/top_bg.png?v=2#x", "top_bg.png", true},
      {"http://h/theme/", "theme", true},
      {"http://h", "", false},
      {"http://h/a/..", "..", false},
      {"http://h/a/.", ".", false},
      {"http://h/a/..%2Fx.png", "..%2Fx.png", true},   // escaped: stays one plain name
      {"http://h/a\\..\\x.png", "a\\..\\x.png", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    const std::string name = ThemeUtil::lastPathComponent(c.address);
    EXPECT_EQ(name, c.name);
    EXPECT_EQ(ThemeUtil::isPlainFileName(name), c.plain);
  }
  EXPECT_FALSE(ThemeUtil::isPlainFileName(std::string("a\0b", 3)));
  EXPECT_FALSE(ThemeUtil::isPlainFileName("/etc/passwd"));
}

class ThemeRefreshTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ThemeEntity::registerArchiveClass();
    HomePicEntity::registerArchiveClass();
    ASSERT_NO_FATAL_FAILURE(standins.start());
    small = bundlePicture("add.png");
    wide = bundlePicture("top_bg.png");
  }
  void TearDown() override { standins.stop(); }

  standin::ThemeState& state() { return standins.state(); }

  // A server theme; files "name:version" served at /t/<name>.png with the small picture.
  Json serverTheme(const std::string& plan, const std::string& mode, Json version, const std::string& fileList) {
    Json list = Json::array();
    for (const auto& f : filesOf(fileList, files.urlOf("/t/"))) {
      list.push_back({{"fileName", f->fileName()}, {"filepath", f->filepath()}, {"fileVersion", f->fileVersion()}});
      files.put("/t/" + f->fileName().get<std::string>() + ".png", small);
    }
    return {{"planName", plan}, {"themeVersion", version}, {"updateMode", mode}, {"zipURL", files.urlOf("/pkg/theme.zip")},
            {"fileList", list}};
  }
  void storeTheme(Json version, const std::string& fileList) {
    auto theme = std::make_shared<ThemeEntity>(ThemeEntity::initWithJson({{"planName", "theme1"}, {"themeVersion", version}}));
    theme->setFileList(filesOf(fileList));
    serialize(theme, ThemeUtil::serializeKeyTheme());
  }
  std::string storedText() {
    auto theme = ThemeUtil::storedTheme();
    if (!theme) return "none";
    return platform::json::dump(theme->themeVersion()) + " " + textOf(theme->fileList());
  }
  void refresh(const Json& theme) {
    state().theme = theme;
    ThemeRefresh::updateMainTheme();
    ASSERT_TRUE(platform::testing::settleIo());
  }
  static std::vector<std::string> names(const Path& folder) { return fs::list(folder); }

  testing::ThemeStandins standins;
  standin::FileStandin& files = standins.files;
  std::string small, wide;
};

TEST_F(ThemeRefreshTest, NewerFilesAreFetchedAndTheStoredListMergedInOrder) {
  storeTheme(1, "a:1,c:1");
  refresh(serverTheme("theme1", "file", 2, "a:2,b:1"));

  EXPECT_EQ(state().resolutions, std::vector<std::string>{"1136_640"});
  EXPECT_EQ(files.hits("/t/a.png"), 1u);
  EXPECT_EQ(files.hits("/t/b.png"), 1u);
  EXPECT_EQ(storedText(), "2 a:2,c:1,b:1");
  EXPECT_EQ(names(ThemeUtil::themeTempDir()), (std::vector<std::string>{"a.png", "b.png"}));

  // The files take effect once moved (the next start), replacing the application's picture.
  ASSERT_TRUE(ThemeUtil::themeMoveTemp2Save());
  ASSERT_EQ(NVXConfig::sharedConfig().theme(), 1);
  auto themed = ThemeUtil::imageNamed("a.png");
  ASSERT_TRUE(themed);
  EXPECT_EQ(themed->size, (platform::ui::Size{30, 30}));
}

TEST_F(ThemeRefreshTest, WhatARefreshFetchesByPlanModeAndVersion) {
  struct Case {
    const char* label;
    const char* plan;
    const char* mode;
    std::optional<int> storedVersion;
    int serverVersion;
    bool packageFetched;
    bool fileFetched;
  } cases[] = {
      {"another plan changes nothing", "theme2", "zip", std::nullopt, 9, false, false},
      {"capital ZIP, same version: files only", "theme1", "ZIP", 5, 5, false, true},
      {"zip, newer version: both", "theme1", "zip", 4, 5, true, true},
      {"no stored theme: both whatever the version", "theme1", "Zip", std::nullopt, 0, true, true},
      {"file mode never fetches a package", "theme1", "file", std::nullopt, 7, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    platform::UserDefaults::standard().remove(ThemeUtil::serializeKeyTheme());
    fs::removeTree(ThemeUtil::themeTempDir());
    if (c.storedVersion) storeTheme(*c.storedVersion, "a:1");
    const size_t packageBefore = files.hits("/pkg/theme.zip");
    const size_t fileBefore = files.hits("/t/a.png");
    files.put("/pkg/theme.zip", zipOf({{"p.png", small}}));
    refresh(serverTheme(c.plan, c.mode, c.serverVersion, "a:2"));
    EXPECT_EQ(files.hits("/pkg/theme.zip") > packageBefore, c.packageFetched);
    EXPECT_EQ(files.hits("/t/a.png") > fileBefore, c.fileFetched);
  }
}

TEST_F(ThemeRefreshTest, AnEmptyServerListStartsNoFileTaskAndMovesNothing) {
  storeTheme(1, "a:1");
  ASSERT_TRUE(fs::writeAtomic(ThemeUtil::themeTempDir() / "left.png", small));
  refresh(serverTheme("theme1", "file", 2, ""));
  EXPECT_EQ(names(ThemeUtil::themeTempDir()), std::vector<std::string>{"left.png"});
  EXPECT_EQ(storedText(), "1 a:1");
  EXPECT_EQ(files.totalHits(), 0u);
}

TEST_F(ThemeRefreshTest, OneFailedFileOfThreeRecordsNothingButTheOthersMoveInLater) {
  storeTheme(1, "");
  Json theme = serverTheme("theme1", "file", 3, "a:1,b:1,c:1");
  files.remove("/t/b.png");
  refresh(theme);
  EXPECT_EQ(storedText(), "1 ");
  EXPECT_EQ(names(ThemeUtil::themeTempDir()), (std::vector<std::string>{"a.png", "c.png"}));
  ASSERT_TRUE(ThemeUtil::themeMoveTemp2Save());
  EXPECT_TRUE(fs::exists(ThemeUtil::themeSaveDir() / "a.png"));
  EXPECT_TRUE(fs::exists(ThemeUtil::themeSaveDir() / "c.png"));
}

TEST_F(ThemeRefreshTest, BadDownloadsNeverReplaceAWorkingPicture) {
  // A working themed picture of each name is already in use.
  for (const char* name : {"top_bg.png", "x.png"}) ASSERT_TRUE(fs::writeAtomic(ThemeUtil::themeSaveDir() / name, wide));
  storeTheme(1, "");
  const std::string outside = (platform::Sandbox::tmp() / "outside.png").string();
  Json theme = {{"planName", "theme1"}, {"themeVersion", 2}, {"updateMode", "file"},
                {"fileList", Json::array({
                                 // An error page with a 200 status is no picture.
                                 {{"fileName", "top_bg"}, {"filepath", files.urlOf("/t/top_bg.png")}},
                                 // A name that climbs out of the folder, and one with no name.
                                 {{"fileName", "up"}, {"filepath", files.urlOf("/t/..")}},
                                 {{"fileName", "none"}, {"filepath", files.urlOf("/")}},
                                 // A failed download.
                                 {{"fileName", "x"}, {"filepath", files.urlOf("/t/x.png")}},
                             })}};
  files.put("/t/top_bg.png", "<html>busy</html>");
  refresh(theme);

  EXPECT_TRUE(names(ThemeUtil::themeTempDir()).empty());
  EXPECT_FALSE(fs::exists(platform::Sandbox::tmp() / "outside.png")) << outside;
  EXPECT_EQ(storedText(), "1 ") << "a short download records nothing";
  ASSERT_TRUE(ThemeUtil::themeMoveTemp2Save());
  EXPECT_EQ(fs::read(ThemeUtil::themeSaveDir() / "top_bg.png"), wide);
  EXPECT_EQ(fs::read(ThemeUtil::themeSaveDir() / "x.png"), wide);
}

TEST_F(ThemeRefreshTest, APackageOfPicturesIsUnpackedAndItsVersionRecorded) {
  storeTheme(1, "");
  files.put("/pkg/theme.zip", zipOf({{"top_bg.png", small}, {"top_bg@2x.png", bundlePicture("add@2x.png")}}));
  refresh(serverTheme("theme1", "zip", 4, ""));
  EXPECT_EQ(storedText(), "4 ");
  EXPECT_EQ(names(ThemeUtil::themeZipTempDir()), (std::vector<std::string>{"top_bg.png", "top_bg@2x.png"}));
  EXPECT_EQ(names(ThemeUtil::themeZipDir()), std::vector<std::string>{"theme.zip"});

  // The next package task first moves this package's pictures into the theme.
  files.put("/pkg/theme.zip", "not a zip");
  refresh(serverTheme("theme1", "zip", 5, ""));
  EXPECT_EQ(storedText(), "4 ");
  auto bar = ThemeUtil::imageNamed("top_bg.png");
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->size, (platform::ui::Size{30, 30}));
}

TEST_F(ThemeRefreshTest, MalformedPackagesAreRefusedAndTheThemeStaysUsable) {
  const std::string good = zipOf({{"top_bg.png", small}});
  struct Case {
    const char* label;
    std::string package;
  } cases[] = {
      {"truncated", good.substr(0, good.size() / 2)},
      {"not a zip", "PK but not really"},
      {"an entry that climbs out", zipOf({{"../top_bg.png", small}})},
      {"an entry in a folder", zipOf({{"pics/", ""}, {"pics/top_bg.png", small}})},
      {"a picture that does not decode", zipOf({{"top_bg.png", "\x89PNG broken"}, {"ok.png", small}})},
      {"no entries", zipOf({})},
  };
  ASSERT_TRUE(fs::writeAtomic(ThemeUtil::themeSaveDir() / "top_bg.png", wide));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    storeTheme(1, "");
    files.put("/pkg/theme.zip", c.package);
    refresh(serverTheme("theme1", "zip", 2, ""));
    EXPECT_EQ(storedText(), "1 ");
    EXPECT_TRUE(names(ThemeUtil::themeZipTempDir()).empty());
    EXPECT_FALSE(fs::exists(platform::Sandbox::tmp() / "top_bg.png"));
    EXPECT_EQ(fs::read(ThemeUtil::themeSaveDir() / "top_bg.png"), wide);
    auto bar = ThemeUtil::imageNamed("top_bg.png");
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->size, (platform::ui::Size{320, 44}));
  }
}

TEST_F(ThemeRefreshTest, ServerThemeRepliesOfTheWrongShapeChangeNothing) {
  storeTheme(1, "a:1");
  for (Json reply : {Json(), Json::array({serverTheme("theme1", "zip", 9, "a:5")}), Json("theme1"), Json(42)}) {
    refresh(reply);
    EXPECT_EQ(storedText(), "1 a:1") << platform::json::dump(reply);
  }
  EXPECT_EQ(files.totalHits(), 0u);
}

// --- the home picture ---

class HomePicTest : public ThemeRefreshTest {
 protected:
  void storeSplash(const std::string& name) {
    serialize(std::make_shared<HomePicEntity>(HomePicEntity::initWithJson({{"picname", name}})), ThemeUtil::kSplashKey);
  }
  std::string splashName() {
    auto record = reverseForKey<HomePicEntity>(ThemeUtil::kSplashKey);
    return record ? platform::json::asText(record->picname()).value_or("?") : "none";
  }
  void offer(const std::string& picname, const std::string& path) {
    state().homePic = {{"picname", picname}, {"updateurl", files.urlOf(path)}, {"remark", "spring"}};
    ThemeRefresh::updateHomePic();
    ASSERT_TRUE(platform::testing::settleIo());
  }
};

TEST_F(HomePicTest, ANewPictureIsDownloadedAndShownAtTheNextLaunch) {
  // No record: the application's splash, its 4-inch variant on this 640 x 1136 screen.
  auto launch = ThemeUtil::homeSplashImage();
  ASSERT_TRUE(launch);
  EXPECT_EQ(launch->name, "app_splash-568h.png");
  EXPECT_EQ(launch->size, (platform::ui::Size{320, 568}));

  files.put("/pic/spring.png", small);
  offer("spring.png", "/pic/spring.png");
  EXPECT_EQ(splashName(), "spring.png");
  EXPECT_EQ(fs::read(ThemeUtil::homeSplashDir() / "spring.png"), small);
  launch = ThemeUtil::homeSplashImage();
  ASSERT_TRUE(launch);
  EXPECT_EQ(launch->size, (platform::ui::Size{30, 30}));

  // A picture the folder already holds changes nothing, even when the record names another.
  storeSplash("older.png");
  offer("spring.png", "/pic/spring.png");
  EXPECT_EQ(files.hits("/pic/spring.png"), 1u);
  EXPECT_EQ(splashName(), "older.png");
  // The record's file is missing: the application's splash again.
  EXPECT_EQ(ThemeUtil::homeSplashImage()->name, "app_splash-568h.png");
}

TEST_F(HomePicTest, UnsafeNamesAndBadDownloadsKeepTheWorkingLaunchPicture) {
  ASSERT_TRUE(fs::writeAtomic(ThemeUtil::homeSplashDir() / "good.png", wide));
  storeSplash("good.png");
  files.put("/pic/page.png", "<html>sorry</html>");
  files.put("/pic/p.png", small);
  struct Case {
    const char* picname;
    const char* path;
    bool requested;
  } cases[] = {
      {"missing.png", "/pic/missing.png", true},  // 404
      {"page.png", "/pic/page.png", true},        // not a picture
      {"../outside.png", "/pic/p.png", false},
      {"sub/p.png", "/pic/p.png", false},
      {"/tmp/p.png", "/pic/p.png", false},
      {"..", "/pic/p.png", false},
      {"", "/pic/p.png", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.picname);
    const size_t before = files.totalHits();
    offer(c.picname, c.path);
    EXPECT_EQ(files.totalHits() > before, c.requested);
    EXPECT_EQ(splashName(), "good.png");
    EXPECT_EQ(names(ThemeUtil::homeSplashDir()), std::vector<std::string>{"good.png"});
  }
  EXPECT_FALSE(fs::exists(platform::Sandbox::tmp() / "outside.png"));
  EXPECT_EQ(ThemeUtil::homeSplashImage()->size, (platform::ui::Size{320, 44}));
}

TEST_F(HomePicTest, ShortScreensGetThePlainSplashAndNoVariantMeansNoPicture) {
  platform::Device::screen().bounds = {320, 480};
  platform::Device::screen().currentMode = platform::ScreenSize{640, 960};
  EXPECT_EQ(ThemeUtil::homeSplashImage()->name, "app_splash.png");
  EXPECT_EQ(ThemeUtil::iphone5AdpatImageNamed("top_bg.png")->name, "top_bg.png");
  platform::Device::screen().bounds = {320, 568};
  platform::Device::screen().currentMode = platform::ScreenSize{640, 1136};
  EXPECT_FALSE(ThemeUtil::iphone5AdpatImageNamed("top_bg.png")) << "no 4-inch variant of it";
}

}  // namespace
}  // namespace nvx
