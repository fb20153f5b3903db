#include "bills/CustomSegmentedControl.h"

#include "platform/ui/Image.h"
#include "platform/ui/Label.h"

namespace nvx {

using platform::ui::Color;
using platform::ui::Rect;

std::shared_ptr<CustomSegmentedControl> CustomSegmentedControl::initWithFrame(Rect frame,
                                                                              const std::vector<std::string>& titles) {
  std::shared_ptr<CustomSegmentedControl> control(new CustomSegmentedControl(
      Rect{frame.x, frame.y, kTabWidth * static_cast<double>(titles.size()), kTabHeight}));
  std::weak_ptr<CustomSegmentedControl> weak = control;
  for (size_t i = 0; i < titles.size(); ++i) {
    const int index = static_cast<int>(i);
    auto button = platform::ui::Button::create(Rect{kTabWidth * index, 0, kTabWidth, kTabHeight});
    button->setTag(index);
    button->setBackgroundImage(platform::ui::Image::named("bg_tab_middle_gray.png"));
    button->setClipsToBounds(true);
    button->addTarget(control.get(), platform::ui::ControlEvent::TouchUpInside, [weak, index](platform::ui::Control&) {
      if (auto strip = weak.lock()) strip->tabTouched(index);
    });
    auto label = platform::ui::Label::create(Rect{0, 0, kTabWidth, 32}, titles[i]);
    label->setTag(kTitleTag);
    label->setBackgroundColor(Color::clear());
    label->setTextAlignment(platform::ui::TextAlignment::Center);
    label->setFont(platform::ui::Font::system(16));
    label->setUserInteractionEnabled(false);
    button->addSubview(label);
    control->addSubview(button);
    control->allItems_.push_back(button);
  }
  control->setSelectAtIndex(0);
  return control;
}

void CustomSegmentedControl::tabTouched(int index) {
  if (auto delegate = delegate_.lock()) delegate->customSegmentedControl(*this, index);
  setSelectAtIndex(index);
}

void CustomSegmentedControl::paint(int index, bool selected) {
  auto& button = allItems_[static_cast<size_t>(index)];
  const int last = static_cast<int>(allItems_.size()) - 1;
  const char* place = index == 0 ? "left" : index == last ? "right" : "middle";
  button->setBackgroundImage(
      platform::ui::Image::named(std::string("bg_tab_") + place + (selected ? "_blue.png" : "_gray.png")));
  if (auto label = std::dynamic_pointer_cast<platform::ui::Label>(button->viewWithTag(kTitleTag))) {
    label->setTextColor(selected ? Color::white() : Color::black());
  }
}

void CustomSegmentedControl::deSelectedAll() {
  for (size_t i = 0; i < allItems_.size(); ++i) paint(static_cast<int>(i), false);
  selected_ = -1;
}

void CustomSegmentedControl::setSelectAtIndex(int index) {
  deSelectedAll();
  if (index < 0 || index >= static_cast<int>(allItems_.size())) return;
  paint(index, true);
  selected_ = index;
}

}  // namespace nvx
