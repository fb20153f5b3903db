#include "platform/ui/TextMetrics.h"

#include <gtest/gtest.h>

namespace platform::ui {
namespace {

TEST(Font, LineHeightIsCeilingOfOnePointTwoTimesTheSize) {
  EXPECT_EQ(Font::system(10).lineHeight(), 12);
  EXPECT_EQ(Font::system(14).lineHeight(), 17);   // 16.8
  EXPECT_EQ(Font::system(15).lineHeight(), 18);   // exactly 18: no rounding up past it
  EXPECT_EQ(Font::boldSystem(17).lineHeight(), 21);   // 20.4
}

TEST(TextMetrics, AdvanceWidths) {
  EXPECT_EQ(TextMetrics::advanceMilli(U'a'), 550);
  EXPECT_EQ(TextMetrics::advanceMilli(U'7'), 550);
  EXPECT_EQ(TextMetrics::advanceMilli(U' '), 280);
  EXPECT_EQ(TextMetrics::advanceMilli(U'中'), 1000);
  EXPECT_EQ(TextMetrics::advanceMilli(U'，'), 1000);   // full-width comma
  EXPECT_EQ(TextMetrics::advanceMilli(U'。'), 1000);
  EXPECT_EQ(TextMetrics::advanceMilli(U'Ａ'), 1000);   // full-width letter
  EXPECT_EQ(TextMetrics::advanceMilli(U'\t'), 280);
  EXPECT_EQ(TextMetrics::advanceMilli(U'\x01'), 0);
  EXPECT_EQ(TextMetrics::advanceMilli(U'é'), 550);
  EXPECT_DOUBLE_EQ(TextMetrics::width("a 中", Font::system(10)), 5.5 + 2.8 + 10);
}

TEST(TextMetrics, MeasureWithinABox) {
  struct Case {
    const char* text;
    double size;
    Size box;
    Size expected;
  };
  const Case cases[] = {
      {"", 10, {0, 0}, {0, 0}},
      {"abc", 10, {0, 0}, {17, 12}},                 // 16.5 rounded up
      {"中文", 10, {0, 0}, {20, 12}},
      {"a b", 10, {0, 0}, {14, 12}},                 // 13.8
      {"hello world", 10, {40, 0}, {28, 24}},        // breaks at the space; the space counts nowhere
      {"hello world", 10, {58, 0}, {58, 12}},        // 57.8 fits on one line
      {"中文字符", 10, {25, 0}, {20, 24}},           // breaks between any CJK characters
      {"ab中文", 10, {25, 0}, {21, 24}},             // "ab中" 21, then "文"
      {"abcdefghij", 10, {20, 0}, {17, 48}},         // a word wider than the line breaks by character
      {"中文字符中文", 10, {25, 30}, {20, 24}},      // only the lines that fit in the height
      {"abc", 10, {1000, 5}, {17, 12}},              // a box lower than a line still measures one
      {"ab\ncd", 10, {0, 0}, {11, 24}},
      {"ab  ", 10, {0, 0}, {11, 12}},                // trailing spaces do not count
      {"1234567890", 17, {1000, 20}, {94, 21}},      // 93.5
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TextMetrics::measure(c.text, Font::system(c.size), c.box), c.expected);
  }
}

TEST(TextMetrics, WrapGivesTheLinesWithoutTheSpacesAtTheBreaks) {
  EXPECT_EQ(TextMetrics::wrap("hello big world", Font::system(10), 40),
            (std::vector<std::string>{"hello", "big", "world"}));
  EXPECT_EQ(TextMetrics::wrap("请输入 card号码", Font::system(10), 30),
            (std::vector<std::string>{"请输入", "card", "号码"}));
  EXPECT_EQ(TextMetrics::wrap("a\n\nb", Font::system(10), 0), (std::vector<std::string>{"a", "", "b"}));
}

}  // namespace
}  // namespace platform::ui
