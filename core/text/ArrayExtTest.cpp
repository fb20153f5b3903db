#include "core/text/ArrayExt.h"

#include <gtest/gtest.h>

#include <string>

namespace nvx {
namespace {

using platform::Json;

TEST(ArrayExtTest, SafeObjectAtIndexOutsideTheListIsNothing) {
  Json list = Json::array({"a", "b"});
  EXPECT_EQ(array::safeObjectAtIndex(list, -1), nullptr);
  EXPECT_EQ(array::safeObjectAtIndex(list, 2), nullptr);
  ASSERT_NE(array::safeObjectAtIndex(list, 1), nullptr);
  EXPECT_EQ(*array::safeObjectAtIndex(list, 1), "b");
  EXPECT_EQ(array::safeObjectAtIndex(Json::array(), 0), nullptr);
  EXPECT_EQ(array::safeObjectAtIndex(Json{{"0", "x"}}, 0), nullptr);

  std::vector<std::string> v = {"x"};
  EXPECT_EQ(array::safeObjectAtIndex(v, -1), nullptr);
  EXPECT_EQ(array::safeObjectAtIndex(v, 1), nullptr);
  EXPECT_EQ(*array::safeObjectAtIndex(v, 0), "x");
}

TEST(ArrayExtTest, IsEmptyForNothingNonArraysAndEmptyOnes) {
  Json empty = Json::array();
  Json one = Json::array({1});
  Json object = Json{{"a", 1}};
  EXPECT_TRUE(array::isEmpty(nullptr));
  EXPECT_TRUE(array::isEmpty(&empty));
  EXPECT_TRUE(array::isEmpty(&object));
  EXPECT_FALSE(array::isEmpty(&one));
}

struct Screen { virtual ~Screen() = default; };
struct Home : Screen {};
struct HomeDetail : Home {};
struct Login : Screen {};

TEST(ArrayExtTest, ObjectsOfClassIncludeDerivedClassesAndNoMatchIsNothing) {
  std::vector<std::shared_ptr<Screen>> stack = {std::make_shared<Login>(), std::make_shared<HomeDetail>(),
                                                std::make_shared<Home>()};
  auto first = array::firstObjectOfClass<Home>(stack);
  EXPECT_EQ(first, stack[1]);
  auto homes = array::objectsOfClass<Home>(stack);
  ASSERT_TRUE(homes);
  ASSERT_EQ(homes->size(), 2u);
  EXPECT_EQ((*homes)[1], stack[2]);

  std::vector<std::shared_ptr<Screen>> logins = {std::make_shared<Login>()};
  EXPECT_EQ(array::firstObjectOfClass<Home>(logins), nullptr);
  EXPECT_EQ(array::objectsOfClass<Home>(logins), std::nullopt);
}

}  // namespace
}  // namespace nvx
