#include "platform/foundation/Text16.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

// "中文" is two units, the emoji U+1F600 is a surrogate pair (two units), "é" one unit.
const std::string kMixed = "a中\xF0\x9F\x98\x80" "é";   // a, 中, 😀, é: 5 units

TEST(Text16, CountsUtf16Units) {
  struct Case { std::string text; size_t units; };
  const Case cases[] = {
      {"", 0},
      {"13800138000", 11},
      {"张三", 2},
      {"诺维萨（客服）", 7},
      {"\xF0\x9F\x98\x80", 2},
      {kMixed, 5},
      {"\xF0\xA0\x80\x80", 2},          // U+20000, a CJK ideograph outside the basic plane
      {std::string("a\0b", 3), 3},      // a zero byte is a character
  };
  for (const auto& c : cases) EXPECT_EQ(u16len(c.text), c.units) << c.text;
}

TEST(Text16, IndexesUnitsIncludingSurrogateHalves) {
  EXPECT_EQ(u16at(kMixed, 0), u'a');
  EXPECT_EQ(u16at(kMixed, 1), u'中');
  EXPECT_EQ(u16at(kMixed, 2), char16_t(0xD83D));
  EXPECT_EQ(u16at(kMixed, 3), char16_t(0xDE00));
  EXPECT_EQ(u16at(kMixed, 4), u'é');
  EXPECT_EQ(u16at(kMixed, 5), std::nullopt);
  EXPECT_EQ(u16at("", 0), std::nullopt);
}

TEST(Text16, SubstringsByUnits) {
  struct Case { std::string text; size_t pos, len; std::string expected; };
  const Case cases[] = {
      {"6222021234567890123", 0, 4, "6222"},
      {"6222021234567890123", 15, 4, "0123"},
      {"张三丰", 1, std::u16string::npos, "三丰"},
      {"张三丰", 1, 100, "三丰"},
      {"张三丰", 3, 1, ""},
      {"张三丰", 9, 1, ""},
      {kMixed, 2, 2, "\xF0\x9F\x98\x80"},
      // A cut through the surrogate pair leaves U+FFFD for the lone half.
      {kMixed, 0, 3, "a中\xEF\xBF\xBD"},
      {kMixed, 3, 2, "\xEF\xBF\xBD" "é"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(u16substr(c.text, c.pos, c.len), c.expected) << c.text << " " << c.pos << "+" << c.len;
  }
}

TEST(Text16, ReplacesRangesInsideTheText) {
  struct Case { std::string text; Range16 range; std::string with; std::optional<std::string> expected; };
  const Case cases[] = {
      {"", {0, 0}, "1", "1"},
      {"138", {3, 0}, "0", "1380"},               // typing at the end
      {"1380", {3, 1}, "", "138"},                // delete backward
      {"张三", {1, 1}, "四五", "张四五"},
      {kMixed, {2, 2}, "!", "a中!é"},             // the emoji as one range of two units
      {"abc", {4, 0}, "x", std::nullopt},         // starts past the end
      {"abc", {2, 2}, "x", std::nullopt},         // runs past the end
      {"abc", {1, size_t(-1)}, "x", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(u16replace(c.text, c.range, c.with), c.expected)
        << c.text << " " << c.range.location << "+" << c.range.length;
  }
}

TEST(Text16, InvalidUtf8ReadsAsReplacementCharacters) {
  struct Case { std::string bytes; bool valid; size_t units; };
  const Case cases[] = {
      {"plain", true, 5},
      {"中\xF0\x9F\x98\x80", true, 3},
      {"\xFF", false, 1},
      {"a\x80z", false, 3},
      {"\xC0\xAF", false, 2},            // overlong "/"
      {"\xED\xA0\x80", false, 3},        // an encoded surrogate
      {"\xF4\x90\x80\x80", false, 4},    // above U+10FFFF
      {"\xE4\xB8", false, 1},            // "中" cut short
  };
  for (const auto& c : cases) {
    EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << ::testing::PrintToString(c.bytes);
    EXPECT_EQ(u16len(c.bytes), c.units) << ::testing::PrintToString(c.bytes);
    EXPECT_TRUE(isValidUtf8(u16substr(c.bytes, 0))) << "results are always well-formed";
  }
}

TEST(Text16, ConvertsBothWays) {
  EXPECT_EQ(toUtf16(kMixed), std::u16string(u"a中\U0001F600é"));
  EXPECT_EQ(fromUtf16(u"a中\U0001F600é"), kMixed);
  EXPECT_EQ(fromUtf16(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace platform
