#include "platform/ui/View.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/foundation/Log.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/MainThread.h"
#include "platform/ui/Window.h"

namespace platform::ui {

View::View(Rect frame) : frame_(frame) {}

std::shared_ptr<View> View::create(Rect frame) { return std::make_shared<View>(frame); }

View::~View() = default;

void View::setFrame(Rect frame) {
  if (frame.width != frame_.width || frame.height != frame_.height) needsLayout_ = true;
  frame_ = frame;
}

void View::layoutIfNeeded() {
  auto keep = weak_from_this().lock();
  if (needsLayout_) {
    needsLayout_ = false;
    layoutSubviews();
  }
  auto subs = subviews_;   // layout may change the list
  for (const auto& v : subs) v->layoutIfNeeded();
}

void View::setCenter(Point c) {
  Rect f = frame_;
  f.x = c.x - f.width / 2;
  f.y = c.y - f.height / 2;
  setFrame(f);
}

void View::setAlpha(double a) { alpha_ = std::clamp(a, 0.0, 1.0); }

void View::setHidden(bool hidden) {
  if (hidden_ == hidden) return;
  hidden_ = hidden;
  if (!hidden) return;
  // A hidden view keeps no first responder inside it.
  if (auto w = window()) {
    if (auto fr = w->firstResponder(); fr && fr->isDescendantOf(*this)) fr->forceResignFirstResponder();
  }
}

void View::addSubview(const std::shared_ptr<View>& view) { insertSubview(view, subviews_.size() + 1); }

void View::insertSubview(const std::shared_ptr<View>& view, size_t index) {
  assertMainThread();
  if (!view || view.get() == this) return;
  if (isDescendantOf(*view)) {
    log::error("View", "refused to add an ancestor as a subview");
    return;
  }
  std::shared_ptr<View> keep = view;
  if (view->superview_.lock().get() == this) {
    auto it = std::find(subviews_.begin(), subviews_.end(), view);
    if (it != subviews_.end()) subviews_.erase(it);
  } else {
    view->removeFromSuperview();
  }
  index = std::min(index, subviews_.size());
  subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(index), keep);
  keep->superview_ = weak_from_this();
}

void View::detachFromSuperview() {
  auto sup = superview_.lock();
  superview_.reset();
  if (!sup) return;
  auto& list = sup->subviews_;
  auto it = std::find_if(list.begin(), list.end(), [this](const auto& v) { return v.get() == this; });
  if (it != list.end()) list.erase(it);
}

void View::removeFromSuperview() {
  auto sup = superview_.lock();
  if (!sup) return;
  auto self = weak_from_this().lock();   // the superview may hold the last reference
  if (auto w = window()) {
    if (auto fr = w->firstResponder(); fr && fr->isDescendantOf(*this)) fr->forceResignFirstResponder();
  }
  detachFromSuperview();
}

void View::bringSubviewToFront(const View& view) {
  auto it = std::find_if(subviews_.begin(), subviews_.end(), [&](const auto& v) { return v.get() == &view; });
  if (it == subviews_.end()) return;
  auto keep = *it;
  subviews_.erase(it);
  subviews_.push_back(keep);
}

void View::sendSubviewToBack(const View& view) {
  auto it = std::find_if(subviews_.begin(), subviews_.end(), [&](const auto& v) { return v.get() == &view; });
  if (it == subviews_.end()) return;
  auto keep = *it;
  subviews_.erase(it);
  subviews_.insert(subviews_.begin(), keep);
}

std::shared_ptr<View> View::viewWithTag(int tag) {
  if (tag_ == tag) return weak_from_this().lock();
  for (const auto& v : subviews_) {
    if (auto found = v->viewWithTag(tag)) return found;
  }
  return nullptr;
}

bool View::isDescendantOf(const View& ancestor) const {
  for (const View* v = this; v;) {
    if (v == &ancestor) return true;
    auto sup = v->superview_.lock();
    v = sup.get();   // the ancestor keeps sup alive while we walk
  }
  return false;
}

