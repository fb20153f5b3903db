#include "platform/ui/Image.h"

#include <gtest/gtest.h>

#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"

namespace platform::ui {
namespace {

// A 6 x 4 grey PNG and the header of a 5 x 3 JPEG (start of image, frame and scan markers).
const std::string kPng(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x06\x00\x00\x00\x04\x08\x00\x00"
    "\x00\x00\x88\x6f\x11\x9f\x00\x00\x00\x01\x73\x52\x47\x42\x00\xae\xce\x1c\xe9\x00\x00\x00\x0b\x49\x44\x41\x54"
    "\x08\x99\x63\x60\xc0\x0d\x00\x00\x1c\x00\x01\x4c\xe9\x87\x29\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82",
    81);
const std::string kJpeg(
    "\xff\xd8\xff\xc0\x00\x0b\x08\x00\x03\x00\x05\x01\x01\x11\x00\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00", 25);

TEST(Image, FromBytesReadsTheSizeOfPngAndJpeg) {
  auto png = Image::fromBytes(kPng);
  ASSERT_TRUE(png);
  EXPECT_EQ(png->size, (Size{6, 4}));
  EXPECT_EQ(png->pixelWidth(), 6);
  EXPECT_FALSE(png->hasPixels());
  auto png2x = Image::fromBytes(kPng, 2.0);
  ASSERT_TRUE(png2x);
  EXPECT_EQ(png2x->size, (Size{3, 2}));
  auto jpeg = Image::fromBytes(kJpeg);
  ASSERT_TRUE(jpeg);
  EXPECT_EQ(jpeg->size, (Size{5, 3}));
}

TEST(Image, FromBytesGivesNothingForWhatIsNotAPicture) {
  std::string badCrc = kPng;
  badCrc[30] ^= 0x01;   // the header chunk's checksum no longer matches
  const std::string cases[] = {
      "",
      "hello",
      kPng.substr(0, 8),          // the signature only
      kPng.substr(0, 20),         // cut inside the header chunk
      badCrc,
      kJpeg.substr(0, 2),         // start of image only
      kJpeg.substr(0, 12),        // cut inside the frame header
      std::string("GIF89a\x01\x00\x01\x00", 10),
  };
  for (const auto& bytes : cases) {
    SCOPED_TRACE(bytes.size());
    EXPECT_FALSE(Image::fromBytes(bytes));
  }
  EXPECT_FALSE(Image::fromBytes(kPng, 0));
}

TEST(Image, NamedPicturesComeFromTheBundleAtTheScreenScale) {
  Path bundle = Sandbox::root() / "bundle";
  ASSERT_TRUE(fs::writeAtomic(bundle / "pic.png", kPng));
  ASSERT_TRUE(fs::writeAtomic(bundle / "only1x.png", kPng));
  ASSERT_TRUE(fs::writeAtomic(bundle / "pic@2x.png", kPng));
  Sandbox::setBundle(bundle);
  auto pic = Image::named("pic.png");   // the phone's screen has scale 2: "@2x" wins
  ASSERT_TRUE(pic);
  EXPECT_EQ(pic->name, "pic.png");
  EXPECT_EQ(pic->scale, 2);
  EXPECT_EQ(pic->size, (Size{3, 2}));
  auto plain = Image::named("only1x.png");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->size, (Size{6, 4}));
  EXPECT_FALSE(Image::named("missing.png"));
  EXPECT_FALSE(Image::named(""));
}

TEST(Image, NamedPictureSkipsAFileThatIsNotAPicture) {
  Path bundle = Sandbox::root() / "bundle";
  ASSERT_TRUE(fs::writeAtomic(bundle / "pic.png", kPng));
  ASSERT_TRUE(fs::writeAtomic(bundle / "pic@2x.png", "not a picture"));
  ASSERT_TRUE(fs::writeAtomic(bundle / "photo@2x.jpg", kJpeg));
  ASSERT_TRUE(fs::writeAtomic(bundle / "broken.png", kPng.substr(0, 20)));
  Sandbox::setBundle(bundle);
  log::Capture capture;
  auto pic = Image::named("pic.png");   // the broken "@2x" file gives way to the plain one
  ASSERT_TRUE(pic);
  EXPECT_EQ(pic->scale, 1);
  EXPECT_EQ(pic->size, (Size{6, 4}));
  EXPECT_TRUE(capture.contains("pic@2x.png"));
  auto photo = Image::named("photo.jpg");
  ASSERT_TRUE(photo);
  EXPECT_EQ(photo->scale, 2);
  EXPECT_EQ(photo->size, (Size{2.5, 1.5}));
  EXPECT_FALSE(Image::named("broken.png"));
}

TEST(Image, PicturesMadeInCode) {
  auto img = Image::withPixels(4, 2, std::vector<uint8_t>(4 * 2 * 4, 0xFF), 2.0);
  ASSERT_TRUE(img);
  EXPECT_EQ(img->size, (Size{2, 1}));
  ASSERT_TRUE(img->hasPixels());
  EXPECT_EQ(img->pixels->size(), 32u);
  EXPECT_FALSE(Image::withPixels(4, 2, std::vector<uint8_t>(31)));
  EXPECT_FALSE(Image::withPixels(0, 2, {}));

  auto button = Image::withPixels(20, 10, std::vector<uint8_t>(20 * 10 * 4))->stretchable(8, 4);
  EXPECT_EQ(button.capInsets, (EdgeInsets{4, 8, 5, 11}));
  EXPECT_TRUE(button.isStretchable());
}

}  // namespace
}  // namespace platform::ui
