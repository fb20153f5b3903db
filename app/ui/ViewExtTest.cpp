#include "app/ui/ViewExt.h"

#include <gtest/gtest.h>

#include "app/ui/PatternColorView.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::ui::Color;
using platform::ui::ImageView;
using platform::ui::Label;
using platform::ui::Point;
using platform::ui::Rect;
using platform::ui::Size;
using platform::ui::View;

// A view that takes the keyboard, as a text field does.
class Editable : public View {
 public:
  using View::View;
  bool canBecomeFirstResponder() const override { return true; }
};

TEST(ViewExtTest, FrameSettersKeepTheRestOfTheFrame) {
  struct Case {
    const char* what;
    std::function<void(View&)> set;
    Rect frame;
  };
  const Case cases[] = {
      {"setX", [](View& v) { ViewExt::setX(v, 7); }, {7, 2, 30, 40}},
      {"setY", [](View& v) { ViewExt::setY(v, 7); }, {1, 7, 30, 40}},
      {"setX:Y:", [](View& v) { ViewExt::setX(v, 7, 8); }, {7, 8, 30, 40}},
      {"setOrigin", [](View& v) { ViewExt::setOrigin(v, Point{-3, 9}); }, {-3, 9, 30, 40}},
      {"setWidth", [](View& v) { ViewExt::setWidth(v, 99); }, {1, 2, 99, 40}},
      {"setHeight", [](View& v) { ViewExt::setHeight(v, 99); }, {1, 2, 30, 99}},
      {"setWidth:Height:", [](View& v) { ViewExt::setWidth(v, 5, 6); }, {1, 2, 5, 6}},
      {"setSize", [](View& v) { ViewExt::setSize(v, Size{5, 6}); }, {1, 2, 5, 6}},
  };
  for (const Case& c : cases) {
    auto view = View::create(Rect{1, 2, 30, 40});
    c.set(*view);
    EXPECT_EQ(view->frame(), c.frame) << c.what;
  }
  auto view = View::create(Rect{1, 2, 30, 40});
  EXPECT_EQ(ViewExt::origin(*view), (Point{1, 2}));
  EXPECT_EQ(ViewExt::size(*view), (Size{30, 40}));
}

TEST(ViewExtTest, ChainedSettersReturnTheSameView) {
  auto label = ViewExt::initWithFrame<Label>(Rect{0, 0, 10, 10});
  std::shared_ptr<Label> same =
      ViewExt::viewBindSize(ViewExt::viewBindOrigin(ViewExt::viewBindTag(label, 5), Point{3, 4}), Size{50, 20});
  EXPECT_EQ(same, label);
  EXPECT_EQ(label->tag(), 5);
  EXPECT_EQ(label->frame(), (Rect{3, 4, 50, 20}));
  EXPECT_EQ(ViewExt::viewBindFrame(label, Rect{1, 1, 1, 1})->frame(), (Rect{1, 1, 1, 1}));
}

TEST(ViewExtTest, FindSubviewWithClassLooksAtDirectSubviewsOnly) {
  auto root = View::create();
  auto holder = View::create();
  holder->addSubview(Label::create());   // deeper: not found
  root->addSubview(holder);
  EXPECT_EQ(ViewExt::findSubviewWithClass<Label>(*root), nullptr);
  auto editable = std::make_shared<Editable>();
  root->addSubview(editable);
  // A derived class counts; the first in subview order wins.
  EXPECT_EQ(ViewExt::findSubviewWithClass<View>(*root), holder);
  EXPECT_EQ(ViewExt::findSubviewWithClass<Editable>(*root), editable);
}

