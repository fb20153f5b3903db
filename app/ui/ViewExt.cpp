#include "app/ui/ViewExt.h"

#include "app/ui/ColorExt.h"
#include "app/ui/LabelExt.h"
#include "app/ui/PatternColorView.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Animation.h"

namespace nvx {

using platform::ui::Color;
using platform::ui::Point;
using platform::ui::Rect;
using platform::ui::Size;
using platform::ui::View;

namespace {
// Every frame setter changes one part of the frame and leaves the rest as it is.
template <class Change>
void changeFrame(View& view, Change change) {
  Rect f = view.frame();
  change(f);
  view.setFrame(f);
}
}  // namespace

void ViewExt::setX(View& view, double x) { changeFrame(view, [x](Rect& f) { f.x = x; }); }

void ViewExt::setY(View& view, double y) { changeFrame(view, [y](Rect& f) { f.y = y; }); }

void ViewExt::setX(View& view, double x, double y) { setOrigin(view, Point{x, y}); }

void ViewExt::setOrigin(View& view, Point origin) {
  changeFrame(view, [origin](Rect& f) {
    f.x = origin.x;
    f.y = origin.y;
  });
}

void ViewExt::setWidth(View& view, double width) { changeFrame(view, [width](Rect& f) { f.width = width; }); }

void ViewExt::setHeight(View& view, double height) {
  changeFrame(view, [height](Rect& f) { f.height = height; });
}

void ViewExt::setWidth(View& view, double width, double height) { setSize(view, Size{width, height}); }

void ViewExt::setSize(View& view, Size size) {
  changeFrame(view, [size](Rect& f) {
    f.width = size.width;
    f.height = size.height;
  });
}

std::shared_ptr<View> ViewExt::findFirstResponder(const View& view) {
  for (const auto& sub : view.subviews()) {
    if (sub->canBecomeFirstResponder() && sub->isFirstResponder()) return sub;
    if (auto inner = findFirstResponder(*sub)) return inner;
  }
  return nullptr;
}

void ViewExt::findAndResignFirstResponder(const View& view) {
  if (auto responder = findFirstResponder(view)) responder->resignFirstResponder();
}

std::shared_ptr<View> ViewExt::colorViewWithFrame(Rect frame, Color color, double alpha) {
  auto view = View::create(frame);
  view->setBackgroundColor(color);
  view->setAlpha(alpha);
  return view;
}

std::shared_ptr<View> ViewExt::imageViewWithFrame(Rect frame, std::string_view image, double alpha) {
  auto view = std::make_shared<PatternColorView>(frame);
  view->setPattern(platform::ui::Image::named(image));
  view->setAlpha(alpha);
  return view;
}

namespace {

std::shared_ptr<View> sectionHeader(std::string_view key, double labelY) {
  auto header = View::create(Rect{0, 15, 320, 40});
  header->addSubview(LabelExt::lableFrame(Rect{20, labelY, 320, 30}, platform::Strings::localized(key)));
  return header;
}

}  // namespace

std::shared_ptr<View> ViewExt::groupFirstSectionHeader(std::string_view key) { return sectionHeader(key, 10); }

std::shared_ptr<View> ViewExt::groupDefaultSectionHeader(std::string_view key) { return sectionHeader(key, 0); }

std::shared_ptr<View> ViewExt::infoViewWithFrame(Rect frame, Color bgColor) {
  auto view = View::create(frame);
  view->setBackgroundColor(bgColor);
  view->setClipsToBounds(true);
  auto& layer = view->layer();
  layer.masksToBounds = true;
  layer.borderWidth = 1;
  layer.borderColor = ColorExt::separatorColor();
  layer.cornerRadius = 6;
  return view;
}

std::shared_ptr<View> ViewExt::defaultInfoViewWithY(double y, double height) {
  return infoViewWithFrame(Rect{10, y, 300, height}, Color{1, 1, 0, 1});
}

void ViewExt::animateCurveEaseIn(double duration, const std::function<void()>& animations,
                                 std::function<void(bool finished)> ok) {
  platform::ui::animate(duration, animations, std::move(ok));
}

void ViewExt::animateCurveEaseIn(double duration, const std::function<void()>& animations) {
  platform::ui::animate(duration, animations);
}

void ViewExt::animateQuickCurveEaseIn(const std::function<void()>& animations) {
  platform::ui::animate(0.2, animations);
}

}  // namespace nvx
