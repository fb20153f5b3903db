#include "app/ui/NVXTipsView.h"

#include "platform/ui/Button.h"
#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMetrics.h"

namespace nvx {

using platform::ui::Button;
using platform::ui::ButtonType;
using platform::ui::Color;
using platform::ui::Control;
using platform::ui::Font;
using platform::ui::Label;
using platform::ui::Rect;
using platform::ui::Size;
using platform::ui::TextMetrics;
using platform::ui::View;

std::shared_ptr<NVXTipsView> NVXTipsView::initWithText(std::string_view text) {
  Rect screen = platform::ui::Screen::bounds();
  auto view = std::make_shared<NVXTipsView>(Rect{0, 64, screen.width, screen.height - 64});
  view->text_ = std::string(text);
  view->build();
  return view;
}

std::shared_ptr<NVXTipsView> NVXTipsView::initWithFrame(Rect frame) {
  auto view = std::make_shared<NVXTipsView>(frame);
  view->build();
  return view;
}

void NVXTipsView::build() {
  setBackgroundColor(Color::black().withAlpha(0.5));
  tipsView_ = View::create(Rect{30, 40, 260, 300});
  tipsView_->setBackgroundColor(Color::white());
  addSubview(tipsView_);

  auto confirm = Button::create(Rect{20, 240, 220, 40}, ButtonType::Custom);
  confirm->setBackgroundColor(Color::black());
  confirm->setTitle("确认");
  std::weak_ptr<View> weak = weak_from_this();
  confirm->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](Control&) {
    if (auto self = weak.lock()) self->removeFromSuperview();
  });
  tipsView_->addSubview(confirm);

  double h = TextMetrics::measure(text_, Font::system(16), Size{240, 230}).height;
  auto label = Label::create(Rect{10, 10, 240, h + 30}, text_);
  label->setBackgroundColor(Color::clear());
  label->setNumberOfLines(0);
  label->setTextColor(Color::black());
  tipsView_->addSubview(label);
}

void NVXTipsView::show(View& host) { host.addSubview(shared_from_this()); }

}  // namespace nvx
