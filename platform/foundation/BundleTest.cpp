#include "platform/foundation/Bundle.h"

#include <gtest/gtest.h>

#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"

namespace platform {
namespace {

class BundleFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = Sandbox::bundle();
    folder_ = Sandbox::tmp() / "bundle";
    // The bundle finds picture files by name; it does not read them (ui::Image does).
    for (const char* picture : {"a.png", "a@2x.png", "b.png", "c@2x.png", "pictures/d@2x.jpg", "e.png", "e@2x.png"})
      write(picture, "picture");
    write("pictures/a.png", "picture");   // shadowed by the top-level a.png
    write("initData.txt", "{}");
    Sandbox::setBundle(folder_);
  }
  void TearDown() override { Sandbox::setBundle(previous_); }
  void write(const std::string& name, const std::string& bytes) {
    ASSERT_TRUE(fs::writeAtomic(folder_ / name, bytes));
  }

  Path previous_;
  Path folder_;
};

TEST_F(BundleFolder, FindsResourcesAtTopLevelThenInSubFolders) {
  auto& b = Bundle::main();
  EXPECT_EQ(b.resource("initData", "txt"), folder_ / "initData.txt");
  EXPECT_EQ(b.resource("initData.txt", ""), folder_ / "initData.txt");
  EXPECT_EQ(b.resource("a", ".png"), folder_ / "a.png");
  EXPECT_EQ(b.resource("d@2x", "jpg"), folder_ / "pictures" / "d@2x.jpg");
  EXPECT_EQ(b.resource("initData", "bat"), std::nullopt);
  EXPECT_EQ(b.resource("pictures", ""), std::nullopt);   // a folder is not a resource
  EXPECT_EQ(b.resource("../bundle/a", "png"), std::nullopt);
  EXPECT_EQ(b.resource("pictures/d@2x", "jpg"), std::nullopt);
  EXPECT_EQ(b.resource("", ""), std::nullopt);
}

TEST_F(BundleFolder, PicturesFollowTheScreenScale) {
  struct Case {
    std::string name;
    double screenScale;
    std::vector<std::pair<std::string, double>> files;   // in the order the screen prefers them
  };
  const Case cases[] = {
      {"a.png", 2, {{"a@2x.png", 2}, {"a.png", 1}}},
      {"a", 2, {{"a@2x.png", 2}, {"a.png", 1}}},
      {"a.png", 1, {{"a.png", 1}, {"a@2x.png", 2}}},
      {"b.png", 2, {{"b.png", 1}}},
      {"c.png", 2, {{"c@2x.png", 2}}},
      {"c.png", 1, {{"c@2x.png", 2}}},
      {"c@2x.png", 1, {{"c@2x.png", 2}}},
      {"a@2x.png", 1, {{"a@2x.png", 2}}},
      {"d.jpg", 2, {{"pictures/d@2x.jpg", 2}}},
      {"e.png", 2, {{"e@2x.png", 2}, {"e.png", 1}}},
      {"missing.png", 2, {}},
      {"../bundle/a.png", 2, {}},
      {"", 2, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + " @" + std::to_string(c.screenScale));
    std::vector<PictureInfo> expected;
    for (const auto& [file, scale] : c.files) expected.push_back({folder_ / file, scale});
    EXPECT_EQ(Bundle::main().pictureFiles(c.name, c.screenScale), expected);
    auto first = Bundle::main().picture(c.name, c.screenScale);
    ASSERT_EQ(first.has_value(), !expected.empty());
    if (first) {
      EXPECT_EQ(*first, expected.front());
    }
  }
}

TEST_F(BundleFolder, MissingInfoFileGivesNoKeys) {
  log::Capture capture;
  EXPECT_EQ(Bundle::main().info("CFBundleVersion"), std::nullopt);
  EXPECT_TRUE(capture.contains("Info.json"));
}

TEST(BundleInfo, ReadsTheProjectsVersionKeys) {
  auto& b = Bundle::main();
  EXPECT_EQ(b.info("CFBundleShortVersionString"), "3.1.5");
  EXPECT_EQ(b.info("CFBundleVersion"), "3.1.5.0");
  EXPECT_TRUE(b.info("CFBundleIdentifier"));
  EXPECT_EQ(b.info("NoSuchKey"), std::nullopt);
}

}  // namespace
}  // namespace platform
