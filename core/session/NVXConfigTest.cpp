#include "core/session/NVXConfig.h"

#include <gtest/gtest.h>

#include "core/shell/AppServices.h"
#include "core/models/ThemeEntity.h"
#include "core/session/ThemeUtil.h"
#include "core/session/UserDefaultsExt.h"
#include "platform/device/Device.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/testing/Testing.h"

namespace nvx {
namespace {

using platform::Json;
using platform::NetworkStatus;
using platform::Reachability;
using platform::UserDefaults;
namespace fs = platform::fs;

class ServicesWithApi : public AppServices {
 public:
  explicit ServicesWithApi(std::string address) : address_(std::move(address)) {}
  std::string mainApiAddress() override { return address_; }

 private:
  std::string address_;
};

// A bundle of our own: the version and the default theme resources are the test's.
class NVXConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ThemeEntity::registerArchiveClass();
    bundle_ = platform::Sandbox::makeTempRoot("nvx-config-bundle");
    platform::Sandbox::setBundle(bundle_);
    setVersion("2.0.0.7");
    writeTheme("default", "1", "top_bg.png");
    writeTheme("default@2x", "2", "top_bg@2x.png");
  }
  void TearDown() override { fs::removeTree(bundle_); }

  void setVersion(const std::string& version) {
    ASSERT_TRUE(fs::writeAtomic(bundle_ / "Info.json",
                                Json{{"CFBundleShortVersionString", "2.0"}, {"CFBundleVersion", version}}.dump()));
  }
  void writeTheme(const std::string& name, const std::string& version, const std::string& file) {
    Json theme{{"planName", "theme1"},
               {"themeVersion", version},
               {"updateMode", "file"},
               {"fileList", Json::array({Json{{"fileName", file}, {"fileVersion", 1}}})}};
    ASSERT_TRUE(fs::writeAtomic(bundle_ / (name + ".theme"), theme.dump()));
  }
  // A new run of the client; the bundle folder stays.
  static void restart() { platform::testing::restart(); ThemeEntity::registerArchiveClass(); }

  static std::shared_ptr<ThemeEntity> storedTheme(const std::string& key) { return reverseForKey<ThemeEntity>(key); }

  platform::Path bundle_;
};

TEST_F(NVXConfigTest, FirstStartOfAVersionStoresTheDefaultThemeUnderThatVersion) {
  EXPECT_EQ(ThemeUtil::serializeKeyTheme(), "SerializeKeyTheme2.0.0.7");
  EXPECT_FALSE(isSerializedForKey("SerializeKeyTheme2.0.0.7"));

  EXPECT_EQ(NVXConfig::sharedConfig().theme(), 1);
  auto theme = storedTheme("SerializeKeyTheme2.0.0.7");
  ASSERT_NE(theme, nullptr);
  // The double-density resource on the default (scale 2) screen.
  EXPECT_EQ(theme->planName(), "theme1");
  EXPECT_EQ(theme->themeVersion(), "2");
  ASSERT_EQ(theme->fileList().size(), 1u);
  EXPECT_EQ(theme->fileList()[0]->fileName(), "top_bg@2x.png");
  EXPECT_EQ(theme->fileList()[0]->fileVersion(), 1);
  // Written to disk at once: a crash after start-up keeps it.
  EXPECT_NE(fs::read(UserDefaults::file()).value_or("").find("SerializeKeyTheme2.0.0.7"), std::string::npos);
}

TEST_F(NVXConfigTest, SingleDensityScreenTakesThePlainResource) {
  platform::Device::screen().scale = 1.0;
  NVXConfig::sharedConfig();
  auto theme = storedTheme("SerializeKeyTheme2.0.0.7");
  ASSERT_NE(theme, nullptr);
  EXPECT_EQ(theme->themeVersion(), "1");
  ASSERT_EQ(theme->fileList().size(), 1u);
  EXPECT_EQ(theme->fileList()[0]->fileName(), "top_bg.png");
}

