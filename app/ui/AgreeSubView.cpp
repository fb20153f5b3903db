#include "app/ui/AgreeSubView.h"

#include "app/ui/ButtonExt.h"
#include "app/ui/LabelExt.h"
#include "platform/ui/Color.h"

namespace nvx {

using platform::ui::Control;
using platform::ui::Point;
using platform::ui::Rect;

std::shared_ptr<AgreeSubView> AgreeSubView::initWithPosition(Point position, std::string_view title,
                                                             const void* target, Control::Action action) {
  auto view = std::make_shared<AgreeSubView>(Rect{position.x, position.y, 320, 40});
  std::weak_ptr<AgreeSubView> weak = view;
  view->agreeBtn_ = ButtonExt::buttonWithFrame(Rect{10, 10, 20, 20}, "check-off.png", "check-on.png", view.get(),
                                               [weak](Control&) {
                                                 if (auto self = weak.lock()) self->selectChange();
                                               });
  view->agreeBtn_->setSelected(true);
  view->addSubview(view->agreeBtn_);
  view->tipLb_ = LabelExt::lableFrame(Rect{38, 5, 80, 30}, "我已同意", 14);
  view->addSubview(view->tipLb_);
  view->protocolBtn_ = ButtonExt::buttonWithFrame(Rect{95, 5, 200, 30}, title,
                                                  platform::ui::Color::rgb255(32, 162, 255), 14, target,
                                                  std::move(action));
  view->addSubview(view->protocolBtn_);
  return view;
}

void AgreeSubView::selectChange() {
  if (agreeBtn_) agreeBtn_->setSelected(!agreeBtn_->isSelected());
}

bool AgreeSubView::isAgreed() const { return agreeBtn_ && agreeBtn_->isSelected(); }

}  // namespace nvx
