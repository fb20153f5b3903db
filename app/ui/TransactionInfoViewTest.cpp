// The receipt box: rows laid out top to bottom, the amount to pay, empty values, the traffic-fine
// layout, the prompt box and the border.
#include <gtest/gtest.h>

#include "app/ui/TransactionInfoView.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Label.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::Strings;
using platform::ui::Color;
using platform::ui::Inspector;
using platform::ui::Label;
using platform::ui::Rect;
using platform::ui::TextAlignment;
using platform::ui::View;
using platform::ui::Window;
using Row = std::shared_ptr<TransactionInfoLabelSource>;

const Rect kFrame{10, 20, 320, 999};
const Color kRowGrey = Color::rgb255(51, 51, 51);
const Color kRed{1, 0, 0, 1};

std::string payLabel() { return Strings::localized("PayCardAmount"); }

std::shared_ptr<TransactionInfoSource> source(std::vector<Row> rows, std::optional<std::string> prompt = std::nullopt) {
  return TransactionInfoSource::infoWithLabelSource(std::move(rows), std::move(prompt));
}

// The view's labels, in the order they were added.
std::vector<std::shared_ptr<Label>> labels(const View& view) {
  std::vector<std::shared_ptr<Label>> out;
  for (const auto& sub : view.subviews()) {
    if (auto label = std::dynamic_pointer_cast<Label>(sub)) out.push_back(label);
  }
  return out;
}

TEST(TransactionInfoViewTest, TheFirstPayAmountRowIsTheAmountToPay) {
  std::vector<Row> rows = {
      TransactionInfoLabelSource::sourceWithLeftValue("卡号", "6222 **** 1234"),
      TransactionInfoLabelSource::sourceWithLeftValue("手续费", int64_t{1250}),
      TransactionInfoLabelSource::sourceWithLeftValue(payLabel(), int64_t{3000}, true),
      TransactionInfoLabelSource::sourceWithLeftValue("优惠", int64_t{700}),
  };
  auto view = TransactionInfoView::create(kFrame, source(rows));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->payAmount(), 3000);
  EXPECT_TRUE(view->hasPickAmount());
  EXPECT_EQ(view->backgroundColor(), Color::white());

  auto all = labels(*view);
  // Text row: label + value; each amount row: label + value + unit.
  ASSERT_EQ(all.size(), 11u);
  struct Expect {
    std::string text;
    Rect frame;
    Color color;
  };
  const Expect expected[] = {
      {"卡号:", {12, 15, 90, 17}, kRowGrey},
      {"6222 **** 1234", {120, 15, 180, 17}, kRowGrey},
      {"手续费:", {12, 42, 90, 17}, kRowGrey},
      {"12.50", {120, 42, 39, 17}, kRowGrey},   // 5 characters of 7.7 points, rounded up
      {"元", {161, 42, 30, 17}, kRowGrey},
      {payLabel() + ":", {12, 69, 90, 17}, kRowGrey},
      {"30.00", {120, 69, 39, 17}, kRed},
      {"元", {161, 69, 30, 17}, kRowGrey},
      {"优惠:", {12, 96, 90, 17}, kRowGrey},
      {"7.00", {120, 96, 31, 17}, kRowGrey},
      {"元", {153, 96, 30, 17}, kRowGrey},
  };
  for (size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i]->text(), expected[i].text) << i;
    EXPECT_EQ(all[i]->frame(), expected[i].frame) << i;
    EXPECT_EQ(all[i]->textColor(), expected[i].color) << i;
    EXPECT_EQ(all[i]->font(), platform::ui::Font::system(14)) << i;
    EXPECT_EQ(all[i]->numberOfLines(), 0) << i;
  }
  EXPECT_EQ(all[0]->textAlignment(), TextAlignment::Right);
  EXPECT_EQ(view->payAmountLeftLb(), all[5]);

  // y ends at 123, less 12, and the border picture: 30 more.
  EXPECT_EQ(view->frame(), (Rect{10, 20, 320, 141}));
  auto border =
      std::dynamic_pointer_cast<platform::ui::ImageView>(view->viewWithTag(TransactionInfoView::kUnderLineTag));
  ASSERT_NE(border, nullptr);
  EXPECT_EQ(border->frame(), (Rect{0, 111, 320, 40}));

  view->changePayAmountLeftLabel("应付金额");
  EXPECT_EQ(all[5]->text(), "应付金额:");
  view->removeUnderLine();
  EXPECT_EQ(view->viewWithTag(TransactionInfoView::kUnderLineTag), nullptr);
}

