#include "app/ui/LabelExt.h"

#include <gtest/gtest.h>

#include "platform/foundation/Strings.h"

namespace nvx {
namespace {

using platform::Strings;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Label;
using platform::ui::Point;
using platform::ui::Rect;
using platform::ui::TextAlignment;

TEST(LabelExtTest, FactoriesOfTheLook) {
  struct Case {
    const char* what;
    std::shared_ptr<Label> label;
    Rect frame;
    std::string text;
    Font font;
    Color color;
  };
  const Color orange{1, 0.5, 0, 1};
  const Rect f{1, 2, 3, 4};
  const Case cases[] = {
      {"lableFrame", LabelExt::lableFrame(f, "a"), f, "a", Font::system(16), Color::black()},
      {"with size", LabelExt::lableFrame(f, "a", 13), f, "a", Font::system(13), Color::black()},
      {"with colour", LabelExt::lableFrame(f, "a", 13, orange), f, "a", Font::system(13), orange},
      {"underlined", LabelExt::UnderLineFrame(f, "a"), f, "a", Font::system(16), Color::black()},
      {"underlined with size", LabelExt::UnderLineFrame(f, "a", 13), f, "a", Font::system(13), Color::black()},
      {"underlined with colour", LabelExt::UnderLineFrame(f, "a", 13, orange), f, "a", Font::system(13), orange},
      {"group cell left", LabelExt::groupCellLeftLabel("Back"), {20, 8, 80, 30}, Strings::localized("Back"),
       Font::system(16), Color::black()},
      {"group prompt", LabelExt::groupPromptLabelWithFrame(f, "Cancel"), f, Strings::localized("Cancel"),
       Font::system(14), Color::gray(0.5)},
      {"function cell", LabelExt::functionCellStrongLabel("Next"), {120, 12, 170, 20}, Strings::localized("Next"),
       Font::system(18), orange},
      {"business title", LabelExt::businessDescTitleLabel("Next"), {16, 5, 200, 50}, Strings::localized("Next"),
       Font::system(18), Color::black()},
      {"card number", LabelExt::creditCardNumberLabel(), {20, 8, 80, 30}, Strings::localized("CreditCardNumber"),
       Font::system(16), Color::black()},
      {"phone number", LabelExt::telphoneNumberLabel(), {20, 8, 80, 30}, Strings::localized("MobileNumber"),
       Font::system(16), Color::black()},
  };
  for (const Case& c : cases) {
    const Label& l = *c.label;
    EXPECT_EQ(l.frame(), c.frame) << c.what;
    EXPECT_EQ(l.text(), c.text) << c.what;
    EXPECT_EQ(l.font(), c.font) << c.what;
    EXPECT_EQ(l.textColor(), c.color) << c.what;
    EXPECT_EQ(l.numberOfLines(), 0) << c.what;
    EXPECT_EQ(l.backgroundColor(), Color::clear()) << c.what;
    EXPECT_EQ(l.textAlignment(), TextAlignment::Left) << c.what;
  }
  EXPECT_EQ(LabelExt::UnderLineFrame(f, "a", 13, orange)->redrawRequests(), 1);
}

TEST(LabelExtTest, ChainedSetters) {
  auto label = LabelExt::lableFrame(Rect{0, 0, 10, 10}, "");
  auto same = LabelExt::labelBindTextColor(LabelExt::labelBindText(LabelExt::labelBindFontSize(label, 11), "x"),
                                           Color::white());
  EXPECT_EQ(same, label);
  EXPECT_EQ(label->font(), Font::system(11));
  EXPECT_EQ(label->text(), "x");
  EXPECT_EQ(label->textColor(), Color::white());
  EXPECT_EQ(LabelExt::labelBindFont(label, Font::boldSystem(9))->font(), Font::boldSystem(9));
}

TEST(LabelExtTest, AutoWrapGrowsToItsLinesUpToTheMaximum) {
  // 16-point text: 8.8 points a Latin character, lines 20 high; 11 characters fit in 100 points.
  const std::string twoLines(20, 'A');
  const std::string fiveLines(50, 'A');
  struct Case {
    const char* what;
    std::string text;
    Rect frame;
    int maxLines;
    Rect grown;
  };
  const Case cases[] = {
      {"grows to two lines", twoLines, {5, 6, 100, 20}, 3, {5, 6, 97, 40}},
      {"capped at the maximum", fiveLines, {5, 6, 100, 20}, 3, {5, 6, 97, 60}},
      {"one line allowed: stays", twoLines, {5, 6, 100, 20}, 1, {5, 6, 100, 20}},
      {"already tall enough: stays", twoLines, {5, 6, 100, 50}, 3, {5, 6, 100, 50}},
      {"short text: stays", "AB", {5, 6, 100, 20}, 3, {5, 6, 100, 20}},
      {"no lines: stays", twoLines, {5, 6, 100, 20}, 0, {5, 6, 100, 20}},
  };
  for (const Case& c : cases) {
    auto label = Label::create(c.frame, c.text);
    label->setFont(Font::system(16));
    LabelExt::autoWrapWithMaxLines(*label, c.maxLines);
    EXPECT_EQ(label->frame(), c.grown) << c.what;
    EXPECT_EQ(label->numberOfLines(), 0) << c.what;
  }
}

TEST(UnderlineUILabelTest, UnderlinesEveryLineAndTheLastOnePartly) {
  using Line = UnderlineUILabel::Line;
  struct Case {
    const char* what;
    std::string text;
    double width;
    double size;
    std::vector<Line> lines;
  };
  const Case cases[] = {
      // 176 points of text in a 100-point label: two lines, the second ends at 200 - 176.
      {"two lines", std::string(20, 'A'), 100, 16, {{{0, 25}, {100, 25}}, {{0, 45}, {76, 45}}}},
      {"one short line", "金额", 100, 16, {{{0, 25}, {32, 25}}}},
      {"exactly full", std::string(10, 'A'), 88, 16, {{{0, 25}, {88, 25}}}},
      {"no text", "", 100, 16, {}},
      // 13 points: lines 16 high but the underline step is 17, so three lines get two underlines.
      {"step above the line height", std::string(30, 'A'), 100, 13, {{{0, 22}, {100, 22}}, {{0, 39}, {100, 39}}}},
  };
  for (const Case& c : cases) {
    auto label = LabelExt::UnderLineFrame(Rect{0, 0, c.width, 100}, c.text, c.size);
    EXPECT_EQ(label->underlines(), c.lines) << c.what;
  }
}

}  // namespace
}  // namespace nvx
