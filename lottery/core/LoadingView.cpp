#include "lottery/core/LoadingView.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/Strings.h"

namespace nvx::lottery {

namespace {

using platform::ui::Point;
using platform::ui::Rect;

// The platform's resizing flags.
constexpr int kFlexibleWidth = 1 << 1;
constexpr int kFlexibleHeight = 1 << 4;

constexpr double kLabelWidth = 250;
constexpr double kLabelHeight = 50;

// The arc-to-point step of a path: a line from the current point towards corner, then the arc of
// the circle of radius r that touches both that line and the line from corner to aim. The
// current point moves to where the arc ends. Points in a line give a plain line to the corner.
void arcToPoint(std::vector<LoadingView::PathElement>& path, Point& current, Point corner, Point aim, double r) {
  using Kind = LoadingView::PathElement::Kind;
  const double ux = current.x - corner.x, uy = current.y - corner.y;
  const double vx = aim.x - corner.x, vy = aim.y - corner.y;
  const double lu = std::hypot(ux, uy), lv = std::hypot(vx, vy);
  const double cross = ux * vy - uy * vx;
  if (lu == 0 || lv == 0 || std::fabs(cross) < 1e-12) {
    path.push_back({Kind::LineTo, corner, {}, 0});
    current = corner;
    return;
  }
  const Point u{ux / lu, uy / lu};
  const Point v{vx / lv, vy / lv};
  const double angle = std::acos(std::clamp(u.x * v.x + u.y * v.y, -1.0, 1.0));  // between the two lines
  const double along = r / std::tan(angle / 2);
  const Point start{corner.x + u.x * along, corner.y + u.y * along};
  const Point end{corner.x + v.x * along, corner.y + v.y * along};
  const double bx = u.x + v.x, by = u.y + v.y;
  const double lb = std::hypot(bx, by);
  const double toCenter = r / std::sin(angle / 2);
  const Point center{corner.x + bx / lb * toCenter, corner.y + by / lb * toCenter};
  path.push_back({Kind::LineTo, start, {}, 0});
  path.push_back({Kind::ArcTo, end, center, r});
  current = end;
}

}  // namespace

LoadingView::LoadingView(Rect frame) : View(frame) {
  setAutoresizingMask(kFlexibleWidth | kFlexibleHeight);

  spinner_ = platform::ui::ActivityIndicatorView::create(platform::ui::ActivityIndicatorStyle::WhiteLarge);
  const Rect spinnerSize = spinner_->frame();

  const double w = frame.width;
  const double h = frame.height;
  const double labelX = std::floor((w - kLabelWidth) * 0.5);
  const double labelY = std::floor((h - (kLabelHeight + spinnerSize.height)) * 0.5 - 35);
  label_ = platform::ui::Label::create(Rect{labelX, labelY, kLabelWidth, kLabelHeight});
  label_->setTextColor(platform::ui::Color::white());
  label_->setBackgroundColor(platform::ui::Color::clear());
  label_->setTextAlignment(platform::ui::TextAlignment::Center);
  label_->setFont(platform::ui::Font::boldSystem(17));
  label_->setNumberOfLines(3);
  label_->setAutoresizingMask(kFlexibleWidth | kFlexibleHeight);
  addSubview(label_);

  spinner_->setFrame(Rect{(w - spinnerSize.width) * 0.5, labelY + kLabelHeight, spinnerSize.width, spinnerSize.height});
  spinner_->setAutoresizingMask(kFlexibleWidth | kFlexibleHeight);
  spinner_->startAnimating();
  addSubview(spinner_);
}

std::shared_ptr<LoadingView> LoadingView::show(platform::ui::View& view, Rect frame, std::string_view message) {
  auto overlay = std::make_shared<LoadingView>(frame);
  overlay->label_->setText(platform::Strings::localized(message));
  view.addSubview(overlay);
  return overlay;
}

std::shared_ptr<LoadingView> LoadingView::loadingViewInView(platform::ui::View& view, std::string_view statusMessage) {
  return show(view, Rect{0, 0, 320, 480}, statusMessage);
}
std::shared_ptr<LoadingView> LoadingView::loadingViewInView1(platform::ui::View& view, std::string_view statusMessage1) {
  return show(view, Rect{0, -50, 320, 570}, statusMessage1);
}
std::shared_ptr<LoadingView> LoadingView::loadingViewInView2(platform::ui::View& view, std::string_view statusMessage2) {
  return show(view, Rect{0, -50, 320, 530}, statusMessage2);
}
std::shared_ptr<LoadingView> LoadingView::loadingViewInView3(platform::ui::View& view, std::string_view statusMessage3) {
  return show(view, Rect{60, -20, 200, 470}, statusMessage3);
}
std::shared_ptr<LoadingView> LoadingView::loadingViewInView4(platform::ui::View& view, std::string_view statusMessage4) {
  return show(view, Rect{60, 30, 200, 470}, statusMessage4);
}

void LoadingView::removeView() { removeFromSuperview(); }

std::vector<LoadingView::PathElement> LoadingView::boxOutline() const {
  const Rect b = bounds();
  // The bounds less one point, inset 20 left and right and 160 top and bottom.
  const double x = b.x + 20;
  const double y = b.y + 160;
  const double wd = (b.width - 1) - 40;
  const double hd = (b.height - 1) - 320;
  const double r = kCornerRadius;

  std::vector<PathElement> path;
  Point current{x, y + hd - r};
  path.push_back({PathElement::Kind::MoveTo, current, {}, 0});
  arcToPoint(path, current, {x, y - 10}, {x + wd, y}, r);
  arcToPoint(path, current, {x + wd, y - 8}, {x + wd, y + hd}, r);
  arcToPoint(path, current, {x + wd, y + hd - 50}, {x, y + hd}, r);
  arcToPoint(path, current, {x, y + hd - 50}, {x, y}, r);
  path.push_back({PathElement::Kind::Close, path.front().to, {}, 0});
  return path;
}

}  // namespace nvx::lottery
