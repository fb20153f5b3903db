#include "app/ui/ImageExt.h"

#include <gtest/gtest.h>

#include "app/ui/PixelCanvas.h"

namespace nvx {
namespace {

using platform::ui::Color;
using platform::ui::EdgeInsets;
using platform::ui::Image;
using platform::ui::Point;
using platform::ui::Size;
using Px = std::array<uint8_t, 4>;

constexpr Px R{255, 0, 0, 255};
constexpr Px G{0, 255, 0, 255};
constexpr Px B{0, 0, 255, 255};
constexpr Px W{255, 255, 255, 255};
constexpr Px K{0, 0, 0, 255};
constexpr Px None{0, 0, 0, 0};

// A picture made in code, row by row.
Image picture(int width, const std::vector<Px>& pixels, double scale = 1.0) {
  std::vector<uint8_t> rgba;
  for (const Px& p : pixels) rgba.insert(rgba.end(), p.begin(), p.end());
  return *Image::withPixels(width, static_cast<int>(pixels.size()) / width, std::move(rgba), scale);
}

// The pixels of a picture, row by row.
std::vector<Px> pixels(const Image& image) {
  PixelCanvas canvas = PixelCanvas::of(image);
  std::vector<Px> out;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) out.push_back(canvas.pixel(x, y));
  }
  return out;
}

// A bundle picture: a size, no pixels.
Image sizeOnly(Size size, double scale) {
  Image image;
  image.name = "photo.png";
  image.size = size;
  image.scale = scale;
  return image;
}

TEST(ImageExtTest, ImageWithColorIsOnePixelPerPoint) {
  auto red = ImageExt::imageWithColor(Color::rgb255(255, 0, 0), Size{3, 2});
  ASSERT_TRUE(red);
  EXPECT_EQ(red->size, (Size{3, 2}));
  EXPECT_EQ(red->scale, 1.0);
  EXPECT_EQ(pixels(*red), std::vector<Px>(6, R));

  auto halfBlue = ImageExt::imageWithColor(Color{0, 0, 1, 0.5}, Size{1, 1});
  ASSERT_TRUE(halfBlue);
  EXPECT_EQ(pixels(*halfBlue), (std::vector<Px>{{0, 0, 255, 128}}));

  // A partial point still gets its pixel; an empty size gives no picture.
  EXPECT_EQ(ImageExt::imageWithColor(Color::black(), Size{2.5, 1})->pixelWidth(), 3);
  EXPECT_FALSE(ImageExt::imageWithColor(Color::black(), Size{0, 4}));
  EXPECT_FALSE(ImageExt::imageWithColor(Color::black(), Size{4, -1}));
}

TEST(ImageExtTest, BandsFromTopAndBottom) {
  const Px r0{10, 0, 0, 255}, r1{20, 0, 0, 255}, r2{30, 0, 0, 255}, r3{40, 0, 0, 255};
  Image column = picture(1, {r0, r1, r2, r3});
  struct Case {
    const char* what;
    bool top;
    double height;
    Size size;
    std::vector<Px> band;
  };
  const Case cases[] = {
      {"one row from the top", true, 1, {1, 4}, {r0}},
      {"two rows from the bottom", false, 2, {1, 4}, {r2, r3}},
      {"a partial row counts whole", true, 1.5, {1, 4}, {r0, r1}},
      {"a partial row from the bottom", false, 0.2, {1, 4}, {r3}},
      {"height in the view's points", false, 5, {1, 10}, {r2, r3}},
      {"taller than the picture: all of it", true, 9, {1, 4}, {r0, r1, r2, r3}},
  };
  for (const Case& c : cases) {
    auto band = c.top ? ImageExt::pickTopImage(column, c.height, c.size)
                      : ImageExt::pickBottomImage(column, c.height, c.size);
    ASSERT_TRUE(band) << c.what;
    EXPECT_EQ(pixels(*band), c.band) << c.what;
  }
  EXPECT_FALSE(ImageExt::pickTopImage(column, 0, Size{1, 4}));
  EXPECT_FALSE(ImageExt::pickBottomImage(column, 1, Size{0, 4}));
  EXPECT_FALSE(ImageExt::pickBottomImage(column, 1, Size{1, 0}));
}

TEST(ImageExtTest, BandShowsAtTheViewsWidth) {
  // A double-density picture of 2 x 4 pixels shown in a 1 x 2 point view: the band keeps the
  // picture's pixel density, so it is as wide as the view.
  Image retina = picture(2, {R, R, G, G, B, B, W, W}, 2.0);
  auto band = ImageExt::pickBottomImage(retina, 1, Size{1, 2});
  ASSERT_TRUE(band);
  EXPECT_EQ(band->scale, 2.0);
  EXPECT_EQ(band->size, (Size{1, 1}));
  EXPECT_EQ(pixels(*band), (std::vector<Px>{B, B, W, W}));

  // A picture without pixels gives the band's geometry.
  auto geometry = ImageExt::pickTopImage(sizeOnly(Size{320, 100}, 2.0), 25, Size{320, 100});
  ASSERT_TRUE(geometry);
  EXPECT_FALSE(geometry->hasPixels());
  EXPECT_EQ(geometry->size, (Size{320, 25}));
  EXPECT_EQ(geometry->scale, 2.0);
}

