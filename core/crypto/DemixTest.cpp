#include "core/crypto/Demix.h"

#include <gtest/gtest.h>

#include "core/crypto/Base64.h"

namespace nvx {
namespace {

TEST(DemixTest, DemixUndoesMix) {
  for (std::string text : {"3FA0C7", "", "0123456789ABCDEF", "FFFFFFFF00000000"}) {
    auto scrambled = mix(text);
    ASSERT_TRUE(scrambled) << text;
    EXPECT_EQ(demix(*scrambled), text);
  }
}

TEST(DemixTest, StoredFormHidesTheDigits) {
  const std::string text = "0123456789ABCDEF";
  auto scrambled = mix(text);
  ASSERT_TRUE(scrambled);
  EXPECT_NE(*scrambled, *toBase64String(text));
  auto carried = fromBase64String(*scrambled);
  ASSERT_TRUE(carried);
  EXPECT_EQ(carried->size(), text.size());
  EXPECT_NE(*carried, text);
}

TEST(DemixTest, RejectsWhatIsNotHexText) {
  EXPECT_FALSE(mix("3fa0c7"));
  EXPECT_FALSE(mix("3FA0-C7"));
  EXPECT_FALSE(demix(*toBase64String("12 3")));
  EXPECT_FALSE(demix(*toBase64String("中")));
  EXPECT_FALSE(demix(base64StringFromData("abc")));  // odd UTF-16 byte count
}

}  // namespace
}  // namespace nvx
