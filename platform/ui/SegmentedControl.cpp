#include "platform/ui/SegmentedControl.h"

#include <algorithm>

#include "platform/ui/MainThread.h"

namespace platform::ui {

SegmentedControl::SegmentedControl(std::vector<std::string> titles, Rect frame) : Control(frame) {
  for (auto& t : titles) segments_.push_back(Segment{std::move(t), std::nullopt, true, 0});
}

std::shared_ptr<SegmentedControl> SegmentedControl::create(std::vector<std::string> titles) {
  return std::make_shared<SegmentedControl>(std::move(titles));
}

std::shared_ptr<SegmentedControl> SegmentedControl::create(Rect frame, std::vector<std::string> titles) {
  return std::make_shared<SegmentedControl>(std::move(titles), frame);
}

void SegmentedControl::insertSegment(std::string title, int index, bool /*animated*/) {
  size_t at = std::clamp(index, 0, numberOfSegments());
  segments_.insert(segments_.begin() + static_cast<std::ptrdiff_t>(at), Segment{std::move(title), std::nullopt, true, 0});
  if (selected_ >= static_cast<int>(at)) ++selected_;
}

void SegmentedControl::insertSegment(Image image, int index, bool /*animated*/) {
  size_t at = std::clamp(index, 0, numberOfSegments());
  segments_.insert(segments_.begin() + static_cast<std::ptrdiff_t>(at), Segment{std::nullopt, std::move(image), true, 0});
  if (selected_ >= static_cast<int>(at)) ++selected_;
}

void SegmentedControl::removeSegment(int index, bool /*animated*/) {
  if (!valid(index)) return;
  segments_.erase(segments_.begin() + index);
  if (selected_ == index) {
    selected_ = kNoSegment;
  } else if (selected_ > index) {
    --selected_;
  }
}

void SegmentedControl::removeAllSegments() {
  segments_.clear();
  selected_ = kNoSegment;
}

std::optional<std::string> SegmentedControl::titleForSegment(int index) const {
  return valid(index) ? segments_[static_cast<size_t>(index)].title : std::nullopt;
}

void SegmentedControl::setTitle(std::string title, int index) {
  if (!valid(index)) return;
  auto& s = segments_[static_cast<size_t>(index)];
  s.title = std::move(title);
  s.image.reset();
}

std::optional<Image> SegmentedControl::imageForSegment(int index) const {
  return valid(index) ? segments_[static_cast<size_t>(index)].image : std::nullopt;
}

void SegmentedControl::setImage(Image image, int index) {
  if (!valid(index)) return;
  auto& s = segments_[static_cast<size_t>(index)];
  s.image = std::move(image);
  s.title.reset();
}

bool SegmentedControl::isEnabledForSegment(int index) const {
  return valid(index) && segments_[static_cast<size_t>(index)].enabled;
}

void SegmentedControl::setEnabled(bool on, int index) {
  if (valid(index)) segments_[static_cast<size_t>(index)].enabled = on;
}

double SegmentedControl::widthForSegment(int index) const {
  return valid(index) ? segments_[static_cast<size_t>(index)].width : 0;
}

void SegmentedControl::setWidth(double width, int index) {
  if (valid(index)) segments_[static_cast<size_t>(index)].width = std::max(0.0, width);
}

Rect SegmentedControl::segmentFrame(int index) const {
  if (!valid(index)) return Rect{};
  double fixed = 0;
  int shared = 0;
  for (const auto& s : segments_) {
    if (s.width > 0) {
      fixed += s.width;
    } else {
      ++shared;
    }
  }
  double each = shared > 0 ? std::max(0.0, frame().width - fixed) / shared : 0;
  double x = 0;
  for (int i = 0; i < index; ++i) {
    const auto& s = segments_[static_cast<size_t>(i)];
    x += s.width > 0 ? s.width : each;
  }
  const auto& s = segments_[static_cast<size_t>(index)];
  return Rect{x, 0, s.width > 0 ? s.width : each, frame().height};
}

void SegmentedControl::setSelectedSegmentIndex(int index) { selected_ = valid(index) ? index : kNoSegment; }

bool SegmentedControl::tapSegment(int index) {
  assertMainThread();
  if (!valid(index) || !isEnabledForSegment(index) || !acceptsTouches()) return false;
  auto keep = weak_from_this().lock();
  sendActions(ControlEvent::TouchDown);
  bool changed = selected_ != index;
  selected_ = index;
  if (changed || momentary_) sendActions(ControlEvent::ValueChanged);
  sendActions(ControlEvent::TouchUpInside);
  return true;
}

bool SegmentedControl::tap() {
  for (int i = 0; i < numberOfSegments(); ++i) {
    Rect f = segmentFrame(i);
    if (f.contains(Point{frame().width / 2, frame().height / 2})) return tapSegment(i);
  }
  return false;
}

void SegmentedControl::describeExtras(std::string& out) const {
  out += " segments=";
  for (size_t i = 0; i < segments_.size(); ++i) {
    if (i > 0) out += "|";
    const auto& s = segments_[i];
    if (s.title) {
      out += quote(*s.title);
    } else if (s.image) {
      out += s.image->name.empty() ? "image" : s.image->name;
    }
  }
  if (selected_ != kNoSegment && !momentary_) out += " selected=" + std::to_string(selected_);
  Control::describeExtras(out);
}

}  // namespace platform::ui
