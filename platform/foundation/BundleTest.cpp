#include "platform/foundation/Bundle.h"

#include <gtest/gtest.h>

#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"

namespace platform {
namespace {

std::string be32(uint32_t v) {
  return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}
std::string be16(unsigned v) { return {char(v >> 8), char(v)}; }

// The start of a PNG file: signature and IHDR chunk (the size is all a header read needs).
std::string png(uint32_t w, uint32_t h) {
  std::string s = "\x89PNG\r\n\x1A\n";
  s += be32(13) + "IHDR" + be32(w) + be32(h) + std::string("\x08\x06\x00\x00\x00", 5) + be32(0);
  return s;
}

// A JPEG header: SOI, JFIF APP0, a Huffman table segment (0xC4, not a frame), then the frame.
std::string jpeg(unsigned w, unsigned h, unsigned char frameMarker = 0xC0) {
  std::string s = "\xFF\xD8";
  s += "\xFF\xE0" + be16(16) + std::string("JFIF\0\x01\x01\x00\x00\x01\x00\x01\x00\x00", 14);
  s += "\xFF\xC4" + be16(5) + std::string("\x00\x01\x02", 3);
  s += std::string("\xFF") + char(frameMarker) + be16(17) + "\x08" + be16(h) + be16(w) + "\x03" +
       std::string(9, '\x11');
  s += "\xFF\xD9";
  return s;
}

TEST(BundlePixelSize, ReadsPngAndJpegHeaders) {
  struct Case { std::string name; std::string bytes; std::optional<PixelSize> size; };
  std::string jpegTooShort = jpeg(30, 20);
  jpegTooShort.resize(jpegTooShort.size() - 12);
  const Case cases[] = {
      {"png", png(640, 1136), PixelSize{640, 1136}},
      {"baseline jpeg", jpeg(300, 200), PixelSize{300, 200}},
      {"progressive jpeg", jpeg(48, 64, 0xC2), PixelSize{48, 64}},
      {"png of zero width", png(0, 10), std::nullopt},
      {"png cut short", png(10, 10).substr(0, 20), std::nullopt},
      {"jpeg whose frame runs past the end", jpegTooShort, std::nullopt},
      {"jpeg without a frame", std::string("\xFF\xD8\xFF\xD9", 4), std::nullopt},
      {"text", "GIF89a and more text", std::nullopt},
      {"empty", "", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(Bundle::pixelSize(c.bytes), c.size) << c.name;
}

class BundleFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = Sandbox::bundle();
    folder_ = Sandbox::tmp() / "bundle";
    write("a.png", png(10, 20));
    write("a@2x.png", png(20, 40));
    write("b.png", png(7, 9));
    write("c@2x.png", png(30, 30));
    write("pictures/d@2x.jpg", jpeg(100, 50));
    write("pictures/a.png", png(1, 1));   // shadowed by the top-level a.png
    write("e.png", png(12, 12));
    write("e@2x.png", "not a picture");
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
    std::optional<std::string> file;
    double scale, width, height;
  };
  const Case cases[] = {
      {"a.png", 2, "a@2x.png", 2, 10, 20},
      {"a", 2, "a@2x.png", 2, 10, 20},
      {"a.png", 1, "a.png", 1, 10, 20},
      {"b.png", 2, "b.png", 1, 7, 9},
      {"c.png", 2, "c@2x.png", 2, 15, 15},
      {"c.png", 1, "c@2x.png", 2, 15, 15},
      {"c@2x.png", 1, "c@2x.png", 2, 15, 15},
      {"a@2x.png", 1, "a@2x.png", 2, 10, 20},
      {"d.jpg", 2, "pictures/d@2x.jpg", 2, 50, 25},
      {"e.png", 2, "e.png", 1, 12, 12},   // the broken @2x file is passed over
      {"missing.png", 2, std::nullopt, 0, 0, 0},
      {"../bundle/a.png", 2, std::nullopt, 0, 0, 0},
      {"", 2, std::nullopt, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + " @" + std::to_string(c.screenScale));
    auto p = Bundle::main().picture(c.name, c.screenScale);
    ASSERT_EQ(p.has_value(), c.file.has_value());
    if (!p) continue;
    EXPECT_EQ(p->path, folder_ / *c.file);
    EXPECT_EQ(p->scale, c.scale);
    EXPECT_EQ(p->width(), c.width);
    EXPECT_EQ(p->height(), c.height);
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
