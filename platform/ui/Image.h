// A picture: a name, a size in points, a scale, cap insets for stretching, and RGBA pixels for
// pictures made in code or injected by a test. Bundle pictures and pictures from bytes carry
// their size only (read from the PNG or JPEG header); nothing here decodes photos.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/Geometry.h"

namespace platform::ui {

class Image {
 public:
  std::string name;                 // the bundle name it was loaded by (empty for others)
  Size size;                        // points
  double scale = 1.0;               // pixels per point
  EdgeInsets capInsets;             // stretchable: the parts that are not stretched
  // Pixels, row-major RGBA (4 bytes each, pixelWidth() x pixelHeight()), when there are any.
  std::shared_ptr<const std::vector<uint8_t>> pixels;

  // A picture of the bundle as the main screen loads it ("@2x" preferred on a scale-2 screen);
  // nothing when the bundle has no such picture.
  static std::optional<Image> named(std::string_view name);
  // A picture from PNG or JPEG bytes (size from the header, the given scale); nothing when the
  // bytes are not such a picture.
  static std::optional<Image> fromBytes(std::string_view bytes, double scale = 1.0);
  // A picture made in code from RGBA pixels; nothing when the buffer does not hold exactly
  // pixelWidth x pixelHeight x 4 bytes or a dimension is not positive.
  static std::optional<Image> withPixels(int pixelWidth, int pixelHeight, std::vector<uint8_t> rgba,
                                         double scale = 1.0);

  int pixelWidth() const;
  int pixelHeight() const;
  bool hasPixels() const { return pixels != nullptr; }
  bool isStretchable() const { return capInsets != EdgeInsets{}; }

  // The same picture stretched around the caps.
  Image resizable(EdgeInsets caps) const;
  // Left and top caps; the stretched part is the one point (column and row) after them.
  Image stretchable(double leftCap, double topCap) const;
};

}  // namespace platform::ui
