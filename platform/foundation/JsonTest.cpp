#include "platform/foundation/Json.h"

#include <gtest/gtest.h>

#include <limits>

namespace platform {
namespace {

TEST(JsonParse, RefusesWhatIsNotJsonWithoutThrowing) {
  for (std::string_view text : {"", "{", "{\"a\":}", "[1,2", "nul", "{\"a\":1}}", "\"\xff\"", "{'a':1}"}) {
    EXPECT_FALSE(json::parse(text)) << text;
  }
  auto j = json::parse(R"({"z":1,"a":[true,null,"x"],"m":{"k":2.5}})");
  ASSERT_TRUE(j);
  // Objects keep the order of the text.
  EXPECT_EQ(json::dump(*j), R"({"z":1,"a":[true,null,"x"],"m":{"k":2.5}})");
}

TEST(JsonParse, RefusesNestingDeepEnoughToExhaustTheStack) {
  std::string deep(100000, '[');
  deep += std::string(100000, ']');
  EXPECT_FALSE(json::parse(deep));
  // Brackets inside texts do not count as nesting.
  std::string text = "[\"" + std::string(5000, '[') + "\\\"\"]";
  auto j = json::parse(text);
  ASSERT_TRUE(j);
  EXPECT_EQ((*j)[0].get<std::string>().size(), 5001u);
}

TEST(JsonParse, DropsNullsRecursively) {
  auto j = json::parseDroppingNulls(
      R"({"a":null,"b":{"c":null,"d":[null,1,{"e":null,"f":"x"},null]},"g":[null],"h":0})");
  ASSERT_TRUE(j);
  EXPECT_EQ(json::dump(*j), R"({"b":{"d":[1,{"f":"x"}]},"g":[],"h":0})");
  EXPECT_FALSE(json::parseDroppingNulls("{oops"));
}

TEST(JsonDump, ReplacesInvalidUtf8InsteadOfThrowing) {
  Json j = {{"k", std::string("a\xff" "b")}};
  EXPECT_EQ(json::dump(j), "{\"k\":\"a\xEF\xBF\xBD" "b\"}");
}

// The lenient readers, one row per input: expected text, integer, double and bool readings.
struct Conversion {
  const char* json;
  std::optional<std::string> text;
  std::optional<int64_t> integer;
  std::optional<double> real;
  std::optional<bool> boolean;
};

TEST(JsonConversions, FollowThePlatformRules) {
  const int64_t maxI = std::numeric_limits<int64_t>::max();
  const int64_t minI = std::numeric_limits<int64_t>::min();
  const Conversion cases[] = {
      {"12", "12", 12, 12.0, true},
      {"-7", "-7", -7, -7.0, true},
      {"0", "0", 0, 0.0, false},
      {"12.5", "12.5", 12, 12.5, true},
      {"-12.9", "-12.9", -12, -12.9, true},
      {"12.0", "12", 12, 12.0, true},
      {"0.1", "0.1", 0, 0.1, true},
      {"1e300", "1e+300", maxI, 1e300, true},
      {"18446744073709551615", "18446744073709551615", maxI, 18446744073709551615.0, true},
      {"true", "1", 1, 1.0, true},
      {"false", "0", 0, 0.0, false},
      {R"("12abc")", "12abc", 12, 12.0, true},
      {R"("  -34.5x")", "  -34.5x", -34, -34.5, true},
      {R"("+8")", "+8", 8, 8.0, true},
      {R"("abc")", "abc", 0, 0.0, false},
      {R"("")", "", 0, 0.0, false},
      {R"(".5")", ".5", 0, 0.5, false},
      {R"("1e3")", "1e3", 1, 1000.0, true},
      {R"("1e")", "1e", 1, 1.0, true},
      {R"("0x1A")", "0x1A", 0, 0.0, false},
      {R"("inf")", "inf", 0, 0.0, false},
      {R"("99999999999999999999")", "99999999999999999999", maxI, 1e20, true},
      {R"("-99999999999999999999")", "-99999999999999999999", minI, -1e20, true},
      {R"("YES")", "YES", 0, 0.0, true},
      {R"("yes")", "yes", 0, 0.0, true},
      {R"("true")", "true", 0, 0.0, true},
      {R"("NO")", "NO", 0, 0.0, false},
      {R"("  -007")", "  -007", -7, -7.0, true},
      {R"("000")", "000", 0, 0.0, false},
      {R"("0.9")", "0.9", 0, 0.9, false},
      {"null", std::nullopt, std::nullopt, std::nullopt, std::nullopt},
      {"[1]", std::nullopt, std::nullopt, std::nullopt, std::nullopt},
      {R"({"a":1})", std::nullopt, std::nullopt, std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    auto j = json::parse(c.json);
    ASSERT_TRUE(j);
    EXPECT_EQ(json::asText(*j), c.text);
    EXPECT_EQ(json::asInt(*j), c.integer);
    EXPECT_EQ(json::asBool(*j), c.boolean);
    auto d = json::asDouble(*j);
    ASSERT_EQ(d.has_value(), c.real.has_value());
    if (d) {
      EXPECT_DOUBLE_EQ(*d, *c.real);
    }
  }
}

TEST(JsonMembers, ReadFieldsOnlyFromObjects) {
  auto j = *json::parse(R"({"state":"1","mustup":"2","hasPwd":1,"gone":null,"userId":10086})");
  EXPECT_EQ(json::text(j, "state"), "1");
  EXPECT_EQ(json::integer(j, "mustup"), 2);
  EXPECT_EQ(json::boolean(j, "hasPwd"), true);
  EXPECT_EQ(json::text(j, "userId"), "10086");
  EXPECT_EQ(json::text(j, "gone"), std::nullopt);
  EXPECT_NE(json::member(j, "gone"), nullptr);
  EXPECT_EQ(json::member(j, "missing"), nullptr);
  EXPECT_EQ(json::text(j, "missing"), std::nullopt);
  auto list = *json::parse(R"(["state"])");
  EXPECT_EQ(json::member(list, "state"), nullptr);
  EXPECT_EQ(json::integer(Json("12"), "x"), std::nullopt);
}

// The readers of model fields that take a member as it stands, with no conversion.
TEST(JsonMembers, TextOnlyAndValueOrNullTakeMembersAsTheyStand) {
  auto j = *json::parse(R"({"name":"卡","id":10086,"flag":true,"list":[1],"gone":null})");
  EXPECT_EQ(json::textOnly(j, "name"), "卡");
  for (const char* notText : {"id", "flag", "list", "gone", "missing"}) {
    EXPECT_EQ(json::textOnly(j, notText), std::nullopt) << notText;
  }
  EXPECT_EQ(json::valueOrNull(j, "id"), Json(10086));
  EXPECT_EQ(json::valueOrNull(j, "list"), Json::array({1}));
  EXPECT_TRUE(json::valueOrNull(j, "missing").is_null());
  auto list = *json::parse(R"(["name"])");
  EXPECT_EQ(json::textOnly(list, "name"), std::nullopt);
  EXPECT_TRUE(json::valueOrNull(list, "name").is_null());
}

}  // namespace
}  // namespace platform
