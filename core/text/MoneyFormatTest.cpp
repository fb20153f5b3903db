#include "core/text/MoneyFormat.h"

#include <gtest/gtest.h>

namespace nvx::text {
namespace {

TEST(MoneyFormatTest, GroupsThousandsWithTwoToThreeDecimalsHalfEven) {
  struct Case { double value; const char* text; };
  const Case cases[] = {
      {0, "0.00"},
      {1234.5, "1,234.50"},
      {1234567.891, "1,234,567.891"},
      {0.125, "0.125"},
      {0.0625, "0.062"},   // exactly half: to even
      {0.1875, "0.188"},   // exactly half: to even
      {0.0005, "0.00"},     // a third digit only when it is not 0
      {-1234.5, "-1,234.50"},
      {100000000, "100,000,000.00"},
  };
  for (const Case& c : cases) EXPECT_EQ(formatMoney(c.value), c.text) << c.value;
  EXPECT_EQ(formatCNMoney(1234.5), "1,234.50 元");
}

TEST(MoneyFormatTest, MoneyIsValidAboveZero) {
  EXPECT_TRUE(isMoneyValid("0.01"));
  EXPECT_TRUE(isMoneyValid("12元"));
  EXPECT_FALSE(isMoneyValid("0"));
  EXPECT_FALSE(isMoneyValid("-1"));
  EXPECT_FALSE(isMoneyValid("abc"));
  EXPECT_FALSE(isMoneyValid(""));
}

TEST(MoneyFormatTest, FenToWholeYuanTruncates) {
  EXPECT_EQ(fen2yuanValue(199), 1);
  EXPECT_EQ(fen2yuanValue(-199), -1);
  EXPECT_EQ(fen2yuanValue(99), 0);
}

}  // namespace
}  // namespace nvx::text
