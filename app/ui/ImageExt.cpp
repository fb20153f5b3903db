#include "app/ui/ImageExt.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/ui/PixelCanvas.h"

namespace nvx {

using platform::ui::Color;
using platform::ui::EdgeInsets;
using platform::ui::Image;
using platform::ui::Point;
using platform::ui::Rect;
using platform::ui::Size;

namespace {

enum class Edge { Top, Bottom };

std::optional<Image> pickBand(const Image& picture, double height, Size size, Edge edge) {
  int pw = picture.pixelWidth();
  int ph = picture.pixelHeight();
  if (pw <= 0 || ph <= 0 || !(height > 0) || !(size.width > 0) || !(size.height > 0)) return std::nullopt;
  // The band's pixel rectangle is made integral outwards, so a partial row counts whole.
  int rows = std::min(ph, static_cast<int>(std::ceil(height / size.height * ph - 1e-9)));
  if (rows <= 0) return std::nullopt;
  int first = edge == Edge::Top ? 0 : ph - rows;
  double scale = pw / size.width;
  if (picture.hasPixels() && picture.pixels->size() == static_cast<size_t>(pw) * ph * 4) {
    size_t row = static_cast<size_t>(pw) * 4;
    std::vector<uint8_t> band(row * rows);
    std::memcpy(band.data(), picture.pixels->data() + row * first, band.size());
    return Image::withPixels(pw, rows, std::move(band), scale);
  }
  Image geometry;
  geometry.name = picture.name;
  geometry.scale = scale;
  geometry.size = Size{pw / scale, rows / scale};
  return geometry;
}

}  // namespace

Image ImageExt::boundsCap(const Image& picture, double cap) { return picture.resizable(EdgeInsets{cap, cap, cap, cap}); }

std::optional<Image> ImageExt::pickTopImage(const Image& picture, double height, Size size) {
  return pickBand(picture, height, size, Edge::Top);
}

std::optional<Image> ImageExt::pickBottomImage(const Image& picture, double height, Size size) {
  return pickBand(picture, height, size, Edge::Bottom);
}

std::optional<Image> ImageExt::pasteImage(const Image& base, const Image& other, Point at) {
  PixelCanvas canvas(pixelLength(base.size.width), pixelLength(base.size.height));
  canvas.draw(base, Rect{0, 0, base.size.width, base.size.height});
  canvas.draw(other, Rect{at.x, at.y, other.size.width, other.size.height});
  return canvas.image();
}

std::optional<Image> ImageExt::imageWithColor(Color color, Size size) {
  PixelCanvas canvas(pixelLength(size.width), pixelLength(size.height));
  canvas.fill(Rect{0, 0, size.width, size.height}, color);
  return canvas.image();
}

std::optional<Image> ImageExt::imageBorderWithColor(const Image& picture, Color color, double xWidth, double yWidth) {
  Size outer{picture.size.width + 2 * xWidth, picture.size.height + 2 * yWidth};
  PixelCanvas canvas(pixelLength(outer.width), pixelLength(outer.height));
  canvas.fill(Rect{0, 0, outer.width, outer.height}, color);
  Rect inner{xWidth, yWidth, picture.size.width, picture.size.height};
  canvas.clear(inner);
  canvas.drawPattern(picture, inner);
  return canvas.image();
}

std::optional<Image> ImageExt::imageByScalingToSize(const Image& picture, Size size) {
  PixelCanvas canvas(pixelLength(size.width), pixelLength(size.height));
  canvas.draw(picture, Rect{0, 0, size.width, size.height});
  return canvas.image();
}

}  // namespace nvx
