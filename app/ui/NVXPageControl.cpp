#include "app/ui/NVXPageControl.h"

#include <algorithm>

#include "platform/ui/Color.h"

namespace nvx {

using platform::ui::Point;
using platform::ui::Rect;
namespace ControlEvent = platform::ui::ControlEvent;

std::shared_ptr<NVXPageControl> NVXPageControl::initWithNumberOfPages(int numberOfPages) {
  auto control = std::make_shared<NVXPageControl>(Rect{0, 0, 16.0 * numberOfPages, 16});
  control->setBackgroundColor(platform::ui::Color::clear());
  control->numberOfPages_ = numberOfPages;
  control->currentPage_ = 0;
  return control;
}

void NVXPageControl::setCurrentPage(int page) {
  if (page < 0) page = 0;
  currentPage_ = std::min(page, numberOfPages_ - 1);
}

std::vector<NVXPageControl::Dot> NVXPageControl::drawRect(Rect) const {
  std::vector<Dot> dots;
  for (int i = 0; i < numberOfPages_; ++i) {
    dots.push_back(Dot{i == currentPage_ ? "home_icon_dot_selected.png" : "home_icon_dot.png",
                       Rect{16.0 * i + 5, (frame().height - 6) / 2, 6, 6}});
  }
  return dots;
}

bool NVXPageControl::beginTrackingWithTouch(Point touch) {
  setCurrentPage(touch.x > frame().width / 2 ? currentPage_ + 1 : currentPage_ - 1);
  sendActions(ControlEvent::ValueChanged);
  return true;
}

bool NVXPageControl::tapAt(Point point) {
  if (!acceptsTouches()) return false;
  auto keep = weak_from_this().lock();
  if (!beginTrackingWithTouch(point)) return true;
  setHighlighted(true);
  sendActions(ControlEvent::TouchDown);
  setHighlighted(false);
  sendActions(ControlEvent::TouchUpInside);
  return true;
}

bool NVXPageControl::tap() { return tapAt(bounds().center()); }

void NVXPageControl::describeExtras(std::string& out) const {
  out += " page=" + std::to_string(numberOfPages_ > 0 ? currentPage_ + 1 : 0) + "/" + std::to_string(numberOfPages_);
  Control::describeExtras(out);
}

}  // namespace nvx