TEST(TransactionInfoViewTest, WithoutAPayAmountRowTheLastAmountIsCharged) {
  auto view = TransactionInfoView::create(kFrame, source({
      TransactionInfoLabelSource::sourceWithLeftValue("本金", int64_t{123450}),
      TransactionInfoLabelSource::sourceWithLeftValue("利息", int64_t{-5}),
      TransactionInfoLabelSource::sourceWithLeftValue("合计", int64_t{123445}),
  }));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->payAmount(), 123445);
  EXPECT_FALSE(view->hasPickAmount());
  EXPECT_EQ(view->payAmountLeftLb(), nullptr);
  auto all = labels(*view);
  EXPECT_EQ(all[1]->text(), "1,234.50");
  EXPECT_EQ(all[4]->text(), "-0.05");

  view->changePayAmountLeftLabel("应付金额");   // no such row: nothing changes
  for (const auto& label : labels(*view)) EXPECT_EQ(label->text().find("应付金额"), std::string::npos);
}

TEST(TransactionInfoViewTest, AMissingValueKeepsOneLineAndIsWrittenBackIntoTheRow) {
  Row empty = TransactionInfoLabelSource::sourceWithLeftValue("备注", "");
  Row missing = TransactionInfoLabelSource::sourceWithLeftValue("附言", std::nullopt);
  Row last = TransactionInfoLabelSource::sourceWithLeftValue("订单", "A1");
  auto view = TransactionInfoView::create(kFrame, source({empty, missing, last}));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(empty->rightValue(), "   ");
  EXPECT_EQ(missing->rightValue(), "   ");
  auto all = labels(*view);
  EXPECT_EQ(all[1]->frame(), (Rect{120, 15, 180, 17}));
  EXPECT_EQ(all[3]->frame(), (Rect{120, 42, 180, 17}));
  EXPECT_EQ(all[5]->frame(), (Rect{120, 69, 180, 17}));
}

TEST(TransactionInfoViewTest, LongValuesWrapWithinTheColumnAndStopAt100Points) {
  const std::string oneLine(20, 'X');       // 20 x 7.7 = 154 points: one line
  const std::string wraps = "缴费单位名称很长很长很长很长很长";   // 16 x 14 = 224 points: two lines
  const std::string huge(40, '9');          // no break inside: cut between characters
  std::string tall;
  for (int i = 0; i < 8; ++i) tall += "第" + std::to_string(i) + "行\n";
  auto view = TransactionInfoView::create(kFrame, source({
      TransactionInfoLabelSource::sourceWithLeftValue("a", oneLine),
      TransactionInfoLabelSource::sourceWithLeftValue("b", wraps),
      TransactionInfoLabelSource::sourceWithLeftValue("c", huge),
      TransactionInfoLabelSource::sourceWithLeftValue("d", tall),
      TransactionInfoLabelSource::sourceWithLeftValue("e", "end", "second line"),
  }));
  ASSERT_NE(view, nullptr);
  auto all = labels(*view);
  ASSERT_EQ(all.size(), 11u);
  EXPECT_EQ(all[1]->frame(), (Rect{120, 15, 180, 17}));
  EXPECT_EQ(all[3]->frame(), (Rect{120, 42, 180, 34}));
  EXPECT_EQ(all[5]->frame(), (Rect{120, 86, 180, 34}));
  // Five lines of 17 points fit in 100: the rest of the text is cut.
  EXPECT_EQ(all[7]->frame(), (Rect{120, 130, 180, 85}));
  EXPECT_EQ(all[9]->frame(), (Rect{120, 225, 180, 17}));
  EXPECT_EQ(all[10]->text(), "second line");
  EXPECT_EQ(all[10]->frame(), (Rect{120, 252, 180, 17}));
  EXPECT_EQ(all[10]->textColor(), kRowGrey);
  EXPECT_EQ(view->frame().height, 252 + 17 + 10 - 12 + 30);
}

