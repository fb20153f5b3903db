// Colours as red, green, blue and alpha in 0...1.
#pragma once

namespace platform::ui {

struct Color {
  double r = 0;
  double g = 0;
  double b = 0;
  double a = 1;

  // Components given as 0...255 (the way the client's look is written), alpha as 0...1.
  static constexpr Color rgb255(int red, int green, int blue, double alpha = 1.0) {
    return Color{red / 255.0, green / 255.0, blue / 255.0, alpha};
  }
  static constexpr Color black() { return Color{0, 0, 0, 1}; }
  static constexpr Color white() { return Color{1, 1, 1, 1}; }
  static constexpr Color clear() { return Color{0, 0, 0, 0}; }
  static constexpr Color gray(double white, double alpha = 1.0) { return Color{white, white, white, alpha}; }

  constexpr Color withAlpha(double alpha) const { return Color{r, g, b, alpha}; }
  bool operator==(const Color&) const = default;
};

}  // namespace platform::ui