TEST(ImageExtTest, PasteDrawsOverTheBaseAndKeepsItsSize) {
  Image base = picture(3, std::vector<Px>(9, R));
  Image halfBlue = picture(1, {{0, 0, 255, 128}});
  auto pasted = ImageExt::pasteImage(base, halfBlue, Point{1, 1});
  ASSERT_TRUE(pasted);
  EXPECT_EQ(pasted->size, (Size{3, 3}));
  EXPECT_EQ(pixels(*pasted), (std::vector<Px>{R, R, R, R, {127, 0, 128, 255}, R, R, R, R}));

  // Partly outside: clipped to the base.
  Image green = picture(2, {G, G, G, G});
  EXPECT_EQ(pixels(*ImageExt::pasteImage(base, green, Point{2, -1})), (std::vector<Px>{R, R, G, R, R, R, R, R, R}));

  // A transparent base takes the other picture as it is; each picture is drawn at its size in
  // points, at one pixel per point.
  Image clear = picture(2, std::vector<Px>(4, None));
  Image retinaBlue = picture(2, {B, B, B, B}, 2.0);   // 1 x 1 point
  EXPECT_EQ(pixels(*ImageExt::pasteImage(clear, retinaBlue, Point{1, 0})), (std::vector<Px>{None, B, None, None}));
}

TEST(ImageExtTest, BorderFramesThePictureWithTheColour) {
  Image pair = picture(2, {R, {0, 255, 0, 128}});
  auto framed = ImageExt::imageBorderWithColor(pair, Color::black(), 1, 1);
  ASSERT_TRUE(framed);
  EXPECT_EQ(framed->size, (Size{4, 3}));
  // The inner area is cleared before the pattern goes in: the half-transparent pixel does not
  // show the border colour through.
  EXPECT_EQ(pixels(*framed), (std::vector<Px>{K, K, K, K, K, R, {0, 255, 0, 128}, K, K, K, K, K}));

  // Zero widths: the picture itself.
  EXPECT_EQ(pixels(*ImageExt::imageBorderWithColor(pair, Color::black(), 0, 0)), pixels(pair));
}

TEST(ImageExtTest, ScalingRedrawsAtTheSize) {
  Image square = picture(2, {R, G, B, W});
  auto big = ImageExt::imageByScalingToSize(square, Size{4, 2});
  ASSERT_TRUE(big);
  EXPECT_EQ(big->size, (Size{4, 2}));
  EXPECT_EQ(pixels(*big), (std::vector<Px>{R, R, G, G, B, B, W, W}));
  EXPECT_EQ(pixels(*ImageExt::imageByScalingToSize(square, Size{2, 2})), pixels(square));
  EXPECT_FALSE(ImageExt::imageByScalingToSize(square, Size{0, 2}));

  // Without pixels: the size only.
  auto geometry = ImageExt::imageByScalingToSize(sizeOnly(Size{30, 30}, 2.0), Size{15, 10});
  ASSERT_TRUE(geometry);
  EXPECT_FALSE(geometry->hasPixels());
  EXPECT_EQ(geometry->size, (Size{15, 10}));
}

TEST(ImageExtTest, BoundsCapOnAllSides) {
  Image capped = ImageExt::boundsCap(sizeOnly(Size{30, 30}, 1.0), 10);
  EXPECT_EQ(capped.capInsets, (EdgeInsets{10, 10, 10, 10}));
  EXPECT_EQ(capped.size, (Size{30, 30}));
}

TEST(PixelCanvasTest, FadeToBlackFromAFractionOfTheHeight) {
  PixelCanvas canvas(1, 4);
  canvas.fill({0, 0, 1, 4}, Color::white());
  canvas.fadeToBlack(0.35);
  // Row centres at 1/8, 3/8, 5/8, 7/8 of the height: black of alpha 0, 0.04, 0.42, 0.81 over white.
  EXPECT_EQ(canvas.pixel(0, 0), W);
  EXPECT_EQ(canvas.pixel(0, 1), (Px{245, 245, 245, 255}));
  EXPECT_EQ(canvas.pixel(0, 2), (Px{147, 147, 147, 255}));
  EXPECT_EQ(canvas.pixel(0, 3), (Px{49, 49, 49, 255}));

  canvas.flipVertically();
  EXPECT_EQ(canvas.pixel(0, 0), (Px{49, 49, 49, 255}));
  EXPECT_EQ(canvas.pixel(0, 3), W);
}

TEST(PixelCanvasTest, UnknownContentGivesGeometryOnly) {
  PixelCanvas canvas(4, 2);
  canvas.draw(sizeOnly(Size{1, 1}, 1.0), {10, 10, 1, 1});   // outside: nothing drawn
  EXPECT_TRUE(canvas.isKnown());
  canvas.draw(sizeOnly(Size{1, 1}, 1.0), {0, 0, 1, 1});
  EXPECT_FALSE(canvas.isKnown());
  auto image = canvas.image(2.0);
  ASSERT_TRUE(image);
  EXPECT_FALSE(image->hasPixels());
  EXPECT_EQ(image->size, (Size{2, 1}));
  EXPECT_FALSE(PixelCanvas(0, 3).image());
}

}  // namespace
}  // namespace nvx
