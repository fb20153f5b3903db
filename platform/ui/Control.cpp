#include "platform/ui/Control.h"

#include "platform/ui/MainThread.h"
#include "platform/ui/Touches.h"

namespace platform::ui {

Control::Control(Rect frame) : View(frame) {}

ControlState Control::state() const {
  if (!enabled_) return ControlState::Disabled;
  if (highlighted_) return ControlState::Highlighted;
  if (selected_) return ControlState::Selected;
  return ControlState::Normal;
}

void Control::addTarget(const void* owner, uint32_t events, Action action) {
  if (!action || events == 0) return;
  targets_.push_back(Target{owner, events, std::make_shared<Action>(std::move(action))});
}

bool Control::removeFirstTarget(const void* owner, uint32_t events) {
  for (auto it = targets_.begin(); it != targets_.end(); ++it) {
    if (it->owner != owner || (it->events & events) == 0) continue;
    it->events &= ~events;
    if (it->events == 0) targets_.erase(it);
    return true;
  }
  return false;
}

void Control::removeTargets(const void* owner, uint32_t events) {
  for (auto it = targets_.begin(); it != targets_.end();) {
    bool match = (owner == nullptr || it->owner == owner) && (it->events & events) != 0;
    if (match) it->events &= ~events;
    if (it->events == 0) {
      it = targets_.erase(it);
    } else {
      ++it;
    }
  }
}

size_t Control::actionCount(uint32_t events) const {
  size_t n = 0;
  for (const auto& t : targets_) n += (t.events & events) != 0 ? 1 : 0;
  return n;
}

void Control::sendActions(uint32_t events) {
  assertMainThread();
  auto keep = weak_from_this().lock();
  std::vector<std::shared_ptr<Action>> run;
  for (const auto& t : targets_) {
    if ((t.events & events) != 0) run.push_back(t.action);
  }
  for (const auto& a : run) (*a)(*this);
}

bool Control::acceptsTouches() const { return enabled_ && Touches::reach(*this); }

bool Control::tap() {
  assertMainThread();
  if (!acceptsTouches()) return false;
  auto keep = weak_from_this().lock();
  highlighted_ = true;
  sendActions(ControlEvent::TouchDown);
  highlighted_ = false;
  sendActions(ControlEvent::TouchUpInside);
  return true;
}

void Control::describeExtras(std::string& out) const {
  if (!enabled_) out += " [disabled]";
  if (selected_) out += " [selected]";
}

}  // namespace platform::ui
