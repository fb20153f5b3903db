// Operations on pictures for the screens' layout code: stretchable caps, bands cut from the top
// or bottom, pictures pasted over others, plain colour pictures, framed patterns and scaling.
//
// Pictures drawn here are made at one pixel per point. A bundle picture carries its size only:
// results drawn from one have the right size and scale but no pixels.
#pragma once
#include <optional>

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"

namespace nvx {

class ImageExt {
 public:
  // Stretches its middle: cap insets of `cap` on all four sides.
  static platform::ui::Image boundsCap(const platform::ui::Image& picture, double cap);

  // The band of the picture's pixel rows from the top (from the bottom), full width,
  // height / size.height of the pixel height tall (a partial row counts whole). The band's
  // scale is the pixel width / size.width, so that it shows at the width of a view of `size`.
  // Nothing when the band or size is empty.
  static std::optional<platform::ui::Image> pickTopImage(const platform::ui::Image& picture, double height,
                                                         platform::ui::Size size);
  static std::optional<platform::ui::Image> pickBottomImage(const platform::ui::Image& picture, double height,
                                                            platform::ui::Size size);

  // A new picture of the base's size: the base drawn at (0, 0), the other over it at the point,
  // each at its own size.
  static std::optional<platform::ui::Image> pasteImage(const platform::ui::Image& base,
                                                       const platform::ui::Image& other, platform::ui::Point at);

  // A picture of the size filled with the colour; nothing for an empty size.
  static std::optional<platform::ui::Image> imageWithColor(platform::ui::Color color, platform::ui::Size size);

  // A picture of (width + 2x, height + 2y) filled with the colour, whose inner area (x, y,
  // width, height) is cleared and then filled with the picture as a repeating pattern.
  static std::optional<platform::ui::Image> imageBorderWithColor(const platform::ui::Image& picture,
                                                                 platform::ui::Color color, double xWidth,
                                                                 double yWidth);

  // The picture redrawn at the size (nearest pixel); nothing for an empty size.
  static std::optional<platform::ui::Image> imageByScalingToSize(const platform::ui::Image& picture,
                                                                 platform::ui::Size size);
};

}  // namespace nvx
