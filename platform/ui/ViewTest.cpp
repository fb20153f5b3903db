#include "platform/ui/View.h"

#include <gtest/gtest.h>

#include "platform/ui/Label.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

std::shared_ptr<View> tagged(int tag, Rect frame = {0, 0, 10, 10}) {
  auto v = View::create(frame);
  v->setTag(tag);
  return v;
}

TEST(View, ViewWithTagLooksAtItselfFirstThenDepthFirst) {
  auto root = tagged(0, {0, 0, 100, 100});
  auto a = tagged(1);
  auto a1 = tagged(5);
  auto a2 = tagged(7);
  auto b = tagged(5);
  a->addSubview(a1);
  a->addSubview(a2);
  root->addSubview(a);
  root->addSubview(b);

  EXPECT_EQ(root->viewWithTag(5), a1);   // inside the first subview before the second subview
  EXPECT_EQ(root->viewWithTag(7), a2);
  EXPECT_EQ(root->viewWithTag(0), root);
  EXPECT_EQ(a->viewWithTag(1), a);
  a1->setTag(1);
  EXPECT_EQ(a->viewWithTag(1), a);   // the view itself before a subview with the same tag
  EXPECT_EQ(b->viewWithTag(7), nullptr);   // never upwards or sideways
  EXPECT_EQ(root->viewWithTag(42), nullptr);
}

TEST(View, SubviewOrderAndMoves) {
  auto root = tagged(0, {0, 0, 100, 100});
  auto other = tagged(9, {0, 0, 100, 100});
  auto a = tagged(1), b = tagged(2), c = tagged(3);
  root->addSubview(a);
  root->addSubview(b);
  root->insertSubview(c, 0);
  auto tags = [&] {
    std::vector<int> t;
    for (auto& v : root->subviews()) t.push_back(v->tag());
    return t;
  };
  EXPECT_EQ(tags(), (std::vector<int>{3, 1, 2}));
  root->addSubview(c);   // already here: moves to the top, not added twice
  EXPECT_EQ(tags(), (std::vector<int>{1, 2, 3}));
  root->insertSubview(tagged(4), 99);
  EXPECT_EQ(tags(), (std::vector<int>{1, 2, 3, 4}));
  root->sendSubviewToBack(*b);
  root->bringSubviewToFront(*a);
  EXPECT_EQ(tags(), (std::vector<int>{2, 3, 4, 1}));

  other->addSubview(a);   // leaves its old superview
  EXPECT_EQ(tags(), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(a->superview(), other);

  root->addSubview(root);   // itself: refused
  a->addSubview(other);     // its own ancestor: refused
  EXPECT_EQ(other->superview(), nullptr);
  EXPECT_EQ(a->subviews().size(), 0u);
  EXPECT_EQ(tags(), (std::vector<int>{2, 3, 4}));
}

TEST(View, RemovedViewIsReleasedWhenNobodyElseHoldsIt) {
  auto root = View::create({0, 0, 100, 100});
  std::weak_ptr<View> weak;
  {
    auto child = View::create({0, 0, 10, 10});
    child->addSubview(Label::create({0, 0, 5, 5}, "x"));
    root->addSubview(child);
    weak = child;
  }
  ASSERT_FALSE(weak.expired());   // the superview holds it
  weak.lock()->removeFromSuperview();
  EXPECT_TRUE(weak.expired());
  EXPECT_TRUE(root->subviews().empty());
}

TEST(View, WindowAndCoordinates) {
  auto window = Window::create({0, 0, 320, 568});
  auto box = View::create({10, 20, 100, 100});
  auto inner = View::create({5, 6, 10, 10});
  box->addSubview(inner);
  EXPECT_EQ(inner->window(), nullptr);
  window->addSubview(box);
  EXPECT_EQ(inner->window(), window);
  EXPECT_EQ(window->window(), window);
  EXPECT_EQ(inner->frameInWindow(), (Rect{15, 26, 10, 10}));
}

TEST(View, HitTestSkipsHiddenTransparentAndNonInteractiveViewsAndWhatLiesOutsideTheBounds) {
  auto root = View::create({0, 0, 100, 100});
  auto under = View::create({0, 0, 50, 50});
  auto over = View::create({0, 0, 50, 50});
  auto inside = View::create({10, 10, 10, 10});
  auto outside = View::create({60, 60, 10, 10});   // beyond its superview's bounds
  root->addSubview(under);
  root->addSubview(over);
  over->addSubview(outside);
  under->addSubview(inside);

  EXPECT_EQ(root->hitTest({15, 15}), over);   // the later subview is on top
  over->setHidden(true);
  EXPECT_EQ(root->hitTest({15, 15}), inside);
  over->setHidden(false);
  over->setAlpha(0.005);
  EXPECT_EQ(root->hitTest({15, 15}), inside);
  over->setAlpha(1);
  over->setUserInteractionEnabled(false);
  EXPECT_EQ(root->hitTest({15, 15}), inside);
  over->setUserInteractionEnabled(true);
  EXPECT_EQ(root->hitTest({65, 65}), root);   // the subview lies outside its superview
  EXPECT_EQ(root->hitTest({150, 15}), nullptr);
  // Labels take no touches: a label over a view lets the touch through.
  auto label = Label::create({0, 0, 100, 100}, "cover");
  root->addSubview(label);
  EXPECT_EQ(root->hitTest({15, 15}), over);
}

class Field : public View {
 public:
  using View::View;
  bool canBecomeFirstResponder() const override { return true; }
  int resigned = 0;

 protected:
  void didResignFirstResponder() override { ++resigned; }
};

TEST(View, OneFirstResponderPerWindow) {
  auto window = Window::create({0, 0, 320, 568});
  auto a = std::make_shared<Field>(Rect{0, 0, 10, 10});
  auto b = std::make_shared<Field>(Rect{0, 20, 10, 10});
  auto plain = View::create({0, 40, 10, 10});
  EXPECT_FALSE(a->becomeFirstResponder());   // in no window
  window->addSubview(a);
  window->addSubview(b);
  window->addSubview(plain);
  EXPECT_FALSE(plain->becomeFirstResponder());
  EXPECT_TRUE(a->becomeFirstResponder());
  EXPECT_TRUE(a->isFirstResponder());
  EXPECT_TRUE(b->becomeFirstResponder());
  EXPECT_FALSE(a->isFirstResponder());
  EXPECT_EQ(a->resigned, 1);
  EXPECT_EQ(window->firstResponder(), b);
  b->removeFromSuperview();   // leaving the window resigns
  EXPECT_EQ(b->resigned, 1);
  EXPECT_EQ(window->firstResponder(), nullptr);
}

TEST(View, DescribeFormat) {
  auto v = View::create({1.5, -0.0, 320, 20.256});
  EXPECT_EQ(v->describe(), "View (1.5,0,320,20.26)");
  v->setTag(12);
  EXPECT_EQ(v->describe(), "View tag=12 (1.5,0,320,20.26)");
  auto l = Label::create({0, 0, 10, 10}, "a\"b\nc");
  EXPECT_EQ(l->describe(), "Label (0,0,10,10) \"a\\\"b\\nc\"");
}

}  // namespace
}  // namespace platform::ui
