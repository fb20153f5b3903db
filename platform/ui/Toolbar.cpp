#include "platform/ui/Toolbar.h"

#include <cmath>

#include "platform/ui/Button.h"
#include "platform/ui/TextMetrics.h"

namespace platform::ui {

Toolbar::Toolbar(Rect frame) : View(frame) {}

std::shared_ptr<Toolbar> Toolbar::create(Rect frame) { return std::make_shared<Toolbar>(frame); }

void Toolbar::setItems(std::vector<std::shared_ptr<BarButtonItem>> items, bool /*animated*/) {
  std::erase(items, nullptr);
  items_ = std::move(items);
  for (const auto& item : items_) item->setContainer(weak_from_this());
  setNeedsLayout();
  layoutIfNeeded();
}

std::shared_ptr<View> Toolbar::viewForItem(size_t i) {
  layoutIfNeeded();
  return i < views_.size() ? views_[i] : nullptr;
}

void Toolbar::layoutSubviews() {
  for (const auto& v : views_) {
    if (v && v->superview().get() == this) v->removeFromSuperview();
  }
  views_.clear();
  const Font font = Font::boldSystem(12);
  std::vector<double> widths;
  double used = 0;
  int flexible = 0;
  for (size_t i = 0; i < items_.size(); ++i) {
    const auto& item = items_[i];
    std::shared_ptr<View> view;
    double width = 0;
    if (item->systemItem() == BarButtonSystemItem::FlexibleSpace) {
      ++flexible;
    } else if (item->systemItem() == BarButtonSystemItem::FixedSpace) {
      width = item->width();
    } else if (item->customView()) {
      view = item->customView();
      width = view->frame().width;
    } else {
      auto button = Button::create(ButtonType::Custom);
      button->setTitle(item->title());
      button->setTitleFont(font);
      button->setEnabled(item->isEnabled());
      std::weak_ptr<BarButtonItem> weakItem = item;
      button->addTarget(nullptr, ControlEvent::TouchUpInside, [weakItem](Control&) {
        if (auto it = weakItem.lock()) it->trigger();
      });
      width = std::max(item->width(), std::ceil(TextMetrics::width(item->title(), font)) + 20);
      button->setFrame(Rect{0, 0, width, 30});
      view = button;
    }
    bool separated = i > 0 && !item->isSpace() && !items_[i - 1]->isSpace();
    used += width + (separated ? kGap : 0);
    widths.push_back(width);
    views_.push_back(view);
  }
  double left = frame().width - 2 * kMargin - used;
  double flexWidth = flexible > 0 && left > 0 ? left / flexible : 0;
  double x = kMargin;
  for (size_t i = 0; i < items_.size(); ++i) {
    const auto& item = items_[i];
    bool separated = i > 0 && !item->isSpace() && !items_[i - 1]->isSpace();
    if (separated) x += kGap;
    double width = item->systemItem() == BarButtonSystemItem::FlexibleSpace ? flexWidth : widths[i];
    if (const auto& v = views_[i]) {
      double h = v->frame().height;
      v->setFrame(Rect{x, (frame().height - h) / 2, width, h});
      addSubview(v);
    }
    x += width;
  }
}

void Toolbar::describeExtras(std::string& out) const {
  if (style_ == BarStyle::Black) out += " style=black";
  if (style_ == BarStyle::BlackTranslucent) out += " style=blackTranslucent";
}

}  // namespace platform::ui
