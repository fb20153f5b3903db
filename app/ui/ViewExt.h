// Operations on views for the screens' layout code: frame setters that keep the rest of the
// frame, chainable setters, subview and first-responder searches, plain and patterned views,
// section headers, information panels and animations.
#pragma once
#include <functional>
#include <memory>
#include <string_view>

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/View.h"

namespace nvx {

class ViewExt {
 public:
  // A new view of the class V with the frame.
  template <class V = platform::ui::View>
  static std::shared_ptr<V> initWithFrame(platform::ui::Rect frame) {
    return std::make_shared<V>(frame);
  }

  static platform::ui::Point origin(const platform::ui::View& view) { return view.frame().origin(); }
  static platform::ui::Size size(const platform::ui::View& view) { return view.frame().size(); }

  // Move the frame, keeping its size (and the other coordinate).
  static void setX(platform::ui::View& view, double x);
  static void setY(platform::ui::View& view, double y);
  static void setX(platform::ui::View& view, double x, double y);
  static void setOrigin(platform::ui::View& view, platform::ui::Point origin);
  // Resize the frame, keeping its origin (and the other dimension).
  static void setWidth(platform::ui::View& view, double width);
  static void setHeight(platform::ui::View& view, double height);
  static void setWidth(platform::ui::View& view, double width, double height);
  static void setSize(platform::ui::View& view, platform::ui::Size size);

  // Set one property and return the view, so that calls can be chained.
  template <class V>
  static std::shared_ptr<V> viewBindTag(std::shared_ptr<V> view, int tag) {
    if (view) view->setTag(tag);
    return view;
  }
  template <class V>
  static std::shared_ptr<V> viewBindFrame(std::shared_ptr<V> view, platform::ui::Rect frame) {
    if (view) view->setFrame(frame);
    return view;
  }
  template <class V>
  static std::shared_ptr<V> viewBindOrigin(std::shared_ptr<V> view, platform::ui::Point origin) {
    if (view) setOrigin(*view, origin);
    return view;
  }
  template <class V>
  static std::shared_ptr<V> viewBindSize(std::shared_ptr<V> view, platform::ui::Size size) {
    if (view) setSize(*view, size);
    return view;
  }

  // The first direct subview of the class T or of a class derived from it; nothing when none.
  template <class T>
  static std::shared_ptr<T> findSubviewWithClass(const platform::ui::View& view) {
    for (const auto& sub : view.subviews()) {
      if (auto t = std::dynamic_pointer_cast<T>(sub)) return t;
    }
    return nullptr;
  }

  // Depth first, in subview order: a subview that can be first responder and is it, else the
  // result of the same search inside that subview; nothing when none.
  static std::shared_ptr<platform::ui::View> findFirstResponder(const platform::ui::View& view);
  // The view found gives up the first responder (the keyboard closes).
  static void findAndResignFirstResponder(const platform::ui::View& view);

  // A plain view with the frame, background colour and alpha.
  static std::shared_ptr<platform::ui::View> colorViewWithFrame(platform::ui::Rect frame, platform::ui::Color color,
                                                                double alpha);
  // The same whose colour is the bundle picture of that name as a repeating pattern (a
  // PatternColorView; no colour when the bundle has no such picture).
  static std::shared_ptr<platform::ui::View> imageViewWithFrame(platform::ui::Rect frame, std::string_view image,
                                                                double alpha);

  // A section header (0, 15, 320, 40) holding the localized text of the key in a label at
  // (20, 10, 320, 30); the default header has the label at (20, 0, 320, 30).
  static std::shared_ptr<platform::ui::View> groupFirstSectionHeader(std::string_view key);
  static std::shared_ptr<platform::ui::View> groupDefaultSectionHeader(std::string_view key);

  // An information panel: the frame and colour, clipped to its bounds, a 1-point border in the
  // separator colour and a corner radius of 6.
  static std::shared_ptr<platform::ui::View> infoViewWithFrame(platform::ui::Rect frame, platform::ui::Color bgColor);
  // A yellow panel at (10, y, 300, height).
  static std::shared_ptr<platform::ui::View> defaultInfoViewWithY(double y, double height);

  // The changes as an animation of the duration (seconds), ease-in, no delay; `ok` runs when it
  // ends, whether or not it finished.
  static void animateCurveEaseIn(double duration, const std::function<void()>& animations,
                                 std::function<void(bool finished)> ok);
  static void animateCurveEaseIn(double duration, const std::function<void()>& animations);
  // The changes as an animation of 0.2 s.
  static void animateQuickCurveEaseIn(const std::function<void()>& animations);
};

}  // namespace nvx
