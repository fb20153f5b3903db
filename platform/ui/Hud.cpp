#include "platform/ui/Hud.h"

#include "platform/foundation/RunLoop.h"
#include "platform/ui/MainThread.h"

namespace platform::ui {

Hud::Hud(Rect frame) : View(frame) {}

std::shared_ptr<Hud> Hud::showOn(View& view, bool) {
  assertMainThread();
  auto hud = std::make_shared<Hud>(view.bounds());
  view.addSubview(hud);
  return hud;
}

int Hud::hideAll(View& view, bool animated) {
  auto huds = on(view);
  for (auto& h : huds) h->hide(animated);
  return static_cast<int>(huds.size());
}

std::vector<std::shared_ptr<Hud>> Hud::on(const View& view) {
  std::vector<std::shared_ptr<Hud>> out;
  for (const auto& sub : view.subviews()) {
    if (auto h = std::dynamic_pointer_cast<Hud>(sub)) out.push_back(h);
  }
  return out;
}

void Hud::hide(bool) {
  assertMainThread();
  removeFromSuperview();
}

void Hud::hide(bool animated, double delaySeconds) {
  if (delaySeconds <= 0) {
    hide(animated);
    return;
  }
  std::weak_ptr<View> weak = weak_from_this();
  dispatchAfter(secs(delaySeconds), [weak, animated] {
    if (auto self = std::static_pointer_cast<Hud>(weak.lock())) self->hide(animated);
  });
}

std::optional<std::string> Hud::displayText() const {
  if (label_.empty()) return std::nullopt;
  return label_;
}

void Hud::describeExtras(std::string& out) const {
  out += mode_ == Mode::Spinner ? " mode=spinner" : " mode=text";
  if (!detail_.empty()) out += " detail=" + quote(detail_);
  if (yOffset_ != 0) out += " yOffset=" + formatNumber(yOffset_);
}

}  // namespace platform::ui
