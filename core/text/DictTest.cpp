#include "core/text/Dict.h"

#include <gtest/gtest.h>

namespace nvx {
namespace {

using platform::Json;

TEST(DictTest, MissingValueNeverRemovesOrStoresAnEntry) {
  Dict d;
  EXPECT_TRUE(d.setValue(Json("13800138000"), "mobile"));
  EXPECT_FALSE(d.setValue(std::nullopt, "mobile"));
  EXPECT_FALSE(d.setValue(Json(nullptr), "mobile"));
  EXPECT_EQ(d.text("mobile"), "13800138000");

  std::optional<std::string> absent;
  EXPECT_FALSE(d.setValue(absent, "name"));
  EXPECT_FALSE(d.contains("name"));
  EXPECT_FALSE(d.setValue(Json("x"), std::nullopt));
  EXPECT_EQ(d.size(), 1u);
}

TEST(DictTest, SetReplacesInPlaceAndKeepsInsertionOrder) {
  Dict d;
  ASSERT_TRUE(d.setValue(Json("1"), "b"));
  ASSERT_TRUE(d.setValue(Json(2), "a"));
  ASSERT_TRUE(d.setValue(Json("3"), "b"));
  EXPECT_EQ(d.urlParams(), "b=3&a=2");
  EXPECT_TRUE(d.remove("b"));
  EXPECT_FALSE(d.remove("b"));
  EXPECT_EQ(d.urlParams(), "a=2");
}

TEST(DictTest, UrlParamsEscapesNothingAndSkipsNulls) {
  Json j = Json::object();
  j["q"] = "a b&c";
  j["none"] = nullptr;
  j["amount"] = 12.5;
  EXPECT_EQ(dict::urlParams(j), "q=a b&c&amount=12.5");
  EXPECT_EQ(Dict().urlParams(), "");
  EXPECT_EQ(dict::urlParams(Json::array({1, 2})), "");
}

TEST(DictTest, IsEmptyForNothingNonDictionariesAndEmptyOnes) {
  Json empty = Json::object();
  Json full = Json{{"k", "v"}};
  Json text = "k";
  EXPECT_TRUE(dict::isEmpty(nullptr));
  EXPECT_TRUE(dict::isEmpty(&empty));
  EXPECT_TRUE(dict::isEmpty(&text));
  EXPECT_FALSE(dict::isEmpty(&full));
  EXPECT_TRUE(Dict(Json::array({1})).empty());
  EXPECT_EQ(Dict(full).text("k"), "v");
}

}  // namespace
}  // namespace nvx
