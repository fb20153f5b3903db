#include "platform/media/Camera.h"

#include <gtest/gtest.h>

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Sandbox.h"
#include "platform/media/TestPictures.h"

namespace platform::media {
namespace {

using pictures::jpegOfGray;
using pictures::pngHeaderOnly;
using pictures::pngOf;

TEST(CameraFrame, BuffersMustMatchTheirSize) {
  struct Case {
    int width;
    int height;
    size_t bytes;
    bool ok;
  };
  const Case cases[] = {
      {2, 3, 24, true}, {2, 3, 23, false}, {2, 3, 25, false}, {0, 3, 0, false}, {-2, 3, 24, false},
      {2, 0, 0, false}, {100000, 100000, 0, false},   // beyond the pixel limit: refused before any check
  };
  for (const Case& c : cases) {
    auto frame = CameraFrame::fromRgba(c.width, c.height, std::vector<uint8_t>(c.bytes, 7));
    EXPECT_EQ(frame.isOk(), c.ok) << c.width << "x" << c.height << " with " << c.bytes << " bytes";
  }
  EXPECT_FALSE(CameraFrame::fromGray(2, 2, {1, 2, 3}).isOk());
}

TEST(CameraFrame, GreyBecomesOpaqueRgbaAndBackToTheSameLuma) {
  auto frame = CameraFrame::fromGray(3, 1, {0, 128, 255});
  ASSERT_TRUE(frame.isOk()) << frame.error();
  EXPECT_EQ(frame->rgba, (std::vector<uint8_t>{0, 0, 0, 255, 128, 128, 128, 255, 255, 255, 255, 255}));
  EXPECT_EQ(frame->luma(), (std::vector<uint8_t>{0, 128, 255}));

  // Pure primaries weigh as the eye sees them: green brightest, blue darkest.
  auto colours = CameraFrame::fromRgba(3, 1, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255});
  ASSERT_TRUE(colours.isOk());
  EXPECT_EQ(colours->luma(), (std::vector<uint8_t>{76, 150, 29}));
}

TEST(CameraFrame, PngDecodesPixelForPixel) {
  const std::vector<uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255,
                                     10, 20, 30, 255, 40, 50, 60, 255, 70, 80, 90, 255};
  auto frame = CameraFrame::fromImageBytes(pngOf(3, 2, rgba));
  ASSERT_TRUE(frame.isOk()) << frame.error();
  EXPECT_EQ(frame->width, 3);
  EXPECT_EQ(frame->height, 2);
  EXPECT_EQ(frame->rgba, rgba);
}

TEST(CameraFrame, BundlePictureFileDecodes) {
  // "add.png": 30 x 30, a blue ground with a white band through rows 12 to 17.
  auto picture = Bundle::main().picture("add.png", 1.0);
  ASSERT_TRUE(picture.has_value());
  auto frame = CameraFrame::fromImageFile(picture->path);
  ASSERT_TRUE(frame.isOk()) << frame.error();
  ASSERT_EQ(frame->width, 30);
  ASSERT_EQ(frame->height, 30);
  auto pixel = [&](int x, int y) {
    const uint8_t* p = &frame->rgba[(static_cast<size_t>(y) * 30 + static_cast<size_t>(x)) * 4];
    return std::vector<uint8_t>(p, p + 4);
  };
  EXPECT_EQ(pixel(0, 0), (std::vector<uint8_t>{30, 104, 172, 255}));
  EXPECT_EQ(pixel(15, 14), (std::vector<uint8_t>{255, 255, 255, 255}));
}

TEST(CameraFrame, JpegDecodesCloseToTheOriginal) {
  std::vector<uint8_t> gray(16 * 16);
  for (size_t i = 0; i < gray.size(); ++i) gray[i] = (i % 16) < 8 ? 0 : 255;
  auto frame = CameraFrame::fromImageBytes(jpegOfGray(16, 16, gray));
  ASSERT_TRUE(frame.isOk()) << frame.error();
  ASSERT_EQ(frame->width, 16);
  ASSERT_EQ(frame->height, 16);
  auto luma = frame->luma();
  for (size_t i = 0; i < gray.size(); ++i) {
    EXPECT_NEAR(luma[i], gray[i], 24) << "pixel " << i;
    EXPECT_EQ(frame->rgba[i * 4 + 3], 255);
  }
}

TEST(CameraFrame, BadPicturesGiveAnErrorNotAFrame) {
  std::string png = pngOf(2, 2, std::vector<uint8_t>(16, 200));
  std::string jpeg = jpegOfGray(8, 8, std::vector<uint8_t>(64, 90));
  const std::pair<const char*, std::string> cases[] = {
      {"empty", ""},
      {"text", "hello, camera"},
      {"truncated PNG", png.substr(0, png.size() / 2)},
      {"truncated JPEG", jpeg.substr(0, 20)},
      {"PNG claiming 60000 x 60000 pixels", pngHeaderOnly(60000, 60000)},
  };
  for (const auto& [what, bytes] : cases) {
    EXPECT_FALSE(CameraFrame::fromImageBytes(bytes).isOk()) << what;
  }
  EXPECT_FALSE(CameraFrame::fromImageFile(Sandbox::tmp() / "missing.png").isOk());
}

TEST(Camera, CaptureGetsTheFramesShownWhileItRuns) {
  Camera& camera = Camera::shared();
  EXPECT_TRUE(camera.isAvailable());
  EXPECT_EQ(camera.authorizationStatus(), CameraAuthorization::Authorized);
  EXPECT_FALSE(camera.isCapturing());

  std::vector<int> widths;
  {
    Subscription capture = camera.startCapture([&](const CameraFrame& f) { widths.push_back(f.width); });
    EXPECT_TRUE(camera.isCapturing());
    ASSERT_TRUE(camera.show(*CameraFrame::fromGray(1, 1, {0})).isOk());
    ASSERT_TRUE(camera.show(*CameraFrame::fromGray(2, 1, {0, 0})).isOk());
  }
  EXPECT_FALSE(camera.isCapturing());
  ASSERT_TRUE(camera.show(*CameraFrame::fromGray(3, 1, {0, 0, 0})).isOk());
  EXPECT_EQ(widths, (std::vector<int>{1, 2}));
  ASSERT_TRUE(camera.currentFrame().has_value());
  EXPECT_EQ(camera.currentFrame()->width, 3);
}

TEST(Camera, NoCameraOrNoPermissionDeliversNothing) {
  Camera& camera = Camera::shared();
  int frames = 0;
  Subscription capture = camera.startCapture([&](const CameraFrame&) { ++frames; });

  camera.setAvailable(false);
  EXPECT_FALSE(camera.canCapture());
  EXPECT_FALSE(camera.show(*CameraFrame::fromGray(1, 1, {0})).isOk());

  camera.setAvailable(true);
  for (auto status : {CameraAuthorization::NotDetermined, CameraAuthorization::Restricted,
                      CameraAuthorization::Denied}) {
    camera.setAuthorizationStatus(status);
    EXPECT_FALSE(camera.canCapture());
    EXPECT_FALSE(camera.show(*CameraFrame::fromGray(1, 1, {0})).isOk());
  }
  EXPECT_EQ(frames, 0);
  EXPECT_FALSE(camera.currentFrame().has_value());

  camera.setAuthorizationStatus(CameraAuthorization::Authorized);
  EXPECT_FALSE(camera.showImageFile(Sandbox::tmp() / "missing.png").isOk());
  EXPECT_EQ(frames, 0);
}

}  // namespace
}  // namespace platform::media
