#include "core/text/Pinyin.h"

#include <gtest/gtest.h>

#include <string>

namespace nvx {
namespace {

TEST(PinyinTest, KnownIdeographsGiveTheirInitials) {
  struct Row { char16_t unit; char initial; };
  const Row rows[] = {
      {u'一', 'y'}, {u'丁', 'd'}, {u'七', 'q'}, {u'万', 'w'}, {u'三', 's'}, {u'上', 's'},
      {u'下', 'x'}, {u'中', 'z'}, {u'国', 'g'}, {u'北', 'b'}, {u'京', 'j'}, {u'银', 'y'},
      {u'行', 'x'}, {u'长', 'z'}, {u'重', 'z'}, {u'乐', 'l'},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(pinyinInitialOf(r.unit), r.initial) << "U+" << std::hex << int(r.unit);
  }
}

TEST(PinyinTest, IdeographsWithoutAnIcuReadingHaveLetters) {
  const char16_t units[] = {0x5159, 0x5161, 0x55E7, 0x685B, 0x70EA,
                            0x74E7, 0x74F0, 0x74F1, 0x74FC, 0x7505};
  for (char16_t u : units) {
    char c = pinyinInitialOf(u);
    EXPECT_TRUE(c >= 'a' && c <= 'z') << "U+" << std::hex << int(u);
  }
  EXPECT_EQ(pinyinInitialOf(0x5159), 's');   // 兙 shíkè
  EXPECT_EQ(pinyinInitialOf(0x5161), 'b');   // 兡 bǎikè
}

TEST(PinyinTest, EveryTableEntryIsAnInitialAndTheLastIsZero) {
  for (size_t i = 0; i + 1 < detail::kPinyinTableSize; ++i) {
    char c = detail::kPinyinInitials[i];
    bool allowed = c >= 'a' && c <= 'z' && c != 'i' && c != 'u' && c != 'v';
    ASSERT_TRUE(allowed) << "U+" << std::hex << (0x4E00 + i) << " gives " << int(c);
  }
  EXPECT_EQ(pinyinInitialOf(0x9FA6), 0);
  EXPECT_EQ(detail::kPinyinTableSize, 20903u);
}

TEST(PinyinTest, OtherUnitsGiveTheirLowByte) {
  EXPECT_EQ(pinyinInitialOf(u'A'), 'A');
  EXPECT_EQ(pinyinInitialOf(u'z'), 'z');
  EXPECT_EQ(pinyinInitialOf(u'7'), '7');
  EXPECT_EQ(static_cast<unsigned char>(pinyinInitialOf(0x4DFF)), 0xFF);   // just below the block
  EXPECT_EQ(static_cast<unsigned char>(pinyinInitialOf(0x9FA7)), 0xA7);   // just above the table
  EXPECT_EQ(static_cast<unsigned char>(pinyinInitialOf(0xFF21)), 0x21);   // full-width A
}

}  // namespace
}  // namespace nvx
