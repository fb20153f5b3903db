// The system font (regular or bold) of a point size.
#pragma once
#include <cmath>

namespace platform::ui {

struct Font {
  double size = 17;
  bool bold = false;

  static constexpr Font system(double size) { return Font{size, false}; }
  static constexpr Font boldSystem(double size) { return Font{size, true}; }

  double pointSize() const { return size; }
  // One line of text: ceil(1.2 x size) points.
  double lineHeight() const { return std::ceil(1.2 * size - 1e-9); }
  bool operator==(const Font&) const = default;
};

}  // namespace platform::ui
