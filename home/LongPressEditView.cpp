#include "home/LongPressEditView.h"

#include <span>
#include <string>

#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

namespace nvx {

namespace ui = platform::ui;
using ui::Rect;

namespace {

// The white panel of 220-point buttons tagged in order, each calling act with itself.
template <class Popup>
std::shared_ptr<ui::View> buttonPanel(const std::shared_ptr<Popup>& popup, std::span<const char* const> titles) {
  auto panel = ui::View::create(Rect{50, 150, 220, 176});
  panel->setBackgroundColor(ui::Color::white());
  const std::weak_ptr<Popup> weak = popup;
  for (size_t i = 0; i < titles.size(); ++i) {
    auto button = ui::Button::create(Rect{0, 44.0 * static_cast<double>(i), 220, 44}, ui::ButtonType::RoundedRect);
    button->setTag(static_cast<int>(i));
    button->setTitle(std::string(titles[i]));
    button->setTitleColor(ui::Color::black());
    button->addTarget(popup.get(), ui::ControlEvent::TouchUpInside, [weak](ui::Control& control) {
      auto me = weak.lock();
      if (auto* b = dynamic_cast<ui::Button*>(&control); me && b) me->action(*b);
    });
    panel->addSubview(button);
  }
  return panel;
}

}  // namespace

std::shared_ptr<LongPressEditView> LongPressEditView::initWithFrame(Rect frame) {
  auto view = std::make_shared<LongPressEditView>(Rect{0, -44, frame.width, 460});
  view->setBackgroundColor(ui::Color::clear());
  view->addSubview(buttonPanel(view, kTitles));
  return view;
}

void LongPressEditView::action(const ui::Button& button) {
  setHidden(true);
  auto d = delegate.lock();
  if (!d) return;
  switch (button.tag()) {
    case 0: return d->setToFirstLocation(pressIndex_);
    case 1: return d->resetLocation();
    case 2: return d->deleteItem(pressIndex_);
    case 3: return d->cancel();
    default: return;
  }
}

std::shared_ptr<AllBusinessEditView> AllBusinessEditView::initWithFrame(Rect frame) {
  auto view = std::make_shared<AllBusinessEditView>(Rect{0, -44, frame.width, ui::Screen::bounds().height - 20});
  view->setBackgroundColor(ui::Color::clear());
  view->tipview_ = ui::View::create(Rect{50, 200, 220, 44});
  view->tipview_->setBackgroundColor(ui::Color{1, 1, 0, 1});
  auto message = ui::Label::create(Rect{0, 0, 220, 44}, kAddedMessage);
  message->setTextAlignment(ui::TextAlignment::Center);
  message->setTextColor(ui::Color::black());
  view->tipview_->addSubview(message);
  view->addSubview(view->tipview_);
  view->subview_ = buttonPanel(view, kTitles);
  view->addSubview(view->subview_);
  return view;
}

void AllBusinessEditView::action(const ui::Button& button) {
  setHidden(true);
  auto d = delegate.lock();
  if (!d) return;
  if (button.tag() == 0) d->addToCommonView(pressIndex_);
  if (button.tag() == 1) d->cancelAdd();
}

void AllBusinessEditView::resetView() {
  tipview_->setHidden(true);
  subview_->setHidden(false);
}

}  // namespace nvx
