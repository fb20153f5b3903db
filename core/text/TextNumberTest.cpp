#include "core/text/TextNumber.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace nvx::text {
namespace {

TEST(TextNumberTest, DoubleValueTakesTheLongestNumericPrefix) {
  struct Case { const char* text; double value; };
  const Case cases[] = {
      {"12abc", 12},     {"  -3.5e2x", -350}, {"abc", 0},   {"", 0},       {".", 0},
      {".5", 0.5},       {"1e", 1},           {"1e+", 1},   {"+7", 7},     {"1,234.5", 1},
      {"\t\n 2.25", 2.25}, {"0x1A", 0},       {"inf", 0},   {"nan", 0},    {"-", 0},
      {"100000000.01", 100000000.01},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(doubleValue(c.text), c.value) << '"' << c.text << '"';
}

TEST(TextNumberTest, IntValuesStopAtTheFirstNonDigitAndSaturate) {
  struct Case { const char* text; int32_t i32; int64_t i64; };
  const Case cases[] = {
      {"12.9", 12, 12},
      {" -12abc", -12, -12},
      {"abc", 0, 0},
      {"99999999999", INT32_MAX, 99999999999},
      {"-99999999999", INT32_MIN, -99999999999},
      {"99999999999999999999", INT32_MAX, INT64_MAX},
      {"+0042", 42, 42},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(intValue(c.text), c.i32) << c.text;
    EXPECT_EQ(integerValue(c.text), c.i64) << c.text;
  }
}

TEST(TextNumberTest, BoolValueLooksAtTheFirstSignificantCharacter) {
  struct Case { const char* text; bool value; };
  const Case cases[] = {
      {"YES", true}, {"yes", true}, {"true", true}, {"T", true},   {"1", true},
      {"007", true}, {"-5", true},  {" 9", true},   {"NO", false}, {"0", false},
      {"000", false}, {"", false},  {"abc", false}, {"false", false}, {"+0", false},
  };
  for (const Case& c : cases) EXPECT_EQ(boolValue(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace nvx::text
