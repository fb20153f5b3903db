// The view tree: rectangles with a tag, colours and flags, holding their subviews. Views are
// shared objects made by create() (or std::make_shared); a view owns its subviews and knows its
// superview weakly.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/TextInputTraits.h"

namespace platform::ui {

class Window;

// The layer's look (drawn by nobody here; kept for the screens and tests that read it).
struct Layer {
  double borderWidth = 0;
  Color borderColor = Color::black();
  double cornerRadius = 0;
  bool masksToBounds = false;
};

class View : public std::enable_shared_from_this<View> {
 public:
  explicit View(Rect frame = {});
  static std::shared_ptr<View> create(Rect frame = {});
  virtual ~View();
  View(const View&) = delete;
  View& operator=(const View&) = delete;

  // --- geometry (frame in the superview's coordinates; bounds at the origin) ---
  Rect frame() const { return frame_; }
  virtual void setFrame(Rect frame);
  // The frame's size at the bounds origin: (0, 0) for most views, the content offset of a scroll
  // view (subviews are placed in content coordinates and move up as it scrolls).
  Rect bounds() const {
    Point o = boundsOrigin();
    return Rect{o.x, o.y, frame_.width, frame_.height};
  }
  virtual Point boundsOrigin() const { return Point{0, 0}; }
  Point center() const { return frame_.center(); }
  void setCenter(Point c);

  // --- look and flags ---
  int tag() const { return tag_; }
  void setTag(int tag) { tag_ = tag; }
  const std::optional<Color>& backgroundColor() const { return background_; }
  void setBackgroundColor(std::optional<Color> c) { background_ = c; }
  double alpha() const { return alpha_; }
  void setAlpha(double a);
  bool isHidden() const { return hidden_; }
  virtual void setHidden(bool hidden);
  bool clipsToBounds() const { return clips_; }
  void setClipsToBounds(bool clips) { clips_ = clips; }
  bool isUserInteractionEnabled() const { return userInteraction_; }
  void setUserInteractionEnabled(bool on) { userInteraction_ = on; }
  bool isExclusiveTouch() const { return exclusiveTouch_; }
  void setExclusiveTouch(bool on) { exclusiveTouch_ = on; }
  int autoresizingMask() const { return autoresizing_; }   // stored only: nothing resizes here
  void setAutoresizingMask(int mask) { autoresizing_ = mask; }
  Layer& layer() { return layer_; }
  const Layer& layer() const { return layer_; }

  // --- tree ---
  // Adds on top of the other subviews; a view that has another superview leaves it first, and a
  // view already here moves to the top. Adding the view itself or one of its ancestors is refused.
  void addSubview(const std::shared_ptr<View>& view);
  // Inserts at index (0 = at the back); an index past the end adds on top.
  void insertSubview(const std::shared_ptr<View>& view, size_t index);
  void removeFromSuperview();
  void bringSubviewToFront(const View& view);
  void sendSubviewToBack(const View& view);
  std::shared_ptr<View> superview() const { return superview_.lock(); }
  // Back to front.
  const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
  // This view when it has the tag, else the first match depth-first through the subviews in order.
  std::shared_ptr<View> viewWithTag(int tag);
  bool isDescendantOf(const View& ancestor) const;   // true for the view itself
  // The window the view is in (the view itself for a window), or nothing.
  std::shared_ptr<Window> window() const;
  // The first descendant (depth-first, this view excluded) of type T.
  template <class T>
  std::shared_ptr<T> findSubview() const {
    for (const auto& v : subviews_) {
      if (auto t = std::dynamic_pointer_cast<T>(v)) return t;
      if (auto t = v->template findSubview<T>()) return t;
    }
    return nullptr;
  }

  // --- layout ---
  // Views that arrange their subviews themselves (tables, cells, toolbars) do it in
  // layoutSubviews(), which runs from layoutIfNeeded() once setNeedsLayout() has asked for it (a
  // size change asks too). The Inspector lays out the windows it inspects before every act, the
  // way the platform lays out before the screen is drawn.
  virtual void layoutSubviews() {}
  void setNeedsLayout() { needsLayout_ = true; }
  bool needsLayout() const { return needsLayout_; }
  // This view first, then its subviews (those present after the view's own layout).
  void layoutIfNeeded();

