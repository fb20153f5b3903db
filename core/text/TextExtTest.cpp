#include "core/text/TextExt.h"

#include <gtest/gtest.h>

#include "platform/foundation/Sandbox.h"
#include "platform/testing/Testing.h"

namespace nvx::text {
namespace {

using platform::Json;

TEST(TextExtTest, NotNullAndIsEmptyAreNilSafe) {
  Json number = 12;
  Json text = "ab";
  Json blank = " \t";
  EXPECT_EQ(notNull(static_cast<const Json*>(nullptr)), "");
  EXPECT_EQ(notNull(&number), "");
  EXPECT_EQ(notNull(&text), "ab");
  EXPECT_EQ(notNull(std::optional<std::string>()), "");

  EXPECT_TRUE(isEmpty(static_cast<const Json*>(nullptr)));
  EXPECT_TRUE(isEmpty(&number));
  EXPECT_TRUE(isEmpty(&blank));
  EXPECT_FALSE(isEmpty(&text));
  EXPECT_TRUE(isEmpty(std::optional<std::string>()));
}

TEST(TextExtTest, EmptinessAndTrimIgnoreSpacesAndTabsButNotLineEnds) {
  struct Case { std::string in; bool empty; std::string trimmed; };
  const Case cases[] = {
      {"", true, ""},
      {" \t ", true, ""},
      {"\u3000", true, ""},                  // ideographic space
      {"\n", false, "\n"},
      {" \tab c\t ", false, "ab c"},
      {"\n ab \n", false, "\n ab \n"},
      {"  中文  ", false, "中文"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isEmpty(c.in), c.empty) << '"' << c.in << '"';
    EXPECT_EQ(trim(c.in), c.trimmed) << '"' << c.in << '"';
  }
}

TEST(TextExtTest, PathInsertions) {
  EXPECT_EQ(pathAppendBeforeExtension("dir/img.png", "@2x"), "dir/img@2x.png");
  EXPECT_EQ(pathAppendBeforeExtension("a.b/img", "_s"), "a.b/img_s");
  EXPECT_EQ(pathAppendBeforeExtension("img.tar.gz", "_s"), "img.tar_s.gz");
  EXPECT_EQ(pathAppendBeforeName("/a/b/c.png", "s_"), "/a/b/s_c.png");
  EXPECT_EQ(pathAppendBeforeName("c.png", "s_"), "s_c.png");
  EXPECT_EQ(pathAppendBeforeName("/c.png", "s_"), "/s_c.png");
}

TEST(TextExtTest, CardNumberMasks) {
  EXPECT_FALSE(isCardNumValid("123456789"));
  EXPECT_TRUE(isCardNumValid("1234567890"));
  EXPECT_TRUE(isCardNumValid(std::string(32, '1')));
  EXPECT_FALSE(isCardNumValid(std::string(33, '1')));

  EXPECT_EQ(cardNum64format("1234567890"), "1234 56 **** 7890");
  EXPECT_EQ(cardNum64format("123456789"), std::nullopt);
  EXPECT_EQ(cardNum64format("6222 0212 3456 7890"), "6222 02 **** 7890");
  EXPECT_EQ(cardNum64format("1234 5678 9"), std::nullopt);   // 9 once the spaces are gone
  EXPECT_EQ(cardNum44format("12345678"), "1234 **** 5678");
  EXPECT_EQ(cardNum44format("1234567"), std::nullopt);
}

TEST(TextExtTest, HexColours) {
  const Rgba white{1, 1, 1, 1};
  struct Case { const char* text; Rgba colour; };
  const Case cases[] = {
      {"#FFF", white},
      {"  00ff00 \n", {0, 1, 0, 0.5}},
      {"#FF0000", {1, 0, 0, 0.5}},
      {"#00FF0080", white},                   // 8 digits
      {"12345", white},
      {"G0801G", {0, 128 / 255.0, 1 / 255.0, 0.5}},   // unreadable pair 0; "1G" reads 1
      {"", white},
  };
  for (const Case& c : cases) {
    Rgba got = hexStringToColorWithAlpha(c.text, 0.5f);
    EXPECT_DOUBLE_EQ(got.r, c.colour.r) << c.text;
    EXPECT_DOUBLE_EQ(got.g, c.colour.g) << c.text;
    EXPECT_DOUBLE_EQ(got.b, c.colour.b) << c.text;
    EXPECT_DOUBLE_EQ(got.a, c.colour.a) << c.text;
  }
}

TEST(TextExtTest, MainBundlePathFindsResourcesByNameAndType) {
  platform::Path bundle = platform::testing::sandboxRoot() / "bundle";
  ASSERT_TRUE(platform::fs::writeAtomic(bundle / "agreement.html", "<html/>"));
  platform::Sandbox::setBundle(bundle);
  EXPECT_EQ(mainBundlePath("agreement.html"), (bundle / "agreement.html").string());
  EXPECT_EQ(mainBundlePath("some/folder/agreement.html"), (bundle / "agreement.html").string());
  EXPECT_EQ(mainBundlePath("agreement.txt"), std::nullopt);
  EXPECT_EQ(mainBundlePath("missing.html"), std::nullopt);
}

}  // namespace
}  // namespace nvx::text
