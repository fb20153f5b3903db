#include "home/ClassifyView.h"

#include "app/ui/LabelExt.h"

namespace nvx {

namespace ui = platform::ui;
using ui::Rect;

namespace {

const ui::Color kTabGrey = ui::Color::rgb255(241, 241, 241);

}  // namespace

ClassifyView::ClassifyView(Rect frame) : View(frame) {}

std::shared_ptr<ClassifyView> ClassifyView::initWithFrame(Rect frame, const std::vector<std::string>& titles) {
  auto view = std::make_shared<ClassifyView>(frame);
  view->setBackgroundColor(ui::Color::white());
  auto line = LabelExt::lableFrame(Rect{0, kTabHeight, kWidth, 5}, "");
  line->setBackgroundColor(ui::Color::gray(0.5));
  view->addSubview(line);
  if (titles.empty()) return view;
  const double w = kWidth / static_cast<double>(titles.size());
  const std::weak_ptr<ClassifyView> weak = view;
  for (size_t i = 0; i < titles.size(); ++i) {
    auto tab = ui::Button::create(Rect{w * static_cast<double>(i), 0, w, kTabHeight});
    tab->setTag(static_cast<int>(i));
    tab->setBackgroundColor(kTabGrey);
    tab->setTitleColor(ui::Color::black());
    tab->setTitleFont(ui::Font::system(16));
    tab->setTitle(titles[i]);
    tab->addTarget(view.get(), ui::ControlEvent::TouchUpInside, [weak](ui::Control& control) {
      auto me = weak.lock();
      if (auto* button = dynamic_cast<ui::Button*>(&control); me && button) me->selectClassify(*button);
    });
    if (i == 0) {
      tab->setEnabled(false);
      tab->setBackgroundColor(ui::Color::white());
      tab->setFrame(Rect{0, 0, w, kTabHeight + 1});
    }
    view->btArray_.push_back(tab);
    view->addSubview(tab);
    auto separator = LabelExt::lableFrame(Rect{w * static_cast<double>(i + 1) - 1, 0, 1, 44}, "");
    separator->setBackgroundColor(ui::Color::gray(0.5));
    view->addSubview(separator);
  }
  return view;
}

void ClassifyView::selectClassify(ui::Button& button) {
  if (!button.isEnabled()) return;
  for (const auto& tab : btArray_) {
    Rect frame = tab->frame();
    if (tab->tag() == button.tag()) {
      tab->setEnabled(false);
      tab->setBackgroundColor(ui::Color::white());
      frame.height += 1;
    } else {
      if (!tab->isEnabled()) frame.height -= 1;
      tab->setBackgroundColor(kTabGrey);
      tab->setEnabled(true);
    }
    tab->setFrame(frame);
  }
  if (delegate) delegate(static_cast<unsigned>(button.tag()));
}

}  // namespace nvx
