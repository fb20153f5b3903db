#include "app/ui/PixelCanvas.h"

#include <algorithm>
#include <cmath>

namespace nvx {

using platform::ui::Color;
using platform::ui::Image;
using platform::ui::Rect;

namespace {

uint8_t toByte(double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); }

// The source pixel a canvas pixel centre falls on, `offset` points from where `length` source
// pixels start to cover `span` points.
int sample(double offset, double span, int length) {
  int i = static_cast<int>(std::floor(offset / span * length));
  return std::clamp(i, 0, length - 1);
}

}  // namespace

int pixelLength(double points) {
  if (!(points > 0)) return 0;
  return static_cast<int>(std::ceil(points - 1e-9));
}

PixelCanvas::PixelCanvas(int width, int height)
    : width_(std::max(0, width)),
      height_(std::max(0, height)),
      rgba_(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4, 0) {}

PixelCanvas PixelCanvas::of(const Image& picture) {
  PixelCanvas canvas(picture.pixelWidth(), picture.pixelHeight());
  if (picture.hasPixels() && picture.pixels->size() == canvas.rgba_.size()) {
    canvas.rgba_ = *picture.pixels;
  } else {
    canvas.known_ = false;
  }
  return canvas;
}

PixelCanvas::Span PixelCanvas::clip(Rect area) const {
  // A pixel belongs to the area when its centre does.
  auto edge = [](double v, int limit) {
    double e = std::ceil(v - 0.5);
    if (e < 0) return 0;
    if (e > limit) return limit;
    return static_cast<int>(e);
  };
  if (!(area.width > 0) || !(area.height > 0)) return {0, 0, 0, 0};
  return {edge(area.x, width_), edge(area.y, height_), edge(area.maxX(), width_), edge(area.maxY(), height_)};
}

void PixelCanvas::blend(size_t offset, double r, double g, double b, double a) {
  uint8_t* p = &rgba_[offset];
  double da = p[3] / 255.0;
  double outA = a + da * (1 - a);
  if (outA <= 0) {
    p[0] = p[1] = p[2] = p[3] = 0;
    return;
  }
  auto mix = [&](uint8_t d, double s) { return toByte((s * a + d / 255.0 * da * (1 - a)) / outA); };
  p[0] = mix(p[0], r);
  p[1] = mix(p[1], g);
  p[2] = mix(p[2], b);
  p[3] = toByte(outA);
}

void PixelCanvas::fill(Rect area, Color color) {
  Span s = clip(area);
  for (int y = s.y0; y < s.y1; ++y) {
    for (int x = s.x0; x < s.x1; ++x) {
      blend((static_cast<size_t>(y) * width_ + x) * 4, color.r, color.g, color.b, color.a);
    }
  }
}

void PixelCanvas::clear(Rect area) {
  Span s = clip(area);
  for (int y = s.y0; y < s.y1; ++y) {
    std::fill_n(rgba_.begin() + static_cast<std::ptrdiff_t>((static_cast<size_t>(y) * width_ + s.x0) * 4),
                (s.x1 - s.x0) * 4, uint8_t{0});
  }
}

void PixelCanvas::draw(const Image& picture, Rect area) { drawPicture(picture, area, false); }

void PixelCanvas::drawPattern(const Image& picture, Rect area) {
  if (!(picture.size.width > 0) || !(picture.size.height > 0)) return;
  drawPicture(picture, area, true);
}

void PixelCanvas::drawPicture(const Image& picture, Rect area, bool repeat) {
  Span s = clip(area);
  if (s.x0 >= s.x1 || s.y0 >= s.y1) return;
  int pw = picture.pixelWidth();
  int ph = picture.pixelHeight();
  if (!picture.hasPixels() || pw <= 0 || ph <= 0 || picture.pixels->size() != static_cast<size_t>(pw) * ph * 4) {
    known_ = false;
    return;
  }
  // The picture's pixels cover the area, or one tile of the picture's own size.
  double spanX = repeat ? picture.size.width : area.width;
  double spanY = repeat ? picture.size.height : area.height;
  auto offset = [repeat](int pixel, double start, double span) {
    double at = pixel + 0.5 - start;
    return repeat ? std::fmod(at, span) : at;
  };
  const auto& src = *picture.pixels;
  for (int y = s.y0; y < s.y1; ++y) {
    int sy = sample(offset(y, area.y, spanY), spanY, ph);
    for (int x = s.x0; x < s.x1; ++x) {
      int sx = sample(offset(x, area.x, spanX), spanX, pw);
      const uint8_t* q = &src[(static_cast<size_t>(sy) * pw + sx) * 4];
      blend((static_cast<size_t>(y) * width_ + x) * 4, q[0] / 255.0, q[1] / 255.0, q[2] / 255.0, q[3] / 255.0);
    }
  }
}

void PixelCanvas::flipVertically() {
  size_t row = static_cast<size_t>(width_) * 4;
  for (int top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom) {
    std::swap_ranges(rgba_.begin() + static_cast<std::ptrdiff_t>(top * row),
                     rgba_.begin() + static_cast<std::ptrdiff_t>((top + 1) * row),
                     rgba_.begin() + static_cast<std::ptrdiff_t>(bottom * row));
  }
}

void PixelCanvas::fadeToBlack(double from) {
  if (height_ == 0) return;
  double span = 1.0 - from;
  for (int y = 0; y < height_; ++y) {
    double at = (y + 0.5) / height_;
    double a = span > 0 ? std::clamp((at - from) / span, 0.0, 1.0) : (at >= from ? 1.0 : 0.0);
    if (a <= 0) continue;
    for (int x = 0; x < width_; ++x) blend((static_cast<size_t>(y) * width_ + x) * 4, 0, 0, 0, a);
  }
}

std::array<uint8_t, 4> PixelCanvas::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {0, 0, 0, 0};
  const uint8_t* p = &rgba_[(static_cast<size_t>(y) * width_ + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

std::optional<Image> PixelCanvas::image(double scale) const {
  if (width_ == 0 || height_ == 0 || !(scale > 0)) return std::nullopt;
  if (known_) return Image::withPixels(width_, height_, rgba_, scale);
  Image geometry;
  geometry.scale = scale;
  geometry.size = platform::ui::Size{width_ / scale, height_ / scale};
  return geometry;
}

}  // namespace nvx
