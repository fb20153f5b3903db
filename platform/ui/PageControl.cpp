#include "platform/ui/PageControl.h"

#include <algorithm>

#include "platform/ui/MainThread.h"

namespace platform::ui {

PageControl::PageControl(Rect frame) : Control(frame) {}

std::shared_ptr<PageControl> PageControl::create(Rect frame) { return std::make_shared<PageControl>(frame); }

void PageControl::setNumberOfPages(int n) {
  pages_ = std::max(0, n);
  current_ = std::clamp(current_, 0, std::max(0, pages_ - 1));
}

void PageControl::setCurrentPage(int page) { current_ = std::clamp(page, 0, std::max(0, pages_ - 1)); }

Size PageControl::sizeForNumberOfPages(int n) { return Size{n > 0 ? 16.0 * n - 9 : 0, 36}; }

bool PageControl::tapSide(bool right) {
  assertMainThread();
  if (!acceptsTouches()) return false;
  auto keep = weak_from_this().lock();
  sendActions(ControlEvent::TouchDown);
  int next = std::clamp(current_ + (right ? 1 : -1), 0, std::max(0, pages_ - 1));
  if (next != current_) {
    current_ = next;
    sendActions(ControlEvent::ValueChanged);
  }
  sendActions(ControlEvent::TouchUpInside);
  return true;
}

void PageControl::describeExtras(std::string& out) const {
  out += " page=" + std::to_string(pages_ > 0 ? current_ + 1 : 0) + "/" + std::to_string(pages_);
  Control::describeExtras(out);
}

}  // namespace platform::ui