TEST(TransactionInfoViewTest, TrafficFineLayoutAndLabelAlignments) {
  auto rows = [] {
    return source({
        TransactionInfoLabelSource::sourceWithLeftValue("车牌", "京A12345", Color{0, 0, 1, 1}),
        TransactionInfoLabelSource::sourceWithLeftValue(payLabel(), int64_t{20000}),
        TransactionInfoLabelSource::sourceWithLeftValue("地点", "路口", "第二行"),
    });
  };
  auto fine = TransactionInfoView::create(kFrame, rows(), TextAlignment::Right, true, true);
  ASSERT_NE(fine, nullptr);
  auto all = labels(*fine);
  ASSERT_EQ(all.size(), 8u);
  EXPECT_EQ(all[0]->text(), "车牌");                           // no colon
  EXPECT_EQ(all[1]->frame(), (Rect{140, 15, 180, 17}));       // text values move right
  EXPECT_EQ(all[1]->textColor(), (Color{0, 0, 1, 1}));
  EXPECT_EQ(all[2]->text(), payLabel());
  EXPECT_EQ(all[3]->frame().x, 120);                          // amounts stay
  EXPECT_EQ(all[6]->frame().x, 140);
  EXPECT_EQ(all[7]->frame(), (Rect{120, 96, 180, 17}));       // second values stay
  fine->changePayAmountLeftLabel("应付金额");
  EXPECT_EQ(all[2]->text(), "应付金额:");

  struct Case {
    TextAlignment alignment;
    double labelX;
  };
  for (Case c : {Case{TextAlignment::Left, 50}, Case{TextAlignment::Center, 12}, Case{TextAlignment::Right, 12}}) {
    auto view = TransactionInfoView::create(kFrame, rows(), c.alignment, true, false);
    auto left = labels(*view).front();
    EXPECT_EQ(left->frame(), (Rect{c.labelX, 15, 90, 17}));
    EXPECT_EQ(left->textAlignment(), c.alignment);
  }
}

TEST(TransactionInfoViewTest, PromptBoxBorderAndEmptySources) {
  auto row = [] { return TransactionInfoLabelSource::sourceWithLeftValue("账户", "张三"); };
  // One text row, no prompt, lined: 15 + 17 + 10 - 12 + 30.
  EXPECT_EQ(TransactionInfoView::create(kFrame, source({row()}))->frame(), (Rect{10, 20, 320, 60}));
  EXPECT_EQ(TransactionInfoView::create(kFrame, source({row()}, ""))->frame().height, 60);

  auto unlined = TransactionInfoView::create(kFrame, source({row()}), TextAlignment::Right, false, false);
  EXPECT_EQ(unlined->frame().height, 35);
  EXPECT_EQ(unlined->viewWithTag(TransactionInfoView::kUnderLineTag), nullptr);
  size_t before = unlined->subviews().size();
  unlined->removeUnderLine();
  EXPECT_EQ(unlined->subviews().size(), before);

  auto prompted = TransactionInfoView::create(kFrame, source({row()}, "请核对"));
  ASSERT_NE(prompted, nullptr);
  std::shared_ptr<View> box;
  for (const auto& sub : prompted->subviews()) {
    if (!std::dynamic_pointer_cast<Label>(sub) && sub->tag() != TransactionInfoView::kUnderLineTag) box = sub;
  }
  ASSERT_NE(box, nullptr);
  // The prompt in bold 12: one line of 15 points.
  EXPECT_EQ(box->frame(), (Rect{8, 40, 304, 29}));   // 15 + 17 + 10 - 12 + 10
  EXPECT_EQ(box->backgroundColor(), Color::rgb255(248, 248, 193));
  EXPECT_EQ(box->layer().borderWidth, 1);
  EXPECT_EQ(box->layer().borderColor, Color::rgb255(240, 220, 190));
  EXPECT_EQ(box->layer().cornerRadius, 4);
  EXPECT_TRUE(box->clipsToBounds());
  auto text = labels(*box);
  ASSERT_EQ(text.size(), 1u);
  EXPECT_EQ(text[0]->text(), "请核对");
  EXPECT_EQ(text[0]->frame(), (Rect{7, 7, 290, 15}));
  EXPECT_EQ(text[0]->font(), platform::ui::Font::boldSystem(12));
  EXPECT_EQ(text[0]->textColor(), Color::rgb255(113, 54, 11));
  EXPECT_EQ(text[0]->textAlignment(), TextAlignment::Center);
  EXPECT_EQ(text[0]->numberOfLines(), 100);
  EXPECT_EQ(prompted->viewWithTag(TransactionInfoView::kUnderLineTag)->frame().y, 69);
  EXPECT_EQ(prompted->frame().height, 99);

  EXPECT_EQ(TransactionInfoView::create(kFrame, source({})), nullptr);
  EXPECT_EQ(TransactionInfoView::create(kFrame, nullptr), nullptr);
}

