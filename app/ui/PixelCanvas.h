// A small RGBA drawing surface for pictures made in code: fills, clears, pictures drawn over
// others (source-over, straight alpha), repeating patterns, a vertical flip and a fade to black.
// One pixel per point; (0, 0) is the top-left corner.
//
// Bundle pictures carry their size only. Drawing such a picture leaves its area unknown: the
// canvas then still gives a picture of the right size, but without pixels.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"

namespace nvx {

class PixelCanvas {
 public:
  // Transparent black; a negative dimension counts as 0.
  PixelCanvas(int width, int height);
  // The pixels of a picture (pixel for pixel); unknown content when it has none.
  static PixelCanvas of(const platform::ui::Image& picture);

  int width() const { return width_; }
  int height() const { return height_; }
  // False once something without pixels has been drawn.
  bool isKnown() const { return known_; }

  // The colour drawn over the rectangle (source-over).
  void fill(platform::ui::Rect area, platform::ui::Color color);
  // The rectangle becomes transparent black.
  void clear(platform::ui::Rect area);
  // The picture drawn over the canvas, scaled to the rectangle (nearest pixel), source-over.
  void draw(const platform::ui::Image& picture, platform::ui::Rect area);
  // The picture repeated at its own size over the rectangle, source-over; the first tile lies at
  // the rectangle's top-left corner.
  void drawPattern(const platform::ui::Image& picture, platform::ui::Rect area);
  // Upside down.
  void flipVertically();
  // Black drawn over the canvas, clear down to the fraction `from` of its height and growing
  // evenly to opaque at the bottom edge (a linear gradient sampled at each row's centre).
  void fadeToBlack(double from);

  // Straight RGBA of a pixel (transparent black outside the canvas).
  std::array<uint8_t, 4> pixel(int x, int y) const;

  // The canvas as a picture of the given scale (points = pixels / scale); pixels only when known.
  // Nothing when a dimension is 0 or the scale is not positive.
  std::optional<platform::ui::Image> image(double scale = 1.0) const;

 private:
  struct Span {
    int x0, y0, x1, y1;   // half-open pixel range
  };
  Span clip(platform::ui::Rect area) const;
  // The picture scaled to the area, or (repeat) in tiles of its own size from the area's corner.
  void drawPicture(const platform::ui::Image& picture, platform::ui::Rect area, bool repeat);
  void blend(size_t offset, double r, double g, double b, double a);

  int width_ = 0;
  int height_ = 0;
  bool known_ = true;
  std::vector<uint8_t> rgba_;
};

// Pixel dimension of a length in points drawn at one pixel per point: partial pixels count whole.
int pixelLength(double points);

}  // namespace nvx
