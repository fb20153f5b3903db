// Points, sizes, rectangles and insets in points (double), as screens lay themselves out.
#pragma once
#include <cmath>

namespace platform::ui {

struct Point {
  double x = 0;
  double y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  double width = 0;
  double height = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;

  Point origin() const { return {x, y}; }
  Size size() const { return {width, height}; }
  double minX() const { return x; }
  double minY() const { return y; }
  double maxX() const { return x + width; }
  double maxY() const { return y + height; }
  double midX() const { return x + width / 2; }
  double midY() const { return y + height / 2; }
  Point center() const { return {midX(), midY()}; }
  bool isEmpty() const { return width <= 0 || height <= 0; }
  // Half-open: a point on the right or bottom edge is outside.
  bool contains(Point p) const { return p.x >= x && p.y >= y && p.x < maxX() && p.y < maxY(); }
  Rect offsetBy(double dx, double dy) const { return {x + dx, y + dy, width, height}; }
  bool operator==(const Rect&) const = default;
};

// Cap insets of a stretchable picture, and margins.
struct EdgeInsets {
  double top = 0;
  double left = 0;
  double bottom = 0;
  double right = 0;
  bool operator==(const EdgeInsets&) const = default;
};

}  // namespace platform::ui