  // --- coordinates and touches ---
  // A point of this view in the coordinates of its window (of its top-most ancestor when the
  // view is in no window).
  Point convertToWindow(Point p) const;
  Rect frameInWindow() const;
  bool pointInside(Point p) const { return bounds().contains(p); }
  // The deepest view that takes a touch at p (this view's coordinates): hidden views, views with
  // alpha below 0.01 and views with user interaction off take none, nor do their subviews; a
  // point outside a view's bounds reaches none of its subviews. Later subviews are on top.
  virtual std::shared_ptr<View> hitTest(Point p);
  // Not hidden and not transparent, nor any of its ancestors.
  bool isEffectivelyVisible() const;

  // --- responder (one first responder per window) ---
  // becomeFirstResponder: refused without a window, when canBecomeFirstResponder() is false or
  // willBecomeFirstResponder() says no (a text field asks its delegate); then the window's current
  // first responder must resign (it may refuse, and then nothing changes); then this view is the
  // first responder and didBecomeFirstResponder() runs. resignFirstResponder asks
  // canResignFirstResponder() and willResignFirstResponder() (a text field asks its delegate).
  // A first responder that leaves its window or is hidden (itself or an ancestor) resigns without
  // being asked. After every change the keyboard follows the key window's first responder (see
  // Keyboard.h).
  virtual bool canBecomeFirstResponder() const { return false; }
  virtual bool canResignFirstResponder() const { return true; }
  bool becomeFirstResponder();
  bool resignFirstResponder();
  bool isFirstResponder() const;
  // Makes the first responder inside this view (the view itself included) resign; with force it
  // resigns without being asked. True when no first responder is left inside the view.
  bool endEditing(bool force);
  // A responder that takes text from a keyboard answers its traits (keyboard type, return key...);
  // nothing for others.
  virtual const TextInputTraits* textInputTraits() const { return nullptr; }
  // A custom keyboard in place of the system one, and a view above the keyboard, shown while this
  // view is first responder and takes text.
  virtual std::shared_ptr<View> inputView() const { return nullptr; }
  virtual std::shared_ptr<View> inputAccessoryView() const { return nullptr; }

  // --- description (Inspector) ---
  virtual std::string kind() const { return "View"; }
  // The text a user reads on the view (label text, button title...), if any.
  virtual std::optional<std::string> displayText() const { return std::nullopt; }
  // One line: Kind[ tag=N] (x,y,w,h)[ "text"][ extras]. See Inspector.h.
  virtual std::string describe() const;

  // Number text used in descriptions: whole numbers without decimals, others with up to two.
  static std::string formatNumber(double v);
  // The text in double quotes with \, ", newlines and tabs escaped.
  static std::string quote(std::string_view text);

 protected:
  virtual bool willBecomeFirstResponder() { return true; }
  virtual bool willResignFirstResponder() { return true; }
  virtual void didBecomeFirstResponder() {}
  virtual void didResignFirstResponder() {}
  // Appended to describe() after the text: " key=value" items or " [flag]".
  virtual void describeExtras(std::string& out) const {}

 private:
  friend class Window;
  void detachFromSuperview();
  // Resigns without asking (the view leaves its window or is hidden).
  void forceResignFirstResponder();

  Rect frame_;
  int tag_ = 0;
  std::optional<Color> background_;
  double alpha_ = 1.0;
  bool hidden_ = false;
  bool clips_ = false;
  bool userInteraction_ = true;
  bool exclusiveTouch_ = false;
  int autoresizing_ = 0;
  bool needsLayout_ = true;
  Layer layer_;
  std::weak_ptr<View> superview_;
  std::vector<std::shared_ptr<View>> subviews_;
};

}  // namespace platform::ui
