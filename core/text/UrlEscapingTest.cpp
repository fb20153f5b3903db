#include "core/text/UrlEscaping.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace nvx::text {
namespace {

using platform::Json;

std::string escapeOf(char c) {
  char buf[4];
  std::snprintf(buf, sizeof buf, "%%%02X", static_cast<unsigned char>(c));
  return buf;
}

// Runs every ASCII character from space to "~" through an escaping and checks that exactly the
// characters of `escaped` come back as "%XX" and all others unchanged.
template <class Escape>
void expectEscapedSet(Escape escape, std::string_view escaped) {
  for (char c = ' '; c <= '~'; ++c) {
    std::string in(1, c);
    std::string expected = escaped.find(c) != std::string_view::npos ? escapeOf(c) : in;
    EXPECT_EQ(escape(in), expected) << "character '" << c << "'";
  }
}

TEST(UrlEscapingTest, EncodeUrlStringEscapesEverythingButLettersDigitsAndThreeMarks) {
  expectEscapedSet([](const std::string& s) { return encodeURLString(s); },
                   ":/?#[]@!$ &'()*+,;=\"<>%{}|\\^~`");
  EXPECT_EQ(encodeURLString("中 a\t"), "%E4%B8%AD%20a%09");
  EXPECT_EQ(encodeURLString("\xFF"), "");   // not UTF-8: cannot be escaped
}

TEST(UrlEscapingTest, EscapesUtf8UrlKeepsReservedCharacters) {
  expectEscapedSet([](const std::string& s) { return escapesUTF8Url(s).value(); },
                   " \"#%<>[\\]^`{|}");
  EXPECT_EQ(escapesUTF8Url("http://h/p?q=中&r=1#x"), "http://h/p?q=%E4%B8%AD&r=1%23x");
  EXPECT_EQ(escapesUTF8Url("\x7F\n"), "%7F%0A");
  EXPECT_EQ(escapesUTF8Url("\xC0\xAF"), std::nullopt);   // overlong form
}

TEST(UrlEscapingTest, UrlEncodedStringEscapesReservedButNotTilde) {
  expectEscapedSet([](const std::string& s) { return URLEncodedString(s).value(); },
                   "!*'();:@&=+$,/?%#[] \"<>{}|\\^`");
}

TEST(UrlEscapingTest, EscapedUrlStringWorksOnBytes) {
  expectEscapedSet([](const std::string& s) { return escapedURLString(s); }, " #%/:;@");
  EXPECT_EQ(escapedURLString("a=1?b&c+d"), "a=1?b&c+d");
  EXPECT_EQ(escapedURLString("中 x"), "%E4%B8%AD%20x");
  EXPECT_EQ(escapedURLString("\xFF\t"), "%FF\t");   // any byte, valid UTF-8 or not
  EXPECT_EQ(escapedURLString(""), "");
}

TEST(UrlEscapingTest, OriginalUrlStringUnescapes) {
  struct Case { std::string in; std::optional<std::string> out; };
  const Case cases[] = {
      {"%E4%B8%AD", std::string("中")},
      {"%e4%b8%ad!", std::string("中!")},
      {"a%00b", std::string("ab")},          // zero bytes vanish
      {"abc%", std::string("abc")},          // a "%" at the very end vanishes
      {"%4", std::string("\x04")},           // only the characters present count
      {"%G1x", std::string("\x01x")},        // a non-hex character counts as 0
      {"a+b%20c", std::string("a+b c")},     // "+" stays
      {"100%25", std::string("100%")},
      {"%FF", std::nullopt},                 // not UTF-8
      {"%E4%B8", std::nullopt},              // cut sequence
      {"", std::string("")},
  };
  for (const Case& c : cases) EXPECT_EQ(originalURLString(c.in), c.out) << c.in;
}

TEST(UrlEscapingTest, ParamsOfUrlSplitsTheQueryWithoutUnescaping) {
  Json p = paramsOfUrl("http://h/p?a=1&b=%20&a=3&c&d=1=2&e=&=f");
  EXPECT_EQ(platform::json::dump(p), R"({"a":"3","b":"%20","e":"","":"f"})");
  EXPECT_TRUE(paramsOfUrl("http://h/p").empty());
  EXPECT_TRUE(paramsOfUrl("http://h/p?").empty());
  EXPECT_EQ(platform::json::dump(paramsOfUrlParams("x=1&y=2?z")), R"({"x":"1","y":"2?z"})");
  EXPECT_EQ(URLStringWithoutQuery("http://h/p?a=1?b"), "http://h/p");
  EXPECT_EQ(URLStringWithoutQuery("http://h/p"), "http://h/p");
}

TEST(UrlEscapingTest, UrlAppendChecksOnlyTheLastPathComponent) {
  EXPECT_EQ(urlAppendValue("http://h/p", "v w", "k"), "http://h/p?k=v w");
  EXPECT_EQ(urlAppendValue("http://h/p?x=1", "v", "k"), "http://h/p?x=1&k=v");
  EXPECT_EQ(urlAppendValue("http://h/a?x=1/b", "v", "k"), "http://h/a?x=1/b?k=v");
  EXPECT_EQ(urlAppendValue("http://h/p?x=1/", "v", "k"), "http://h/p?x=1/&k=v");

  Json pairs = Json::object();
  pairs["z"] = "1";
  pairs["a"] = 2;
  EXPECT_EQ(urlAppendKeyValues("http://h/p", pairs), "http://h/p?z=1&a=2");
  EXPECT_EQ(urlAppendKeyValues("http://h/p?x", pairs), "http://h/p?x&z=1&a=2");
  EXPECT_EQ(urlAppendKeyValues("http://h/p", Json::object()), "http://h/p");
}

TEST(UrlEscapingTest, UrlParamStringEscapesTextEntriesAndSkipsOthers) {
  Json d = Json::object();
  d["a b"] = "c&d=e";
  d["n"] = 1;
  d["k"] = "中~";
  EXPECT_EQ(URLParamstringWithDictionary(d), "a%20b=c%26d%3De&k=%E4%B8%AD~");
  EXPECT_EQ(URLParamstringWithDictionary(Json::object()), "");
}

}  // namespace
}  // namespace nvx::text