TEST(TransactionInfoViewTest, EmptyEntriesBetweenRowsLeaveNoGap) {
  auto view = TransactionInfoView::create(kFrame, source({
      nullptr,
      TransactionInfoLabelSource::sourceWithLeftValue("账户", "张三"),
      nullptr,
      TransactionInfoLabelSource::sourceWithLeftValue("金额", int64_t{100}),
  }));
  ASSERT_NE(view, nullptr);
  auto all = labels(*view);
  ASSERT_EQ(all.size(), 5u);
  EXPECT_EQ(all[0]->frame().y, 15);
  EXPECT_EQ(all[2]->frame().y, 42);
  EXPECT_EQ(view->frame().height, 15 + 27 + 27 - 12 + 30);
}

TEST(TransactionInfoViewTest, AUserReadsTheRowsOnTheScreen) {
  auto window = Window::create();
  window->makeKeyAndVisible();
  auto view = TransactionInfoView::create(kFrame, source({
      TransactionInfoLabelSource::sourceWithLeftValue(payLabel(), int64_t{123450}, true),
  }));
  window->addSubview(view);
  Inspector inspector;
  auto amount = std::dynamic_pointer_cast<Label>(inspector.byText("1,234.50"));
  ASSERT_NE(amount, nullptr);
  EXPECT_EQ(amount->textColor(), kRed);
  EXPECT_NE(inspector.byText(payLabel() + ":"), nullptr);
  EXPECT_NE(inspector.render().find("\"元\""), std::string::npos);
}

TEST(TransactionInfoLabelSourceTest, FactoriesSetTheirFieldsOnly) {
  auto plain = std::make_shared<TransactionInfoLabelSource>();
  EXPECT_FALSE(plain->isNumber());
  EXPECT_EQ(plain->rightValue(), std::nullopt);
  EXPECT_EQ(plain->amount(), 0);

  auto three = TransactionInfoLabelSource::sourceWithLeftValue("a", "b", "c", "d");
  EXPECT_EQ(three->rightValue2(), "c");
  EXPECT_EQ(three->rightValue3(), "d");
  EXPECT_FALSE(three->isNumber());
  auto multi = TransactionInfoLabelSource::mutiLinedSourceWithLeftValue("a", "b");
  EXPECT_TRUE(multi->mutiLined());
  EXPECT_EQ(multi->rightValue2(), std::nullopt);
  auto red = TransactionInfoLabelSource::sourceWithLeftValue("a", int64_t{5}, true);
  EXPECT_TRUE(red->isNumber());
  EXPECT_TRUE(red->isRed());
  EXPECT_EQ(red->amount(), 5);
  EXPECT_EQ(red->rightValue(), std::nullopt);
  EXPECT_FALSE(TransactionInfoLabelSource::sourceWithLeftValue("a", 5)->isRed());
}

}  // namespace
}  // namespace nvx
