#include "app/ui/SGInfoAlert.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/TextMetrics.h"

namespace nvx {

using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Point;
using platform::ui::Rect;
using platform::ui::Size;
using platform::ui::TextMetrics;
using platform::ui::View;

std::shared_ptr<SGInfoAlert> SGInfoAlert::showInfo(std::string_view info, Color bgColor, View& view, double vertical) {
  vertical = vertical > 1 ? 1 : (vertical >= 0 ? vertical : 0);   // also no NaN
  Size size = TextMetrics::measure(info, Font::system(14), Size{200, 100});
  auto alert = initWithFrame(size, bgColor, info);
  alert->setCenter(Point{view.center().x, vertical * view.frame().height});
  alert->setAlpha(0);
  view.addSubview(alert);

  std::weak_ptr<SGInfoAlert> weak = alert;
  platform::ui::animate(kFadeInSeconds, [weak] {
    if (auto self = weak.lock()) self->setAlpha(1);
  });
  platform::dispatchAfter(platform::secs(kShownSeconds), [weak] {
    if (auto self = weak.lock()) self->fadeAway();
  });
  return alert;
}

std::shared_ptr<SGInfoAlert> SGInfoAlert::initWithFrame(Size fontSize, Color bgColor, std::string_view info) {
  auto alert = std::make_shared<SGInfoAlert>(Rect{0, 0, fontSize.width * 1.2, fontSize.height * 1.2});
  alert->setBackgroundColor(Color::clear());
  alert->bgcolor_ = bgColor;
  alert->info_ = std::string(info);
  alert->fontSize_ = fontSize;
  return alert;
}

SGInfoAlert::Drawing SGInfoAlert::drawRect(Rect) const {
  Drawing drawing;
  drawing.fill = bgcolor_;
  drawing.text = info_;
  const Rect b = bounds();
  drawing.textRect = Rect{(b.width - fontSize_.width) / 2, (b.height - fontSize_.height) / 2, fontSize_.width,
                          fontSize_.height};
  return drawing;
}

void SGInfoAlert::fadeAway() {
  std::weak_ptr<SGInfoAlert> weak = std::static_pointer_cast<SGInfoAlert>(shared_from_this());
  platform::ui::animate(kFadeOutSeconds, [weak] {
    if (auto self = weak.lock()) self->setAlpha(0);
  });
  platform::dispatchAfter(platform::secs(kFadeOutSeconds), [weak] {
    if (auto self = weak.lock()) self->remove();
  });
}

void SGInfoAlert::remove() { removeFromSuperview(); }

}  // namespace nvx