TEST_F(NVXConfigTest, SecondStartOfTheSameVersionKeepsTheRecordedTheme) {
  NVXConfig::sharedConfig();
  // During the run a downloaded theme is recorded under the same key.
  serialize(std::make_shared<ThemeEntity>(ThemeEntity::initWithJson(Json{{"planName", "theme1"}, {"themeVersion", 7}})),
            "SerializeKeyTheme2.0.0.7");

  restart();
  EXPECT_EQ(NVXConfig::sharedConfig().theme(), 1);
  auto theme = storedTheme("SerializeKeyTheme2.0.0.7");
  ASSERT_NE(theme, nullptr);
  EXPECT_EQ(theme->themeVersion(), 7);

  // A new version starts with the default theme under its own key; the old record stays.
  setVersion("2.1.0.1");
  restart();
  NVXConfig::sharedConfig();
  ASSERT_NE(storedTheme("SerializeKeyTheme2.1.0.1"), nullptr);
  EXPECT_EQ(storedTheme("SerializeKeyTheme2.1.0.1")->themeVersion(), "2");
  ASSERT_NE(storedTheme("SerializeKeyTheme2.0.0.7"), nullptr);
  EXPECT_EQ(storedTheme("SerializeKeyTheme2.0.0.7")->themeVersion(), 7);
}

TEST_F(NVXConfigTest, NewVersionNeverErasesStoredDefaults) {
  auto& defaults = UserDefaults::standard();
  defaults.set("series", "12");
  defaults.set("nuvexa.loginname", "13800138000");
  defaults.set("common_unitid", "0003");
  defaults.set("start_help_page", "2.0");
  ASSERT_TRUE(defaults.synchronize());
  setVersion("2.1.0.1");
  restart();
  // A value set in this run and not written yet survives too.
  UserDefaults::standard().set("unitid", "0001");

  NVXConfig::sharedConfig();
  auto check = [](const char* when) {
    auto& d = UserDefaults::standard();
    EXPECT_EQ(d.string("series"), "12") << when;
    EXPECT_EQ(d.string("nuvexa.loginname"), "13800138000") << when;
    EXPECT_EQ(d.string("common_unitid"), "0003") << when;
    EXPECT_EQ(d.string("start_help_page"), "2.0") << when;
    EXPECT_EQ(d.string("unitid"), "0001") << when;
    EXPECT_TRUE(d.contains("SerializeKeyTheme2.1.0.1")) << when;
  };
  check("in the run");
  restart();
  check("in the next run");
}

TEST_F(NVXConfigTest, MissingDefaultThemeStoresAnEmptyRecordOnce) {
  fs::removeTree(bundle_ / "default@2x.theme");
  ASSERT_TRUE(fs::writeAtomic(bundle_ / "default.theme", "{not json"));
  NVXConfig::sharedConfig();
  auto theme = storedTheme("SerializeKeyTheme2.0.0.7");
  ASSERT_NE(theme, nullptr);
  EXPECT_TRUE(theme->planName().is_null());
  EXPECT_TRUE(theme->fileList().empty());
}

