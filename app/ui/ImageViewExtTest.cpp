#include "app/ui/ImageViewExt.h"

#include <gtest/gtest.h>

#include "app/ui/PixelCanvas.h"
#include "platform/device/Device.h"

namespace nvx {
namespace {

using platform::ui::EdgeInsets;
using platform::ui::Image;
using platform::ui::ImageView;
using platform::ui::Rect;
using platform::ui::Size;
using Px = std::array<uint8_t, 4>;

// Four rows of two pixels: red, green, blue, white.
Image stripes() {
  std::vector<uint8_t> rgba;
  for (Px row : {Px{255, 0, 0, 255}, Px{0, 255, 0, 255}, Px{0, 0, 255, 255}, Px{255, 255, 255, 255}}) {
    for (int i = 0; i < 2; ++i) rgba.insert(rgba.end(), row.begin(), row.end());
  }
  return *Image::withPixels(2, 4, std::move(rgba));
}

std::shared_ptr<ImageView> reflectionOf(const ImageView& view) {
  if (view.subviews().empty()) return nullptr;
  return std::dynamic_pointer_cast<ImageView>(view.subviews().back());
}

TEST(ImageViewExtTest, ReflectionIsTheBottomBandUpsideDownFadingToBlack) {
  auto view = ImageViewExt::imageViewWithFrame(Rect{10, 10, 2, 4}, stripes(), 2);
  auto reflection = reflectionOf(*view);
  ASSERT_TRUE(reflection);
  EXPECT_EQ(reflection->frame(), (Rect{0, 4, 2, 2}));
  ASSERT_TRUE(reflection->image());
  PixelCanvas pixels = PixelCanvas::of(*reflection->image());
  ASSERT_EQ(pixels.width(), 2);
  ASSERT_EQ(pixels.height(), 2);
  // White (the bottom row) comes first; the blue row lies under black of alpha 0.62.
  EXPECT_EQ(pixels.pixel(0, 0), (Px{255, 255, 255, 255}));
  EXPECT_EQ(pixels.pixel(1, 0), (Px{255, 255, 255, 255}));
  EXPECT_EQ(pixels.pixel(0, 1), (Px{0, 0, 98, 255}));
}

TEST(ImageViewExtTest, ReflectionFollowsTheViewsSize) {
  // The picture shown in a 1 x 2 point view: a 1-point reflection takes two pixel rows, at a
  // density of two pixels per point.
  auto view = ImageView::create(Rect{0, 0, 1, 2});
  view->setImage(stripes());
  ImageViewExt::addReflectEffect(*view, 1);
  auto reflection = reflectionOf(*view);
  ASSERT_TRUE(reflection);
  EXPECT_EQ(reflection->frame(), (Rect{0, 2, 1, 1}));
  EXPECT_EQ(reflection->image()->size, (Size{1, 1}));
  EXPECT_EQ(PixelCanvas::of(*reflection->image()).pixel(0, 0), (Px{255, 255, 255, 255}));

  // Bundle pictures carry no pixels: the reflection still has its place and size.
  auto bar = ImageViewExt::imageViewWithFrame(Rect{0, 0, 320, 44}, Image::named("top_bg.png"), 10);
  reflection = reflectionOf(*bar);
  ASSERT_TRUE(reflection);
  EXPECT_EQ(reflection->frame(), (Rect{0, 44, 320, 10}));
  EXPECT_EQ(reflection->image()->size, (Size{320, 10}));

  // No picture, or no height: nothing is added.
  auto empty = ImageView::create(Rect{0, 0, 10, 10});
  ImageViewExt::addReflectEffect(*empty, 5);
  EXPECT_TRUE(empty->subviews().empty());
  view = ImageViewExt::imageViewWithFrame(Rect{0, 0, 2, 4}, stripes(), 0);
  EXPECT_TRUE(view->subviews().empty());
}

TEST(ImageViewExtTest, FactoriesAndCaps) {
  auto plain = ImageViewExt::imageViewWithFrame(Rect{1, 2, 30, 30}, "add.png");
  EXPECT_EQ(plain->frame(), (Rect{1, 2, 30, 30}));
  ASSERT_TRUE(plain->image());
  EXPECT_EQ(plain->image()->name, "add.png");
  EXPECT_FALSE(plain->image()->isStretchable());

  ImageViewExt::boundsCap(*plain, 7);
  EXPECT_EQ(plain->image()->capInsets, (EdgeInsets{7, 7, 7, 7}));

  auto capped = ImageViewExt::imageViewWithFrame(Rect{0, 0, 100, 100}, "webview_frame_bg", 10);
  EXPECT_EQ(capped->image()->capInsets, (EdgeInsets{10, 10, 10, 10}));

  auto missing = ImageViewExt::imageViewWithFrame(Rect{0, 0, 5, 5}, "no_such_picture.png");
  EXPECT_FALSE(missing->image());
  ImageViewExt::boundsCap(*missing, 3);
  EXPECT_FALSE(missing->image());
}

TEST(ImageViewExtTest, BusinessDescriptionFrameFollowsTheScreen) {
  auto frame = ImageViewExt::businessDescContainerBgView();
  EXPECT_EQ(frame->frame(), (Rect{10, 50, 300, 398}));
  EXPECT_EQ(frame->image()->name, "webview_frame_bg");
  EXPECT_EQ(frame->image()->capInsets, (EdgeInsets{10, 10, 10, 10}));

  platform::Device::screen().bounds = platform::ScreenSize{320, 480};
  EXPECT_EQ(ImageViewExt::businessDescContainerBgView()->frame(), (Rect{10, 50, 300, 310}));
}

}  // namespace
}  // namespace nvx
