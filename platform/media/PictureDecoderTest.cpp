#include "platform/media/PictureDecoder.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include "platform/media/TestPictures.h"

namespace platform::media {
namespace {

using pictures::jpegOfGray;
using pictures::pngOf;

std::string be32(uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

// The PNG with the width in its header chunk replaced (and the chunk's checksum made right again).
std::string withPngWidth(std::string png, uint32_t width) {
  png.replace(16, 4, be32(width));
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17);   // type and data
  png.replace(29, 4, be32(static_cast<uint32_t>(crc)));
  return png;
}

std::string grayPng(int width, int height) { return pngOf(width, height, std::vector<uint8_t>(size_t(width * height * 4), 99)); }
std::string grayJpeg(int width, int height, bool progressive = false) {
  return jpegOfGray(width, height, std::vector<uint8_t>(size_t(width * height), 99), progressive);
}

TEST(PictureDecoder, SizeComesFromPngAndJpegHeaders) {
  struct Case {
    std::string name;
    std::string bytes;
    std::optional<PictureSize> size;
  };
  const std::string jpeg = grayJpeg(30, 20);
  const size_t frame = jpeg.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  std::string badCrc = grayPng(10, 10);
  badCrc[30] ^= 0x01;
  const Case cases[] = {
      {"png", grayPng(640, 1136), PictureSize{640, 1136}},
      {"baseline jpeg", grayJpeg(300, 200), PictureSize{300, 200}},
      {"progressive jpeg", grayJpeg(48, 64, true), PictureSize{48, 64}},
      {"jpeg header only", jpeg.substr(0, jpeg.find("\xFF\xDA") + 14), PictureSize{30, 20}},
      {"png of zero width", withPngWidth(grayPng(4, 4), 0), std::nullopt},
      {"png whose header chunk is damaged", badCrc, std::nullopt},
      {"png cut short", grayPng(10, 10).substr(0, 20), std::nullopt},
      {"png signature only", grayPng(10, 10).substr(0, 8), std::nullopt},
      {"jpeg whose frame runs past the end", jpeg.substr(0, frame + 8), std::nullopt},
      {"jpeg without a frame", std::string("\xFF\xD8\xFF\xD9", 4), std::nullopt},
      {"gif", std::string("GIF89a\x01\x00\x01\x00", 10), std::nullopt},
      {"text", "some text, not a picture", std::nullopt},
      {"empty", "", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(PictureDecoder::size(c.bytes), c.size) << c.name;
}

TEST(PictureDecoder, DecodesEveryPixelUpToTheLimit) {
  struct Case {
    std::string name;
    std::string bytes;
    int64_t maxPixels;
    bool ok;
  };
  const Case cases[] = {
      {"png at the limit", grayPng(4, 3), 12, true},
      {"png above the limit", grayPng(4, 3), 11, false},
      {"jpeg at the limit", grayJpeg(8, 2), 16, true},
      {"jpeg above the limit", grayJpeg(8, 2), 15, false},
      {"png of zero width", withPngWidth(grayPng(4, 4), 0), 1000, false},
      {"jpeg header only", grayJpeg(8, 8).substr(0, 20), 1000, false},
      {"text", "not a picture", 1000, false},
  };
  for (const auto& c : cases) {
    auto picture = PictureDecoder::decode(c.bytes, c.maxPixels);
    ASSERT_EQ(picture.isOk(), c.ok) << c.name << ": " << picture.error();
    if (!picture) continue;
    auto size = PictureDecoder::size(c.bytes);
    ASSERT_TRUE(size) << c.name;
    EXPECT_EQ(picture->width, size->width) << c.name;
    EXPECT_EQ(picture->height, size->height) << c.name;
    EXPECT_EQ(picture->rgba.size(), size_t(size->width * size->height * 4)) << c.name;
  }
}

}  // namespace
}  // namespace platform::media
