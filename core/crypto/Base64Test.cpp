#include "core/crypto/Base64.h"

#include <gtest/gtest.h>

namespace nvx {
namespace {

TEST(Base64Test, Rfc4648Vectors) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},          {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
      {"\xFB\xFF", "+/8="},
  };
  for (const auto& [data, text] : cases) {
    EXPECT_EQ(base64StringFromData(data), text);
    EXPECT_EQ(base64DataFromString(text), data) << text;
  }
}

TEST(Base64Test, DecodingIsLenient) {
  const std::pair<std::string, std::string> cases[] = {
      {"Zm9v\r\nYmFy\n", "foobar"},   // line breaks are skipped
      {" Z m 9 v ", "foo"},           // so is anything outside the alphabet
      {"Zm9v*YmE", "fooba"},
      {"Zg==Zm9v", "f"},              // the first "=" ends the text
      {"Zm8", "fo"},                  // a last group of 3 characters gives 2 bytes
      {"Zg", "f"},                    // of 2 characters, 1 byte
      {"Zm9vY", "foo"},               // a lone last character gives nothing
      {"=Zm9v", ""},
      {"\xE4\xB8\xAD", ""},
  };
  for (const auto& [text, data] : cases) EXPECT_EQ(base64DataFromString(text), data) << text;
}

TEST(Base64Test, RoundTripsAllByteValuesAndLargeData) {
  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  EXPECT_EQ(base64DataFromString(base64StringFromData(all)), all);

  // Larger than one internal chunk and not a multiple of three.
  std::string large;
  for (size_t i = 0; i < 200001; ++i) large.push_back(static_cast<char>(i * 31 + 7));
  std::string text = base64StringFromData(large);
  EXPECT_EQ(text.size(), (large.size() + 2) / 3 * 4);
  EXPECT_EQ(text.find_first_not_of(
                "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
            std::string::npos);
  EXPECT_EQ(base64DataFromString(text), large);
}

TEST(Base64Test, TextHelpersCarryUtf16WithByteOrderMark) {
  EXPECT_EQ(toBase64String("A"), "//5BAA==");  // FF FE 41 00
  EXPECT_EQ(toBase64String(""), "//4=");
  for (std::string text : {"", "3FA0C7", "中文 text", "\xF0\x9F\x98\x80"}) {
    auto encoded = toBase64String(text);
    ASSERT_TRUE(encoded) << text;
    EXPECT_EQ(fromBase64String(*encoded), text);
  }
}

TEST(Base64Test, TextHelpersRejectWhatIsNotText) {
  EXPECT_FALSE(toBase64String("\xC3"));                       // cut UTF-8 sequence
  EXPECT_EQ(fromBase64String("/v8AQQ=="), "A");               // FE FF: big-endian
  EXPECT_EQ(fromBase64String(base64StringFromData(std::string("A\0", 2))), "A");  // no mark
  EXPECT_FALSE(fromBase64String(base64StringFromData("abc")));                     // odd count
  EXPECT_FALSE(fromBase64String(base64StringFromData(std::string("\xFF\xFE\x00\xD8", 4))));
}

}  // namespace
}  // namespace nvx