TEST(ViewExtTest, FindsAndResignsAFirstResponderNestedTwoLevelsDeep) {
  auto window = platform::ui::Window::create();
  window->makeKeyAndVisible();
  auto form = View::create(Rect{0, 0, 320, 400});
  auto group = View::create(Rect{0, 0, 320, 100});
  auto other = std::make_shared<Editable>(Rect{0, 0, 100, 30});
  auto field = std::make_shared<Editable>(Rect{0, 40, 100, 30});
  window->addSubview(form);
  form->addSubview(other);
  form->addSubview(group);
  group->addSubview(field);

  EXPECT_EQ(ViewExt::findFirstResponder(*window), nullptr);
  ASSERT_TRUE(field->becomeFirstResponder());
  EXPECT_EQ(ViewExt::findFirstResponder(*window), field);
  EXPECT_EQ(ViewExt::findFirstResponder(*form), field);
  EXPECT_EQ(ViewExt::findFirstResponder(*group), field);
  // The view searched is not a candidate itself, only what lies inside it.
  EXPECT_EQ(ViewExt::findFirstResponder(*field), nullptr);

  ViewExt::findAndResignFirstResponder(*form);
  EXPECT_FALSE(field->isFirstResponder());
  EXPECT_EQ(window->firstResponder(), nullptr);
  ViewExt::findAndResignFirstResponder(*form);   // nothing to resign: no harm
}

TEST(ViewExtTest, PlainAndPatternedViews) {
  auto plain = ViewExt::colorViewWithFrame(Rect{1, 2, 3, 4}, Color::rgb255(1, 2, 3), 0.5);
  EXPECT_EQ(plain->frame(), (Rect{1, 2, 3, 4}));
  EXPECT_EQ(plain->backgroundColor(), Color::rgb255(1, 2, 3));
  EXPECT_EQ(plain->alpha(), 0.5);

  auto patterned = ViewExt::imageViewWithFrame(Rect{0, 0, 320, 100}, "webview_frame_bg", 0.8);
  auto* pattern = dynamic_cast<PatternColorView*>(patterned.get());
  ASSERT_NE(pattern, nullptr);
  ASSERT_TRUE(pattern->pattern());
  EXPECT_EQ(pattern->pattern()->name, "webview_frame_bg");
  EXPECT_EQ(patterned->alpha(), 0.8);
  EXPECT_EQ(patterned->describe(), "View (0,0,320,100) pattern=webview_frame_bg");
}

TEST(ViewExtTest, SectionHeadersAndInformationPanels) {
  struct Case {
    std::shared_ptr<View> header;
    double labelY;
  };
  const Case cases[] = {{ViewExt::groupFirstSectionHeader("Back"), 10}, {ViewExt::groupDefaultSectionHeader("Back"), 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.header->frame(), (Rect{0, 15, 320, 40}));
    ASSERT_EQ(c.header->subviews().size(), 1u);
    auto label = std::dynamic_pointer_cast<Label>(c.header->subviews()[0]);
    ASSERT_TRUE(label);
    EXPECT_EQ(label->frame(), (Rect{20, c.labelY, 320, 30}));
    EXPECT_EQ(label->text(), platform::Strings::localized("Back"));
  }

  auto panel = ViewExt::defaultInfoViewWithY(70, 120);
  EXPECT_EQ(panel->frame(), (Rect{10, 70, 300, 120}));
  EXPECT_EQ(panel->backgroundColor(), (Color{1, 1, 0, 1}));
  EXPECT_TRUE(panel->clipsToBounds());
  EXPECT_EQ(panel->layer().borderWidth, 1);
  EXPECT_EQ(panel->layer().borderColor, Color::rgb255(202, 204, 204));
  EXPECT_EQ(panel->layer().cornerRadius, 6);
}

TEST(ViewExtTest, AnimationsApplyAtOnceAndFinishAfterTheirDuration) {
  auto view = View::create(Rect{0, 0, 10, 10});
  int finished = 0;
  ViewExt::animateCurveEaseIn(0.5, [&] { view->setAlpha(0); }, [&](bool) { ++finished; });
  EXPECT_EQ(view->alpha(), 0);
  auto& loop = platform::RunLoop::main();
  loop.advance(0.4);
  EXPECT_EQ(finished, 0);
  loop.advance(0.2);
  EXPECT_EQ(finished, 1);

  ViewExt::animateQuickCurveEaseIn([&] { ViewExt::setX(*view, 5); });
  ViewExt::animateCurveEaseIn(1, [&] { ViewExt::setY(*view, 6); });
  EXPECT_EQ(view->frame().origin(), (Point{5, 6}));
  loop.advance(2);
  EXPECT_EQ(finished, 1);
}

}  // namespace
}  // namespace nvx