std::shared_ptr<Window> View::window() const {
  std::shared_ptr<const View> v = weak_from_this().lock();
  if (!v) return nullptr;
  while (auto sup = v->superview_.lock()) v = sup;
  return std::dynamic_pointer_cast<Window>(std::const_pointer_cast<View>(v));
}

Point View::convertToWindow(Point p) const {
  const View* v = this;
  std::shared_ptr<View> hold;
  while (v) {
    hold = v->superview_.lock();
    if (!hold) break;   // v is the top-most view: its own coordinates are the window's
    Point o = v->boundsOrigin();
    p.x += v->frame_.x - o.x;
    p.y += v->frame_.y - o.y;
    v = hold.get();
  }
  return p;
}

Rect View::frameInWindow() const {
  Point o = convertToWindow(boundsOrigin());
  return Rect{o.x, o.y, frame_.width, frame_.height};
}

std::shared_ptr<View> View::hitTest(Point p) {
  if (hidden_ || alpha_ < 0.01 || !userInteraction_) return nullptr;
  if (!pointInside(p)) return nullptr;
  for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
    const auto& sub = *it;
    Point o = sub->boundsOrigin();   // into the subview's own coordinates
    if (auto hit = sub->hitTest(Point{p.x - sub->frame_.x + o.x, p.y - sub->frame_.y + o.y})) return hit;
  }
  return weak_from_this().lock();
}

bool View::isEffectivelyVisible() const {
  const View* v = this;
  std::shared_ptr<View> hold;
  while (v) {
    if (v->hidden_ || v->alpha_ < 0.01) return false;
    hold = v->superview_.lock();
    v = hold.get();
  }
  return true;
}

bool View::becomeFirstResponder() {
  assertMainThread();
  if (!canBecomeFirstResponder()) return false;
  auto w = window();
  if (!w) return false;
  auto current = w->firstResponder();
  if (current.get() == this) return true;
  auto keep = weak_from_this().lock();
  if (!willBecomeFirstResponder()) return false;
  if (current && !current->resignFirstResponder()) return false;
  if (window() != w) return false;   // a delegate moved the view away meanwhile
  w->firstResponder_ = weak_from_this();
  didBecomeFirstResponder();
  Keyboard::update();
  return true;
}

bool View::resignFirstResponder() {
  assertMainThread();
  if (!isFirstResponder()) return true;
  if (!canResignFirstResponder()) return false;
  auto keep = weak_from_this().lock();
  if (!willResignFirstResponder()) return false;
  if (!isFirstResponder()) return true;   // resigned meanwhile
  if (auto w = window()) w->firstResponder_.reset();
  didResignFirstResponder();
  Keyboard::update();
  return true;
}

void View::forceResignFirstResponder() {
  if (!isFirstResponder()) return;
  auto keep = weak_from_this().lock();
  if (auto w = window()) w->firstResponder_.reset();
  didResignFirstResponder();
  Keyboard::update();
}

bool View::isFirstResponder() const {
  auto w = window();
  return w && w->firstResponder().get() == this;
}

bool View::endEditing(bool force) {
  auto w = window();
  if (!w) return true;
  auto fr = w->firstResponder();
  if (!fr || !fr->isDescendantOf(*this)) return true;
  if (force) {
    fr->forceResignFirstResponder();
    return true;
  }
  return fr->resignFirstResponder();
}

std::string View::formatNumber(double v) {
  if (std::fabs(v - std::round(v)) < 0.005) {
    double r = std::round(v);
    if (r == 0) r = 0;   // no "-0"
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", r);
    return buf;
  }
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  std::string s = buf;
  while (!s.empty() && s.back() == '0') s.pop_back();
  return s;
}

std::string View::quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  out += '"';
  return out;
}

std::string View::describe() const {
  std::string out = kind();
  if (tag_ != 0) out += " tag=" + std::to_string(tag_);
  out += " (" + formatNumber(frame_.x) + "," + formatNumber(frame_.y) + "," + formatNumber(frame_.width) + "," +
         formatNumber(frame_.height) + ")";
  if (auto text = displayText()) out += " " + quote(*text);
  describeExtras(out);
  return out;
}

}  // namespace platform::ui
