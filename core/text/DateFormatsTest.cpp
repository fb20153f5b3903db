#include "core/text/DateFormats.h"

#include <gtest/gtest.h>

#include "core/testing/TestTimeZone.h"
#include "platform/foundation/Clock.h"

namespace nvx {
namespace {

using std::chrono::seconds;

// 2013-06-01 10:00:00 in Shanghai (02:00:00 UTC).
const platform::WallTime kJune1 = platform::WallTime(seconds(1370052000));

class DateFormatsTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::virtualClock()->setWall(kJune1); }
  testing::ScopedTimeZone zone_{"Asia/Shanghai"};
};

TEST_F(DateFormatsTest, TableOfPatterns) {
  const char* expected[] = {"yyyy-MM-dd HH:mm", "yyyy-MM-dd", "yyyy-MM-dd HH:mm:ss", "yyyyMMdd",
                            "yyyyMMddHHmmss",   "MM月dd日",   "MM月dd日",            "yyyy年MM月dd日"};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(formateString(i), expected[i]) << i;
  EXPECT_EQ(formateString(-1), std::nullopt);
  EXPECT_EQ(formateString(8), std::nullopt);
}

TEST_F(DateFormatsTest, CurrentDateIsLocalTimeInThePattern) {
  const char* expected[] = {"2013-06-01 10:00", "2013-06-01", "2013-06-01 10:00:00", "20130601",
                            "20130601100000",   "06月01日",   "06月01日",            "2013年06月01日"};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(currentDate(i), expected[i]) << i;
  EXPECT_EQ(currentDate(9), std::nullopt);
  EXPECT_EQ(standardCurrentDate(), "2013-06-01 10:00");

  testing::ScopedTimeZone utc("UTC");
  EXPECT_EQ(standardCurrentDate(), "2013-06-01 02:00");
}

TEST_F(DateFormatsTest, ReformatsDateTextsStrictly) {
  EXPECT_EQ(text::CNDateFromYMD2YM("2013-06-01"), "06月01日");
  EXPECT_EQ(text::formatDateWithSrcFormat("20131231235959", 4, 2), "2013-12-31 23:59:59");
  EXPECT_EQ(text::formatDateWithSrc("2013/06/01", "yyyy/MM/dd", "yyyy年MM月dd日"), "2013年06月01日");
  EXPECT_EQ(text::CNDateFromYMD2YM("2013/06/01"), std::nullopt);
  EXPECT_EQ(text::CNDateFromYMD2YM("2013-13-01"), std::nullopt);
  EXPECT_EQ(text::CNDateFromYMD2YM("2013-06-01x"), std::nullopt);
  EXPECT_EQ(text::CNDateFromYMD2YM(""), std::nullopt);
  EXPECT_EQ(text::formatDateWithSrcFormat("2013-06-01", 1, 8), std::nullopt);
}

TEST_F(DateFormatsTest, FormateDateReadsInTheLocalZone) {
  EXPECT_EQ(text::formateDate("2013-06-01 10:00", 0), kJune1);
  EXPECT_EQ(text::formateDate("20130601", 3), kJune1 - seconds(10 * 3600));
  EXPECT_EQ(text::formateDate("2013-06-01", 0), std::nullopt);
  EXPECT_EQ(text::formateDate("2013-06-01", 12), std::nullopt);
}

}  // namespace
}  // namespace nvx