TEST_F(NVXConfigTest, StartMovesDownloadedThemeFilesIntoTheSaveFolder) {
  const auto tmp = platform::Sandbox::tmp();
  const auto save = ThemeUtil::themeSaveFolder();
  ASSERT_TRUE(fs::writeAtomic(save / "top_bg.png", "old"));
  ASSERT_TRUE(fs::writeAtomic(save / "kept.png", "kept"));
  ASSERT_TRUE(fs::writeAtomic(save / "icons" / "stale.png", "stale"));
  // The unpacked package: a file and a folder.
  ASSERT_TRUE(fs::writeAtomic(tmp / "NVXTIZipTemp" / "top_bg.png", "zip"));
  ASSERT_TRUE(fs::writeAtomic(tmp / "NVXTIZipTemp" / "icons" / "a.png", "zip-a"));
  // Single files, moved after the package: the same name wins over the package's.
  ASSERT_TRUE(fs::writeAtomic(tmp / "NVXTITemp" / "top_bg.png", "single"));
  ASSERT_TRUE(fs::writeAtomic(tmp / "NVXTITemp" / "home_background.png", "bg"));

  NVXConfig::sharedConfig();

  EXPECT_EQ(fs::read(save / "top_bg.png"), "single");
  EXPECT_EQ(fs::read(save / "home_background.png"), "bg");
  EXPECT_EQ(fs::read(save / "kept.png"), "kept");
  // A folder entry replaces the saved folder of that name as a whole.
  EXPECT_EQ(fs::read(save / "icons" / "a.png"), "zip-a");
  EXPECT_FALSE(fs::exists(save / "icons" / "stale.png"));
  EXPECT_TRUE(fs::list(tmp / "NVXTIZipTemp").empty());
  EXPECT_TRUE(fs::list(tmp / "NVXTITemp").empty());
  EXPECT_EQ(fs::list(save), (std::vector<std::string>{"home_background.png", "icons", "kept.png", "top_bg.png"}));

  // Nothing to move: both report an empty source, also when the folders were never made.
  fs::removeTree(tmp / "NVXTITemp");
  EXPECT_TRUE(ThemeUtil::themeMoveTemp2Save());
  EXPECT_TRUE(ThemeUtil::themeMoveZipTemp2Save());
}

TEST_F(NVXConfigTest, WatchesTheMainApiHost) {
  AppServices::install(std::make_shared<ServicesWithApi>("https://api.nvx.test:8443/iphone/"));
  Reachability::setHostStatus("api.nvx.test", NetworkStatus::NotReachable);

  auto& config = NVXConfig::sharedConfig();
  ASSERT_NE(config.hostReach(), nullptr);
  EXPECT_EQ(config.hostReach()->hostName(), "api.nvx.test");
  EXPECT_FALSE(config.isNetValid());   // asked at once, not only on a change

  Reachability::setHostStatus("api.nvx.test", NetworkStatus::ReachableViaWWAN);
  platform::RunLoop::main().runUntilIdle();
  EXPECT_TRUE(config.isNetValid());

  // Another host going down changes nothing.
  Reachability::setHostStatus("other.test", NetworkStatus::NotReachable);
  platform::RunLoop::main().runUntilIdle();
  EXPECT_TRUE(config.isNetValid());

  Reachability::setNetworkStatus(NetworkStatus::NotReachable);
  Reachability::clearHostStatus("api.nvx.test");
  platform::RunLoop::main().runUntilIdle();
  EXPECT_FALSE(config.isNetValid());
}

TEST(NVXConfigHost, HostOfAddress) {
  const std::pair<const char*, const char*> cases[] = {
      {"https://api.nvx.test:8443/iphone/", "api.nvx.test"},
      {"https://127.0.0.1/iphone/", "127.0.0.1"},
      {"http://user:pw@host.test/x?y=1", "host.test"},
      {"https://[::1]:8443/iphone/", "::1"},
      {"host.test", "host.test"},
      {"host.test:80", "host.test"},
      {"", ""},
  };
  for (const auto& [address, host] : cases) EXPECT_EQ(NVXConfig::hostOfAddress(address), host) << address;
}

TEST(NVXConfigResources, ShippedDefaultThemesAreThemeRecords) {
  // The client's own bundle.
  ThemeEntity::registerArchiveClass();
  for (double scale : {1.0, 2.0}) {
    platform::Device::screen().scale = scale;
    ThemeUtil::serializeDefaultTheme();
    auto theme = reverseForKey<ThemeEntity>(ThemeUtil::serializeKeyTheme());
    ASSERT_NE(theme, nullptr);
    EXPECT_EQ(theme->planName(), "theme1");
    EXPECT_FALSE(theme->fileList().empty()) << scale;
  }
  EXPECT_EQ(ThemeUtil::serializeKeyTheme(), "SerializeKeyTheme3.1.5.0");
}

}  // namespace
}  // namespace nvx
